#include "uploadrun.h"

#include "platform/prompter.h"
#include "upload/profilestore.h"
#include "upload/uploadlist.h"

#include <QFile>

UploadRun::UploadRun(Prompter &prompter, QObject *parent)
    : QObject(parent), mPrompter(prompter), mFactory(&Transports::forProfile)
{
}

UploadRun::~UploadRun()
{
    if (mTransport)
        mTransport->disconnect(this);
}

void UploadRun::send(ProfileStore &profiles, const QString &profileName)
{
    if (mFiles.isEmpty())
        return;
    mProfiles = &profiles;
    mProfileName = profileName;
    mCompleted = false;
    mUntrusted.reset();
    mSent.clear();
    emit busyCursorChanged(true);
    emit progressVisibleChanged(true);
    if (mTransport && mTransport->isConnected()) {
        // The old session ends first; the completion of its quit resets the page.
        if (!mTransport->isBusy())
            mTransport->quit();
        setStatus(QStringLiteral("Connected..."));
        return;
    }
    const ServerProfile profile = profiles.LoadProfile(profileName);
    mFolder = profile.InitialDir;
    if (mTransport)
        mTransport->disconnect(this);
    mTransport = mFactory(profile);
    connect(mTransport.get(), &PublishTransport::finished, this, &UploadRun::transportFinished);
    connect(mTransport.get(), &PublishTransport::progress, this, &UploadRun::transportProgress);
    connect(mTransport.get(), &PublishTransport::trace, this, &UploadRun::trace);
    setStatus(QStringLiteral("Connecting to ") + mTransport->hostName() + QStringLiteral("..."));
    setLocked(true);
    mTransport->connectToServer();
}

void UploadRun::close()
{
    if (!mTransport)
        return;
    if (mTransport->isConnected() && !mTransport->isBusy()) {
        mTransport->quit();
        return;
    }
    mTransport->abort();
    if (mLocked)
        resetPage();
}

void UploadRun::transportFinished(Operation operation, const TransportResult &result)
{
    if (operation == Operation::Store && mProgressPending)
        showProgress(mProgressCount);
    if (!result.ok()) {
        failed(operation, result);
        return;
    }
    switch (operation) {
    case Operation::Connect:
        setStatus(QStringLiteral("Connected to ") + mTransport->hostName() + QStringLiteral("..."));
        mTransport->enterFolder(mFolder);
        break;
    case Operation::EnterFolder:
        setStatus(QStringLiteral("Finding Initial Directory..."));
        setStatus(QStringLiteral("Transferring..."));
        mFilesLeft = int(mFiles.size());
        storeNextFile();
        break;
    case Operation::Store:
        mSource.close();
        mSent.append(mCurrentFile);
        if (mFilesLeft == 0) {
            // The quit's completion may reset the page while the box is still open.
            quitOrReset();
            mCompleted = true;
            mPrompter.ask(Prompter::Kind::Information, completedMessage(), Prompter::Ok);
        } else {
            storeNextFile();
        }
        break;
    case Operation::MakeFolder:
        mTransport->enterFolder(mFolder);
        break;
    case Operation::Quit:
        resetPage();
        break;
    default:
        break;
    }
}

void UploadRun::failed(Operation operation, const TransportResult &result)
{
    emit busyCursorChanged(false);
    // A folder that the server does not find (or cannot make) is missing. Anywhere
    // else, a store above all, a refusal is an error like any other: asking to make a
    // folder that exists would only go round in circles.
    if (result.status == TransportResult::Status::NotFound
        && (operation == Operation::EnterFolder || operation == Operation::MakeFolder)) {
        if (mPrompter.ask(Prompter::Kind::Warning, missingDirectoryQuestion(), Prompter::Yes | Prompter::No) == Prompter::Yes) {
            setStatus(QStringLiteral("Making Directory..."));
            mTransport->makeFolder(mFolder);
        } else {
            quitOrReset();
        }
        return;
    }
    const QString file = mCurrentFile;
    quitOrReset();
    emit progressVisibleChanged(false);
    mUntrusted = result.untrusted;
    if (offerTrust(result))
        return;
    QString message = QStringLiteral("Error ") + result.message;
    if (operation == Operation::Store)
        message += QStringLiteral("\r\n\r\n") + storeFailedNote(file, mSent);
    mPrompter.ask(Prompter::Kind::Warning, message, Prompter::Ok);
}

bool UploadRun::offerTrust(const TransportResult &result)
{
    if (!mCertificateQuestions || !result.untrusted || !mProfiles)
        return false;
    if (mPrompter.ask(Prompter::Kind::Warning, result.untrusted->question, Prompter::Yes | Prompter::No) != Prompter::Yes)
        return true;
    bool trusted = false;
    switch (result.untrusted->kind) {
    case UntrustedIdentity::Kind::Certificate:
        trusted = mProfiles->TrustCertificate(mProfileName, result.untrusted->fingerprint);
        break;
    }
    if (!trusted) {
        mPrompter.ask(Prompter::Kind::Error, mProfiles->errorString(), Prompter::Ok);
        return true;
    }
    send(*mProfiles, mProfileName);
    return true;
}

// Progress may come for every 1514 bytes; the label is refreshed at most ten times a
// second, with each file's first and last count always shown.
void UploadRun::transportProgress(qint64 count)
{
    mProgressCount = count;
    if (count != 0 && mProgressShown.isValid() && mProgressShown.elapsed() < 100) {
        mProgressPending = true;
        return;
    }
    showProgress(count);
}

void UploadRun::showProgress(qint64 count)
{
    mProgressShown.start();
    mProgressPending = false;
    const qsizetype dots = mStatus.indexOf(QStringLiteral("..."));
    const QString head = dots < 0 ? mStatus : mStatus.left(dots + 3);
    setStatus(head + u' ' + QString::number(count) + QStringLiteral(" bytes"));
}

void UploadRun::storeNextFile()
{
    --mFilesLeft;
    const QString &local = mFiles.at(mFilesLeft);
    mCurrentFile = UploadList::bareFileName(local);
    mSource.close();
    mSource.setFileName(local);
    if (!mSource.open(QIODevice::ReadOnly)) {
        failed(Operation::Store, TransportResult::failure(TransportResult::Status::Refused,
                                                          QStringLiteral("426 Unable to open local file ") + local));
        return;
    }
    mTransport->store(&mSource, mCurrentFile, 0);
}

void UploadRun::quitOrReset()
{
    if (mTransport && mTransport->isConnected()) {
        if (!mTransport->isBusy()) {
            mTransport->quit();
            return;
        }
        mTransport->abort();
    }
    resetPage();
}

void UploadRun::resetPage()
{
    emit busyCursorChanged(false);
    emit progressVisibleChanged(false);
    setLocked(false);
    emit pageReset();
}

void UploadRun::setStatus(const QString &text)
{
    mStatus = text;
    emit statusChanged(text);
}

void UploadRun::setLocked(bool locked)
{
    if (mLocked == locked)
        return;
    mLocked = locked;
    emit lockedChanged(locked);
}
