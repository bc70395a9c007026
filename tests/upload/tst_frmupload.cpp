#include "accessibility.h"
#include "fakekeychain.h"
#include "ftpscriptedserver.h"
#include "ftpserverprocess.h"
#include "listtexts.h"
#include "sshdprocess.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "mainwindow/buttonbar.h"
#include "mainwindow/frmmain.h"
#include "platform/dialogmodalrunner.h"
#include "upload/certificatefingerprint.h"
#include "upload/frmupload.h"
#include "upload/globeanimation.h"
#include "upload/passphrasedialog.h"
#include "upload/uploadfilelist.h"
#include "widgets/findingspanel.h"
#include "widgets/listboxhrz.h"
#include "widgets/whatsthis.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

void saveProfile(Settings &settings, const QString &name, const QString &host = QString(), quint16 port = 21,
                 const QString &password = QString(), const QString &dir = QString())
{
    ServerProfile profile;
    profile.ProfileName = name;
    profile.HostName = host;
    profile.Port = QString::number(port);
    profile.UserName = QStringLiteral("tester");
    profile.Password = password;
    profile.InitialDir = dir;
    profile.Timeout = 45;
    profile.TrustedCertificate = QString(64, u'A');
    QVERIFY(ProfileStore(settings).SaveProfile(profile));
}

void select(TfrmUpload &wizard, const QString &profile)
{
    const QList<QListWidgetItem *> items = wizard.lvProfiles->findItems(profile, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    wizard.lvProfiles->setCurrentItem(items.first());
}

bool buttonsEnabled(const TfrmUpload &wizard)
{
    return wizard.btnDelete->isEnabled() && wizard.btnEdit->isEnabled() && wizard.btnUpload->isEnabled();
}

// Selects the profile, opens the upload page and sends.
void send(TfrmUpload &wizard, const QString &profile)
{
    select(wizard, profile);
    QTest::mouseClick(wizard.btnUpload, Qt::LeftButton);
    QCOMPARE(wizard.pnlPages->currentWidget(), wizard.pnlUpload);
    QTest::mouseClick(wizard.btnSend, Qt::LeftButton);
}

bool pageUsable(const TfrmUpload &wizard)
{
    return wizard.lstUpload->isEnabled() && wizard.btnUpAdd->isEnabled() && wizard.btnServers->isEnabled()
        && wizard.btnSend->isEnabled() && !wizard.pnlProgress->isVisible() && !wizard.Animate->isPlaying()
        && !QGuiApplication::overrideCursor();
}

}

