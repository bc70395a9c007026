#include "passphrasedialog.h"

#include "platform/modalrunner.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PassphraseDialog::PassphraseDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPassphrase"));
    setWindowTitle(tr("Key File Passphrase"));
    lblPassphrase = new QLabel(this);
    lblPassphrase->setObjectName(QStringLiteral("lblPassphrase"));
    lblPassphrase->setWordWrap(true);
    txtPassphrase = new QLineEdit(this);
    txtPassphrase->setObjectName(QStringLiteral("txtPassphrase"));
    txtPassphrase->setEchoMode(QLineEdit::Password);
    lblPassphrase->setBuddy(txtPassphrase);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPassphrase);
    layout->addWidget(txtPassphrase);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void PassphraseDialog::setQuestion(const QString &keyFile, bool retry)
{
    lblPassphrase->setText(retry ? tr("That passphrase is wrong. &Passphrase of the key file %1:").arg(keyFile)
                                 : tr("The key file %1 is locked. &Passphrase:").arg(keyFile));
    txtPassphrase->clear();
}

QString PassphraseDialog::passphrase() const
{
    return txtPassphrase->text();
}

std::optional<QString> DialogPassphrasePrompt::passphrase(const QString &keyFile, bool retry)
{
    if (retry)
        mAnswers.remove(keyFile);
    else if (const auto known = mAnswers.constFind(keyFile); known != mAnswers.cend())
        return *known;
    PassphraseDialog dialog;
    dialog.setQuestion(keyFile, retry);
    if (mModal.runModal(dialog) != QDialog::Accepted || dialog.passphrase().isEmpty())
        return std::nullopt;
    mAnswers.insert(keyFile, dialog.passphrase());
    return dialog.passphrase();
}
