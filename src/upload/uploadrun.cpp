#include "uploadrun.h"

#include "platform/prompter.h"
#include "upload/profilestore.h"
#include "upload/publishrecord.h"
#include "upload/uploadsource.h"

namespace {

// A store cut off after this much is worth continuing at the next run.
constexpr qint64 resumableBytes = 1024 * 1024;

QString fileCount(int count)
{
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}

}

UploadRun::UploadRun(Prompter &prompter, QObject *parent)
    : QObject(parent), mPrompter(prompter), mFactory(&Transports::forProfile)
{
}

UploadRun::~UploadRun()
{
    if (mTransport)
        mTransport->disconnect(this);
}

PublishDestination UploadRun::destinationOf(const ServerProfile &profile)
{
    return {profile.ProfileName, profile.HostName, profile.Port, profile.UserName, profile.InitialDir};
}

QString UploadRun::summaryText(const Summary &summary)
{
    return QStringLiteral("%1 sent (%2 bytes), %3 unchanged, in %4 seconds.")
        .arg(fileCount(summary.sent))
        .arg(summary.bytes)
        .arg(summary.unchanged)
        .arg(summary.milliseconds / 1000.0, 0, 'f', 1);
}

void UploadRun::send(ProfileStore &profiles, const QString &profileName)
{
    if (mFiles.isEmpty())
        return;
    std::optional<ServerProfile> profile;
    if (!isConnected()) {
        profile = profiles.LoadProfile(profileName);
        // A password the keychain keeps to itself must not become an empty one.
        if (!profiles.readPassword(*profile)) {
            mPrompter.error(profiles.errorString());
            return;
        }
    }
    mProfiles = &profiles;
    mProfileName = profileName;
    mCompleted = false;
    mUntrusted.reset();
    emit busyCursorChanged(true);
    emit progressVisibleChanged(true);
    if (mTransport && mTransport->isConnected()) {
        // The old session ends first; the completion of its quit resets the page.
        if (!mTransport->isBusy())
            request(Phase::Quit, [](PublishTransport &t) { t.quit(); });
        setStatus(QStringLiteral("Connected..."));
        return;
    }
    mFolder = profile->InitialDir;
    mDestination = destinationOf(*profile);
    mFolderMissing = false;
    mPlan.clear();
    mIndex = -1;
    mLeftovers.clear();
    mResumeChecks.clear();
    mResumeAt.clear();
    mTemporaries.clear();
    mSent.clear();
    mSource.reset();
    mDirect = false;
    mRenameReplaces = true;
    mSummary = Summary();
    mClock.start();
    if (mRecord)
        mRecord->load();
    // The old transport may be the one whose completion called this.
    if (mTransport) {
        mTransport->disconnect(this);
        mTransport.release()->deleteLater();
    }
    mTransport = mFactory(*profile);
    connect(mTransport.get(), &PublishTransport::finished, this, &UploadRun::transportFinished);
    connect(mTransport.get(), &PublishTransport::progress, this, &UploadRun::transportProgress);
    connect(mTransport.get(), &PublishTransport::trace, this, &UploadRun::trace);
    setStatus(QStringLiteral("Connecting to ") + mTransport->hostName() + QStringLiteral("..."));
    setLocked(true);
    request(Phase::Connect, [](PublishTransport &t) { t.connectToServer(); });
}

void UploadRun::close()
{
    if (!mTransport)
        return;
    if (mPhase == Phase::Store)
        keepUnfinishedStore();
    if (mRecord && mIndex >= 0)
        mRecord->save();
    if (mTransport->isConnected() && !mTransport->isBusy()) {
        request(Phase::Quit, [](PublishTransport &t) { t.quit(); });
        return;
    }
    mTransport->abort();
    mSource.reset();
    mPhase = Phase::Idle;
    if (mLocked)
        resetPage();
}

void UploadRun::request(Phase phase, const std::function<void(PublishTransport &)> &operation)
{
    mPhase = phase;
    operation(*mTransport);
}