// The wizard's profile page and upload list, driven by objectName with the fakes.
class TestUploadWizard : public QObject
{
    Q_OBJECT

private slots:
    void addEditCancel()
    {
        TestServices fakes;
        TfrmUpload wizard(fakes.services);
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        QCOMPARE(wizard.lvProfiles->count(), 0);
        QVERIFY(!wizard.btnUpload->isEnabled() && !wizard.btnDelete->isEnabled() && !wizard.btnEdit->isEnabled());

        QTest::mouseClick(wizard.btnAdd, Qt::LeftButton);
        QCOMPARE(wizard.windowTitle(), QStringLiteral("Upload Wizard - Add"));
        QVERIFY(wizard.btnApply->isVisible() && !wizard.btnApply->isEnabled());
        QCOMPARE(wizard.txtPort->text(), QStringLiteral("21"));
        QVERIFY(wizard.chkPassive->isChecked());
        QCOMPARE(wizard.cbProtocol->currentText(), QStringLiteral("FTP over TLS"));
        QCOMPARE(wizard.txtTimeout->value(), 30);
        QTest::keyClicks(wizard.txtProfileName, QStringLiteral("Home"));
        QVERIFY(wizard.btnApply->isEnabled());
        QTest::keyClicks(wizard.txtHostName, QStringLiteral("ftp.example.com"));
        wizard.txtPassword->setText(QStringLiteral("s\u00E9cret"));
        QTest::mouseClick(wizard.btnApply, Qt::LeftButton);
        QCOMPARE(wizard.windowTitle(), QStringLiteral("Upload Wizard"));
        QVERIFY(!wizard.isEditing() && !wizard.btnApply->isVisible());
        QCOMPARE(listTexts(*wizard.lvProfiles), QStringList{QStringLiteral("Home")});
        const ServerProfile stored = ProfileStore(fakes.settings).LoadProfile(QStringLiteral("Home"));
        QCOMPARE(stored.HostName, QStringLiteral("ftp.example.com"));
        QCOMPARE(stored.Password, QStringLiteral("s\u00E9cret"));
        QVERIFY(stored.Passive);
        QCOMPARE(stored.Security, ftpSecurityTLS);

        // Edit by double click; Escape cancels without writing.
        const QRect rect = wizard.lvProfiles->visualItemRect(wizard.lvProfiles->item(0));
        QTest::mouseClick(wizard.lvProfiles->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(wizard.lvProfiles->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(wizard.windowTitle(), QStringLiteral("Upload Wizard - Edit"));
        QCOMPARE(wizard.txtHostName->text(), QStringLiteral("ftp.example.com"));
        QVERIFY(!wizard.btnUpload->isEnabled());
        wizard.txtHostName->setText(QStringLiteral("changed"));
        QTest::keyClick(wizard.txtHostName, Qt::Key_Escape);
        QVERIFY(!wizard.isEditing() && wizard.isVisible());
        QCOMPARE(ProfileStore(fakes.settings).LoadProfile(QStringLiteral("Home")).HostName, QStringLiteral("ftp.example.com"));
        QVERIFY(buttonsEnabled(wizard));
    }

    // Where the password goes is told under its box; a password the keychain keeps to
    // itself is never shown (and saved) as an empty one.
    void keychainInTheEditor_data()
    {
        QTest::addColumn<Keychain::Status>("status");
        QTest::newRow("keychain") << Keychain::Status::Done;
        QTest::newRow("no keychain") << Keychain::Status::Unavailable;
        QTest::newRow("refused") << Keychain::Status::Refused;
    }
    void keychainInTheEditor()
    {
        QFETCH(Keychain::Status, status);
        TestServices fakes;
        FakeKeychain keychain;
        fakes.services.keychain = &keychain;
        ServerProfile kept = ServerProfile::newProfile();
        kept.ProfileName = QStringLiteral("Kept");
        kept.Password = QStringLiteral("kept secret");
        QVERIFY(ProfileStore(fakes.settings, &keychain).SaveProfile(kept));
        keychain.failWith = status;
        TfrmUpload wizard(fakes.services);
        wizard.show();

        QTest::mouseClick(wizard.btnAdd, Qt::LeftButton);
        const bool inFile = status == Keychain::Status::Unavailable;
        QCOMPARE(wizard.lblPasswordStore->isVisibleTo(&wizard), inFile);
        QCOMPARE(wizard.lblPasswordStore->text(), ProfileStore::settingsFileNotice());
        QTest::mouseClick(wizard.btnCancel, Qt::LeftButton);

        select(wizard, QStringLiteral("Kept"));
        QTest::mouseClick(wizard.btnEdit, Qt::LeftButton);
        if (status == Keychain::Status::Done) {
            QVERIFY(wizard.isEditing());
            QCOMPARE(wizard.txtPassword->text(), QStringLiteral("kept secret"));
            QVERIFY(fakes.prompter.boxes.isEmpty());
            return;
        }
        QVERIFY(!wizard.isEditing());
        QCOMPARE(fakes.prompter.boxes.size(), 1);
        QCOMPARE(fakes.prompter.boxes.constFirst().kind, Prompter::Kind::Error);
        QVERIFY2(fakes.prompter.boxes.constFirst().text.contains(QStringLiteral("could not be read")),
                 qPrintable(fakes.prompter.boxes.constFirst().text));
    }

    void applyRefusals_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message"); // empty: saved
        const QString duplicate = TfrmUpload::duplicateNameMessage();
        const QString range = TfrmUpload::portRangeMessage();
        QTest::newRow("add, other case") << false << "BETA" << "21" << duplicate;
        QTest::newRow("edit, case only") << true << "ALPHA" << "21" << duplicate;
        QTest::newRow("edit, same name") << true << "Alpha" << "2121" << "";
        QTest::newRow("port 0") << false << "Gamma" << "0" << range;
        QTest::newRow("port 65536") << false << "Gamma" << "65536" << range;
        QTest::newRow("port empty") << false << "Gamma" << "" << range;
        QTest::newRow("port 65535") << false << "Gamma" << "65535" << "";
    }

    void applyRefusals()
    {
        QFETCH(bool, edit);
        QFETCH(QString, name);
        QFETCH(QString, port);
        QFETCH(QString, message);
        TestServices fakes;
        saveProfile(fakes.settings, QStringLiteral("Alpha"), QStringLiteral("alpha.example"));
        saveProfile(fakes.settings, QStringLiteral("Beta"));
        const QStringList before = ProfileStore(fakes.settings).ReadProfileNames();
        TfrmUpload wizard(fakes.services);
        wizard.show();
        if (edit) {
            select(wizard, QStringLiteral("Alpha"));
            QTest::mouseClick(wizard.btnEdit, Qt::LeftButton);
        } else {
            QTest::mouseClick(wizard.btnAdd, Qt::LeftButton);
        }
        wizard.txtProfileName->setText(name);
        wizard.txtPort->setText(port);
        wizard.txtTimeout->setValue(90);
        QTest::mouseClick(wizard.btnApply, Qt::LeftButton);

        ProfileStore store(fakes.settings);
        if (message.isEmpty()) {
            QVERIFY(fakes.prompter.boxes.isEmpty());
            QVERIFY(!wizard.isEditing());
            QCOMPARE(store.LoadProfile(name).Port, port);
            QCOMPARE(store.LoadProfile(name).Timeout, 90);
            QCOMPARE(wizard.lvProfiles->count(), before.size() + (edit ? 0 : 1));
            return;
        }
        QCOMPARE(fakes.prompter.texts(), QStringList{message});
        QCOMPARE(fakes.prompter.beeps, message == TfrmUpload::duplicateNameMessage() ? 1 : 0);
        QVERIFY(wizard.isEditing());
        QCOMPARE(wizard.txtProfileName->text(), name);
        QCOMPARE(store.ReadProfileNames(), before);
        QCOMPARE(store.LoadProfile(QStringLiteral("Alpha")).HostName, QStringLiteral("alpha.example"));
    }

    void renameKeepsPlaceAndDeleteClearsSelection()
    {
        TestServices fakes;
        for (const char *name : {"One", "Two", "Three"})
            saveProfile(fakes.settings, QString::fromLatin1(name), QStringLiteral("h"), 2100, QStringLiteral("pw"), QStringLiteral("www"));
        TfrmUpload wizard(fakes.services);
        wizard.show();
        const QStringList order = listTexts(*wizard.lvProfiles);
        const QString middle = order.at(1);
        select(wizard, middle);
        QTest::mouseClick(wizard.btnEdit, Qt::LeftButton);
        wizard.txtProfileName->setText(QStringLiteral("Renamed"));
        QTest::mouseClick(wizard.btnApply, Qt::LeftButton);
        QCOMPARE(wizard.lvProfiles->item(1)->text(), QStringLiteral("Renamed"));
        QVERIFY(wizard.lvProfiles->item(1)->isSelected());
        ProfileStore store(fakes.settings);
        QVERIFY(!store.ReadProfileNames().contains(middle));
        const ServerProfile renamed = store.LoadProfile(QStringLiteral("Renamed"));
        QCOMPARE(renamed.Port, QStringLiteral("2100"));
        QCOMPARE(renamed.Password, QStringLiteral("pw"));
        QCOMPARE(renamed.InitialDir, QStringLiteral("www"));
        QCOMPARE(renamed.Timeout, 45);
        QVERIFY(!renamed.Passive);
        QCOMPARE(renamed.TrustedCertificate, CertificateFingerprint::normalized(QString(64, u'A')));

        fakes.prompter.answer(Prompter::No);
        QTest::mouseClick(wizard.btnDelete, Qt::LeftButton);
        QCOMPARE(wizard.lvProfiles->count(), 3);
        QTest::mouseClick(wizard.btnDelete, Qt::LeftButton);
        QCOMPARE(fakes.prompter.boxes.last().text, TfrmUpload::deleteQuestion());
        QCOMPARE(fakes.prompter.boxes.last().kind, Prompter::Kind::Confirmation);
        QCOMPARE(fakes.prompter.beeps, 2);
        QVERIFY(!listTexts(*wizard.lvProfiles).contains(QStringLiteral("Renamed")));
        QVERIFY(!store.ReadProfileNames().contains(QStringLiteral("Renamed")));
        QVERIFY(wizard.lvProfiles->selectedItems().isEmpty());
        QVERIFY(!wizard.btnDelete->isEnabled() && !wizard.btnEdit->isEnabled() && !wizard.btnUpload->isEnabled());
    }

    void keyFilters_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("paste");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("kept");
        QTest::newRow("name typed") << "txtProfileName" << false << "a\\b:c<>" << "abc<>";
        QTest::newRow("name pasted") << "txtProfileName" << true << "x\"*/?|\u2039\u203A\ty" << "xy";
        QTest::newRow("port typed") << "txtPort" << false << "2a1-" << "21";
        QTest::newRow("port pasted") << "txtPort" << true << " 8 0x21 " << "8021";
    }

