#include "sftptransport.h"

#include "upload/passphraseprompt.h"
#include "upload/profilestore.h"

namespace {

SftpLogin loginFor(const ServerProfile &profile)
{
    SftpLogin login;
    login.host = profile.HostName.trimmed();
    bool number = false;
    const uint port = profile.Port.trimmed().toUInt(&number);
    // An empty port (or the service's name) is SSH's own; anything else that is not a
    // port stays 0, which no connection gets through.
    if (number)
        login.port = port <= 65535 ? quint16(port) : 0;
    else
        login.port = profile.Port.trimmed().isEmpty() || profile.Port.trimmed() == u"ssh" ? 22 : 0;
    login.user = profile.UserName;
    login.password = profile.Password;
    login.keyFile = profile.KeyFile;
    login.trustedHostKey = profile.TrustedHostKey;
    return login;
}

QString withoutTrailingSlashes(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

}

SftpTransport::SftpTransport(const ServerProfile &profile, PassphrasePrompt *prompt, QObject *parent)
    : PublishTransport(parent), mLogin(loginFor(profile)), mPrompt(prompt)
{
    mSession.IdleTimeout = std::chrono::seconds(profile.Timeout);
    connect(&mSession, &SftpSession::done, this, &SftpTransport::sessionDone);
    connect(&mSession, &SftpSession::progress, this, [this](qint64 bytes) {
        if (mOperation == Operation::Store)
            emit progress(bytes);
    });
}

SftpTransport::~SftpTransport()
{
    mSession.disconnect(this);
}

PublishTransport::Capabilities SftpTransport::capabilities() const
{
    // Renaming replaces the target (posix-rename, else remove and rename), writes go to
    // any offset and every server tells a file's size.
    return Capability::Rename | Capability::Resume | Capability::RemoteSize;
}

QString SftpTransport::trustQuestion(const QString &where, const HostKey &key)
{
    return QStringLiteral("The host key of %1 is not known yet.\r\n\r\nKey type: %2\r\nFingerprint: %3\r\n\r\n"
                          "Trust this host key for this server profile and connect? "
                          "Say yes only if your host gives you the same fingerprint.")
        .arg(where, key.type, key.fingerprint);
}

QString SftpTransport::changedKeyAdvice()
{
    return QStringLiteral("If your host has told you that its key has changed, and the new fingerprint is the one "
                          "shown, enter it as the trusted host key of the server profile and send again.");
}

QString SftpTransport::where() const
{
    return mLogin.port == 22 ? mLogin.host : QStringLiteral("%1 port %2").arg(mLogin.host).arg(mLogin.port);
}

QString SftpTransport::path(const QString &name) const
{
    if (mFolder.isEmpty())
        return name;
    return mFolder.endsWith(u'/') ? mFolder + name : mFolder + u'/' + name;
}

bool SftpTransport::begin(Operation operation)
{
    return PublishTransport::begin(operation, QStringLiteral("SFTP session not ready"));
}

void SftpTransport::start(Operation operation, const QString &command, const std::function<void()> &request)
{
    if (!begin(operation))
        return;
    emit trace(QStringLiteral("> ") + command);
    try {
        request();
    } catch (const SftpException &e) {
        // The caller hears of a refusal from the event loop, like of any other result.
        QMetaObject::invokeMethod(
            this,
            [this, generation = mGeneration, message = e.message()] {
                if (generation == mGeneration && mOperation)
                    finish(TransportResult::failure(TransportResult::Status::Failed, message));
            },
            Qt::QueuedConnection);
    }
}

void SftpTransport::connectToServer()
{
    start(Operation::Connect, QStringLiteral("connect %1 as %2").arg(where(), mLogin.user), [this] {
        mFolder.clear();
        mPassphraseQuestions = 0;
        mSession.connectToHost(mLogin);
    });
}

void SftpTransport::enterFolder(const QString &folder)
{
    start(Operation::EnterFolder, QStringLiteral("cd %1").arg(folder), [this, folder] {
        mEntering = withoutTrailingSlashes(folder);
        mSession.stat(mEntering.isEmpty() ? QStringLiteral(".") : mEntering);
    });
}

void SftpTransport::makeFolder(const QString &folder)
{
    start(Operation::MakeFolder, QStringLiteral("mkdir %1").arg(folder), [this, folder] { mSession.makeDir(withoutTrailingSlashes(folder)); });
}

void SftpTransport::list()
{
    start(Operation::List, QStringLiteral("ls"), [this] { mSession.list(mFolder.isEmpty() ? QStringLiteral(".") : mFolder); });
}

void SftpTransport::store(QIODevice *source, const QString &remoteName, qint64 offset)
{
    start(Operation::Store, QStringLiteral("put %1 from byte %2").arg(path(remoteName)).arg(offset), [this, source, remoteName, offset] { mSession.put(source, path(remoteName), offset); });
}

void SftpTransport::remoteSize(const QString &remoteName)
{
    start(Operation::RemoteSize, QStringLiteral("stat %1").arg(path(remoteName)), [this, remoteName] { mSession.stat(path(remoteName)); });
}

void SftpTransport::rename(const QString &from, const QString &to)
{
    start(Operation::Rename, QStringLiteral("rename %1 %2").arg(path(from), path(to)), [this, from, to] { mSession.rename(path(from), path(to)); });
}

void SftpTransport::remove(const QString &remoteName)
{
    start(Operation::Remove, QStringLiteral("rm %1").arg(path(remoteName)), [this, remoteName] { mSession.remove(path(remoteName)); });
}

void SftpTransport::quit()
{
    start(Operation::Quit, QStringLiteral("bye"), [this] { mSession.quit(); });
}

void SftpTransport::abort()
{
    dropOperation();
    mSession.abort();
}

void SftpTransport::sessionDone(SftpRequest, SftpError error)
{
    if (!mOperation)
        return;
    if (error != SftpError::None)
        emit trace(QStringLiteral("< ") + mSession.errorString());
    const Operation operation = *mOperation;
    if (operation == Operation::Connect && error == SftpError::PassphraseNeeded && mPrompt) {
        // Asked from the event loop, not inside the session's signal.
        QMetaObject::invokeMethod(this, [this, generation = mGeneration] {
            if (generation == mGeneration && mOperation == Operation::Connect && !askPassphrase())
                finish(failure(SftpError::PassphraseNeeded));
        }, Qt::QueuedConnection);
        return;
    }
    // A server that does not answer the goodbye has been left; whatever the session did
    // before stands.
    if (operation == Operation::Quit) {
        finish(TransportResult::success());
        return;
    }
    if (error != SftpError::None) {
        finish(failure(error));
        return;
    }
    TransportResult result;
    switch (operation) {
    case Operation::Connect:
        emit trace(QStringLiteral("< Logged in to %1 (%2 %3), in %4")
                       .arg(where(), mSession.serverHostKey().type, mSession.serverHostKey().fingerprint, mSession.homeDirectory()));
        break;
    case Operation::EnterFolder:
        if (!mSession.remoteFile().isDirectory) {
            finish(TransportResult::failure(TransportResult::Status::Refused, QStringLiteral("%1 is not a folder").arg(mEntering)));
            return;
        }
        mFolder = mEntering;
        break;
    case Operation::List:
        result.names = mSession.names();
        break;
    case Operation::Store:
        result.size = mSession.bytesSent();
        emit trace(QStringLiteral("< %1 bytes stored").arg(result.size));
        break;
    case Operation::RemoteSize:
        result.size = mSession.remoteFile().size;
        if (result.size < 0) {
            finish(TransportResult::failure(TransportResult::Status::Unsupported, QStringLiteral("The server tells no size")));
            return;
        }
        break;
    default:
        break;
    }
    finish(result);
}

bool SftpTransport::askPassphrase()
{
    // Three tries, as the SSH tools give.
    if (++mPassphraseQuestions > 3)
        return false;
    const quint64 generation = mGeneration;
    const std::optional<QString> answer = mPrompt->passphrase(mLogin.keyFile, !mLogin.passphrase.isEmpty());
    // The window may have been closed meanwhile.
    if (generation != mGeneration)
        return true;
    if (!answer || answer->isEmpty())
        return false;
    mLogin.passphrase = *answer;
    mSession.connectToHost(mLogin);
    return true;
}

TransportResult SftpTransport::failure(SftpError error) const
{
    using Status = TransportResult::Status;
    Status status = Status::Failed;
    switch (error) {
    case SftpError::NoSuchFile:
        status = Status::NotFound;
        break;
    case SftpError::PermissionDenied:
    case SftpError::Failure:
    case SftpError::LocalFile:
        status = Status::Refused;
        break;
    default:
        break;
    }
    TransportResult result = TransportResult::failure(status, mSession.errorString());
    if (error == SftpError::HostKeyUnknown) {
        result.untrusted = UntrustedIdentity{UntrustedIdentity::Kind::HostKey, mSession.serverHostKey().fingerprint,
                                             trustQuestion(where(), mSession.serverHostKey())};
    } else if (error == SftpError::HostKeyChanged) {
        result.message += QStringLiteral("\r\n\r\n") + changedKeyAdvice();
    } else if (error == SftpError::PassphraseNeeded && !mPrompt) {
        result.message += QStringLiteral(" (load the key into your SSH agent with ssh-add, or give a key file without a passphrase)");
    }
    return result;
}

