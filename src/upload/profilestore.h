#pragma once

#include "platform/keychain.h"
#include "upload/ftpclient.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Settings;

// "Protocol" of a profile: FTP (plain or over TLS, as "Security" says) or SFTP.
enum class TransferProtocol : quint8 { Ftp, Sftp };

// A server profile as the profile editor shows it (the password in plain text). The
// member defaults are what a stored profile loads with when a value is missing, so
// profiles stored before a value existed keep behaving as they did; newProfile() is
// what the editor's Add starts from.
struct ServerProfile
{
    static constexpr int defaultTimeout = 30;
    static constexpr int maximumTimeout = 3600;

    QString ProfileName;
    QString UserName;
    QString Password;
    // The desktop keychain holds the password and it has not been read: Password is
    // empty (ProfileStore::readPassword() reads it). Saving such a profile keeps the
    // keychain's entry as it is.
    bool PasswordInKeychain = false;
    QString HostName;
    QString InitialDir;
    QString Port = QStringLiteral("21");
    // "Protocol": "FTP" or "SFTP"; stored profiles without it are FTP profiles.
    TransferProtocol Protocol = TransferProtocol::Ftp;
    // "Passive": "Yes" or "No". Passive data connections work behind routers and
    // firewalls; stored profiles without the value stay active.
    bool Passive = false;
    // "Security": "None" or "TLS" (explicit FTP over TLS: the login, the commands and
    // every data connection encrypted; never falls back to clear text).
    TFtpSecurity Security = ftpSecurityNone;
    // "TrustedCertificate": the SHA-256 fingerprint of one server certificate the user
    // trusts for this profile although it fails verification (self-signed, another
    // host name, ...), in the form of CertificateFingerprint; empty for none.
    QString TrustedCertificate;
    // "HostKey": SFTP: the fingerprint of the server's host key that the user trusts
    // for this profile ("SHA256:...", see HostKeyFingerprint); empty: the key is asked
    // about, unless ~/.ssh/known_hosts knows it.
    QString TrustedHostKey;
    // "KeyFile": SFTP: a private key file to log in with (its passphrase is asked, never
    // stored); empty for none.
    QString KeyFile;
    // "Timeout": seconds a request may go without any reply or data progress before
    // the run gives up; 1 to maximumTimeout, anything else loads as defaultTimeout.
    int Timeout = defaultTimeout;

    // A profile made anew: port 21, passive, TLS.
    static ServerProfile newProfile();
    // The port a protocol's servers listen on: "21" or "22".
    static QString defaultPort(TransferProtocol protocol);
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
// profile holding "Username", "Password" (scrambled), "Host", "InitialDir", "Port",
// "Protocol", "Passive", "Security", "TrustedCertificate", "HostKey", "KeyFile" and
// "Timeout" (see ServerProfile).
//
// With a keychain, a profile's password is kept there under the profile's name, and
// its group holds "PasswordInKeychain" = "Yes" in place of "Password". A password still
// in the settings file moves to the keychain when the profile is saved or its password
// read; the file's value goes only after the keychain has stored it. When there is no
// keychain in the session, passwords stay scrambled in the file and notice() says so.
class ProfileStore
{
public:
    // Without a keychain, passwords are kept in the settings file.
    explicit ProfileStore(Settings &settings, Keychain *keychain = nullptr);

    QStringList ReadProfileNames() const;
    // The stored profile whose name equals name without regard to letter case, or an
    // empty text.
    QString findProfile(const QString &name) const;

    // Missing values load as the defaults of ServerProfile: empty text, FTP, port "21"
    // (an SFTP profile's "22"), active, no security, 30 seconds.
    ServerProfile LoadProfile(const QString &name) const;
    // Fills profile.Password from the keychain when it holds the password, and moves a
    // password still in the settings file to the keychain when one is available (it
    // stays in the file otherwise). False, with the reason in errorString(), when the
    // keychain holds the password but does not give it (locked, refused, no answer, no
    // keychain in this session); the password is unknown then, never taken as empty.
    bool readPassword(ServerProfile &profile);
    // Sets the client's login (the password read as readPassword() does), host, port,
    // directory, data connection mode, security, trusted certificate and idle limit;
    // false with the reason in errorString() when the password cannot be read.
    bool LoadProfile(const QString &name, TFtpClient &client);
    static void applyProfile(const ServerProfile &profile, TFtpClient &client);

    // Deletes the profile oldName (when not empty) and writes all values into the
    // profile named fields.ProfileName. Returns false with the reason in errorString()
    // when the name breaks the name rules or the trusted certificate or host key is not
    // a SHA-256 fingerprint (nothing is changed then), or when the settings cannot be
    // written.
    // The password goes to the keychain; when the session has none it is kept in the
    // file and notice() says so. A keychain that refuses it or does not answer fails
    // the save (nothing is changed then). A rename moves the keychain's entry.
    bool SaveProfile(const ServerProfile &fields, const QString &oldName = QString());
    // Deletes the profile and its keychain entry; an entry the keychain would not
    // remove is left there, and notice() says so.
    bool DeleteProfile(const QString &name);
    // Stores the fingerprint (any form CertificateFingerprint::normalized accepts) as
    // the profile's trusted certificate; false with the reason in errorString().
    bool TrustCertificate(const QString &name, const QString &fingerprint);
    // Stores the fingerprint (any form HostKeyFingerprint::normalized accepts) as the
    // profile's trusted host key; false with the reason in errorString().
    bool TrustHostKey(const QString &name, const QString &fingerprint);

    QString errorString() const { return mError; }
    // What the last save or delete did otherwise than asked (a password kept in the
    // settings file for want of a keychain, an entry left in the keychain), for the
    // user; empty when it did as asked.
    QString notice() const { return mNotice; }
    // False when the session has no keychain, so passwords would be kept in the
    // settings file; found out once (by asking the keychain for an entry that cannot
    // exist) and kept up to date by every call to the keychain.
    bool keychainAvailable();
    static QString settingsFileNotice()
    {
        return QStringLiteral("No desktop keychain is available: the password is kept in the settings file.");
    }

    // A read-modify-write of the profiles under the settings' inter-process lock (see
    // Settings::update()); false with the reason in errorString().
    bool update(const std::function<bool()> &change);

private:
    // Stores an identity's fingerprint (empty: not a valid one) as the profile's value.
    bool trust(const QString &name, const char *value, const QString &fingerprint, const QString &invalidMessage);
    bool keychainHolds(const QString &name) const;
    // The keychain call's result, noting what it says about the keychain's presence.
    Keychain::Result noted(Keychain::Result result);
    void moveToKeychain(const ServerProfile &profile);

    Settings &mSettings;
    Keychain *mKeychain;
    std::optional<bool> mKeychainAvailable;
    QString mError;
    QString mNotice;
};