    void keyFilters()
    {
        QFETCH(QString, box);
        QFETCH(bool, paste);
        QFETCH(QString, input);
        QFETCH(QString, kept);
        TestServices fakes;
        TfrmUpload wizard(fakes.services);
        wizard.show();
        QTest::mouseClick(wizard.btnAdd, Qt::LeftButton);
        auto *edit = wizard.findChild<QLineEdit *>(box);
        edit->clear();
        edit->setFocus();
        if (paste) {
            QApplication::clipboard()->setText(input);
            edit->paste();
        } else {
            QTest::keyClicks(edit, input);
        }
        QCOMPARE(edit->text(), kept);
    }

    void helpTopics()
    {
        TestServices fakes;
        TfrmUpload wizard(fakes.services);
        const QList<std::pair<const char *, int>> topics{{"ProfileName", 57}, {"UserName", 58}, {"Port", 59},
                                                         {"InitialDir", 60},  {"HostName", 61}, {"Password", 62}};
        for (const auto &[name, topic] : topics) {
            auto *label = wizard.findChild<QLabel *>(QStringLiteral("lbl") + QLatin1StringView(name));
            QCOMPARE(HelpContext::of(*wizard.findChild<QLineEdit *>(QStringLiteral("txt") + QLatin1StringView(name))), topic);
            wizard.whatsThis->openFor(*label, {});
            wizard.whatsThis->mnuWhatsThis->trigger();
            wizard.whatsThis->popWhatsThis->hide();
        }
        wizard.whatsThis->openFor(*wizard.lstUpload, {});
        wizard.whatsThis->mnuWhatsThis->trigger();
        QCOMPARE(fakes.help.popups, (QList<int>{57, 58, 59, 60, 61, 62, 75}));
        QCOMPARE(HelpContext::of(*wizard.lvProfiles), 63);

        VERIFY_CONTROLS_NAMED(wizard);
    }

