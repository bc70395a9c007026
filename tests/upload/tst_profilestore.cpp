#include "testdatafolder.h"
#include "testregistry.h"

#include "model/pagelette.h"
#include "platform/cp1252.h"
#include "platform/settings.h"
#include "upload/ftpclient.h"
#include "upload/profilestore.h"
#include "upload/uploadlist.h"

#include <QTemporaryDir>
#include <QTest>

class TestProfileStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    int mCase = 0;
    QString freshFile() { return mDir.filePath(QStringLiteral("profiles%1.ini").arg(++mCase)); }

    static ServerProfile sample(const QString &name)
    {
        ServerProfile p;
        p.ProfileName = name;
        p.UserName = QStringLiteral("webmaster");
        p.Password = QStringLiteral("pässwörd");
        p.HostName = QStringLiteral("ftp.example.org");
        p.InitialDir = QStringLiteral("public_html");
        p.Port = QStringLiteral("2121");
        p.Passive = true;
        p.Security = ftpSecurityTLS;
        p.TrustedCertificate = QString(64, u'a');
        p.Timeout = 7;
        return p;
    }

private slots:
    void passwordRoundTrip_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QStringLiteral("s3cret!");
        QTest::newRow("one byte") << QStringLiteral("x");
        QTest::newRow("Windows-1252 letters") << QStringLiteral("Grüße €uro ‹›");
        QTest::newRow("beyond Windows-1252") << QStringLiteral("пароль 密码");
        QTest::newRow("mixed with a surrogate pair") << QStringLiteral("é\U0001F511z");
    }

    void passwordRoundTrip()
    {
        QFETCH(QString, password);
        const QString stored = ProfilePassword::encode(password);
        QCOMPARE(ProfilePassword::decode(stored), password);
        if (!Cp1252::canEncode(password)) {
            QVERIFY(stored.startsWith(QStringLiteral("utf8:")));
            return;
        }
        // One scrambled byte per character, in padded Base64.
        QCOMPARE(stored.size(), 4 * ((password.size() + 2) / 3));
        const QByteArray bytes = QByteArray::fromBase64(stored.toLatin1());
        QCOMPARE(bytes.size(), password.size());
        if (!password.isEmpty())
            QVERIFY(bytes != Cp1252::encode(password));
    }

    void scramblerIsFixed()
    {
        // Stored passwords must stay readable: the scrambler's constants never change.
        QCOMPARE(ProfilePassword::ScramblePassword("password").toHex(), QByteArray("4af83f9d3a1105a0"));
        const QByteArray all = [] {
            QByteArray b;
            for (int i = 0; i < 256; ++i)
                b.append(char(i));
            return b;
        }();
        QCOMPARE(ProfilePassword::UnscramblePassword(ProfilePassword::ScramblePassword(all)), all);
    }

    void brokenStoredPasswordLoadsEmpty()
    {
        QCOMPARE(ProfilePassword::decode(QStringLiteral("not base64!")), QString());
    }

    void saveLoadAndRename()
    {
        Settings settings(freshFile());
        ProfileStore store(settings);
        QVERIFY(store.ReadProfileNames().isEmpty());
        QVERIFY(store.SaveProfile(sample(QStringLiteral("Home Site"))));
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Home Site/Host")), QStringLiteral("ftp.example.org"));
        QVERIFY(settings.readString(QStringLiteral("Profiles/Home Site/Password")) != QStringLiteral("pässwörd"));

        ServerProfile renamed = sample(QStringLiteral("Work"));
        renamed.UserName = QStringLiteral("other");
        QVERIFY(store.SaveProfile(renamed, QStringLiteral("Home Site")));
        QCOMPARE(store.ReadProfileNames(), QStringList{QStringLiteral("Work")});
        QVERIFY(settings.childKeys(QStringLiteral("Profiles/Home Site")).isEmpty());
        QCOMPARE(settings.childKeys(QStringLiteral("Profiles/Work")).size(), 12);
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Work/Protocol")), QStringLiteral("FTP"));
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Work/Passive")), QStringLiteral("Yes"));
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Work/Security")), QStringLiteral("TLS"));
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Work/Timeout")), QStringLiteral("7"));
        QCOMPARE(store.findProfile(QStringLiteral("WORK")), QStringLiteral("Work"));

        const ServerProfile loaded = store.LoadProfile(QStringLiteral("Work"));
        QCOMPARE(loaded.UserName, QStringLiteral("other"));
        QCOMPARE(loaded.Password, QStringLiteral("pässwörd"));
        QCOMPARE(loaded.Port, QStringLiteral("2121"));
        QVERIFY(loaded.Passive);
        QCOMPARE(loaded.Security, ftpSecurityTLS);
        const QString fingerprint = QStringLiteral("AA:").repeated(31) + QStringLiteral("AA");
        QCOMPARE(loaded.TrustedCertificate, fingerprint);
        QCOMPARE(loaded.Timeout, 7);

        TFtpClient ftp;
        store.LoadProfile(QStringLiteral("Work"), ftp);
        QCOMPARE(ftp.UserName, QStringLiteral("other"));
        QCOMPARE(ftp.PassWord, QStringLiteral("pässwörd"));
        QCOMPARE(ftp.HostName, QStringLiteral("ftp.example.org"));
        QCOMPARE(ftp.HostDirName, QStringLiteral("public_html"));
        QCOMPARE(ftp.Port, QStringLiteral("2121"));
        QVERIFY(ftp.Passive);
        QCOMPARE(ftp.Security, ftpSecurityTLS);
        QCOMPARE(ftp.TrustedCertificate, fingerprint);
        QCOMPARE(ftp.IdleTimeout, std::chrono::milliseconds(7000));

        renamed.TrustedCertificate = QStringLiteral("not a fingerprint");
        QVERIFY(!store.SaveProfile(renamed));
        QVERIFY(!store.TrustCertificate(QStringLiteral("Work"), QStringLiteral("12:34")));
        QVERIFY(store.TrustCertificate(QStringLiteral("Work"), QString(64, u'b')));
        QCOMPARE(store.LoadProfile(QStringLiteral("Work")).TrustedCertificate, QStringLiteral("BB:").repeated(31) + QStringLiteral("BB"));
        QVERIFY(!store.TrustCertificate(QStringLiteral("Nobody"), QString(64, u'b')));

        QVERIFY(store.DeleteProfile(QStringLiteral("Work")));
        QVERIFY(store.ReadProfileNames().isEmpty());
    }

    void sftpValues()
    {
        Settings settings(freshFile());
        ProfileStore store(settings);
        ServerProfile shell = sample(QStringLiteral("Shell"));
        shell.Protocol = TransferProtocol::Sftp;
        shell.KeyFile = QStringLiteral("/home/me/.ssh/id_ed25519");
        shell.TrustedHostKey = QStringLiteral(" sha256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU= ");
        const QString fingerprint = QStringLiteral("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU");
        QVERIFY(store.SaveProfile(shell));
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Shell/Protocol")), QStringLiteral("SFTP"));
        QCOMPARE(settings.readString(QStringLiteral("Profiles/Shell/HostKey")), fingerprint);
        const ServerProfile loaded = store.LoadProfile(QStringLiteral("Shell"));
        QCOMPARE(loaded.Protocol, TransferProtocol::Sftp);
        QCOMPARE(loaded.KeyFile, shell.KeyFile);
        QCOMPARE(loaded.TrustedHostKey, fingerprint);
        // The FTP values stay for a switch back.
        QCOMPARE(loaded.Security, ftpSecurityTLS);

        // An SFTP profile without a port is on SSH's.
        settings.remove(QStringLiteral("Profiles/Shell/Port"));
        QCOMPARE(store.LoadProfile(QStringLiteral("Shell")).Port, QStringLiteral("22"));

        shell.TrustedHostKey = QStringLiteral("SHA256:tooshort");
        QVERIFY(!store.SaveProfile(shell));
        QVERIFY(store.errorString().contains(QStringLiteral("host key")));
        QVERIFY(!store.TrustHostKey(QStringLiteral("Shell"), QString(64, u'a')));
        const QString other = QStringLiteral("SHA256:") + QString(42, u'B') + u'A';
        QVERIFY(store.TrustHostKey(QStringLiteral("Shell"), other));
        QCOMPARE(store.LoadProfile(QStringLiteral("Shell")).TrustedHostKey, other);
    }

    void missingValuesLoadDefaults()
    {
        Settings settings(freshFile());
        settings.writeString(QStringLiteral("Profiles/Bare/Host"), QStringLiteral("h"));
        settings.writeString(QStringLiteral("Profiles/Odd/Timeout"), QStringLiteral("0"));
        settings.writeString(QStringLiteral("Profiles/Odd/TrustedCertificate"), QStringLiteral("xyz"));
        ProfileStore store(settings);
        for (const QString &name : {QStringLiteral("Bare"), QStringLiteral("Odd")}) {
            // Profiles stored before these values existed keep the active, clear-text
            // connection they were made for.
            const ServerProfile p = store.LoadProfile(name);
            QCOMPARE(p.Port, QStringLiteral("21"));
            QCOMPARE(p.Protocol, TransferProtocol::Ftp);
            QVERIFY(p.UserName.isEmpty() && p.Password.isEmpty() && p.InitialDir.isEmpty());
            QVERIFY(!p.Passive);
            QCOMPARE(p.Security, ftpSecurityNone);
            QVERIFY(p.TrustedCertificate.isEmpty());
            QCOMPARE(p.Timeout, 30);
        }
        QCOMPARE(store.LoadProfile(QStringLiteral("Bare")).HostName, QStringLiteral("h"));
        const ServerProfile fresh = ServerProfile::newProfile();
        QVERIFY(fresh.Passive);
        QCOMPARE(fresh.Security, ftpSecurityTLS);
    }

    void nameRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << QStringLiteral("My Site 2") << true;
        QTest::newRow("angle brackets") << QStringLiteral("<site>") << true;
        QTest::newRow("empty") << QString() << false;
        for (const char *bad : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a|b", "a\"b", "a\u2039b", "a\u203Ab", "a\tb"})
            QTest::newRow(bad) << QString::fromUtf8(bad) << false;
    }

    void nameRules()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(ProfileNames::isValid(name), valid);
        Settings settings(freshFile());
        ProfileStore store(settings);
        QCOMPARE(store.SaveProfile(sample(name)), valid);
        QCOMPARE(store.ReadProfileNames().size(), valid ? 1 : 0);
        QCOMPARE(store.DeleteProfile(name), valid);
    }
};

