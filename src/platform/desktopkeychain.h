#pragma once

#include "keychain.h"

#include <chrono>
#include <optional>

// The desktop's keychain (Secret Service: GNOME Keyring, KWallet) through QtKeychain.
// One entry per key under one service name. The keychain's jobs run on the event loop;
// each call waits for its job in a local loop that takes no user input, so no window
// acts on a click meanwhile, and gives up after the time limit: an unlock prompt that
// nobody answers must not hang the program. A job left behind ends on its own.
class DesktopKeychain : public Keychain
{
public:
    // The program's entries: service "HTML Vendrix5".
    static QString defaultService();
    // Long enough to type the keychain's password into its unlock prompt.
    static constexpr std::chrono::seconds defaultTimeLimit{60};

    explicit DesktopKeychain(QString service = defaultService(), std::chrono::milliseconds timeLimit = defaultTimeLimit);

    Result read(const QString &key) override;
    Result write(const QString &key, const QString &secret) override;
    Result remove(const QString &key) override;

    QString service() const { return mService; }
    std::chrono::milliseconds timeLimit() const { return mTimeLimit; }

private:
    // Unavailable when the session has no keychain, found out at the first call.
    std::optional<Result> missing();

    QString mService;
    std::chrono::milliseconds mTimeLimit;
    std::optional<QString> mMissing; // empty: there is a keychain
};