    void uploadList()
    {
        TestServices fakes;
        QCOMPARE(ProfileStore(fakes.settings).ReadProfileNames(), QStringList());
        // Written by another process (the command line) after this one read its settings.
        writeFile(fakes.settings.fileName(), "[Profiles]\nP\\Host=h\n");
        TfrmUpload wizard(fakes.services);
        wizard.show();
        wizard.setFiles({QStringLiteral("/tmp/a.gif")});
        select(wizard, QStringLiteral("P"));
        QVERIFY(!wizard.btnSend->isEnabled());
        wizard.btnUpload->toggle(); // as a screen reader presses it: no click
        QVERIFY(wizard.btnSend->isEnabled() && wizard.btnUpRemove->isEnabled());

        fakes.openDialog.choose(QStringLiteral("/tmp/b.jpg"));
        fakes.openDialog.setFileName(QStringLiteral("left over"));
        QTest::mouseClick(wizard.btnUpAdd, Qt::LeftButton);
        QCOMPARE(fakes.openDialog.runs.size(), 1);
        QCOMPARE(fakes.openDialog.runs.last().filter, QStringLiteral("All Files|*.*"));
        QVERIFY(fakes.openDialog.runs.last().fileName.isEmpty());
        QCOMPARE(wizard.files(), (QStringList{QStringLiteral("/tmp/a.gif"), QStringLiteral("/tmp/b.jpg")}));
        QCOMPARE(wizard.lstUpload->currentRow(), 1);

        for (int row : {1, 0}) {
            wizard.lstUpload->setCurrentRow(row);
            QTest::mouseClick(wizard.btnUpRemove, Qt::LeftButton);
        }
        QCOMPARE(wizard.lstUpload->count(), 0);
        QVERIFY(!wizard.btnSend->isEnabled() && !wizard.btnUpRemove->isEnabled());
    }

