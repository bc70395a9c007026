#pragma once

#include "widgets/blockpanel.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class UpDown;

// The horizontal line: width in percent, thickness and shading, with a bar below
// "Active Preview" that shows the line at its chosen width and thickness.
class HRPanel : public BlockPanel
{
    Q_OBJECT
public:
    explicit HRPanel(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    // Takes the bar's present width as the width of a 100 % line (done once at start-up).
    void recordFullWidth();
    int fullWidth() const { return mFullWidth; }

    UpDown *updnHRWidth = nullptr;
    QLineEdit *txtHRWidth = nullptr;
    QComboBox *cbHR = nullptr;
    QCheckBox *chkNoShade = nullptr;
    QWidget *pnlHRPreview = nullptr; // the strip the bar is centred in
    QFrame *shpHR = nullptr;         // the bar

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void thicknessChosen(int index);
    void widthClicked();
    void showWidth();
    int barWidth() const;

    int mFullWidth = 250;
    bool mBarPlaced = false;
};
