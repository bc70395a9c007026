#include "profilestore.h"

#include "platform/cp1252.h"
#include "platform/settings.h"
#include "upload/certificatefingerprint.h"
#include "upload/hostkeyfingerprint.h"

namespace {

// Fixed for good: changing any of them makes every stored password unreadable.
constexpr quint16 scrambleStart = 0x3A91;
constexpr quint16 scrambleMultiplier = 0x6F2D;
constexpr quint16 scrambleAddend = 0x4C13;

const QString utf8Prefix = QStringLiteral("utf8:");

QString yesNo(bool value) { return value ? QStringLiteral("Yes") : QStringLiteral("No"); }
QString securityName(TFtpSecurity security) { return security == ftpSecurityTLS ? QStringLiteral("TLS") : QStringLiteral("None"); }

QString protocolName(TransferProtocol protocol) { return protocol == TransferProtocol::Sftp ? QStringLiteral("SFTP") : QStringLiteral("FTP"); }

QString notAFingerprintMessage()
{
    return QStringLiteral("A trusted certificate must be given as its SHA-256 fingerprint (64 hexadecimal digits)");
}

QString notAHostKeyMessage()
{
    return QStringLiteral("A trusted host key must be given as its SHA-256 fingerprint (SHA256: and 43 characters, as ssh-keygen -l shows it)");
}

// Why the keychain did not do what was asked, as the end of a sentence.
QString keychainReason(const Keychain::Result &result)
{
    const QString detail = result.error.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(result.error);
    switch (result.status) {
    case Keychain::Status::Refused:
        return QStringLiteral("the keychain is locked or refused access") + detail;
    case Keychain::Status::TimedOut:
        return QStringLiteral("the keychain did not answer") + detail;
    case Keychain::Status::Unavailable:
        return QStringLiteral("no desktop keychain is available") + detail;
    case Keychain::Status::NotFound:
        // A locked keychain whose unlock prompt was dismissed answers so too.
        return QStringLiteral("the keychain has no entry for it, or stayed locked");
    case Keychain::Status::Done:
    case Keychain::Status::Failed:
        break;
    }
    return QStringLiteral("the keychain failed") + detail;
}

QString leftInKeychainNotice(const QString &profile, const Keychain::Result &result)
{
    return QStringLiteral("The password of the server profile \"%1\" stays in the desktop keychain: %2.").arg(profile, keychainReason(result));
}

// No profile has this name: "/" splits settings keys.
const QString probeKey = QStringLiteral("/");

QString key(const QString &profile, const char *value)
{
    return SettingsKeys::profilesGroup() + u'/' + profile + u'/' + QLatin1StringView(value);
}

quint16 advance(quint16 key, quint8 scrambled)
{
    return quint16((scrambled + key) * scrambleMultiplier + scrambleAddend);
}

}

namespace ProfilePassword {

QByteArray ScramblePassword(QByteArrayView plain)
{
    QByteArray out(plain.size(), Qt::Uninitialized);
    quint16 k = scrambleStart;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const quint8 scrambled = quint8(plain[i]) ^ quint8(k >> 8);
        out[i] = char(scrambled);
        k = advance(k, scrambled);
    }
    return out;
}

QByteArray UnscramblePassword(QByteArrayView scrambled)
{
    QByteArray out(scrambled.size(), Qt::Uninitialized);
    quint16 k = scrambleStart;
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        out[i] = char(quint8(scrambled[i]) ^ quint8(k >> 8));
        k = advance(k, quint8(scrambled[i]));
    }
    return out;
}

QString encode(const QString &password)
{
    if (Cp1252::canEncode(password))
        return QString::fromLatin1(ScramblePassword(Cp1252::encode(password)).toBase64());
    return utf8Prefix + QString::fromLatin1(ScramblePassword(password.toUtf8()).toBase64());
}