void UploadRun::transportFinished(Operation operation, const TransportResult &result)
{
    // Each file's last count is shown, whatever came before it.
    if (operation == Operation::Store && result.ok() && (mProgressPending || mProgressCount != result.size))
        showProgress(result.size);
    else if (operation == Operation::Store && mProgressPending)
        showProgress(mProgressCount);
    const Phase phase = std::exchange(mPhase, Phase::Idle);
    const bool failed = result.status == Status::Failed;
    switch (phase) {
    case Phase::Idle:
        return;
    case Phase::Connect:
        if (result.ok())
            connected();
        else
            transportFailed(operation, result);
        return;
    case Phase::EnterFolder:
        folderEntered(result);
        return;
    case Phase::MakeFolder:
        if (result.ok())
            request(Phase::EnterFolder, [this](PublishTransport &t) { t.enterFolder(mFolder); });
        else if (result.status == Status::NotFound)
            askForFolder();
        else
            transportFailed(operation, result);
        return;
    case Phase::List:
        listed(result);
        return;
    case Phase::ResumeCheck: {
        if (failed) {
            transportFailed(operation, result);
            return;
        }
        const QString name = mResumeChecks.takeFirst();
        for (const PlannedFile &file : std::as_const(mPlan)) {
            if (file.remoteName == name && result.ok() && result.size > 0 && result.size <= file.size)
                mResumeAt.insert(name, result.size);
        }
        nextResumeCheck();
        return;
    }
    case Phase::Clean:
        if (failed) {
            transportFailed(operation, result);
            return;
        }
        mLeftovers.removeFirst();
        nextCleaning();
        return;
    case Phase::Store:
        stored(result);
        return;
    case Phase::Verify:
        verified(result);
        return;
    case Phase::Rename:
        renamed(result);
        return;
    case Phase::RemoveTarget:
        // A target that is not there is no obstacle to the rename.
        if (failed)
            transportFailed(operation, result);
        else
            request(Phase::Rename, [this](PublishTransport &t) {
                t.rename(PublishPlan::temporaryName(current().remoteName), current().remoteName);
            });
        return;
    case Phase::RemoveTemporary:
        if (failed) {
            transportFailed(operation, result);
            return;
        }
        mTemporaries.removeAll(PublishPlan::temporaryName(current().remoteName));
        storeCurrent(0);
        return;
    case Phase::CleanUp:
        if (failed)
            resetPage();
        else
            nextCleanUp();
        return;
    case Phase::Quit:
        resetPage();
        if (!result.ok())
            mPrompter.ask(Prompter::Kind::Warning, QStringLiteral("Error ") + result.message, Prompter::Ok);
        return;
    }
}

void UploadRun::connected()
{
    setStatus(QStringLiteral("Connected to ") + mTransport->hostName() + QStringLiteral("..."));
    request(Phase::EnterFolder, [this](PublishTransport &t) { t.enterFolder(mFolder); });
}

void UploadRun::folderEntered(const TransportResult &result)
{
    if (result.status == Status::NotFound) {
        askForFolder();
        return;
    }
    if (!result.ok()) {
        transportFailed(Operation::EnterFolder, result);
        return;
    }
    setStatus(QStringLiteral("Finding Initial Directory..."));
    request(Phase::List, [](PublishTransport &t) { t.list(); });
}

// A folder that the server does not find (or cannot make) is missing. Anywhere else, a
// store above all, a refusal is an error like any other: asking to make a folder that
// exists would only go round in circles.
void UploadRun::askForFolder()
{
    emit busyCursorChanged(false);
    if (mPrompter.ask(Prompter::Kind::Warning, missingDirectoryQuestion(), Prompter::Yes | Prompter::No) != Prompter::Yes) {
        quitOrReset();
        return;
    }
    if (mDryRun) {
        // Nothing is made: the run goes on as if the folder were there, empty.
        mFolderMissing = true;
        emit notice(QStringLiteral("The folder \"%1\" would be made.").arg(mFolder));
        listed(TransportResult::success());
        return;
    }
    setStatus(QStringLiteral("Making Directory..."));
    request(Phase::MakeFolder, [this](PublishTransport &t) { t.makeFolder(mFolder); });
}

void UploadRun::listed(const TransportResult &result)
{
    if (result.status == Status::Failed) {
        transportFailed(Operation::List, result);
        return;
    }
    // A server that lists nothing only keeps what earlier runs left from being found.
    for (const QString &name : result.names) {
        if (PublishPlan::isTemporaryName(name))
            mLeftovers.append(name);
    }
    const PublishRecord empty;
    mPlan = PublishPlan::make(mFiles, mRecord ? *mRecord : empty, mDestination, mSendAll);
    const bool resumable = mTransport->capabilities().testFlag(PublishTransport::Capability::Resume);
    for (const PlannedFile &file : std::as_const(mPlan)) {
        const std::optional<PublishedFile> unfinished = mRecord ? mRecord->unfinished(mDestination, file.remoteName) : std::nullopt;
        if (resumable && file.send && !mFolderMissing && unfinished && unfinished->localPath == file.localPath
            && unfinished->size == file.size && unfinished->modified == file.modified)
            mResumeChecks.append(file.remoteName);
    }
    nextResumeCheck();
}

