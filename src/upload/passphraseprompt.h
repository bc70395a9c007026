#pragma once

#include <QString>

#include <optional>

// Asks the user for the passphrase of an encrypted SSH key file when a login needs it.
// What the user types lives in memory only: nothing stores it.
class PassphrasePrompt
{
public:
    virtual ~PassphrasePrompt() = default;

    // The passphrase, or nothing when the user declines. retry: the passphrase given
    // last time for this key file was wrong (an answer remembered for it must go).
    virtual std::optional<QString> passphrase(const QString &keyFile, bool retry) = 0;
};