QString decode(const QString &stored)
{
    const bool utf8 = stored.startsWith(utf8Prefix);
    const QString text = utf8 ? stored.mid(utf8Prefix.size()) : stored;
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return QString();
    const QByteArray plain = UnscramblePassword(*decoded);
    return utf8 ? QString::fromUtf8(plain) : Cp1252::decode(plain);
}

}

namespace ProfileNames {

bool isAllowedCharacter(QChar c)
{
    if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        return false;
    switch (c.unicode()) {
    case u'"':
    case u'*':
    case u'/':
    case u':':
    case u'?':
    case u'\\':
    case u'|':
    case 0x2039:
    case 0x203A:
        return false;
    default:
        return true;
    }
}

bool isValid(const QString &name)
{
    return !name.isEmpty() && std::all_of(name.cbegin(), name.cend(), isAllowedCharacter);
}

}

ServerProfile ServerProfile::newProfile()
{
    ServerProfile profile;
    profile.Passive = true;
    profile.Security = ftpSecurityTLS;
    return profile;
}

QString ServerProfile::defaultPort(TransferProtocol protocol)
{
    return protocol == TransferProtocol::Sftp ? QStringLiteral("22") : QStringLiteral("21");
}

ProfileStore::ProfileStore(Settings &settings, Keychain *keychain)
    : mSettings(settings), mKeychain(keychain)
{
}

bool ProfileStore::keychainHolds(const QString &name) const
{
    return mSettings.readString(key(name, "PasswordInKeychain")).compare(u"Yes", Qt::CaseInsensitive) == 0;
}

Keychain::Result ProfileStore::noted(Keychain::Result result)
{
    if (result.status == Keychain::Status::Unavailable)
        mKeychainAvailable = false;
    else if (result.status == Keychain::Status::Done || result.status == Keychain::Status::NotFound)
        mKeychainAvailable = true;
    return result;
}

bool ProfileStore::keychainAvailable()
{
    if (!mKeychain)
        return false;
    if (!mKeychainAvailable)
        noted(mKeychain->read(probeKey));
    // A keychain that is there but refuses or does not answer is not taken for none.
    return mKeychainAvailable.value_or(true);
}

QStringList ProfileStore::ReadProfileNames() const
{
    return mSettings.childGroups(SettingsKeys::profilesGroup());
}

QString ProfileStore::findProfile(const QString &name) const
{
    const QStringList names = ReadProfileNames();
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return QString();
}

ServerProfile ProfileStore::LoadProfile(const QString &name) const
{
    ServerProfile profile;
    profile.ProfileName = name;
    profile.UserName = mSettings.readString(key(name, "Username"));
    profile.PasswordInKeychain = keychainHolds(name);
    if (!profile.PasswordInKeychain)
        profile.Password = ProfilePassword::decode(mSettings.readString(key(name, "Password")));
    profile.HostName = mSettings.readString(key(name, "Host"));
    profile.InitialDir = mSettings.readString(key(name, "InitialDir"));
    profile.Protocol = mSettings.readString(key(name, "Protocol")).compare(u"SFTP", Qt::CaseInsensitive) == 0 ? TransferProtocol::Sftp
                                                                                                            : TransferProtocol::Ftp;
    profile.Port = mSettings.readString(key(name, "Port"), ServerProfile::defaultPort(profile.Protocol));
    profile.Passive = mSettings.readString(key(name, "Passive")).compare(u"Yes", Qt::CaseInsensitive) == 0;
    profile.Security = mSettings.readString(key(name, "Security")).compare(u"TLS", Qt::CaseInsensitive) == 0 ? ftpSecurityTLS
                                                                                                           : ftpSecurityNone;
    profile.TrustedCertificate = CertificateFingerprint::normalized(mSettings.readString(key(name, "TrustedCertificate")));
    profile.TrustedHostKey = HostKeyFingerprint::normalized(mSettings.readString(key(name, "HostKey")));
    profile.KeyFile = mSettings.readString(key(name, "KeyFile"));
    const int timeout = mSettings.readInteger(key(name, "Timeout"), ServerProfile::defaultTimeout);
    profile.Timeout = timeout >= 1 && timeout <= ServerProfile::maximumTimeout ? timeout : ServerProfile::defaultTimeout;
    return profile;
}

