#pragma once

#include "checks/pagechecker.h"

#include <QWidget>

class QLabel;
class QListWidget;

// The findings of a page check: a line that counts them and a list with one line per
// finding (an error or warning sign, the block and the message, wrapped to the
// list's width). Activating a line (double click or Enter) asks for its block.
class FindingsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit FindingsPanel(QWidget *parent = nullptr);

    void setFindings(const QList<PageCheck::Finding> &findings);
    const QList<PageCheck::Finding> &findings() const { return mFindings; }

    // "2 errors and 1 warning", "1 warning", "no problems".
    static QString countText(const QList<PageCheck::Finding> &findings);
    // "Image (row 2)", "Page Details": where the user finds the block.
    static QString blockText(const PageCheck::Finding &finding);

    QLabel *lblFindings;
    QListWidget *lstFindings;

signals:
    void blockRequested(int row);

private:
    QList<PageCheck::Finding> mFindings;
};
