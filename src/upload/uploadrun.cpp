#include "uploadrun.h"

#include "platform/prompter.h"
#include "upload/profilestore.h"
#include "upload/uploadlist.h"

UploadRun::UploadRun(TFtpClient &ftp, Prompter &prompter, QObject *parent)
    : QObject(parent), mFtp(ftp), mPrompter(prompter)
{
    connect(&mFtp, &TFtpClient::OnRequestDone, this, &UploadRun::ftpRequestDone);
    connect(&mFtp, &TFtpClient::OnProgress, this, &UploadRun::ftpProgress);
}

void UploadRun::send(ProfileStore &profiles, const QString &profileName)
{
    if (mFiles.isEmpty())
        return;
    mProfiles = &profiles;
    mProfileName = profileName;
    mCompleted = false;
    mSent.clear();
    emit busyCursorChanged(true);
    if (mFtp.IsConnected())
        start(&TFtpClient::StartQuit);
    emit progressVisibleChanged(true);
    profiles.LoadProfile(profileName, mFtp);
    if (mFtp.IsConnected()) {
        // The QUIT just started ends the old session; its completion resets the page.
        setStatus(QStringLiteral("Connected..."));
        return;
    }
    setStatus(QStringLiteral("Connecting to ") + mFtp.HostName + QStringLiteral("..."));
    setLocked(true);
    start(&TFtpClient::StartConnect);
}

void UploadRun::close()
{
    if (mFtp.IsConnected()) {
        try {
            mFtp.StartQuit();
            return;
        } catch (const FtpException &) {
        }
    }
    mFtp.AbortConnection();
    if (mLocked)
        resetPage();
}

void UploadRun::ftpRequestDone(TFtpRequest request, quint16 error)
{
    if (request == rqPut && mProgressPending)
        showProgress(mProgressCount);
    if (error != 0) {
        requestFailed(request, error);
        return;
    }
    switch (request) {
    case rqConnect:
        setStatus(QStringLiteral("Connected to ") + mFtp.HostName + QStringLiteral("..."));
        if (ready())
            start(mFtp.HostDirName.isEmpty() ? &TFtpClient::StartPrintDir : &TFtpClient::StartChangeDir);
        break;
    case rqChangeDir:
    case rqPrintDir:
        setStatus(QStringLiteral("Finding Initial Directory..."));
        if (ready())
            start(&TFtpClient::StartSetType);
        break;
    case rqSetType:
        setStatus(QStringLiteral("Transferring..."));
        if (ready()) {
            mFilesLeft = int(mFiles.size());
            PrepareNextFile();
            start(&TFtpClient::StartPut);
        }
        break;
    case rqPut:
        mSent.append(mFtp.HostFileName);
        if (mFilesLeft == 0) {
            // The QUIT's completion may reset the page while the box is still open.
            if (mFtp.IsConnected())
                start(&TFtpClient::StartQuit);
            else
                resetPage();
            mCompleted = true;
            mPrompter.ask(Prompter::Kind::Information, completedMessage(), Prompter::Ok);
        } else if (ready()) {
            PrepareNextFile();
            start(&TFtpClient::StartPut);
        }
        break;
    case rqMakeDir:
        if (ready())
            start(&TFtpClient::StartChangeDir);
        break;
    case rqQuit:
        resetPage();
        break;
    default:
        break;
    }
}

void UploadRun::requestFailed(TFtpRequest request, quint16 error)
{
    // Resetting the page clears it.
    const QString file = mFtp.HostFileName;
    emit busyCursorChanged(false);
    // A QUIT the server never answered has been given up by the client, which has
    // dropped the connection; whatever the run did before it stands.
    if (request == rqQuit && error == WinsockErrors::WSAETIMEDOUT && !mFtp.IsConnected()) {
        resetPage();
        return;
    }
    // A 550 to changing into the remote directory (or to making it) means that it is
    // missing. Anywhere else, a store above all, it is a refusal like any other: asking
    // to make a directory that exists would only go round in circles.
    if (error == 550 && (request == rqChangeDir || request == rqMakeDir)) {
        if (mPrompter.ask(Prompter::Kind::Warning, missingDirectoryQuestion(), Prompter::Yes | Prompter::No) == Prompter::Yes) {
            if (ready()) {
                mFtp.HostFileName = mFtp.HostDirName;
                setStatus(QStringLiteral("Making Directory..."));
                start(&TFtpClient::StartMakeDir);
            }
        } else {
            quitOrReset();
        }
        return;
    }
    quitOrReset();
    emit progressVisibleChanged(false);
    if (offerTrust())
        return;
    QString message = QStringLiteral("Error ") + mFtp.ErrorMessage();
    if (request == rqPut)
        message += QStringLiteral("\r\n\r\n") + storeFailedNote(file, mSent);
    mPrompter.ask(Prompter::Kind::Warning, message, Prompter::Ok);
}

bool UploadRun::offerTrust()
{
    const QString fingerprint = mFtp.RefusedCertificate();
    if (!mCertificateQuestions || fingerprint.isEmpty() || !mProfiles)
        return false;
    if (mPrompter.ask(Prompter::Kind::Warning, trustQuestion(mFtp.ErrorMessage()), Prompter::Yes | Prompter::No) != Prompter::Yes)
        return true;
    if (!mProfiles->TrustCertificate(mProfileName, fingerprint)) {
        mPrompter.ask(Prompter::Kind::Error, mProfiles->errorString(), Prompter::Ok);
        return true;
    }
    send(*mProfiles, mProfileName);
    return true;
}

// Progress comes for every 1514 bytes; the label is refreshed at most ten times a
// second, with each file's first and last count always shown.
void UploadRun::ftpProgress(qint64 count, bool &)
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

void UploadRun::PrepareNextFile()
{
    --mFilesLeft;
    const QString &local = mFiles.at(mFilesLeft);
    mFtp.LocalFileName = local;
    mFtp.HostFileName = UploadList::bareFileName(local);
}

void UploadRun::quitOrReset()
{
    if (mFtp.IsConnected() && start(&TFtpClient::StartQuit))
        return;
    if (mFtp.IsConnected())
        mFtp.AbortConnection();
    resetPage();
}

void UploadRun::resetPage()
{
    emit busyCursorChanged(false);
    emit progressVisibleChanged(false);
    setLocked(false);
    mFtp.HostFileName.clear();
    mFtp.LocalFileName.clear();
    emit pageReset();
}

bool UploadRun::start(void (TFtpClient::*request)())
{
    try {
        (mFtp.*request)();
        return true;
    } catch (const FtpException &e) {
        mPrompter.ask(Prompter::Kind::Error, e.message(), Prompter::Ok);
        return false;
    }
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
