#include "frmupload.h"

#include "platform/appservices.h"
#include "platform/filedialog.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "upload/certificatefingerprint.h"
#include "upload/globeanimation.h"
#include "upload/hostkeyfingerprint.h"
#include "upload/transportfactory.h"
#include "upload/uploadfilelist.h"
#include "widgets/accessiblename.h"
#include "widgets/findingspanel.h"
#include "widgets/pictures.h"
#include "widgets/placedcontrols.h"
#include "widgets/whatsthis.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kCaption = QStringLiteral("Upload Wizard");

// Drops the characters a box does not take, whether typed or pasted: the box keeps
// the rest of the text instead of refusing all of it.
class CharacterFilter : public QValidator
{
public:
    CharacterFilter(std::function<bool(QChar)> accepts, QObject *parent)
        : QValidator(parent), mAccepts(std::move(accepts))
    {
    }

    State validate(QString &input, int &pos) const override
    {
        QString kept;
        kept.reserve(input.size());
        int keptBeforeCursor = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (!mAccepts(input[i]))
                continue;
            kept.append(input[i]);
            if (i < pos)
                ++keptBeforeCursor;
        }
        input = kept;
        pos = keptBeforeCursor;
        return Acceptable;
    }

private:
    std::function<bool(QChar)> mAccepts;
};

bool isPortDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QToolButton *addNavigationButton(const QString &name, const QString &caption, Pictures::Button picture, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(QIcon(Pictures::button(picture)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(72, 64);
    return button;
}

QToolButton *addFlatButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setMinimumWidth(64);
    return button;
}

// An etched frame around a rectangle, in the button shadow and highlight colours.
void drawEtchedFrame(QPainter &painter, const QRect &r, const QPalette &palette)
{
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setPen(palette.color(QPalette::Light));
    painter.drawRect(r.adjusted(1, 1, 0, 0));
}

}

TfrmUpload::TfrmUpload(AppServices &services, QWidget *parent)
    : QDialog(parent), mServices(services), mProfiles(services.settings, services.keychain),
      mRecord(PublishRecord::pathIn(services.programFolder)), mPassphrases(services.modal), mRun(services.prompter)
{
    mRun.setRecord(&mRecord);
    mRun.setTransportFactory(Transports::asking(mPassphrases));
    setObjectName(QStringLiteral("frmUpload"));
    setWindowTitle(kCaption);
    whatsThis = new WhatsThisMenu(services.help, this);

    imgIntro = new QLabel(this);
    imgIntro->setObjectName(QStringLiteral("imgIntro"));
    imgIntro->setPixmap(Pictures::uploadWizard());
    imgIntro->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblIntro = namedLabel(this, QStringLiteral("lblIntro"),
                          tr("Congradulations! So far you have successfully created a web page. Now all you have to do is "
                             "send it to the web. The Upload Wizard will take care of everything for you. Just select where "
                             "you want to send your page."));
    lblIntro->setWordWrap(true);
    auto *separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("bvlIntro"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    pnlPages = new QStackedWidget(this);
    pnlPages->setObjectName(QStringLiteral("pnlPages"));
    pnlPages->addWidget(buildProfilePage());
    pnlPages->addWidget(buildUploadPage());

    btnApply = new QPushButton(tr("&Apply"), this);
    btnApply->setObjectName(QStringLiteral("btnApply"));
    btnApply->setDefault(true);
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton *button : {btnApply, btnCancel}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->hide();
    }
    connect(btnApply, &QPushButton::clicked, this, &TfrmUpload::btnApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmUpload::btnCancelClick);

    auto *intro = new QHBoxLayout;
    intro->addWidget(imgIntro);
    intro->addWidget(lblIntro, 1);
    auto *editButtons = new QHBoxLayout;
    editButtons->addStretch(1);
    editButtons->addWidget(btnApply);
    editButtons->addWidget(btnCancel);
    auto *left = new QVBoxLayout;
    left->addLayout(intro);
    left->addWidget(separator);
    left->addWidget(pnlPages, 1);
    left->addLayout(editButtons);
    auto *outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addWidget(buildNavigation());
    resize(540, 520);

    FormCreate();
}

TfrmUpload::~TfrmUpload()
{
    // The children outlive this class's members while QWidget deletes them: nothing
    // they emit on the way may reach this window any more.
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children)
        disconnect(child, nullptr, this, nullptr);
}

