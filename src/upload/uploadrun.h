#pragma once

#include "upload/publishplan.h"
#include "upload/publishtransport.h"
#include "upload/transportfactory.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <memory>

class Prompter;
class ProfileStore;
class PublishRecord;
class UploadSource;
struct ServerProfile;

// One publishing run of the wizard's list over one session of the profile's transport,
// driven by the transport's completions. It knows no protocol. The live page is never
// half-updated: each file goes to the server under a temporary name, its size there is
// checked, and only then is it renamed into place, the pictures first and the page
// last. Files the record says are on the server as they are now are not sent again;
// a file whose sending was cut off continues where it stopped. The window only shows
// what the signals say; the questions and messages go through the Prompter.
class UploadRun : public QObject
{
    Q_OBJECT

public:
    struct Summary
    {
        int sent = 0;
        int unchanged = 0;
        qint64 bytes = 0;
        qint64 milliseconds = 0;
    };

    explicit UploadRun(Prompter &prompter, QObject *parent = nullptr);
    ~UploadRun() override;

    // How the transport of a profile is made (tests); by default Transports::forProfile.
    void setTransportFactory(TransportFactory factory) { mFactory = std::move(factory); }
    // What was published before and is recorded after a run; without one, every file
    // is new. It must outlive the run.
    void setRecord(PublishRecord *record) { mRecord = record; }

    // The upload list: full local paths in display order. The list must not change
    // while a run is going on (the window locks it).
    void setFiles(const QStringList &files) { mFiles = files; }
    QStringList files() const { return mFiles; }
    // Sends unchanged files too.
    void setSendAll(bool all) { mSendAll = all; }
    // Connects, logs in, checks the remote folder and reports what a run would do
    // (fileReported()), storing and removing nothing.
    void setDryRun(bool dryRun) { mDryRun = dryRun; }

    // Starts a run with the named profile. Does nothing while the list is empty, and
    // shows an error instead when the keychain that keeps the profile's password does
    // not give it. The store must outlive the run: an identity the user decides to
    // trust is saved into the profile there.
    void send(ProfileStore &profiles, const QString &profileName);

    // With questions on (the default), a server identity that fails verification ends
    // the run with a question showing its fingerprint; Yes saves it into the profile
    // and starts the run again. Without, the failure is an error like any other (the
    // command line, where --set-profile trusts it).
    void setCertificateQuestions(bool ask) { mCertificateQuestions = ask; }

    // The window is closing: quits the session, or drops the connection at once when an
    // operation is still pending, so that a server that stopped answering never keeps
    // the window open. What was put in place is recorded.
    void close();

    QString statusText() const { return mStatus; }
    bool isLocked() const { return mLocked; }
    bool isConnected() const { return mTransport && mTransport->isConnected(); }
    // The last run got as far as "Transfer Completed." (a dry run: found that a real
    // run could go ahead).
    bool transferCompleted() const { return mCompleted; }
    // What the last run failed on that the user may trust, if anything.
    std::optional<UntrustedIdentity> untrustedIdentity() const { return mUntrusted; }
    Summary summary() const { return mSummary; }

    // The destination a profile publishes to, as the record knows it.
    static PublishDestination destinationOf(const ServerProfile &profile);

    static QString missingDirectoryQuestion() { return QStringLiteral("Host Directory Does not exist. Do you want to create it?"); }
    static QString completedMessage() { return QStringLiteral("Transfer Completed."); }
    // Follows the error of a file that did not get into place: which file, and which
    // did before it (remote names, in the order put in place).
    static QString storeFailedNote(const QString &file, const QStringList &sent)
    {
        const QString failed = QStringLiteral("\"%1\" was not sent.").arg(file);
        if (sent.isEmpty())
            return failed + QStringLiteral(" No file reached the server.");
        return failed + QStringLiteral(" Files that reached the server: \"%1\".").arg(sent.join(QStringLiteral("\", \"")));
    }
    static QString incompleteMessage(const QString &file, qint64 held, qint64 sent)
    {
        return QStringLiteral("\"%1\" did not arrive whole: the server holds %2 bytes of the %3 sent.").arg(file).arg(held).arg(sent);
    }
    static QString directStoreNotice()
    {
        return QStringLiteral("The server does not rename files: they are stored directly under their own names, "
                              "so visitors may see the page half-updated while it is sent.");
    }
    static QString summaryText(const Summary &summary);

signals:
    void busyCursorChanged(bool busy);
    void progressVisibleChanged(bool visible); // the progress panel and its animation
    void lockedChanged(bool locked);           // the list, its buttons and Servers
    void statusChanged(const QString &text);
    void pageReset();                          // the run is over and the page usable again
    // One line per file: sent or not, and why (a dry run: what a run would do).
    void fileReported(const QString &line);
    // Said once in a run, about the run as a whole.
    void notice(const QString &text);
    // The end of a run that reached its files: summaryText().
    void summaryChanged(const QString &text);
    // The transport's dialogue, for a verbose console.
    void trace(const QString &line);

private:
    using Operation = PublishTransport::Operation;
    using Status = TransportResult::Status;