void UploadRun::nextResumeCheck()
{
    if (mResumeChecks.isEmpty()) {
        for (auto resumed = mResumeAt.cbegin(); resumed != mResumeAt.cend(); ++resumed)
            mLeftovers.removeAll(PublishPlan::temporaryName(resumed.key()));
        if (mDryRun)
            finishDryRun();
        else
            nextCleaning();
        return;
    }
    const QString temporary = PublishPlan::temporaryName(mResumeChecks.first());
    request(Phase::ResumeCheck, [temporary](PublishTransport &t) { t.remoteSize(temporary); });
}

void UploadRun::nextCleaning()
{
    if (mLeftovers.isEmpty()) {
        startTransfers();
        return;
    }
    const QString name = mLeftovers.first();
    request(Phase::Clean, [name](PublishTransport &t) { t.remove(name); });
}

void UploadRun::finishDryRun()
{
    for (const QString &name : std::as_const(mLeftovers))
        emit fileReported(QStringLiteral("%1: left by an earlier run, would be removed").arg(name));
    bool readable = true;
    for (const PlannedFile &file : std::as_const(mPlan)) {
        if (file.send && file.size < 0) {
            readable = false;
            emit fileReported(QStringLiteral("%1: cannot be sent: %2 is not there").arg(file.remoteName, file.localPath));
            continue;
        }
        emit fileReported(fileLine(file, mResumeAt.value(file.remoteName)));
        if (file.send) {
            ++mSummary.sent;
            mSummary.bytes += file.size - mResumeAt.value(file.remoteName);
        } else {
            ++mSummary.unchanged;
        }
    }
    mSummary.milliseconds = mClock.elapsed();
    emit summaryChanged(QStringLiteral("%1 would be sent (%2 bytes), %3 unchanged.")
                            .arg(fileCount(mSummary.sent))
                            .arg(mSummary.bytes)
                            .arg(mSummary.unchanged));
    mCompleted = readable;
    quitOrReset();
}

void UploadRun::startTransfers()
{
    setStatus(QStringLiteral("Transferring..."));
    for (const PlannedFile &file : std::as_const(mPlan)) {
        if (!file.send) {
            ++mSummary.unchanged;
            emit fileReported(fileLine(file, 0));
        }
    }
    mIndex = -1;
    nextFile();
}

void UploadRun::nextFile()
{
    do
        ++mIndex;
    while (mIndex < mPlan.size() && !mPlan.at(mIndex).send);
    if (mIndex >= mPlan.size()) {
        finishTransfers();
        return;
    }
    mRenameRetried = false;
    storeCurrent(mDirect ? 0 : mResumeAt.value(current().remoteName));
}

void UploadRun::storeCurrent(qint64 offset)
{
    const PlannedFile &file = current();
    mSource = std::make_unique<UploadSource>(file.localPath);
    QString reason;
    if (!mSource->openAt(offset, &reason)) {
        mSource.reset();
        fail(QStringLiteral("426 Unable to open local file ") + file.localPath, true);
        return;
    }
    mOffset = offset;
    mProgressShown.invalidate();
    const QString target = mDirect ? file.remoteName : PublishPlan::temporaryName(file.remoteName);
    if (!mDirect && !mTemporaries.contains(target))
        mTemporaries.append(target);
    request(Phase::Store, [this, target, offset](PublishTransport &t) { t.store(mSource.get(), target, offset); });
}

void UploadRun::stored(const TransportResult &result)
{
    if (!result.ok()) {
        keepUnfinishedStore();
        transportFailed(Operation::Store, result);
        return;
    }
    mExpectedSize = result.size;
    mDigest = mSource->finish();
    const PlannedFile &file = current();
    if (mDigest.isEmpty()) {
        fail(QStringLiteral("426 Error reading file ") + file.localPath, true);
        return;
    }
    if (mOffset > 0 && mRecord) {
        // The first part was sent from the file as it was then; the file must still be
        // that file, or what the server holds is a mixture of two.
        const std::optional<PublishedFile> unfinished = mRecord->unfinished(mDestination, file.remoteName);
        mRecord->clearUnfinished(mDestination, file.remoteName);
        if (!unfinished || unfinished->sha256 != mDigest) {
            fail(QStringLiteral("\"%1\" changed since its sending was cut off; it will be sent whole next time.").arg(file.remoteName),
                 true);
            return;
        }
    }
    const QString target = mDirect ? file.remoteName : PublishPlan::temporaryName(file.remoteName);
    request(Phase::Verify, [target](PublishTransport &t) { t.remoteSize(target); });
}

