#pragma once

#include "upload/passphraseprompt.h"

#include <QDialog>
#include <QHash>

class ModalRunner;
class QLabel;
class QLineEdit;

// Asks for the passphrase of an SSH key file.
class PassphraseDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PassphraseDialog(QWidget *parent = nullptr);

    void setQuestion(const QString &keyFile, bool retry);
    QString passphrase() const;

    QLabel *lblPassphrase;
    QLineEdit *txtPassphrase;
};

// The window's PassphrasePrompt: the dialog, run through the ModalRunner. An answer is
// kept, in memory, while the window lives, so that every Send does not ask again.
class DialogPassphrasePrompt : public PassphrasePrompt
{
public:
    explicit DialogPassphrasePrompt(ModalRunner &modal) : mModal(modal) {}

    std::optional<QString> passphrase(const QString &keyFile, bool retry) override;

private:
    ModalRunner &mModal;
    QHash<QString, QString> mAnswers;
};