    // What the run is waiting for.
    enum class Phase : quint8 {
        Idle,
        Connect,
        EnterFolder,
        MakeFolder,
        List,
        ResumeCheck, // the size of a temporary file that may be continued
        Clean,       // removing what an earlier run left
        Store,
        Verify,
        Rename,
        RemoveTarget,    // before a rename, on servers whose rename does not replace
        RemoveTemporary, // after rename proved impossible
        CleanUp,         // removing this run's temporary files after a failure
        Quit,
    };

    void transportFinished(Operation operation, const TransportResult &result);
    void transportProgress(qint64 count);
    void showProgress(qint64 count);
    void connected();
    void folderEntered(const TransportResult &result);
    void listed(const TransportResult &result);
    void nextResumeCheck();
    void nextCleaning();
    void startTransfers();
    void nextFile();
    void storeCurrent(qint64 offset);
    void stored(const TransportResult &result);
    void verified(const TransportResult &result);
    void renameCurrent();
    void renamed(const TransportResult &result);
    void placed();
    void finishTransfers();
    void finishDryRun();
    void fail(const QString &message, bool aboutFile);
    void transportFailed(Operation operation, const TransportResult &result);
    void askForFolder();
    void offerTrust(const TransportResult &result);
    void keepUnfinishedStore();
    void nextCleanUp();
    void quitOrReset();
    void resetPage();
    void endSummary();
    void setStatus(const QString &text);
    void setLocked(bool locked);
    void request(Phase phase, const std::function<void(PublishTransport &)> &operation);

    PlannedFile &current() { return mPlan[mIndex]; }
    QString fileLine(const PlannedFile &file, qint64 resumeAt) const;

    Prompter &mPrompter;
    TransportFactory mFactory;
    std::unique_ptr<PublishTransport> mTransport;
    PublishRecord *mRecord = nullptr;
    QStringList mFiles;
    bool mSendAll = false;
    bool mDryRun = false;
    bool mCertificateQuestions = true;

    ProfileStore *mProfiles = nullptr;
    QString mProfileName;
    QString mFolder;
    PublishDestination mDestination;
    Phase mPhase = Phase::Idle;
    QString mStatus;
    bool mLocked = false;
    bool mCompleted = false;
    bool mFolderMissing = false; // a dry run that would make the folder
    std::optional<UntrustedIdentity> mUntrusted;

    QList<PlannedFile> mPlan;
    qsizetype mIndex = -1;
    QStringList mLeftovers;                // temporary files of earlier runs
    QStringList mResumeChecks;             // remote names whose temporary file may be continued
    QHash<QString, qint64> mResumeAt;      // remote name -> bytes its temporary file holds
    QStringList mTemporaries;              // stored by this run and not yet in place
    QStringList mSent;                     // put in place by this run, in order
    std::unique_ptr<UploadSource> mSource; // the file being sent
    qint64 mOffset = 0;
    qint64 mExpectedSize = 0;
    QByteArray mDigest;
    bool mDirect = false;             // the server cannot rename: files go straight to their names
    bool mRenameReplaces = true;      // false: the old file is removed before a rename
    bool mRenameRetried = false;      // the current file's rename is the second try
    QString mPendingError;            // shown once the clean-up after a failure has started

    Summary mSummary;
    QElapsedTimer mClock;
    QElapsedTimer mProgressShown;
    qint64 mProgressCount = 0;
    bool mProgressPending = false;
};