bool ProfileStore::LoadProfile(const QString &name, TFtpClient &client)
{
    ServerProfile profile = LoadProfile(name);
    if (!readPassword(profile))
        return false;
    applyProfile(profile, client);
    return true;
}

bool ProfileStore::readPassword(ServerProfile &profile)
{
    mError.clear();
    if (!profile.PasswordInKeychain) {
        moveToKeychain(profile);
        return true;
    }
    const Keychain::Result result = mKeychain ? noted(mKeychain->read(profile.ProfileName))
                                              : Keychain::Result{Keychain::Status::Unavailable, QString(), QString()};
    if (!result.ok()) {
        mError = QStringLiteral("The password of the server profile \"%1\" is kept in the desktop keychain and could not be read: %2.")
                     .arg(profile.ProfileName, keychainReason(result));
        return false;
    }
    profile.Password = result.secret;
    profile.PasswordInKeychain = false;
    return true;
}

void ProfileStore::moveToKeychain(const ServerProfile &profile)
{
    const QString &name = profile.ProfileName;
    const QString stored = mSettings.readString(key(name, "Password"));
    if (!mKeychain || profile.Password.isEmpty() || keychainHolds(name) || ProfilePassword::decode(stored) != profile.Password)
        return;
    // Until the keychain has it, the file's value is the only copy.
    if (!noted(mKeychain->write(name, profile.Password)).ok())
        return;
    update([&] {
        // Another program may have changed the profile meanwhile; its value stays then.
        if (keychainHolds(name) || mSettings.readString(key(name, "Password")) != stored)
            return false;
        mSettings.remove(key(name, "Password"));
        mSettings.writeString(key(name, "PasswordInKeychain"), yesNo(true));
        return true;
    });
    mError.clear();
}

void ProfileStore::applyProfile(const ServerProfile &profile, TFtpClient &client)
{
    client.UserName = profile.UserName;
    client.PassWord = profile.Password;
    client.HostName = profile.HostName;
    client.HostDirName = profile.InitialDir;
    client.Port = profile.Port;
    client.Passive = profile.Passive;
    client.Security = profile.Security;
    client.TrustedCertificate = profile.TrustedCertificate;
    client.IdleTimeout = std::chrono::seconds(profile.Timeout);
}

