#pragma once

#include "platform/programfolder.h"

#include <QDialog>
#include <QRandomGenerator>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;
class Settings;

// The tip-of-the-day dialog. It shows a random line of the program folder's
// Tips.txt; the file's last line is never drawn (a file of one line shows that line).
// Closing it, any way, writes "TipDay" ("1" or "0") from the check box; the caller
// reads showAtStartup() afterwards.
class TfrmTips : public QDialog
{
    Q_OBJECT
public:
    TfrmTips(const ProgramFolder &programFolder, Settings &settings, QWidget *parent = nullptr);

    void setShowAtStartup(bool show);
    bool showAtStartup() const;

    void done(int result) override;

    QLabel *lblTip = nullptr;
    QCheckBox *chkShow = nullptr;
    QPushButton *btnNext = nullptr;
    QPushButton *btnClose = nullptr;

private:
    void btnNextClick();
    void showRandomTip();

    Settings &mSettings;
    QStringList mTips;
    int mLastIndex = -1;
    QRandomGenerator mRandom;
};
