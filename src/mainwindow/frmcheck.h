#pragma once

#include "checks/pagechecker.h"

#include <QDialog>

class FindingsPanel;
class QPushButton;

// "Check Page": what the page check found, at any time, not only before sending.
// Activating a finding closes the window with its block chosen, for the caller to
// select.
class TfrmCheck : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmCheck(QWidget *parent = nullptr);

    void setFindings(const QList<PageCheck::Finding> &findings);
    // The row of the block chosen; -1 when the window was closed without one.
    int chosenRow() const { return mChosenRow; }

    FindingsPanel *pnlFindings;
    QPushButton *btnClose;

private:
    int mChosenRow = -1;
};