    void globeTurns()
    {
        GlobeAnimation globe;
        const QImage first = globe.grab().toImage();
        globe.play();
        QVERIFY(QTest::qWaitFor([&] { return globe.frame() >= 2; }, 2000));
        QVERIFY(globe.grab().toImage() != first);
        globe.stop();
        QCOMPARE(globe.frame(), 0);
        QCOMPARE(globe.grab().toImage(), first);
    }
};

// Send to web from the main window, and whole runs through the wizard against a real
// FTP server on the loopback interface.
class TestSendToWeb : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mXdgHome;
    QTemporaryDir mRemote;
    FtpServerProcess mServer;

    std::unique_ptr<TfrmMain> startWindow(TestServices &fakes)
    {
        fakes.settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
        auto window = std::make_unique<TfrmMain>(fakes.services);
        window->startUp(QString());
        return window;
    }

    // The wizard of one Send to web, driven by the test's handler.
    void sendToWeb(TestServices &fakes, TfrmMain &window, const std::function<void(TfrmUpload &)> &drive)
    {
        fakes.modal.expect([&](QDialog &dialog) {
            auto &wizard = dynamic_cast<TfrmUpload &>(dialog);
            wizard.show();
            drive(wizard);
            QTest::mouseClick(wizard.btnClose, Qt::LeftButton);
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(window.pbButtons->btnUpload, Qt::LeftButton);
        QVERIFY(fakes.modal.handlers.isEmpty());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mXdgHome.isValid() && mRemote.isValid());
        qputenv("XDG_DATA_HOME", mXdgHome.path().toLocal8Bit());
        QVERIFY2(mServer.start(mRemote.path(), QStringLiteral("tester"), QStringLiteral("right")), qPrintable(mServer.errorString()));
    }

    void untitledPageListsNoPageFile()
    {
        TestServices fakes;
        auto window = startWindow(fakes);
        QStringList listed{QStringLiteral("not shown")};
        sendToWeb(fakes, *window, [&](TfrmUpload &wizard) { listed = wizard.files(); });
        QVERIFY(fakes.prompter.boxes.isEmpty());
        QCOMPARE(listed, QStringList());
    }

    void fullRun()
    {
        TestServices fakes;
        auto window = startWindow(fakes);
        QByteArray picture(70000, Qt::Uninitialized);
        for (int i = 0; i < picture.size(); ++i)
            picture[i] = char(i * 7 + i / 251);
        fakes.data.writeFile(QStringLiteral("Upload/images/pic.gif"), picture);
        window->page().Page().Items(1).ImageBlock().FileName = QStringLiteral("pic.gif");
        fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/My Page.vxf"));
        QVERIFY(window->save());
        fakes.prompter.boxes.clear();
        QVERIFY(QDir(mRemote.path()).mkdir(QStringLiteral("site")));
        saveProfile(fakes.settings, QStringLiteral("Local"), QStringLiteral("127.0.0.1"), mServer.port(), QStringLiteral("right"),
                    QStringLiteral("site"));

        bool progressShown = false;
        sendToWeb(fakes, *window, [&](TfrmUpload &wizard) {
            QCOMPARE(wizard.files(), (QStringList{fakes.data.path() + QStringLiteral("Upload/images/pic.gif"),
                                                  fakes.data.path() + QStringLiteral("Upload/MyPage.html")}));
            // The picture's bytes are no picture and the link has no address: the
            // page goes out because the user says so. The second time, nothing changed,
            // and the file deleted on the server behind the program's back comes back
            // only when every file is sent.
            const QString question = QStringLiteral("The list above shows 2 errors on this page. Send anyway?");
            for (const QString &state : {QStringLiteral("new"), QStringLiteral("unchanged")}) {
                fakes.prompter.boxes.clear();
                fakes.prompter.answer(Prompter::Yes);
                select(wizard, QStringLiteral("Local"));
                QTest::mouseClick(wizard.btnUpload, Qt::LeftButton);
                QCOMPARE(wizard.lstUpload->stateOf(0), state);
                QCOMPARE(wizard.lstUpload->stateOf(1), state);
                const bool all = state == u"unchanged";
                wizard.chkSendAll->setChecked(all);
                const QString planned = all ? QStringLiteral("unchanged, sent anyway") : state;
                QCOMPARE(wizard.lstUpload->stateOf(1), planned);
                QTest::mouseClick(wizard.btnSend, Qt::LeftButton);
                QVERIFY(QTest::qWaitFor([&] {
                    progressShown |= wizard.pnlProgress->isVisible() && wizard.Animate->isPlaying()
                        && wizard.lblProgress->text().startsWith(QStringLiteral("Connect"));
                    return !fakes.prompter.boxes.isEmpty() && pageUsable(wizard);
                }, 20000));
                QCOMPARE(fakes.prompter.texts(), (QStringList{question, QStringLiteral("Transfer Completed.")}));
                QVERIFY2(wizard.lblSummary->text().startsWith(QStringLiteral("2 files sent (")), qPrintable(wizard.lblSummary->text()));
                QCOMPARE(wizard.lstUpload->stateOf(0), all ? QStringLiteral("unchanged, sent anyway") : QStringLiteral("unchanged"));
                QVERIFY(!wizard.uploadRun().isConnected());
                QCOMPARE(readFile(mRemote.filePath(QStringLiteral("site/pic.gif"))), picture);
                QCOMPARE(readFile(mRemote.filePath(QStringLiteral("site/MyPage.html"))),
                         readFile(fakes.data.path() + QStringLiteral("Upload/MyPage.html")));
                QFile::remove(mRemote.filePath(QStringLiteral("site/pic.gif")));
            }
        });
        QVERIFY(progressShown);
    }

    // The check's findings stand above the files. An error asks first, No being the
    // answer Enter gives, and No sends nothing; warnings alone only inform.
    void checkBeforeSending_data()
    {
        QTest::addColumn<bool>("withError");
        QTest::addColumn<QStringList>("shown");
        const QString noTitle = QStringLiteral("Page Details: The page has no title: browsers show its file name instead, "
                                               "and search engines list it without one.");
        QTest::newRow("error, answered No") << true
                                            << QStringList{noTitle, QStringLiteral("Image (row 1): The picture gone.jpg is "
                                                                                   "missing from the upload folder.")};
        QTest::newRow("warning only") << false << QStringList{noTitle};
    }

    void checkBeforeSending()
    {
        QFETCH(bool, withError);
        QFETCH(QStringList, shown);
        TestServices fakes;
        auto window = startWindow(fakes);
        TPageCollection &items = window->page().Page();
        while (items.Count() > 2)
            items.remove(2);
        if (withError) {
            items.Items(1).ImageBlock().FileName = QStringLiteral("gone.jpg");
            items.Items(1).ImageBlock().Alt = QStringLiteral("Gone");
        } else {
            items.remove(1);
        }
        window->FillPageletteList();
        fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/Checked.vxf"));
        QVERIFY(window->save());
        fakes.prompter.boxes.clear();
        QVERIFY(QDir(mRemote.path()).mkpath(QStringLiteral("checked")));
        saveProfile(fakes.settings, QStringLiteral("Local"), QStringLiteral("127.0.0.1"), mServer.port(), QStringLiteral("right"),
                    QStringLiteral("checked"));

        sendToWeb(fakes, *window, [&](TfrmUpload &wizard) {
            QVERIFY(!wizard.pnlFindings->isHidden());
            QCOMPARE(listTexts(*wizard.pnlFindings->lstFindings), shown);
            fakes.prompter.answer(Prompter::No);
            send(wizard, QStringLiteral("Local"));
            if (withError) {
                QCOMPARE(fakes.prompter.texts(), QStringList{QStringLiteral("The list above shows an error on this page. Send anyway?")});
                QCOMPARE(fakes.prompter.boxes.first().kind, Prompter::Kind::Warning);
                QCOMPARE(fakes.prompter.boxes.first().buttons, Prompter::Yes | Prompter::No);
                QCOMPARE(fakes.prompter.boxes.first().defaultButton, Prompter::No);
                QVERIFY(!wizard.pnlProgress->isVisible() && !wizard.uploadRun().isLocked());
                return;
            }
            QVERIFY(QTest::qWaitFor([&] { return !fakes.prompter.boxes.isEmpty() && pageUsable(wizard); }, 20000));
            QCOMPARE(fakes.prompter.texts(), QStringList{QStringLiteral("Transfer Completed.")});
        });
        QCOMPARE(QFileInfo::exists(mRemote.filePath(QStringLiteral("checked/Checked.html"))), !withError);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("stored");
        const QString question = QStringLiteral("Host Directory Does not exist. Do you want to create it?");
        QTest::newRow("missing directory, yes") << "right" << "made" << int(Prompter::Yes)
                                                << QStringList{question, QStringLiteral("Transfer Completed.")} << true;
        QTest::newRow("missing directory, no") << "right" << "declined" << int(Prompter::No) << QStringList{question} << false;
        QTest::newRow("wrong password") << "wrong" << "" << int(Prompter::Ok)
                                        << QStringList{QStringLiteral("Error 530 Authentication failed.")} << false;
    }

    void failures()
    {
        QFETCH(QString, password);
        QFETCH(QString, dir);
        QFETCH(int, answer);
        QFETCH(QStringList, boxes);
        QFETCH(bool, stored);
        TestServices fakes;
        saveProfile(fakes.settings, QStringLiteral("Local"), QStringLiteral("127.0.0.1"), mServer.port(), password, dir);
        const QString page = writeFile(fakes.data.path() + QStringLiteral("Upload/f.html"), "<p>f</p>");
        TfrmUpload wizard(fakes.services);
        wizard.show();
        wizard.setFiles({page});
        fakes.prompter.answer(Prompter::Button(answer));
        send(wizard, QStringLiteral("Local"));
        QVERIFY(QTest::qWaitFor([&] { return fakes.prompter.boxes.size() >= boxes.size() && pageUsable(wizard); }, 20000));
        QTest::qWait(50);
        QCOMPARE(fakes.prompter.texts(), boxes);
        const QString remoteName = dir.isEmpty() ? QStringLiteral("f.html") : dir + QStringLiteral("/f.html");
        QCOMPARE(QFileInfo::exists(mRemote.filePath(remoteName)), stored);
        QVERIFY(!wizard.uploadRun().isConnected());
    }

    void closingDuringSilentTransfer()
    {
        ScriptedFtpServer server;
        QVERIFY(server.listen());
        server.replies.insert("STOR", QByteArray());
        TestServices fakes;
        saveProfile(fakes.settings, QStringLiteral("Silent"), QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("pw"));
        TfrmUpload wizard(fakes.services);
        wizard.setFiles({writeFile(fakes.data.path() + QStringLiteral("Upload/s.html"), QByteArray(300000, 'x'))});
        QElapsedTimer closing;
        bool sendEnabledDuringRun = true;
        QTimer::singleShot(0, &wizard, [&] {
            send(wizard, QStringLiteral("Silent"));
            if (!QTest::qWaitFor([&] { return server.commands.contains("STOR s.html"); }, 5000))
                qWarning("the server never received the STOR");
            sendEnabledDuringRun = wizard.btnSend->isEnabled();
            closing.start();
            QTest::mouseClick(wizard.btnClose, Qt::LeftButton);
        });
        DialogModalRunner runner;
        QCOMPARE(runner.runModal(wizard), int(QDialog::Rejected));
        QVERIFY(closing.isValid());
        QVERIFY(!sendEnabledDuringRun);
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
        QVERIFY(!wizard.uploadRun().isConnected());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(fakes.prompter.boxes.isEmpty());
    }

    void cleanupTestCase() { mServer.stop(); }
};

