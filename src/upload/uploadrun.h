#pragma once

#include "upload/ftpclient.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

class Prompter;
class ProfileStore;

// One upload of the wizard's list over one FTP session, driven by the client's
// completions: connect, CWD (or PWD without a remote directory), TYPE I, one STOR per
// list entry from the last entry to the first, QUIT. The window only shows what the
// signals say; the questions and messages go through the Prompter.
class UploadRun : public QObject
{
    Q_OBJECT

public:
    UploadRun(TFtpClient &ftp, Prompter &prompter, QObject *parent = nullptr);

    // The upload list: full local paths in display order. The list must not change
    // while a run is going on (the window locks it).
    void setFiles(const QStringList &files) { mFiles = files; }
    QStringList files() const { return mFiles; }

    // Starts a run with the named profile. Does nothing while the list is empty. The
    // store must outlive the run: a certificate the user decides to trust is saved
    // into the profile there.
    void send(ProfileStore &profiles, const QString &profileName);

    // With questions on (the default), a server certificate that fails verification
    // ends the run with a question showing its fingerprint; Yes saves it as the
    // profile's trusted certificate and starts the run again. Without, the failure is
    // an error like any other (the command line, where --set-profile trusts it).
    void setCertificateQuestions(bool ask) { mCertificateQuestions = ask; }

    // The window is closing: quits the session, or drops the connection at once when a
    // request is still pending, so that a server that stopped answering never keeps the
    // window open.
    void close();

    int FilesLeft() const { return mFilesLeft; }
    QString statusText() const { return mStatus; }
    bool isLocked() const { return mLocked; }
    // The last run got as far as "Transfer Completed.".
    bool transferCompleted() const { return mCompleted; }

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
    static QString trustQuestion(const QString &errorMessage)
    {
        return QStringLiteral("Error %1\r\n\r\nTrust this certificate for this server profile and connect again? "
                              "Say yes only if your host gives you the same fingerprint.")
            .arg(errorMessage);
    }

signals:
    void busyCursorChanged(bool busy);
    void progressVisibleChanged(bool visible); // the progress panel and its animation
    void lockedChanged(bool locked);           // the list, its buttons and Servers
    void statusChanged(const QString &text);
    void pageReset();                          // the run is over and the page usable again

private:
    void ftpRequestDone(TFtpRequest request, quint16 error);
    void ftpProgress(qint64 count, bool &abort);
    void showProgress(qint64 count);
    void requestFailed(TFtpRequest request, quint16 error);
    bool offerTrust();
    void PrepareNextFile();
    void quitOrReset();
    void resetPage();
    bool start(void (TFtpClient::*request)());
    bool ready() const { return mFtp.State() == TFtpState::Ready; }
    void setStatus(const QString &text);
    void setLocked(bool locked);

    TFtpClient &mFtp;
    Prompter &mPrompter;
    QStringList mFiles;
    QStringList mSent; // remote names stored in this run
    int mFilesLeft = 0;
    QString mStatus;
    bool mLocked = false;
    bool mCompleted = false;
    bool mCertificateQuestions = true;
    ProfileStore *mProfiles = nullptr;
    QString mProfileName;
    QElapsedTimer mProgressShown;
    qint64 mProgressCount = 0;
    bool mProgressPending = false;
};
