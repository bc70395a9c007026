#include "fakekeychain.h"
#include "fakeprompter.h"
#include "secretserviceprocess.h"
#include "testregistry.h"

#include "platform/desktopkeychain.h"
#include "platform/settings.h"
#include "upload/profilestore.h"
#include "upload/publishtransport.h"
#include "upload/uploadrun.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <signal.h>

// This process talks to it, so it stays until the process ends (see SecretServiceProcess).
SecretServiceProcess &secretService()
{
    static auto *const service = new SecretServiceProcess;
    return *service;
}

// Server passwords in a keychain: the in-memory one, and a real Secret Service
// (gnome-keyring-daemon on a private session bus) where one can be started.
class TestKeychainProfiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    SecretServiceProcess &mSecrets = secretService();
    bool mSecretsRunning = false;
    QByteArray mOldBus;
    int mCase = 0;

    QString freshFile() { return mDir.filePath(QStringLiteral("profiles%1.ini").arg(++mCase)); }
    QString freshService() { return QStringLiteral("vendrix test %1").arg(++mCase); }

    static ServerProfile profile(const QString &name, const QString &password)
    {
        ServerProfile p = ServerProfile::newProfile();
        p.ProfileName = name;
        p.UserName = QStringLiteral("webmaster");
        p.Password = password;
        p.HostName = QStringLiteral("ftp.example.org");
        return p;
    }
    // A profile as an older version stored it: the scrambled password in the file.
    static void storeInFile(Settings &settings, const QString &name, const QString &password)
    {
        settings.writeString(QStringLiteral("Profiles/%1/Username").arg(name), QStringLiteral("me"));
        settings.writeString(QStringLiteral("Profiles/%1/Password").arg(name), ProfilePassword::encode(password));
        QVERIFY(settings.sync());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mSecretsRunning = mSecrets.start();
        if (!mSecretsRunning)
            return;
        // Before anything in this process connects to a session bus.
        mOldBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", mSecrets.busAddress().toUtf8());
    }
    void cleanupTestCase()
    {
        if (!mSecretsRunning)
            return;
        mSecrets.removeFolder();
        if (mOldBus.isEmpty())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", mOldBus);
    }

    void storeMigrateRenameDelete_data()
    {
        QTest::addColumn<bool>("secretService");
        QTest::newRow("in memory") << false;
        QTest::newRow("Secret Service") << true;
    }
    void storeMigrateRenameDelete()
    {
        QFETCH(bool, secretService);
        FakeKeychain memory;
        std::unique_ptr<DesktopKeychain> desktop;
        Keychain *keychain = &memory;
        if (secretService) {
            if (!mSecretsRunning)
                QSKIP(qPrintable(QStringLiteral("no Secret Service: ") + mSecrets.errorString()));
            desktop = std::make_unique<DesktopKeychain>(freshService(), std::chrono::seconds(20));
            keychain = desktop.get();
        }
        const QString password = QStringLiteral("pässwörd €1");
        Settings settings(freshFile());
        ProfileStore store(settings, keychain);
        QVERIFY(store.keychainAvailable());

        QVERIFY2(store.SaveProfile(profile(QStringLiteral("Home"), password)), qPrintable(store.errorString()));
        QCOMPARE(store.notice(), QString());
        QCOMPARE(keychain->read(QStringLiteral("Home")).secret, password);
        {
            const Settings onDisk(settings.fileName());
            QVERIFY(!onDisk.contains(QStringLiteral("Profiles/Home/Password")));
            QCOMPARE(onDisk.readString(QStringLiteral("Profiles/Home/PasswordInKeychain")), QStringLiteral("Yes"));
        }
        ServerProfile home = store.LoadProfile(QStringLiteral("Home"));
        QVERIFY(home.PasswordInKeychain && home.Password.isEmpty());
        QVERIFY(store.readPassword(home));
        QCOMPARE(home.Password, password);

        // A password an older version left in the file moves at its first use.
        storeInFile(settings, QStringLiteral("Old"), QStringLiteral("old sécret"));
        ServerProfile old = store.LoadProfile(QStringLiteral("Old"));
        QVERIFY(store.readPassword(old));
        QCOMPARE(old.Password, QStringLiteral("old sécret"));
        QCOMPARE(keychain->read(QStringLiteral("Old")).secret, QStringLiteral("old sécret"));
        {
            const Settings onDisk(settings.fileName());
            QVERIFY(!onDisk.contains(QStringLiteral("Profiles/Old/Password")));
            QCOMPARE(onDisk.readString(QStringLiteral("Profiles/Old/PasswordInKeychain")), QStringLiteral("Yes"));
        }

        // A rename takes the entry along, also when its password was never read.
        ServerProfile work = store.LoadProfile(QStringLiteral("Home"));
        work.ProfileName = QStringLiteral("Work");
        QVERIFY2(store.SaveProfile(work, QStringLiteral("Home")), qPrintable(store.errorString()));
        QCOMPARE(keychain->read(QStringLiteral("Work")).secret, password);
        QCOMPARE(keychain->read(QStringLiteral("Home")).status, Keychain::Status::NotFound);

        QVERIFY(store.DeleteProfile(QStringLiteral("Work")));
        QVERIFY(store.DeleteProfile(QStringLiteral("Old")));
        QCOMPARE(store.notice(), QString());
        QCOMPARE(keychain->read(QStringLiteral("Work")).status, Keychain::Status::NotFound);
        QCOMPARE(keychain->read(QStringLiteral("Old")).status, Keychain::Status::NotFound);
        QVERIFY(store.ReadProfileNames().isEmpty());
    }

    // A keychain that is missing, refuses or says nothing never costs a password.
    void keychainFailures_data()
    {
        QTest::addColumn<Keychain::Status>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no keychain") << Keychain::Status::Unavailable << QStringLiteral("no desktop keychain is available");
        QTest::newRow("refused") << Keychain::Status::Refused << QStringLiteral("the keychain is locked or refused access");
        QTest::newRow("timed out") << Keychain::Status::TimedOut << QStringLiteral("the keychain did not answer");
    }
    void keychainFailures()
    {
        QFETCH(Keychain::Status, status);
        QFETCH(QString, reason);
        FakeKeychain keychain;
        Settings settings(freshFile());
        ProfileStore store(settings, &keychain);
        QVERIFY(store.SaveProfile(profile(QStringLiteral("Kept"), QStringLiteral("kept secret"))));
        storeInFile(settings, QStringLiteral("Old"), QStringLiteral("old secret"));
        keychain.failWith = status;

        ServerProfile kept = store.LoadProfile(QStringLiteral("Kept"));
        QVERIFY(!store.readPassword(kept));
        QVERIFY(kept.PasswordInKeychain && kept.Password.isEmpty());
        QVERIFY2(store.errorString().contains(reason), qPrintable(store.errorString()));
        // Nor does a run start without it.
        FakePrompter prompter;
        UploadRun run(prompter);
        int transports = 0;
        run.setTransportFactory([&transports](const ServerProfile &) {
            ++transports;
            return std::unique_ptr<PublishTransport>();
        });
        run.setFiles({mDir.filePath(QStringLiteral("page.html"))});
        run.send(store, QStringLiteral("Kept"));
        QCOMPARE(transports, 0);
        QVERIFY(!run.isLocked());
        QCOMPARE(prompter.texts(), QStringList{store.errorString()});
        QCOMPARE(prompter.boxes.constFirst().kind, Prompter::Kind::Error);

        // A password still in the file serves, and stays there.
        ServerProfile old = store.LoadProfile(QStringLiteral("Old"));
        QVERIFY(store.readPassword(old));
        QCOMPARE(old.Password, QStringLiteral("old secret"));
        QVERIFY(Settings(settings.fileName()).contains(QStringLiteral("Profiles/Old/Password")));

        // Without a keychain a new password is kept in the file, and the user told so;
        // a keychain that is there but refuses or is silent fails the save instead.
        const bool keptInFile = status == Keychain::Status::Unavailable;
        QCOMPARE(store.SaveProfile(profile(QStringLiteral("New"), QStringLiteral("new secret"))), keptInFile);
        QCOMPARE(store.notice(), keptInFile ? ProfileStore::settingsFileNotice() : QString());
        QCOMPARE(store.keychainAvailable(), !keptInFile);
        const Settings onDisk(settings.fileName());
        if (keptInFile) {
            QCOMPARE(ProfilePassword::decode(onDisk.readString(QStringLiteral("Profiles/New/Password"))), QStringLiteral("new secret"));
            QVERIFY(!onDisk.contains(QStringLiteral("Profiles/New/PasswordInKeychain")));
        } else {
            QVERIFY2(store.errorString().contains(reason), qPrintable(store.errorString()));
            QVERIFY(!onDisk.childGroups(QStringLiteral("Profiles")).contains(QStringLiteral("New")));
        }

        // Deleting the profile leaves its entry behind, and says so.
        QVERIFY(store.DeleteProfile(QStringLiteral("Kept")));
        QVERIFY2(store.notice().contains(reason), qPrintable(store.notice()));
        QCOMPARE(keychain.entries.value(QStringLiteral("Kept")), QStringLiteral("kept secret"));
    }

    // A keychain that stops answering (as behind an unlock prompt nobody answers)
    // gives up after the time limit; once it answers again, so do later calls.
    void silentKeychainTimesOut()
    {
        if (!mSecretsRunning)
            QSKIP(qPrintable(QStringLiteral("no Secret Service: ") + mSecrets.errorString()));
        const QString service = freshService();
        DesktopKeychain keychain(service, std::chrono::milliseconds(1500));
        QVERIFY(keychain.write(QStringLiteral("key"), QStringLiteral("value")).ok());
        QVERIFY(::kill(pid_t(mSecrets.keyringProcessId()), SIGSTOP) == 0);
        QElapsedTimer clock;
        clock.start();
        const Keychain::Result silent = keychain.read(QStringLiteral("key"));
        const qint64 waited = clock.elapsed();
        ::kill(pid_t(mSecrets.keyringProcessId()), SIGCONT);
        QCOMPARE(silent.status, Keychain::Status::TimedOut);
        QVERIFY2(waited >= 1400 && waited < 15000, qPrintable(QString::number(waited)));
        QCOMPARE(DesktopKeychain(service, std::chrono::seconds(20)).read(QStringLiteral("key")).secret, QStringLiteral("value"));
    }
};

VENDRIX_TEST(TestKeychainProfiles)
#include "tst_keychainprofiles.moc"
