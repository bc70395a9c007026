#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Settings;
class TFtpClient;

// A server profile as the profile editor shows it (the password in plain text).
struct ServerProfile
{
    QString ProfileName;
    QString UserName;
    QString Password;
    QString HostName;
    QString InitialDir;
    QString Port = QStringLiteral("21");
};

// Passwords are not stored in plain text: their bytes are scrambled with a 16-bit
// running key and written as Base64 (RFC 4648, padded).
namespace ProfilePassword {

// Each output byte is the input byte XOR the key's high byte; the key then advances
// from the scrambled byte, so both directions stay in step.
QByteArray ScramblePassword(QByteArrayView plain);
QByteArray UnscramblePassword(QByteArrayView scrambled);

// The stored form. A password made only of Windows-1252 characters is scrambled one
// byte per character, so its Base64 text covers exactly as many bytes as it has
// characters. Any other password is scrambled as UTF-8 and marked with the prefix
// "utf8:", which cannot occur in Base64 text, so no character is ever lost.
QString encode(const QString &password);
// The plain password; empty when the stored text is not a valid stored form.
QString decode(const QString &stored);

}

namespace ProfileNames {

// False for the characters the profile editor refuses: " * / : ? \ | and the single
// angle quotation marks, and for control characters. "/" and "\" would also split the
// settings key.
bool isAllowedCharacter(QChar c);
// Not empty and made only of allowed characters.
bool isValid(const QString &name);
inline QString invalidNameMessage()
{
    return QStringLiteral("A server profile name may not be empty nor contain any of \" * / : ? \\ | \u2039 \u203A");
}

}

// The server profiles below "Profiles/" of the program's settings: one group per
// profile holding "Username", "Password" (scrambled), "Host", "InitialDir" and "Port".
class ProfileStore
{
public:
    explicit ProfileStore(Settings &settings);

    QStringList ReadProfileNames() const;
    // The stored profile whose name equals name without regard to letter case, or an
    // empty text.
    QString findProfile(const QString &name) const;

    // Missing values load as empty text, a missing port as "21".
    ServerProfile LoadProfile(const QString &name) const;
    void LoadProfile(const QString &name, TFtpClient &client) const;

    // Deletes the profile oldName (when not empty) and writes the five values into the
    // profile named fields.ProfileName. Returns false with the reason in errorString()
    // when the name breaks the name rules (nothing is changed then) or the settings
    // cannot be written.
    bool SaveProfile(const ServerProfile &fields, const QString &oldName = QString());
    bool DeleteProfile(const QString &name);

    QString errorString() const { return mError; }

private:
    Settings &mSettings;
    QString mError;
};
