#pragma once

#include "upload/publishtransport.h"
#include "upload/transportfactory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QStringList>

#include <memory>

class Prompter;
class ProfileStore;

// One upload of the wizard's list over one session of the profile's transport, driven
// by the transport's completions: connect, enter the remote folder (making it when the
// user agrees), one store per list entry from the last entry to the first, quit. The
// run knows no protocol. The window only shows what the signals say; the questions and
// messages go through the Prompter.
class UploadRun : public QObject
{
    Q_OBJECT

public:
    explicit UploadRun(Prompter &prompter, QObject *parent = nullptr);
    ~UploadRun() override;

    // How the transport of a profile is made (tests); by default Transports::forProfile.
    void setTransportFactory(TransportFactory factory) { mFactory = std::move(factory); }

    // The upload list: full local paths in display order. The list must not change
    // while a run is going on (the window locks it).
    void setFiles(const QStringList &files) { mFiles = files; }
    QStringList files() const { return mFiles; }

    // Starts a run with the named profile. Does nothing while the list is empty. The
    // store must outlive the run: a certificate the user decides to trust is saved
    // into the profile there.
    void send(ProfileStore &profiles, const QString &profileName);

    // With questions on (the default), a server identity that fails verification ends
    // the run with a question showing its fingerprint; Yes saves it into the profile
    // and starts the run again. Without, the failure is an error like any other (the
    // command line, where --set-profile trusts it).
    void setCertificateQuestions(bool ask) { mCertificateQuestions = ask; }

    // The window is closing: quits the session, or drops the connection at once when an
    // operation is still pending, so that a server that stopped answering never keeps
    // the window open.
    void close();

    int FilesLeft() const { return mFilesLeft; }
    QString statusText() const { return mStatus; }
    bool isLocked() const { return mLocked; }
    bool isConnected() const { return mTransport && mTransport->isConnected(); }
    // The last run got as far as "Transfer Completed.".
    bool transferCompleted() const { return mCompleted; }
    // What the last run failed on that the user may trust, if anything.
    std::optional<UntrustedIdentity> untrustedIdentity() const { return mUntrusted; }

    static QString missingDirectoryQuestion() { return QStringLiteral("Host Directory Does not exist. Do you want to create it?"); }
    static QString completedMessage() { return QStringLiteral("Transfer Completed."); }
    // Follows the error of a store that failed: which file did not get there, and which
    // did before it (remote names, in the order sent).
    static QString storeFailedNote(const QString &file, const QStringList &sent)
    {
        const QString failed = QStringLiteral("\"%1\" was not sent.").arg(file);
        if (sent.isEmpty())
            return failed + QStringLiteral(" No file reached the server.");
        return failed + QStringLiteral(" Files that reached the server: \"%1\".").arg(sent.join(QStringLiteral("\", \"")));
    }

signals:
    void busyCursorChanged(bool busy);
    void progressVisibleChanged(bool visible); // the progress panel and its animation
    void lockedChanged(bool locked);           // the list, its buttons and Servers
    void statusChanged(const QString &text);
    void pageReset();                          // the run is over and the page usable again
    // The transport's dialogue, for a verbose console.
    void trace(const QString &line);

private:
    using Operation = PublishTransport::Operation;

    void transportFinished(Operation operation, const TransportResult &result);
    void transportProgress(qint64 count);
    void showProgress(qint64 count);
    void failed(Operation operation, const TransportResult &result);
    bool offerTrust(const TransportResult &result);
    void storeNextFile();
    void quitOrReset();
    void resetPage();
    void setStatus(const QString &text);
    void setLocked(bool locked);

    Prompter &mPrompter;
    TransportFactory mFactory;
    std::unique_ptr<PublishTransport> mTransport;
    QStringList mFiles;
    QStringList mSent; // remote names stored in this run
    QString mCurrentFile;
    QFile mSource;
    QString mFolder;
    int mFilesLeft = 0;
    QString mStatus;
    bool mLocked = false;
    bool mCompleted = false;
    bool mCertificateQuestions = true;
    std::optional<UntrustedIdentity> mUntrusted;
    ProfileStore *mProfiles = nullptr;
    QString mProfileName;
    QElapsedTimer mProgressShown;
    qint64 mProgressCount = 0;
    bool mProgressPending = false;
};
