#include "ftptransport.h"

#include "upload/profilestore.h"

#include <QRegularExpression>

namespace {

bool isUnsupportedReply(quint16 error)
{
    return error == 500 || error == 502 || error == 504;
}

}

FtpTransport::FtpTransport(const ServerProfile &profile, QObject *parent)
    : PublishTransport(parent)
{
    ProfileStore::applyProfile(profile, mFtp);
    connect(&mFtp, &TFtpClient::OnRequestDone, this, &FtpTransport::requestDone);
    // The client counts every block of 1514 bytes; passing on one count in a few hundred
    // is plenty for a label and keeps a fast transfer from spending its time on them.
    connect(&mFtp, &TFtpClient::OnProgress, this, [this](qint64 count, bool &) {
        if (mOperation != Operation::Store || (count != 0 && count < mProgressSent + progressStep))
            return;
        mProgressSent = count;
        emit progress(mOffset + count);
    });
    connect(&mFtp, &TFtpClient::OnDisplay, this, [this](QString &line) {
        emit trace(line.startsWith(QStringLiteral("> PASS ")) ? QStringLiteral("> PASS ********") : line);
    });
}

FtpTransport::~FtpTransport()
{
    // The client goes after this object's own members: nothing it does on the way may
    // reach a transport that is half gone.
    mFtp.disconnect(this);
}

PublishTransport::Capabilities FtpTransport::capabilities() const
{
    const QStringList features = mFtp.Features();
    Capabilities capabilities = Capability::Rename;
    if (features.contains(QStringLiteral("REST")))
        capabilities |= Capability::Resume;
    if (features.contains(QStringLiteral("SIZE")) || features.contains(QStringLiteral("MLST")))
        capabilities |= Capability::RemoteSize;
    return capabilities;
}

QString FtpTransport::trustQuestion(const QString &errorMessage)
{
    return QStringLiteral("Error %1\r\n\r\nTrust this certificate for this server profile and connect again? "
                          "Say yes only if your host gives you the same fingerprint.")
        .arg(errorMessage);
}

qint64 FtpTransport::sizeInListing(const QString &line)
{
    // "-rw-r--r--  1 owner group 1234 Dec 09 11:40 name" or "12-09-24  11:40AM  1234 name".
    static const QRegularExpression unixForm(QStringLiteral(R"(^[-dlcbps][-rwxsStTl+.@]{9}\S*\s+\d+\s+\S+\s+(?:\S+\s+)?(\d+)\s+\w{3}\s)"));
    static const QRegularExpression windowsForm(QStringLiteral(R"(^\d\d-\d\d-\d\d(?:\d\d)?\s+\d\d?:\d\d(?:[AP]M)?\s+(\d+)\s)"));
    for (const QRegularExpression *form : {&unixForm, &windowsForm}) {
        const QRegularExpressionMatch match = form->match(line);
        if (match.hasMatch()) {
            bool ok = false;
            const qint64 size = match.captured(1).toLongLong(&ok);
            return ok ? size : -1;
        }
    }
    return -1;
}

