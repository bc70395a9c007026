#pragma once

#include "checks/pagechecker.h"
#include "platform/busycursor.h"
#include "upload/passphrasedialog.h"
#include "upload/profilestore.h"
#include "upload/publishrecord.h"
#include "upload/uploadrun.h"

#include <QDialog>

#include <optional>

class FindingsPanel;
class GlobeAnimation;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class UploadFileList;
class WhatsThisMenu;
struct AppServices;

// The upload wizard: a page of server profiles with their editor, and a page with
// the files to publish and the run that sends them. The run itself is UploadRun (the
// same engine the command line uses); this window only starts it and shows what it
// reports. The caller creates the wizard, fills the upload list with setFiles(), runs
// it modally and destroys it.
class TfrmUpload : public QDialog
{
    Q_OBJECT
public:
    enum TProfileEditMode { pemAdd, pemEdit };

    explicit TfrmUpload(AppServices &services, QWidget *parent = nullptr);
    ~TfrmUpload() override;

    void setFiles(const QStringList &paths);
    QStringList files() const;

    // What the page check found, shown above the files (nothing shows when it found
    // nothing). With an error among them, Send asks first.
    void setFindings(const QList<PageCheck::Finding> &findings);
    // The row of the block whose finding the user chose, which closed the wizard; -1
    // when it closed otherwise.
    int chosenRow() const { return mChosenRow; }
    static QString sendAnywayQuestion(qsizetype errors);

    TProfileEditMode ProfileEditMode() const { return mProfileEditMode; }
    // The profile editor is open (between Add or Edit and Apply or Cancel).
    bool isEditing() const { return mEditing; }
    const UploadRun &uploadRun() const { return mRun; }

    static QString portRangeMessage() { return QStringLiteral("The port must be a number from 1 to 65535."); }
    static QString duplicateNameMessage() { return QStringLiteral("There is already a server profile with this name."); }
    static QString deleteQuestion() { return QStringLiteral("Do you want to delete the selected server profile?"); }

    // Frame and navigation.
    QLabel *imgIntro;
    QLabel *lblIntro;
    QStackedWidget *pnlPages;
    QToolButton *btnServers;
    QToolButton *btnUpload;
    QToolButton *btnClose;

    // Profile page.
    QWidget *pnlServers;
    QLabel *lblSelect;
    QListWidget *lvProfiles;
    QToolButton *btnAdd;
    QToolButton *btnDelete;
    QToolButton *btnEdit;
    QPushButton *btnApply;
    QPushButton *btnCancel;

    // Profile editor.
    QWidget *pnlEditor;
    QLabel *imgEditor;
    QLabel *lblProfileName;
    QLineEdit *txtProfileName;
    QLabel *lblHostName;
    QLineEdit *txtHostName;
    QLabel *lblPort;
    QLineEdit *txtPort;
    QLabel *lblUserName;
    QLineEdit *txtUserName;
    QLabel *lblPassword;
    QLineEdit *txtPassword;
    // Under the password box when there is no keychain: where the password goes.
    QLabel *lblPasswordStore;
    QLabel *lblInitialDir;
    QLineEdit *txtInitialDir;
    QLabel *lblProtocol;
    QComboBox *cbProtocol; // "FTP", "FTP over TLS", "SFTP"
    QCheckBox *chkPassive;
    QLabel *lblTimeout;
    QSpinBox *txtTimeout;
    QLabel *lblTrustedCertificate;
    QLineEdit *txtTrustedCertificate;
    QLabel *lblKeyFile;
    QLineEdit *txtKeyFile;
    QToolButton *btnKeyFile;
    QLabel *lblHostKey;
    QLineEdit *txtHostKey;

    // Upload page.
    QWidget *pnlUpload;
    FindingsPanel *pnlFindings;
    QLabel *lblExplain;
    UploadFileList *lstUpload;
    QToolButton *btnUpAdd;
    QToolButton *btnUpRemove;
    QCheckBox *chkSendAll;
    QPushButton *btnSend;
    QLabel *lblSummary;
    QWidget *pnlProgress;
    GlobeAnimation *Animate;
    QLabel *lblProgress;

    WhatsThisMenu *whatsThis;

public slots:
    // Closing, however it is asked for, ends the session first: a pending request is
    // abandoned at once, so a server that stopped answering never holds the wizard.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildNavigation();
    QWidget *buildProfilePage();
    QWidget *buildEditor(QWidget *parent);
    QWidget *buildUploadPage();
    void FormCreate();

    void btnServersClick(int tag);
    void lvProfilesClick();
    void btnAddClick();
    void btnEditClick();
    void btnApplyClick();
    void btnCancelClick();
    void btnDeleteClick();
    void btnUpAddClick();
    void btnUpRemoveClick();
    void lstUploadClick();
    void btnSendClick();
    void cbProtocolChange();
    void btnKeyFileClick();

    void ClearProfileFields();
    void SetEditMode(bool on);
    void setSelectionButtons();
    void setSendAndRemove();
    // Shows each file's state for the selected profile's server.
    void refreshStates();
    QListWidgetItem *addProfileItem(const QString &name);
    QListWidgetItem *selectedProfile() const;
    bool isDuplicateName(const QString &name) const;
    ServerProfile editorFields() const;
    void showProfile(const ServerProfile &profile);
    void refuseInEditor(QLineEdit &field, const QString &message);

    void runBusy(bool busy);
    void runProgressVisible(bool visible);
    void runLocked(bool locked);

    enum ProtocolChoice { pcFtp, pcFtpTls, pcSftp };
    ProtocolChoice protocolChoice() const;

    AppServices &mServices;
    ProfileStore mProfiles;
    PublishRecord mRecord;
    DialogPassphrasePrompt mPassphrases;
    UploadRun mRun;
    TProfileEditMode mProfileEditMode = pemAdd;
    bool mEditing = false;
    int mChosenRow = -1;
    ServerProfile mShownProfile; // the profile the editor was opened with
    ProtocolChoice mChoice = pcFtp; // the editor's protocol before the latest change
    std::optional<BusyCursor> mBusy;
};