class TestUploadList : public QObject
{
    Q_OBJECT

private slots:
    void collectsExistingFilesPageLast()
    {
        TestDataFolder data;
        QVERIFY(data.isValid());
        const QString bg = data.writeFile(QStringLiteral("Upload/backgrounds/paper.jpg"), "bg");
        const QString lower = data.writeFile(QStringLiteral("Upload/images/apple.gif"), "a");
        const QString upper = data.writeFile(QStringLiteral("Upload/images/Banana.gif"), "b");
        const QString html = data.writeFile(QStringLiteral("Upload/MyPage.html"), "<html>");
        data.writeFile(QStringLiteral("secret.txt"), "not for the web");

        TPagelette page;
        page.NewPage();
        page.Page().Items(0).PagePropertiesBlock().Background = QStringLiteral("paper.jpg");
        for (const char *name : {"Banana.gif", "missing.gif", "apple.gif", "Banana.gif", "../../secret.txt", ""})
            page.InsertNewItem(page.Page().Count(), btImage).ImageBlock().FileName = QString::fromLatin1(name);

        QCOMPARE(UploadList::collect(page, data.folder(), QStringLiteral("/docs/My Page.vxf")), (QStringList{bg, lower, upper, html}));
        QCOMPARE(UploadList::collect(page, data.folder(), QStringLiteral("Untitled")), (QStringList{bg, lower, upper}));
        QCOMPARE(UploadList::bareFileName(upper), QStringLiteral("Banana.gif"));
    }
};

VENDRIX_TEST(TestProfileStore)
VENDRIX_TEST(TestUploadList)
#include "tst_profilestore.moc"
