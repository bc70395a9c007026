#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class Settings;
class ProgramFolder;

// The tip-of-the-day dialog. Closing it, any way, writes "TipDay" ("1" or "0") from
// the check box; the caller reads showAtStartup() afterwards.
class TfrmTips : public QDialog
{
    Q_OBJECT
public:
    TfrmTips(const ProgramFolder &programFolder, Settings &settings, QWidget *parent = nullptr);

    void setShowAtStartup(bool show);
    bool showAtStartup() const;

    QLabel *lblTip = nullptr;
    QCheckBox *chkShow = nullptr;
    QPushButton *btnNext = nullptr;
    QPushButton *btnClose = nullptr;
};