qint64 FtpTransport::sizeInFacts(const QString &facts)
{
    const QString list = facts.section(u' ', 0, 0);
    for (const QString &fact : list.split(u';', Qt::SkipEmptyParts)) {
        if (fact.section(u'=', 0, 0).compare(u"size", Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        const qint64 size = fact.section(u'=', 1).toLongLong(&ok);
        return ok && size >= 0 ? size : -1;
    }
    return -1;
}

void FtpTransport::connectToServer()
{
    if (begin(Operation::Connect))
        run(Step::Connect);
}

void FtpTransport::enterFolder(const QString &folder)
{
    if (!begin(Operation::EnterFolder))
        return;
    mFtp.HostDirName = folder;
    run(folder.isEmpty() ? Step::PrintDir : Step::ChangeDir);
}

void FtpTransport::makeFolder(const QString &folder)
{
    if (!begin(Operation::MakeFolder))
        return;
    mFtp.HostFileName = folder;
    run(Step::MakeDir);
}

void FtpTransport::list()
{
    if (begin(Operation::List))
        run(Step::ListHidden);
}

void FtpTransport::store(QIODevice *source, const QString &remoteName, qint64 offset)
{
    if (!begin(Operation::Store))
        return;
    mOffset = offset;
    mProgressSent = 0;
    mFtp.SourceDevice = source;
    mFtp.LocalFileName = remoteName;
    mFtp.HostFileName = remoteName;
    mFtp.RestartOffset = offset;
    run(Step::Store);
}

void FtpTransport::remoteSize(const QString &remoteName)
{
    if (!begin(Operation::RemoteSize))
        return;
    mFtp.HostFileName = remoteName;
    run(Step::Size);
}

void FtpTransport::rename(const QString &from, const QString &to)
{
    if (!begin(Operation::Rename))
        return;
    mFtp.HostFileName = from;
    mFtp.RenameTo = to;
    run(Step::Rename);
}

void FtpTransport::remove(const QString &remoteName)
{
    if (!begin(Operation::Remove))
        return;
    mFtp.HostFileName = remoteName;
    run(Step::Delete);
}

void FtpTransport::quit()
{
    if (begin(Operation::Quit))
        run(Step::Quit);
}

void FtpTransport::abort()
{
    dropOperation();
    mFtp.AbortConnection();
    mFtp.SourceDevice = nullptr;
}

bool FtpTransport::begin(Operation operation)
{
    return PublishTransport::begin(operation, QStringLiteral("FTP component not ready"));
}

void FtpTransport::run(Step step)
{
    static constexpr void (TFtpClient::*requests[])() = {
        &TFtpClient::StartConnect, &TFtpClient::StartChangeDir, &TFtpClient::StartPrintDir, &TFtpClient::StartSetType,
        &TFtpClient::StartMakeDir, &TFtpClient::StartList,      &TFtpClient::StartList,     &TFtpClient::StartPut,
        &TFtpClient::StartSize,    &TFtpClient::StartMlst,      &TFtpClient::StartList,     &TFtpClient::StartRename,
        &TFtpClient::StartDelete,  &TFtpClient::StartQuit,
    };
    mStep = step;
    if (step == Step::ListHidden)
        mFtp.ListCommand = QStringLiteral("NLST -a");
    else if (step == Step::ListPlain)
        mFtp.ListCommand = QStringLiteral("NLST");
    else if (step == Step::ListFile)
        mFtp.ListCommand = QStringLiteral("LIST ") + mFtp.HostFileName;
    try {
        (mFtp.*requests[int(step)])();
    } catch (const FtpException &e) {
        // A refusal comes inside this call; the caller hears of it from the event loop.
        const quint64 generation = mGeneration;
        const QString message = e.message();
        QMetaObject::invokeMethod(
            this,
            [this, generation, message] {
                if (generation == mGeneration && mOperation)
                    finish(TransportResult::failure(TransportResult::Status::Failed, message));
            },
            Qt::QueuedConnection);
    }
}

void FtpTransport::requestDone(TFtpRequest, quint16 error)
{
    if (!mOperation)
        return;
    const bool connected = mFtp.IsConnected();
    switch (mStep) {
    case Step::ChangeDir:
    case Step::PrintDir:
        if (error == 0)
            run(Step::SetType);
        else
            stepFailed(error);
        return;
    case Step::ListHidden:
        // "-a" shows the names that start with a dot, where the server knows it; a
        // server that does not takes the plain command.
        if (error != 0 && connected && error < 1000)
            run(Step::ListPlain);
        else if (error != 0)
            stepFailed(error);
        else
            break;
        return;
    case Step::Size:
        if (error != 0 && connected && isUnsupportedReply(error))
            run(mFtp.Features().contains(QStringLiteral("MLST")) ? Step::Mlst : Step::ListFile);
        else if (error != 0)
            stepFailed(error);
        else
            sizeFound(mFtp.RemoteSize());
        return;
    case Step::Mlst:
        if (error == 0 && sizeInFacts(mFtp.Facts()) >= 0)
            sizeFound(sizeInFacts(mFtp.Facts()));
        else if ((error == 0 || isUnsupportedReply(error)) && connected)
            run(Step::ListFile);
        else
            stepFailed(error);
        return;
    case Step::ListFile:
        if (error != 0) {
            stepFailed(error);
            return;
        }
        for (const QString &line : mFtp.Listing()) {
            if (const qint64 size = sizeInListing(line); size >= 0) {
                sizeFound(size);
                return;
            }
        }
        finish(TransportResult::failure(mFtp.Listing().isEmpty() ? TransportResult::Status::NotFound
                                                                 : TransportResult::Status::Unsupported,
                                        QStringLiteral("550 The server tells no size of %1").arg(mFtp.HostFileName)));
        return;
    case Step::Quit:
        // A server that does not answer QUIT in time has been left; whatever the session
        // did before stands.
        if (error == 0 || (error == WinsockErrors::WSAETIMEDOUT && !connected))
            finish(TransportResult::success());
        else
            stepFailed(error);
        return;
    default:
        if (error != 0) {
            stepFailed(error);
            return;
        }
        break;
    }
    TransportResult result;
    if (mStep == Step::Store) {
        result.size = mOffset + mFtp.ByteCount();
        mFtp.SourceDevice = nullptr;
    } else if (mStep == Step::ListHidden || mStep == Step::ListPlain) {
        // Some servers list paths; the names are what follows the last slash.
        for (const QString &line : mFtp.Listing()) {
            const QString name = line.section(u'/', -1);
            if (!name.isEmpty() && name != u"." && name != u"..")
                result.names.append(name);
        }
    }
    finish(result);
}

void FtpTransport::sizeFound(qint64 size)
{
    TransportResult result;
    result.size = size;
    finish(result);
}

void FtpTransport::stepFailed(quint16 error)
{
    TransportResult result = failure(error);
    if (mStep == Step::Connect && !mFtp.RefusedCertificate().isEmpty()) {
        result.untrusted = UntrustedIdentity{UntrustedIdentity::Kind::Certificate, mFtp.RefusedCertificate(),
                                             trustQuestion(result.message)};
    }
    finish(result);
}

TransportResult FtpTransport::failure(quint16 error) const
{
    using Status = TransportResult::Status;
    QString message = mFtp.RequestErrorMessage();
    if (message.isEmpty())
        message = mFtp.ErrorMessage();
    Status status = Status::Refused;
    if (!mFtp.IsConnected())
        status = Status::Failed;
    else if (error == 550 && mStep != Step::Store && mStep != Step::SetType)
        status = Status::NotFound;
    else if (isUnsupportedReply(error))
        status = Status::Unsupported;
    return TransportResult::failure(status, message);
}

void FtpTransport::finish(TransportResult result)
{
    if (mStep == Step::Store)
        mFtp.SourceDevice = nullptr;
    PublishTransport::finish(result);
}