void UploadRun::verified(const TransportResult &result)
{
    if (result.status == Status::Failed) {
        transportFailed(Operation::RemoteSize, result);
        return;
    }
    const QString &name = current().remoteName;
    if (!result.ok()) {
        fail(QStringLiteral("\"%1\" cannot be checked on the server: %2").arg(name, result.message), true);
        return;
    }
    if (result.size != mExpectedSize) {
        fail(incompleteMessage(name, result.size, mExpectedSize), true);
        return;
    }
    if (mDirect)
        placed();
    else
        renameCurrent();
}

void UploadRun::renameCurrent()
{
    const QString name = current().remoteName;
    if (!mRenameReplaces) {
        mRenameRetried = true;
        request(Phase::RemoveTarget, [name](PublishTransport &t) { t.remove(name); });
        return;
    }
    request(Phase::Rename, [name](PublishTransport &t) { t.rename(PublishPlan::temporaryName(name), name); });
}

void UploadRun::renamed(const TransportResult &result)
{
    if (result.ok()) {
        if (mRenameRetried)
            mRenameReplaces = false;
        placed();
        return;
    }
    if (result.status == Status::Failed) {
        transportFailed(Operation::Rename, result);
        return;
    }
    const QString name = current().remoteName;
    // Some servers do not rename onto an existing file: the old one goes first, for
    // the moment the rename takes.
    if (!mRenameRetried) {
        mRenameRetried = true;
        request(Phase::RemoveTarget, [name](PublishTransport &t) { t.remove(name); });
        return;
    }
    mDirect = true;
    emit notice(directStoreNotice());
    request(Phase::RemoveTemporary, [name](PublishTransport &t) { t.remove(PublishPlan::temporaryName(name)); });
}

void UploadRun::placed()
{
    const PlannedFile &file = current();
    mTemporaries.removeAll(PublishPlan::temporaryName(file.remoteName));
    if (mRecord) {
        PublishedFile entry = PublishPlan::entryFor(file);
        entry.sha256 = mDigest;
        mRecord->setPublished(mDestination, file.remoteName, entry);
        mRecord->clearUnfinished(mDestination, file.remoteName);
    }
    mSent.append(file.remoteName);
    ++mSummary.sent;
    mSummary.bytes += mExpectedSize - mOffset;
    emit fileReported(fileLine(file, mOffset));
    mSource.reset();
    nextFile();
}

void UploadRun::finishTransfers()
{
    QString reason;
    if (mRecord && !mRecord->save(&reason))
        emit notice(QStringLiteral("What was published cannot be recorded (%1): the next run sends every file again.").arg(reason));
    mCompleted = true;
    endSummary();
    // The quit's completion may reset the page while the box is still open.
    quitOrReset();
    mPrompter.ask(Prompter::Kind::Information, completedMessage(), Prompter::Ok);
}

void UploadRun::transportFailed(Operation operation, const TransportResult &result)
{
    mUntrusted = result.untrusted;
    const bool aboutFile = operation == Operation::Store || operation == Operation::RemoteSize || operation == Operation::Rename
        || (operation == Operation::Remove && mIndex >= 0 && mIndex < mPlan.size());
    if (!mCertificateQuestions || !result.untrusted || !mProfiles) {
        fail(result.message, aboutFile);
        return;
    }
    // Whatever the answer, this session is over: trusting starts a new one.
    emit busyCursorChanged(false);
    if (mTransport->isConnected())
        mTransport->abort();
    resetPage();
    offerTrust(result);
}

// Whatever the failure, what was put in place stays recorded, this run's temporary
// files go (where the session still allows it), and the user hears which file failed.
void UploadRun::fail(const QString &message, bool aboutFile)
{
    emit busyCursorChanged(false);
    if (mRecord && mIndex >= 0)
        mRecord->save();
    if (mIndex >= 0)
        endSummary();
    QString text = QStringLiteral("Error ") + message;
    if (aboutFile && mIndex >= 0 && mIndex < mPlan.size())
        text += QStringLiteral("\r\n\r\n") + storeFailedNote(current().remoteName, mSent);
    mSource.reset();
    nextCleanUp();
    emit progressVisibleChanged(false);
    mPrompter.ask(Prompter::Kind::Warning, text, Prompter::Ok);
}

