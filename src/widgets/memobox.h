#pragma once

#include <QPlainTextEdit>

// A multi-line edit box whose text is kept the way pages store it: lines separated by
// CR LF. Whether Enter breaks lines and Tab types a tab are chosen per box.
class MemoBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit MemoBox(QWidget *parent = nullptr);

    // The lines separated by CR LF.
    QString text() const;
    // Accepts CR LF, LF or CR line breaks.
    void setText(const QString &text);

    // False: Enter is left to the window (the box never breaks lines itself).
    void setWantReturns(bool want) { mWantReturns = want; }
    bool wantReturns() const { return mWantReturns; }
    // True: Tab types a tab character; false: Tab moves the focus on.
    void setWantTabs(bool want) { setTabChangesFocus(!want); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool mWantReturns = true;
};
