#pragma once

#include <QString>

// Where secrets are kept apart from the settings file: the desktop's keychain (see
// DesktopKeychain). Every call waits for the keychain's answer, within a time limit.
class Keychain
{
public:
    enum class Status : quint8 {
        Done,
        NotFound,    // no entry under the key
        Unavailable, // this session has no keychain (no Secret Service, no session bus)
        Refused,     // locked, or the user dismissed the unlock prompt
        TimedOut,    // no answer within the time limit
        Failed,
    };
    struct Result
    {
        Status status = Status::Done;
        QString secret; // what read() found
        QString error;  // the keychain's own words, for messages
        bool ok() const { return status == Status::Done; }
    };

    virtual ~Keychain() = default;

    virtual Result read(const QString &key) = 0;
    virtual Result write(const QString &key, const QString &secret) = 0;
    // Removing an entry that is not there is Done.
    virtual Result remove(const QString &key) = 0;
};
