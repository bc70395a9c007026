#include "frmcheck.h"

#include "widgets/findingspanel.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

TfrmCheck::TfrmCheck(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(tr("Check Page"));
    pnlFindings = new FindingsPanel(this);
    auto *buttons = new QDialogButtonBox(this);
    btnClose = buttons->addButton(QDialogButtonBox::Close);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pnlFindings, &FindingsPanel::blockRequested, this, [this](int row) {
        mChosenRow = row;
        accept();
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pnlFindings, 1);
    layout->addWidget(buttons);
    resize(520, 320);
}

void TfrmCheck::setFindings(const QList<PageCheck::Finding> &findings)
{
    pnlFindings->setFindings(findings);
}