bool ProfileStore::SaveProfile(const ServerProfile &fields, const QString &oldName)
{
    mError.clear();
    if (!ProfileNames::isValid(fields.ProfileName)) {
        mError = ProfileNames::invalidNameMessage();
        return false;
    }
    const QString trusted = CertificateFingerprint::normalized(fields.TrustedCertificate);
    if (trusted.isEmpty() && !fields.TrustedCertificate.trimmed().isEmpty()) {
        mError = notAFingerprintMessage();
        return false;
    }
    const QString hostKey = HostKeyFingerprint::normalized(fields.TrustedHostKey);
    if (hostKey.isEmpty() && !fields.TrustedHostKey.trimmed().isEmpty()) {
        mError = notAHostKeyMessage();
        return false;
    }
    const QString &name = fields.ProfileName;
    const bool renamed = ProfileNames::isValid(oldName) && oldName != name;
    const QString previous = renamed ? oldName : name;
    const bool previousInKeychain = mKeychain && keychainHolds(previous);
    mNotice.clear();
    ServerProfile toSave = fields;
    // An unread password is moved with the profile: read from the old entry, written to the new one.
    if (toSave.PasswordInKeychain && renamed) {
        toSave.ProfileName = previous;
        if (!readPassword(toSave))
            return false;
        toSave.ProfileName = name;
    }
    bool inKeychain = toSave.PasswordInKeychain;
    if (!inKeychain && mKeychain && !toSave.Password.isEmpty()) {
        const Keychain::Result written = noted(mKeychain->write(name, toSave.Password));
        inKeychain = written.ok();
        if (written.status == Keychain::Status::Unavailable) {
            mNotice = settingsFileNotice();
        } else if (!inKeychain) {
            mError = QStringLiteral("The password could not be stored in the desktop keychain: %1. The server profile was not saved.")
                         .arg(keychainReason(written));
            return false;
        }
    }
    const bool saved = update([&] {
        if (renamed)
            mSettings.remove(SettingsKeys::profilesGroup() + u'/' + oldName);
        mSettings.writeString(key(name, "Username"), fields.UserName);
        if (inKeychain) {
            mSettings.remove(key(name, "Password"));
            mSettings.writeString(key(name, "PasswordInKeychain"), yesNo(true));
        } else {
            mSettings.writeString(key(name, "Password"), ProfilePassword::encode(toSave.Password));
            mSettings.remove(key(name, "PasswordInKeychain"));
        }
        mSettings.writeString(key(name, "Host"), fields.HostName);
        mSettings.writeString(key(name, "InitialDir"), fields.InitialDir);
        mSettings.writeString(key(name, "Port"), fields.Port);
        mSettings.writeString(key(name, "Protocol"), protocolName(fields.Protocol));
        mSettings.writeString(key(name, "Passive"), yesNo(fields.Passive));
        mSettings.writeString(key(name, "Security"), securityName(fields.Security));
        mSettings.writeString(key(name, "TrustedCertificate"), trusted);
        mSettings.writeString(key(name, "HostKey"), hostKey);
        mSettings.writeString(key(name, "KeyFile"), fields.KeyFile);
        mSettings.writeInteger(key(name, "Timeout"), fields.Timeout);
        return true;
    });
    // The old entry goes only once the file no longer points to it.
    if (saved && previousInKeychain && (renamed || !inKeychain)) {
        const Keychain::Result removed = noted(mKeychain->remove(previous));
        if (!removed.ok() && mNotice.isEmpty())
            mNotice = leftInKeychainNotice(previous, removed);
    }
    return saved;
}

bool ProfileStore::DeleteProfile(const QString &name)
{
    mError.clear();
    // An empty name would remove the whole profiles group, and a "/" another group.
    if (!ProfileNames::isValid(name))
        return false;
    mNotice.clear();
    const bool inKeychain = mKeychain && keychainHolds(name);
    if (!update([&] {
            mSettings.remove(SettingsKeys::profilesGroup() + u'/' + name);
            return true;
        }))
        return false;
    if (inKeychain) {
        const Keychain::Result removed = noted(mKeychain->remove(name));
        if (!removed.ok())
            mNotice = leftInKeychainNotice(name, removed);
    }
    return true;
}

bool ProfileStore::TrustCertificate(const QString &name, const QString &fingerprint)
{
    return trust(name, "TrustedCertificate", CertificateFingerprint::normalized(fingerprint), notAFingerprintMessage());
}

bool ProfileStore::TrustHostKey(const QString &name, const QString &fingerprint)
{
    return trust(name, "HostKey", HostKeyFingerprint::normalized(fingerprint), notAHostKeyMessage());
}

bool ProfileStore::trust(const QString &name, const char *value, const QString &fingerprint, const QString &invalidMessage)
{
    mError.clear();
    if (fingerprint.isEmpty()) {
        mError = invalidMessage;
        return false;
    }
    return update([&] {
        if (!ProfileNames::isValid(name) || !ReadProfileNames().contains(name)) {
            mError = QStringLiteral("There is no server profile %1").arg(name);
            return false;
        }
        mSettings.writeString(key(name, value), fingerprint);
        return true;
    });
}

bool ProfileStore::update(const std::function<bool()> &change)
{
    if (mSettings.update(change))
        return true;
    if (mError.isEmpty())
        mError = mSettings.errorString();
    return false;
}