QWidget *TfrmUpload::buildNavigation()
{
    auto *column = new QWidget(this);
    column->setObjectName(QStringLiteral("pnlNavigation"));
    btnServers = addNavigationButton(QStringLiteral("btnServers"), tr("Servers"), Pictures::Button::Servers, column);
    btnUpload = addNavigationButton(QStringLiteral("btnUpload"), tr("Upload"), Pictures::Button::SendToWeb, column);
    btnClose = addNavigationButton(QStringLiteral("btnClose"), tr("Exit"), Pictures::Button::Exit, column);
    auto *group = new QButtonGroup(column);
    for (QToolButton *button : {btnServers, btnUpload}) {
        button->setCheckable(true);
        group->addButton(button);
    }
    btnServers->setChecked(true);
    btnUpload->setEnabled(false);
    // On the button going down, not on a click: assistive tools toggle a checkable
    // button without clicking it.
    connect(btnServers, &QToolButton::toggled, this, [this](bool down) {
        if (down)
            btnServersClick(0);
    });
    connect(btnUpload, &QToolButton::toggled, this, [this](bool down) {
        if (down)
            btnServersClick(1);
    });
    connect(btnClose, &QToolButton::clicked, this, &QDialog::reject);

    // Room for the frames painted around the group and around Exit.
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(2);
    layout->addWidget(btnServers);
    layout->addWidget(btnUpload);
    layout->addStretch(1);
    layout->addWidget(btnClose);
    return column;
}

QWidget *TfrmUpload::buildProfilePage()
{
    pnlServers = new QWidget(this);
    pnlServers->setObjectName(QStringLiteral("pnlServers"));
    lblSelect = namedLabel(pnlServers, QStringLiteral("lblSelect"), tr("Select a server profile"));
    lvProfiles = new QListWidget(pnlServers);
    lvProfiles->setObjectName(QStringLiteral("lvProfiles"));
    lvProfiles->setAccessibleName(tr("Server profiles"));
    lvProfiles->setViewMode(QListView::IconMode);
    lvProfiles->setIconSize(QSize(32, 32));
    lvProfiles->setGridSize(QSize(96, 64));
    lvProfiles->setMovement(QListView::Static);
    lvProfiles->setResizeMode(QListView::Adjust);
    lvProfiles->setWordWrap(true);
    lvProfiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvProfiles->setSelectionMode(QAbstractItemView::SingleSelection);
    // The chosen profile stays marked while the focus is elsewhere.
    QPalette palette = lvProfiles->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::HighlightedText));
    lvProfiles->setPalette(palette);
    HelpContext::set(*lvProfiles, 63);
    connect(lvProfiles, &QListWidget::itemSelectionChanged, this, &TfrmUpload::lvProfilesClick);
    connect(lvProfiles, &QListWidget::itemDoubleClicked, this, &TfrmUpload::btnEditClick);
    lblSelect->setBuddy(lvProfiles);

    btnAdd = addFlatButton(QStringLiteral("btnAdd"), tr("Add"), pnlServers);
    btnDelete = addFlatButton(QStringLiteral("btnDelete"), tr("Delete"), pnlServers);
    btnEdit = addFlatButton(QStringLiteral("btnEdit"), tr("Edit"), pnlServers);
    btnDelete->setEnabled(false);
    btnEdit->setEnabled(false);
    connect(btnAdd, &QToolButton::clicked, this, &TfrmUpload::btnAddClick);
    connect(btnDelete, &QToolButton::clicked, this, &TfrmUpload::btnDeleteClick);
    connect(btnEdit, &QToolButton::clicked, this, &TfrmUpload::btnEditClick);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnDelete);
    buttons->addWidget(btnEdit);
    buttons->addStretch(1);
    auto *body = new QHBoxLayout;
    body->addWidget(lvProfiles, 1);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(pnlServers);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblSelect);
    layout->addLayout(body, 1);

    // The editor lies over the whole page while it is open, so the list and its
    // buttons cannot change under it.
    auto *stack = new QStackedWidget(this);
    stack->setObjectName(QStringLiteral("pnlProfilePage"));
    stack->addWidget(pnlServers);
    stack->addWidget(buildEditor(stack));
    stack->setCurrentWidget(pnlServers);
    return stack;
}