// An SFTP profile made in the editor publishes the page: the host key question, the
// passphrase of the key file and the missing folder are answered as a user would.
class TestSftpWizard : public QObject
{
    Q_OBJECT

    SshdProcess mServer;
    QTemporaryDir mHome;
    QByteArray mSavedHome;
    QByteArray mSavedAgent;

private slots:
    void initTestCase()
    {
        if (!SshdProcess::isInstalled())
            QSKIP("OpenSSH's sshd is not installed (scripts/install-deps installs it)");
        QVERIFY2(mServer.start(), qPrintable(mServer.errorString()));
        // known_hosts and agents of the user running the tests stay out of it.
        mSavedHome = qgetenv("HOME");
        mSavedAgent = qgetenv("SSH_AUTH_SOCK");
        qputenv("HOME", QFile::encodeName(mHome.path()));
        qunsetenv("SSH_AUTH_SOCK");
    }

    void profileMadeInTheEditorPublishes()
    {
        const QString key = mHome.filePath(QStringLiteral("locked_key"));
        QVERIFY(SshdProcess::makeKey(key, QStringLiteral("open sesame")) && mServer.authorizeKey(key));
        TestServices fakes;
        TfrmUpload wizard(fakes.services);
        wizard.show();
        QTest::mouseClick(wizard.btnAdd, Qt::LeftButton);
        QTest::keyClicks(wizard.txtProfileName, QStringLiteral("Shell"));
        QVERIFY(!wizard.txtKeyFile->isVisible() && !wizard.txtHostKey->isVisible());
        wizard.cbProtocol->setCurrentText(QStringLiteral("SFTP"));
        QCOMPARE(wizard.txtPort->text(), QStringLiteral("22"));
        QVERIFY(wizard.txtKeyFile->isVisible() && wizard.txtHostKey->isVisible() && !wizard.chkPassive->isVisible());
        wizard.txtHostName->setText(QStringLiteral("127.0.0.1"));
        wizard.txtPort->setText(QString::number(mServer.port()));
        wizard.txtUserName->setText(mServer.user());
        wizard.txtInitialDir->setText(QStringLiteral("www"));
        fakes.openDialog.choose(key);
        QTest::mouseClick(wizard.btnKeyFile, Qt::LeftButton);
        QCOMPARE(wizard.txtKeyFile->text(), key);
        QTest::mouseClick(wizard.btnApply, Qt::LeftButton);
        QVERIFY(!wizard.isEditing());
        const ServerProfile stored = ProfileStore(fakes.settings).LoadProfile(QStringLiteral("Shell"));
        QCOMPARE(stored.Protocol, TransferProtocol::Sftp);
        QCOMPARE(stored.KeyFile, key);
        QVERIFY(stored.TrustedHostKey.isEmpty());

        const QByteArray picture = QByteArray(200000, 'q');
        const QString page = fakes.data.path() + QStringLiteral("Upload/page.html");
        wizard.setFiles({writeFile(fakes.data.path() + QStringLiteral("Upload/images/pic.gif"), picture),
                         writeFile(page, "<html><p>over SFTP</p></html>\r\n")});
        fakes.prompter.answer(Prompter::Yes); // the host key
        fakes.prompter.answer(Prompter::Yes); // the missing folder
        fakes.modal.expect([](QDialog &dialog) {
            auto &asking = dynamic_cast<PassphraseDialog &>(dialog);
            asking.txtPassphrase->setText(QStringLiteral("open sesame"));
            return int(QDialog::Accepted);
        });
        for (int run = 0; run < 2; ++run) {
            // The second run finds the page changed and sends it alone.
            const QByteArray html = run == 0 ? "<html><p>over SFTP</p></html>\r\n" : "<html><p>over SFTP, changed</p></html>\r\n";
            writeFile(page, html);
            fakes.prompter.boxes.clear();
            send(wizard, QStringLiteral("Shell"));
            QVERIFY(QTest::qWaitFor([&] { return fakes.prompter.texts().contains(QStringLiteral("Transfer Completed.")) && pageUsable(wizard); },
                                    30000));
            if (run == 0) {
                QCOMPARE(fakes.prompter.boxes.size(), 3);
                const QString question = fakes.prompter.boxes.first().text;
                QVERIFY2(question.contains(QStringLiteral("ssh-ed25519")) && question.contains(mServer.hostKeyFingerprint()),
                         qPrintable(question));
                QCOMPARE(ProfileStore(fakes.settings).LoadProfile(QStringLiteral("Shell")).TrustedHostKey, mServer.hostKeyFingerprint());
                QVERIFY(fakes.modal.handlers.isEmpty());
            } else {
                // Nothing asked again: the key is trusted and the passphrase known to the window.
                QCOMPARE(fakes.prompter.texts(), QStringList{QStringLiteral("Transfer Completed.")});
            }
            QCOMPARE(readFile(mServer.loginFolder() + QStringLiteral("/www/page.html")), html);
            QCOMPARE(readFile(mServer.loginFolder() + QStringLiteral("/www/pic.gif")), picture);
            QCOMPARE(QDir(mServer.loginFolder() + QStringLiteral("/www")).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{QStringLiteral("page.html"), QStringLiteral("pic.gif")}));
        }
        QCOMPARE(fakes.modal.shownClasses, QStringList{QStringLiteral("PassphraseDialog")});
    }

    void cleanupTestCase()
    {
        qputenv("HOME", mSavedHome);
        if (!mSavedAgent.isEmpty())
            qputenv("SSH_AUTH_SOCK", mSavedAgent);
        mServer.stop();
    }
};

VENDRIX_TEST(TestUploadWizard)
VENDRIX_TEST(TestSftpWizard)
VENDRIX_TEST(TestSendToWeb)
#include "tst_frmupload.moc"