// A large file cut off while it was sent is kept on the server under its temporary
// name, with the digest of the whole local file in the record: the next run continues
// it if the file is still the same.
void UploadRun::keepUnfinishedStore()
{
    if (!mRecord || !mSource || mDirect || mIndex < 0 || mIndex >= mPlan.size()
        || !mTransport->capabilities().testFlag(PublishTransport::Capability::Resume) || mSource->bytesRead() < resumableBytes)
        return;
    const PlannedFile &file = current();
    PublishedFile entry = PublishPlan::entryFor(file);
    entry.sha256 = mSource->finish();
    entry.temporary = PublishPlan::temporaryName(file.remoteName);
    if (entry.sha256.isEmpty())
        return;
    mRecord->setUnfinished(mDestination, file.remoteName, entry);
    mTemporaries.removeAll(entry.temporary);
}

void UploadRun::nextCleanUp()
{
    if (!mTransport || !mTransport->isConnected()) {
        resetPage();
        return;
    }
    if (mTemporaries.isEmpty()) {
        quitOrReset();
        return;
    }
    const QString name = mTemporaries.takeFirst();
    request(Phase::CleanUp, [name](PublishTransport &t) { t.remove(name); });
}

void UploadRun::offerTrust(const TransportResult &result)
{
    if (mPrompter.ask(Prompter::Kind::Warning, result.untrusted->question, Prompter::Yes | Prompter::No) != Prompter::Yes)
        return;
    bool trusted = false;
    switch (result.untrusted->kind) {
    case UntrustedIdentity::Kind::Certificate:
        trusted = mProfiles->TrustCertificate(mProfileName, result.untrusted->fingerprint);
        break;
    case UntrustedIdentity::Kind::HostKey:
        trusted = mProfiles->TrustHostKey(mProfileName, result.untrusted->fingerprint);
        break;
    }
    if (!trusted) {
        mPrompter.ask(Prompter::Kind::Error, mProfiles->errorString(), Prompter::Ok);
        return;
    }
    send(*mProfiles, mProfileName);
}

// Progress may come for every 1514 bytes; the label is refreshed at most ten times a
// second, with each file's first and last count always shown.
void UploadRun::transportProgress(qint64 count)
{
    mProgressCount = count;
    if (mProgressShown.isValid() && mProgressShown.elapsed() < 100) {
        mProgressPending = true;
        return;
    }
    showProgress(count);
}

void UploadRun::showProgress(qint64 count)
{
    mProgressShown.start();
    mProgressPending = false;
    mProgressCount = count;
    const qsizetype dots = mStatus.indexOf(QStringLiteral("..."));
    const QString head = dots < 0 ? mStatus : mStatus.left(dots + 3);
    setStatus(head + u' ' + QString::number(count) + QStringLiteral(" bytes"));
}

QString UploadRun::fileLine(const PlannedFile &file, qint64 resumeAt) const
{
    if (!file.send)
        return file.remoteName + (mDryRun ? QStringLiteral(": would not be sent (unchanged)") : QStringLiteral(": not sent (unchanged)"));
    QString detail = PublishPlan::stateText(file.state) + QStringLiteral(", %1 bytes").arg(file.size);
    if (resumeAt > 0)
        detail += QStringLiteral(", continued from byte %1").arg(resumeAt);
    return file.remoteName + (mDryRun ? QStringLiteral(": would be sent (") : QStringLiteral(": sent (")) + detail + u')';
}

void UploadRun::quitOrReset()
{
    if (mTransport && mTransport->isConnected()) {
        if (!mTransport->isBusy()) {
            request(Phase::Quit, [](PublishTransport &t) { t.quit(); });
            return;
        }
        mTransport->abort();
    }
    resetPage();
}

void UploadRun::resetPage()
{
    mPhase = Phase::Idle;
    mSource.reset();
    emit busyCursorChanged(false);
    emit progressVisibleChanged(false);
    setLocked(false);
    emit pageReset();
}

void UploadRun::endSummary()
{
    mSummary.milliseconds = mClock.elapsed();
    emit summaryChanged(summaryText(mSummary));
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