QWidget *TfrmUpload::buildEditor(QWidget *parent)
{
    pnlEditor = new QWidget(parent);
    pnlEditor->setObjectName(QStringLiteral("pnlEditor"));
    imgEditor = new QLabel(pnlEditor);
    imgEditor->setObjectName(QStringLiteral("imgEditor"));
    imgEditor->setPixmap(Pictures::largeImage(Pictures::liServerProfile));
    imgEditor->setAlignment(Qt::AlignTop);

    auto field = [this](const QString &name, int topic, QLabel *&label, const QString &labelName, const QString &caption) {
        auto *box = new QLineEdit(pnlEditor);
        box->setObjectName(name);
        HelpContext::set(*box, topic);
        label = namedLabel(pnlEditor, labelName, caption);
        label->setBuddy(box);
        whatsThis->attach(*label, topic);
        return box;
    };
    txtProfileName = field(QStringLiteral("txtProfileName"), 57, lblProfileName, QStringLiteral("lblProfileName"),
                           tr("&Name of the Server Profile"));
    txtProfileName->setValidator(new CharacterFilter(ProfileNames::isAllowedCharacter, txtProfileName));
    connect(txtProfileName, &QLineEdit::textChanged, this, [this](const QString &text) { btnApply->setEnabled(!text.isEmpty()); });
    txtHostName = field(QStringLiteral("txtHostName"), 61, lblHostName, QStringLiteral("lblHostName"),
                        tr("Web &Server Address eg. ftp.mysite.com"));
    txtPort = field(QStringLiteral("txtPort"), 59, lblPort, QStringLiteral("lblPort"), tr("P&ort:"));
    txtPort->setValidator(new CharacterFilter(isPortDigit, txtPort));
    txtPort->setMaximumWidth(70);
    txtUserName = field(QStringLiteral("txtUserName"), 58, lblUserName, QStringLiteral("lblUserName"),
                        tr("&Username (This is your login name)"));
    txtPassword = field(QStringLiteral("txtPassword"), 62, lblPassword, QStringLiteral("lblPassword"), tr("&Password"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    lblPasswordStore = namedLabel(pnlEditor, QStringLiteral("lblPasswordStore"), ProfileStore::settingsFileNotice());
    lblPasswordStore->setWordWrap(true);
    lblPasswordStore->hide();
    txtInitialDir = field(QStringLiteral("txtInitialDir"), 60, lblInitialDir, QStringLiteral("lblInitialDir"),
                          tr("Initial Remote &Directory eg. public_html"));
    cbProtocol = new QComboBox(pnlEditor);
    cbProtocol->setObjectName(QStringLiteral("cbProtocol"));
    cbProtocol->addItems({QStringLiteral("FTP"), QStringLiteral("FTP over TLS"), QStringLiteral("SFTP")});
    lblProtocol = namedLabel(pnlEditor, QStringLiteral("lblProtocol"), tr("Pro&tocol:"));
    lblProtocol->setBuddy(cbProtocol);
    AccessibleName::setLabelled(*cbProtocol, lblProtocol->text());
    connect(cbProtocol, &QComboBox::currentIndexChanged, this, &TfrmUpload::cbProtocolChange);
    chkPassive = new QCheckBox(tr("Use &passive mode (recommended behind routers and firewalls)"), pnlEditor);
    chkPassive->setObjectName(QStringLiteral("chkPassive"));
    txtTimeout = new QSpinBox(pnlEditor);
    txtTimeout->setObjectName(QStringLiteral("txtTimeout"));
    txtTimeout->setRange(1, ServerProfile::maximumTimeout);
    lblTimeout =
        namedLabel(pnlEditor, QStringLiteral("lblTimeout"), tr("Give up when the server is silent for (seconds):"));
    lblTimeout->setBuddy(txtTimeout);
    txtTrustedCertificate = new QLineEdit(pnlEditor);
    txtTrustedCertificate->setObjectName(QStringLiteral("txtTrustedCertificate"));
    txtTrustedCertificate->setPlaceholderText(tr("none"));
    lblTrustedCertificate = namedLabel(pnlEditor, QStringLiteral("lblTrustedCertificate"),
                                       tr("Trusted server &certificate (SHA-256 fingerprint)"));
    lblTrustedCertificate->setBuddy(txtTrustedCertificate);
    txtKeyFile = new QLineEdit(pnlEditor);
    txtKeyFile->setObjectName(QStringLiteral("txtKeyFile"));
    txtKeyFile->setPlaceholderText(tr("none: the SSH agent, then the password"));
    lblKeyFile = namedLabel(pnlEditor, QStringLiteral("lblKeyFile"), tr("SSH &key file (optional)"));
    lblKeyFile->setBuddy(txtKeyFile);
    btnKeyFile = new QToolButton(pnlEditor);
    btnKeyFile->setObjectName(QStringLiteral("btnKeyFile"));
    btnKeyFile->setText(QStringLiteral("..."));
    btnKeyFile->setAccessibleName(tr("Choose the key file"));
    connect(btnKeyFile, &QToolButton::clicked, this, &TfrmUpload::btnKeyFileClick);
    txtHostKey = new QLineEdit(pnlEditor);
    txtHostKey->setObjectName(QStringLiteral("txtHostKey"));
    txtHostKey->setPlaceholderText(tr("asked at the first connection"));
    lblHostKey = namedLabel(pnlEditor, QStringLiteral("lblHostKey"), tr("Trusted &host key (SHA256 fingerprint)"));
    lblHostKey->setBuddy(txtHostKey);

    auto *grid = new QGridLayout(pnlEditor);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    grid->addWidget(imgEditor, 0, 0, 4, 1);
    int row = 0;
    grid->addWidget(lblProfileName, row++, 1, 1, 2);
    grid->addWidget(txtProfileName, row++, 1, 1, 2);
    grid->addWidget(lblHostName, row, 1);
    grid->addWidget(lblPort, row++, 2);
    grid->addWidget(txtHostName, row, 1);
    grid->addWidget(txtPort, row++, 2);
    for (auto [label, box] : {std::pair<QLabel *, QLineEdit *>{lblUserName, txtUserName}, {lblPassword, txtPassword},
                              {lblInitialDir, txtInitialDir}}) {
        grid->addWidget(label, row++, 1, 1, 2);
        grid->addWidget(box, row++, 1, 1, 2);
        if (box == txtPassword)
            grid->addWidget(lblPasswordStore, row++, 1, 1, 2);
    }
    grid->addWidget(lblProtocol, row, 1);
    grid->addWidget(cbProtocol, row++, 2);
    grid->addWidget(chkPassive, row++, 1, 1, 2);
    grid->addWidget(lblTimeout, row, 1);
    grid->addWidget(txtTimeout, row++, 2);
    grid->addWidget(lblTrustedCertificate, row++, 1, 1, 2);
    grid->addWidget(txtTrustedCertificate, row++, 1, 1, 2);
    grid->addWidget(lblKeyFile, row++, 1, 1, 2);
    grid->addWidget(txtKeyFile, row, 1);
    grid->addWidget(btnKeyFile, row++, 2, Qt::AlignLeft);
    grid->addWidget(lblHostKey, row++, 1, 1, 2);
    grid->addWidget(txtHostKey, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    return pnlEditor;
}

QWidget *TfrmUpload::buildUploadPage()
{
    pnlUpload = new QWidget(this);
    pnlUpload->setObjectName(QStringLiteral("pnlUpload"));
    pnlFindings = new FindingsPanel(pnlUpload);
    pnlFindings->hide();
    connect(pnlFindings, &FindingsPanel::blockRequested, this, [this](int row) {
        mChosenRow = row;
        reject();
    });
    lblExplain = namedLabel(pnlUpload, QStringLiteral("lblExplain"),
                            tr("Listed below are all the files to be uploaded. If you desire, add and remove items in the "
                               "upload list."));
    lblExplain->setWordWrap(true);
    lstUpload = new UploadFileList(pnlUpload);
    lstUpload->setObjectName(QStringLiteral("lstUpload"));
    lstUpload->setAccessibleName(tr("Files to upload"));
    whatsThis->attach(*lstUpload, 75);
    connect(lstUpload, &QListWidget::itemSelectionChanged, this, &TfrmUpload::lstUploadClick);

    auto smallButton = [this](const QString &name, const QString &accessibleName, Pictures::Button picture) {
        auto *button = new QToolButton(pnlUpload);
        button->setObjectName(name);
        button->setAccessibleName(accessibleName);
        button->setToolTip(accessibleName);
        button->setIcon(QIcon(Pictures::button(picture)));
        button->setAutoRaise(true);
        return button;
    };
    btnUpAdd = smallButton(QStringLiteral("btnUpAdd"), tr("Add a file"), Pictures::Button::Add);
    btnUpRemove = smallButton(QStringLiteral("btnUpRemove"), tr("Remove the file"), Pictures::Button::Remove);
    btnUpRemove->setEnabled(false);
    connect(btnUpAdd, &QToolButton::clicked, this, &TfrmUpload::btnUpAddClick);
    connect(btnUpRemove, &QToolButton::clicked, this, &TfrmUpload::btnUpRemoveClick);

    btnSend = new QPushButton(tr("Send files to the web"), pnlUpload);
    btnSend->setObjectName(QStringLiteral("btnSend"));
    btnSend->setEnabled(false);
    connect(btnSend, &QPushButton::clicked, this, &TfrmUpload::btnSendClick);
    chkSendAll = new QCheckBox(tr("Send &every file, also the unchanged ones"), pnlUpload);
    chkSendAll->setObjectName(QStringLiteral("chkSendAll"));
    connect(chkSendAll, &QCheckBox::toggled, this, &TfrmUpload::refreshStates);
    lblSummary = namedLabel(pnlUpload, QStringLiteral("lblSummary"), QString());
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    pnlProgress = new QFrame(pnlUpload);
    pnlProgress->setObjectName(QStringLiteral("pnlProgress"));
    Animate = new GlobeAnimation(pnlProgress);
    Animate->setAccessibleName(tr("Upload in progress"));
    lblProgress = namedLabel(pnlProgress, QStringLiteral("lblProgress"), QString());
    lblProgress->setMinimumWidth(200);
    auto *progress = new QHBoxLayout(pnlProgress);
    progress->setContentsMargins(0, 0, 0, 0);
    progress->addWidget(Animate);
    progress->addWidget(lblProgress, 1);
    QSizePolicy policy = pnlProgress->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    pnlProgress->setSizePolicy(policy);
    pnlProgress->hide();

    auto *listButtons = new QVBoxLayout;
    listButtons->addWidget(btnUpAdd);
    listButtons->addWidget(btnUpRemove);
    listButtons->addStretch(1);
    auto *list = new QHBoxLayout;
    list->addWidget(lstUpload, 1);
    list->addLayout(listButtons);
    auto *send = new QHBoxLayout;
    send->addWidget(chkSendAll);
    send->addStretch(1);
    send->addWidget(btnSend);
    auto *layout = new QVBoxLayout(pnlUpload);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnlFindings, 1);
    layout->addWidget(lblExplain);
    layout->addLayout(list, 1);
    layout->addLayout(send);
    layout->addWidget(pnlProgress);
    layout->addWidget(lblSummary);

    connect(&mRun, &UploadRun::busyCursorChanged, this, &TfrmUpload::runBusy);
    connect(&mRun, &UploadRun::progressVisibleChanged, this, &TfrmUpload::runProgressVisible);
    connect(&mRun, &UploadRun::lockedChanged, this, &TfrmUpload::runLocked);
    connect(&mRun, &UploadRun::statusChanged, lblProgress, &QLabel::setText);
    connect(&mRun, &UploadRun::summaryChanged, lblSummary, &QLabel::setText);
    connect(&mRun, &UploadRun::notice, lblSummary, [this](const QString &text) {
        lblSummary->setText(lblSummary->text().isEmpty() ? text : lblSummary->text() + u'\n' + text);
    });
    connect(&mRun, &UploadRun::pageReset, this, &TfrmUpload::refreshStates);
    return pnlUpload;
}

void TfrmUpload::FormCreate()
{
    // Profiles may have been added since the settings were read, by another window of
    // the program or by --set-profile: read the file again before listing them.
    mServices.settings.sync();
    const QStringList names = mProfiles.ReadProfileNames();
    for (const QString &name : names)
        addProfileItem(name);
}

void TfrmUpload::setFiles(const QStringList &paths)
{
    lstUpload->clear();
    lstUpload->addItems(paths);
    refreshStates();
}

QStringList TfrmUpload::files() const
{
    return lstUpload->paths();
}

void TfrmUpload::refreshStates()
{
    const QListWidgetItem *profile = selectedProfile();
    QHash<QString, QString> states;
    if (profile) {
        mRecord.load();
        const PublishDestination destination = UploadRun::destinationOf(mProfiles.LoadProfile(profile->text()));
        // The list says what Send will do: with every file asked for, the unchanged
        // ones go too.
        const QList<PlannedFile> plan = PublishPlan::make(files(), mRecord, destination, chkSendAll->isChecked());
        for (const PlannedFile &file : plan) {
            QString state = PublishPlan::stateText(file.state);
            if (file.send && file.state == FileState::Unchanged)
                state += QStringLiteral(", sent anyway");
            states.insert(file.localPath, state);
        }
    }
    lstUpload->setStates(states);
}

void TfrmUpload::btnServersClick(int tag)
{
    if (tag == 0) {
        pnlPages->setCurrentWidget(pnlPages->widget(0));
        return;
    }
    setSendAndRemove();
    refreshStates();
    pnlPages->setCurrentWidget(pnlUpload);
}

void TfrmUpload::lvProfilesClick()
{
    if (!mEditing)
        setSelectionButtons();
}

void TfrmUpload::btnAddClick()
{
    mProfileEditMode = pemAdd;
    setWindowTitle(kCaption + QStringLiteral(" - Add"));
    ClearProfileFields();
    // A new profile starts passive and encrypted, on port 21.
    showProfile(ServerProfile::newProfile());
    SetEditMode(true);
    txtProfileName->setFocus();
}

void TfrmUpload::btnEditClick()
{
    const QListWidgetItem *item = selectedProfile();
    if (!item || mEditing)
        return;
    ServerProfile profile = mProfiles.LoadProfile(item->text());
    // The editor never shows an unread password as an empty one, which Apply would save.
    if (!mProfiles.readPassword(profile)) {
        mServices.prompter.error(mProfiles.errorString());
        return;
    }
    showProfile(profile);
    mProfileEditMode = pemEdit;
    setWindowTitle(kCaption + QStringLiteral(" - Edit"));
    SetEditMode(true);
    txtProfileName->setFocus();
}

void TfrmUpload::btnApplyClick()
{
    const QString name = txtProfileName->text();
    if (name.isEmpty())
        return;
    QListWidgetItem *item = mProfileEditMode == pemEdit ? selectedProfile() : nullptr;
    if (mProfileEditMode == pemEdit && !item)
        return;
    QString oldName;
    if (mProfileEditMode == pemAdd || name != item->text()) {
        // Letter case does not make a name different: a case-only rename is a
        // duplicate of the profile itself.
        if (isDuplicateName(name)) {
            mServices.prompter.beep();
            refuseInEditor(*txtProfileName, duplicateNameMessage());
            return;
        }
        if (item)
            oldName = item->text();
    }
    // A port outside the TCP range can never connect: refused here rather than saved.
    bool isNumber = false;
    const int port = txtPort->text().toInt(&isNumber);
    if (!isNumber || port < 1 || port > 65535) {
        refuseInEditor(*txtPort, portRangeMessage());
        return;
    }
    const ServerProfile fields = editorFields();
    if (!mProfiles.SaveProfile(fields, oldName)) {
        const bool badFingerprint = !fields.TrustedCertificate.trimmed().isEmpty()
            && CertificateFingerprint::normalized(fields.TrustedCertificate).isEmpty();
        const bool badHostKey = !fields.TrustedHostKey.trimmed().isEmpty() && HostKeyFingerprint::normalized(fields.TrustedHostKey).isEmpty();
        refuseInEditor(badFingerprint ? *txtTrustedCertificate : badHostKey ? *txtHostKey : *txtProfileName, mProfiles.errorString());
        return;
    }
    // The line under the password box has told it already.
    if (!mProfiles.notice().isEmpty() && !(lblPasswordStore->isVisible() && mProfiles.notice() == lblPasswordStore->text()))
        mServices.prompter.information(mProfiles.notice());
    if (!item)
        item = addProfileItem(name);
    item->setText(name);
    lvProfiles->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    btnCancelClick();
}

void TfrmUpload::btnCancelClick()
{
    setWindowTitle(kCaption);
    SetEditMode(false);
    lvProfiles->setFocus();
    if (selectedProfile() && lvProfiles->currentItem())
        lvProfiles->setCurrentItem(lvProfiles->currentItem(), QItemSelectionModel::ClearAndSelect);
    setSelectionButtons();
}

void TfrmUpload::btnDeleteClick()
{
    mServices.prompter.beep();
    if (mServices.prompter.ask(Prompter::Kind::Confirmation, deleteQuestion(), Prompter::Yes | Prompter::No) != Prompter::Yes)
        return;
    QListWidgetItem *item = selectedProfile();
    if (!item)
        return;
    if (!mProfiles.DeleteProfile(item->text())) {
        mServices.prompter.error(mProfiles.errorString());
        return;
    }
    if (!mProfiles.notice().isEmpty())
        mServices.prompter.information(mProfiles.notice());
    delete item;
    lvProfiles->clearSelection();
    lvProfiles->doItemsLayout();
    setSelectionButtons();
}

void TfrmUpload::btnUpAddClick()
{
    FileDialog &dialog = mServices.openDialog;
    dialog.setFilter(QStringLiteral("All Files|*.*"));
    dialog.setFilterIndex(1);
    dialog.setDefaultExtension(QString());
    dialog.setFileName(QString());
    if (!dialog.execute())
        return;
    lstUpload->addItem(dialog.fileName());
    lstUpload->setCurrentRow(lstUpload->count() - 1);
    lstUpload->setFocus();
    setSendAndRemove();
    refreshStates();
}

void TfrmUpload::btnUpRemoveClick()
{
    const QList<QListWidgetItem *> selected = lstUpload->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
    lstUpload->clearSelection();
    lstUpload->setFocus();
    setSendAndRemove();
}

void TfrmUpload::lstUploadClick()
{
    btnUpRemove->setEnabled(!lstUpload->selectedItems().isEmpty());
}

void TfrmUpload::setFindings(const QList<PageCheck::Finding> &findings)
{
    pnlFindings->setFindings(findings);
    pnlFindings->setVisible(!findings.isEmpty());
}

QString TfrmUpload::sendAnywayQuestion(qsizetype errors)
{
    return (errors == 1 ? tr("The list above shows an error on this page.")
                        : tr("The list above shows %1 errors on this page.").arg(errors))
           + QStringLiteral(" Send anyway?");
}

void TfrmUpload::btnSendClick()
{
    const QListWidgetItem *profile = selectedProfile();
    if (!profile)
        return;
    const qsizetype errors = PageCheck::errorCount(pnlFindings->findings());
    // Warnings only inform; an error is what visitors would meet broken.
    if (errors > 0
        && mServices.prompter.askWithDefault(Prompter::Kind::Warning, sendAnywayQuestion(errors), Prompter::Yes | Prompter::No,
                                             Prompter::No)
               != Prompter::Yes)
        return;
    lblSummary->clear();
    mRun.setFiles(files());
    mRun.setSendAll(chkSendAll->isChecked());
    mRun.send(mProfiles, profile->text());
}

void TfrmUpload::ClearProfileFields()
{
    const QList<QLineEdit *> boxes = pnlEditor->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
    for (QLineEdit *box : boxes)
        box->clear();
}

void TfrmUpload::SetEditMode(bool on)
{
    mEditing = on;
    btnApply->setVisible(on);
    btnCancel->setVisible(on);
    btnApply->setEnabled(!txtProfileName->text().isEmpty());
    auto *page = static_cast<QStackedWidget *>(pnlEditor->parentWidget());
    page->setCurrentWidget(on ? pnlEditor : pnlServers);
    if (on) {
        btnUpload->setEnabled(false);
        lblPasswordStore->setVisible(!mProfiles.keychainAvailable());
    }
}

void TfrmUpload::setSelectionButtons()
{
    const bool selected = selectedProfile() != nullptr;
    btnDelete->setEnabled(selected);
    btnEdit->setEnabled(selected);
    btnUpload->setEnabled(selected);
}

void TfrmUpload::setSendAndRemove()
{
    const bool any = lstUpload->count() > 0;
    btnSend->setEnabled(any);
    btnUpRemove->setEnabled(any);
}

QListWidgetItem *TfrmUpload::addProfileItem(const QString &name)
{
    auto *item = new QListWidgetItem(QIcon(Pictures::largeImage(Pictures::liServerProfile)), name, lvProfiles);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return item;
}

QListWidgetItem *TfrmUpload::selectedProfile() const
{
    const QList<QListWidgetItem *> selected = lvProfiles->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

bool TfrmUpload::isDuplicateName(const QString &name) const
{
    for (int i = 0; i < lvProfiles->count(); ++i) {
        if (lvProfiles->item(i)->text().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

ServerProfile TfrmUpload::editorFields() const
{
    // Values the editor does not show are written back as they were loaded.
    ServerProfile profile = mShownProfile;
    profile.ProfileName = txtProfileName->text();
    profile.UserName = txtUserName->text();
    profile.Password = txtPassword->text();
    profile.HostName = txtHostName->text();
    profile.InitialDir = txtInitialDir->text();
    profile.Port = txtPort->text();
    profile.Passive = chkPassive->isChecked();
    // An SFTP profile keeps the FTP security it had, for a switch back.
    const ProtocolChoice choice = protocolChoice();
    profile.Protocol = choice == pcSftp ? TransferProtocol::Sftp : TransferProtocol::Ftp;
    if (choice != pcSftp)
        profile.Security = choice == pcFtpTls ? ftpSecurityTLS : ftpSecurityNone;
    profile.Timeout = txtTimeout->value();
    profile.TrustedCertificate = txtTrustedCertificate->text();
    profile.KeyFile = txtKeyFile->text().trimmed();
    profile.TrustedHostKey = txtHostKey->text();
    return profile;
}

void TfrmUpload::showProfile(const ServerProfile &profile)
{
    mShownProfile = profile;
    txtProfileName->setText(profile.ProfileName);
    txtUserName->setText(profile.UserName);
    txtPassword->setText(profile.Password);
    txtHostName->setText(profile.HostName);
    txtInitialDir->setText(profile.InitialDir);
    chkPassive->setChecked(profile.Passive);
    txtTimeout->setValue(profile.Timeout);
    txtTrustedCertificate->setText(profile.TrustedCertificate);
    txtKeyFile->setText(profile.KeyFile);
    txtHostKey->setText(profile.TrustedHostKey);
    mChoice = profile.Protocol == TransferProtocol::Sftp ? pcSftp : profile.Security == ftpSecurityTLS ? pcFtpTls : pcFtp;
    {
        const QSignalBlocker quiet(cbProtocol);
        cbProtocol->setCurrentIndex(mChoice);
    }
    cbProtocolChange();
    // The port as stored, even when it is another protocol's usual one.
    txtPort->setText(profile.Port);
}

TfrmUpload::ProtocolChoice TfrmUpload::protocolChoice() const
{
    return ProtocolChoice(std::clamp(cbProtocol->currentIndex(), int(pcFtp), int(pcSftp)));
}

void TfrmUpload::cbProtocolChange()
{
    const ProtocolChoice choice = protocolChoice();
    const auto protocolOf = [](ProtocolChoice c) { return c == pcSftp ? TransferProtocol::Sftp : TransferProtocol::Ftp; };
    // A port left at the protocol's usual one follows the protocol.
    if (txtPort->text() == ServerProfile::defaultPort(protocolOf(mChoice)))
        txtPort->setText(ServerProfile::defaultPort(protocolOf(choice)));
    mChoice = choice;
    const bool sftp = choice == pcSftp;
    chkPassive->setVisible(!sftp);
    lblTrustedCertificate->setVisible(choice == pcFtpTls);
    txtTrustedCertificate->setVisible(choice == pcFtpTls);
    for (QWidget *widget : {static_cast<QWidget *>(lblKeyFile), static_cast<QWidget *>(txtKeyFile), static_cast<QWidget *>(btnKeyFile),
                            static_cast<QWidget *>(lblHostKey), static_cast<QWidget *>(txtHostKey)})
        widget->setVisible(sftp);
}

void TfrmUpload::btnKeyFileClick()
{
    FileDialog &dialog = mServices.openDialog;
    dialog.setFilter(QStringLiteral("All Files|*.*"));
    dialog.setFilterIndex(1);
    dialog.setDefaultExtension(QString());
    dialog.setInitialDir(QDir::homePath() + QStringLiteral("/.ssh"));
    dialog.setFileName(txtKeyFile->text());
    if (dialog.execute())
        txtKeyFile->setText(dialog.fileName());
}

void TfrmUpload::refuseInEditor(QLineEdit &field, const QString &message)
{
    mServices.prompter.information(message);
    field.setFocus();
}

void TfrmUpload::runBusy(bool busy)
{
    if (!busy)
        mBusy.reset();
    else if (!mBusy)
        mBusy.emplace(Qt::BusyCursor);
}

void TfrmUpload::runProgressVisible(bool visible)
{
    pnlProgress->setVisible(visible);
    if (visible)
        Animate->play();
    else
        Animate->stop();
}

// Send stays off for the whole run: pressed again, it could only be refused by the
// client, which is busy with the run.
void TfrmUpload::runLocked(bool locked)
{
    for (QWidget *control : std::initializer_list<QWidget *>{lstUpload, btnUpAdd, btnServers, chkSendAll})
        control->setEnabled(!locked);
    if (locked) {
        btnSend->setEnabled(false);
        btnUpRemove->setEnabled(false);
    } else {
        setSendAndRemove();
    }
}

void TfrmUpload::done(int result)
{
    mRun.close();
    mBusy.reset();
    Animate->stop();
    QDialog::done(result);
}

void TfrmUpload::keyPressEvent(QKeyEvent *event)
{
    // Escape is the editor's Cancel; outside the editor it does nothing, as the wizard
    // is left through Exit.
    if (event->key() == Qt::Key_Escape) {
        if (mEditing)
            btnCancelClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmUpload::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    auto frameAround = [this](std::initializer_list<const QWidget *> widgets) {
        QRect united;
        for (const QWidget *widget : widgets)
            united |= QRect(widget->mapTo(this, QPoint(0, 0)), widget->size());
        return united.adjusted(-4, -4, 4, 4);
    };
    drawEtchedFrame(painter, frameAround({btnServers, btnUpload}), palette());
    drawEtchedFrame(painter, frameAround({btnClose}), palette());
}
