#include "filesizelimit.h"
#include "ftpserverprocess.h"
#include "secretserviceprocess.h"
#include "sshdprocess.h"
#include "testdatafolder.h"
#include "testfiles.h"
#include "testregistry.h"
#include "vsftpdprocess.h"

#include "model/documents.h"
#include "model/pagelette.h"
#include "platform/settings.h"
#include "upload/certificatefingerprint.h"
#include "upload/profilestore.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

// The publishing commands, run as the real executable with its own settings folder.
class TestUploadCommands : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    QTemporaryDir mRemote;
    TestDataFolder mData;
    FtpServerProcess mServer;
    VsftpdProcess mVsftpd;
    QString mDocument;
    QByteArray mPhoto;
    // The runs' keychain: a Secret Service of the test's own, or no bus at all.
    SecretServiceProcess mSecrets;
    QString mBusAddress;

    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    void prepare(QProcess &process) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), mHome.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), mHome.filePath(QStringLiteral("config")));
        // A developer's SSH agent must not log the tests in, nor their keychain keep
        // the tests' passwords.
        environment.remove(QStringLiteral("SSH_AUTH_SOCK"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), mBusAddress);
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment);
    }

    Result vendrix(const QStringList &arguments, const QByteArray &input = QByteArray(), rlim_t fileSizeLimit = RLIM_INFINITY,
                   const QString &outputFile = QString())
    {
        QProcess process;
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        if (fileSizeLimit != RLIM_INFINITY)
            process.setChildProcessModifier([fileSizeLimit] { limitFileSize(fileSizeLimit); });
        prepare(process);
        process.start(QStringLiteral(VENDRIX_EXECUTABLE), arguments);
        process.write(input);
        process.closeWriteChannel();
        Result result;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QString noBus() const { return QStringLiteral("unix:path=") + mHome.filePath(QStringLiteral("no-bus")); }
    QString settingsFile() const { return mHome.filePath(QStringLiteral("config/Zandorell Software/HTML Vendrix5.conf")); }

    QByteArray remoteFile(const QString &relative) const { return readFile(mRemote.filePath(relative)); }
    QStringList publish(const QString &profile, const QString &document = QString()) const
    {
        return {"--publish", document.isEmpty() ? mDocument : document, "--profile", profile, "--data-dir", mData.path()};
    }
    // A profile for a vsftpd of the test (anonymous login).
    int setVsftpdProfile(const QString &name, quint16 port)
    {
        return vendrix({"--set-profile", name, "--host", "127.0.0.1", "--port", QString::number(port), "--user", "anonymous",
                        "--password-stdin", "--dir", "pub", "--no-tls"},
                       "guest")
            .exitCode;
    }
    static QByteArray jpeg(Qt::GlobalColor colour)
    {
        QImage picture(40, 30, QImage::Format_RGB888);
        picture.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG");
        return bytes;
    }
    // A profile for the test server, its password given on standard input (with or
    // without a line end).
    int setProfile(const QString &name, quint16 port, const QString &dir, const QStringList &more = {},
                   const QByteArray &input = "pässword")
    {
        return vendrix(QStringList{"--set-profile", name, "--host", "127.0.0.1", "--port", QString::number(port), "--user",
                                   "tester", "--password-stdin", "--dir", dir} + more,
                       input)
            .exitCode;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid() && mRemote.isValid() && mData.isValid());
        // Without one, the runs keep their passwords in the settings file.
        mBusAddress = mSecrets.start() ? mSecrets.busAddress() : noBus();
        QVERIFY2(mServer.start(mRemote.path(), QStringLiteral("tester"), QStringLiteral("pässword")), qPrintable(mServer.errorString()));
        QVERIFY(QDir(mRemote.path()).mkdir(QStringLiteral("pub")));

        // A page the check before publishing passes.
        TPagelette page;
        page.NewPage();
        page.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("My Page");
        page.Page().Items(1).ImageBlock().FileName = QStringLiteral("photo.jpg");
        page.Page().Items(1).ImageBlock().Alt = QStringLiteral("A photo");
        page.Page().Items(2).LinkBlock().LinkURL = QStringLiteral("http://example.com/");
        QImage photo(40, 30, QImage::Format_RGB888);
        photo.fill(Qt::blue);
        QBuffer buffer(&mPhoto);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && photo.save(&buffer, "JPEG"));
        mData.writeFile(QStringLiteral("Upload/images/photo.jpg"), mPhoto);
        mDocument = mHome.filePath(QStringLiteral("My Page.vxf"));
        QCOMPARE(Documents::SaveDocument(mDocument, page), Documents::SaveResult::Saved);
    }

    void setAndListProfiles()
    {
        QCOMPARE(setProfile(QStringLiteral("Home Site"), mServer.port(), QStringLiteral("pub"), {"--no-tls"}, "pässword\n"), 0);
        QCOMPARE(vendrix({QStringLiteral("--profiles")}).out, QStringLiteral("Home Site\n"));
        // Changing one value keeps the others, the password included.
        QCOMPARE(vendrix({QStringLiteral("--set-profile"), QStringLiteral("Home Site"), QStringLiteral("--timeout"), QStringLiteral("20")}).exitCode, 0);
        const QString verbose = vendrix({QStringLiteral("--profiles"), QStringLiteral("--verbose")}).out;
        QCOMPARE(verbose, QStringLiteral("Home Site\n    Host: 127.0.0.1\n    Port: %1\n    User: tester\n    Directory: pub\n"
                                         "    Mode: passive\n    Security: none\n    Timeout: 20 s\n")
                              .arg(mServer.port()));
        for (const char *bad : {"--timeout 0", "--passive --active", "--tls --no-tls", "--trust-certificate 12:34"}) {
            const QStringList options = QString::fromLatin1(bad).split(u' ');
            QCOMPARE(vendrix(QStringList{QStringLiteral("--set-profile"), QStringLiteral("Home Site")} + options).exitCode, 2);
        }

        Result refused = vendrix({QStringLiteral("--set-profile"), QStringLiteral("HOME SITE")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains(QStringLiteral("There is already a server profile with this name.")));
        QCOMPARE(vendrix({QStringLiteral("--set-profile"), QStringLiteral("a/b")}).exitCode, 2);
        QCOMPARE(vendrix({QStringLiteral("--profiles")}).out, QStringLiteral("Home Site\n"));
        // The program folder option, which every command takes, wherever it stands.
        QCOMPARE(vendrix({QStringLiteral("--data-dir"), mData.path(), QStringLiteral("--profiles"), QStringLiteral("--data-dir"),
                          mData.path()})
                     .out,
                 QStringLiteral("Home Site\n"));
    }

    // Output that cannot be written is a failure, whatever the command did.
    void fullStandardOutputFails_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString full = QStringLiteral("vendrix: cannot write to standard output: No space left on device\n");
        QTest::newRow("--dump") << QStringList{QStringLiteral("--dump"), buildDataFolder() + QStringLiteral("/Themes.dat")} << full;
        QTest::newRow("--profiles") << QStringList{QStringLiteral("--profiles")} << full;
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << full;
        // This one checks its own writes.
        QTest::newRow("--export-html") << QStringList{QStringLiteral("--export-html"), mDocument}
                                       << QStringLiteral("vendrix: standard output: No space left on device\n");
    }
    void fullStandardOutputFails()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full");
        QVERIFY(vendrix({QStringLiteral("--profiles")}).out.contains(QStringLiteral("Home Site")));
        const Result r = vendrix(arguments, QByteArray(), RLIM_INFINITY, QStringLiteral("/dev/full"));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, message);
    }

    // Writes fail past 64 bytes as on a full disk: the upload copy keeps its old
    // contents and nothing reaches the server.
    void publishOnAFullDiskSendsNothing()
    {
        const QString copy = mData.writeFile(QStringLiteral("Upload/MyPage.html"), "the previous contents");
        const Result r = vendrix(publish(QStringLiteral("home site")), QByteArray(), 64);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("File too large")), qPrintable(r.err));
        QVERIFY(!r.out.contains(QStringLiteral("Connecting")));
        QCOMPARE(remoteFile(QStringLiteral("pub/MyPage.html")), QByteArray("<missing>"));
        QCOMPARE(readFile(copy), QByteArray("the previous contents"));
    }

    void publish()
    {
        const Result r = vendrix(publish(QStringLiteral("home site")) << QStringLiteral("--verbose"));
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(QStringLiteral("\nTransfer Completed.\n")), qPrintable(r.out));
        QVERIFY(r.out.startsWith(QStringLiteral("Connecting to 127.0.0.1...\n")));
        QVERIFY(r.out.contains(QStringLiteral("> PASS ********\n")));
        QVERIFY(!r.out.contains(QStringLiteral("pässword")));
        // The page is put in place after the picture it shows.
        QVERIFY(r.out.indexOf(QStringLiteral("> RNTO photo.jpg")) < r.out.indexOf(QStringLiteral("> RNTO MyPage.html")));
        QVERIFY(r.out.contains(QStringLiteral("\n2 files sent (")));

        QCOMPARE(remoteFile(QStringLiteral("pub/MyPage.html")),
                 readFile(mData.folder().uploadFolder() + QStringLiteral("MyPage.html")));
        QCOMPARE(remoteFile(QStringLiteral("pub/photo.jpg")), mPhoto);
    }

    // The page is checked first: an error stops it before anything is written or
    // sent, unless --force.
    void publishChecksThePageFirst()
    {
        TPagelette page;
        QVERIFY(Documents::LoadDocument(mDocument, page));
        page.Page().Items(1).ImageBlock().FileName = QStringLiteral("gone.jpg");
        const QString broken = mHome.filePath(QStringLiteral("Broken.vxf"));
        QCOMPARE(Documents::SaveDocument(broken, page), Documents::SaveResult::Saved);
        QStringList arguments{"--publish", broken, "--profile", "home site", "--data-dir", mData.path()};

        const Result refused = vendrix(arguments);
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(refused.err, broken + ": error: 1: The picture gone.jpg is missing from the upload folder. [picture-missing]\n"
                                  "vendrix: " + broken + ": not published because of the errors above (--force publishes anyway)\n");
        QVERIFY(refused.out.isEmpty());
        QVERIFY(!QFileInfo::exists(mData.folder().uploadFolder() + QStringLiteral("Broken.html")));

        const Result forced = vendrix(arguments << QStringLiteral("--force"));
        QCOMPARE(forced.exitCode, 0);
        QVERIFY2(forced.out.contains(QStringLiteral("\nTransfer Completed.\n")), qPrintable(forced.out));
        QVERIFY(forced.err.startsWith(broken + QStringLiteral(": error: 1: ")));
        QCOMPARE(remoteFile(QStringLiteral("pub/Broken.html")), readFile(mData.folder().uploadFolder() + QStringLiteral("Broken.html")));
    }

    void missingDirectory_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("--create-dir") << true;
        QTest::newRow("without --create-dir") << false;
    }

    void missingDirectory()
    {
        QFETCH(bool, create);
        const QString dir = create ? QStringLiteral("fresh") : QStringLiteral("absent");
        QCOMPARE(setProfile(QStringLiteral("Other"), mServer.port(), dir, {"--active", "--no-tls"}), 0);
        QStringList arguments = publish(QStringLiteral("Other"));
        if (create)
            arguments.append(QStringLiteral("--create-dir"));
        const Result r = vendrix(arguments);
        const QString question = QStringLiteral("Host Directory Does not exist. Do you want to create it?");
        QVERIFY2(r.out.contains(question + (create ? QStringLiteral(" yes") : QStringLiteral(" no"))), qPrintable(r.out));
        QCOMPARE(r.exitCode, create ? 0 : 1);
        QCOMPARE(QFileInfo::exists(mRemote.filePath(dir + QStringLiteral("/photo.jpg"))), create);
        QVERIFY(r.err.isEmpty());
    }

    void certificateTrustedFromTheCommandLine()
    {
        const QString certificate = mHome.filePath(QStringLiteral("server.pem"));
        QVERIFY(FtpServerProcess::makeCertificate(certificate));
        const QString fingerprint = CertificateFingerprint::of(QSslCertificate::fromPath(certificate).value(0));
        FtpServerProcess tls;
        QVERIFY2(tls.start(mRemote.path(), QStringLiteral("tester"), QStringLiteral("pässword"), certificate), qPrintable(tls.errorString()));
        QCOMPARE(setProfile(QStringLiteral("Secure"), tls.port(), QStringLiteral("pub")), 0);
        // Nothing on the command line but --set-profile trusts it, and nobody is asked.
        for (const QStringList &more : {QStringList(), QStringList{"--create-dir"}}) {
            const Result refused = vendrix(publish(QStringLiteral("Secure")) + more);
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains(QStringLiteral("--set-profile \"Secure\" --trust-certificate ") + fingerprint), qPrintable(refused.err));
            QVERIFY2(!refused.out.contains(u'?') && !refused.err.contains(u'?'), qPrintable(refused.out + refused.err));
        }

        QCOMPARE(vendrix({QStringLiteral("--set-profile"), QStringLiteral("Secure"), QStringLiteral("--trust-certificate"), fingerprint.toLower()})
                     .exitCode,
                 0);
        const Result trusted = vendrix(publish(QStringLiteral("Secure")));
        QCOMPARE(trusted.exitCode, 0);
        QVERIFY(trusted.out.contains(QStringLiteral("\nTransfer Completed.\n")));
    }

    void silentServerNeverHangs()
    {
        // The system completes the connection, but nobody ever answers on it.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QCOMPARE(vendrix({QStringLiteral("--set-profile"), QStringLiteral("Silent"), QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                          QStringLiteral("--port"), QString::number(silent.serverPort()), QStringLiteral("--timeout"), QStringLiteral("1")})
                     .exitCode,
                 0);
        QElapsedTimer timer;
        timer.start();
        const Result r = vendrix(publish(QStringLiteral("Silent")));
        QCOMPARE(r.exitCode, 1);
        QVERIFY(timer.elapsed() < 10000);
        QVERIFY2(r.err.contains(QStringLiteral("Error 500 Connection timed out (Winsock error #10060)")), qPrintable(r.err));
    }

    // What runs send, step by step, as the server's own log tells: only what changed,
    // unless asked for everything; a dry run nothing.
    void onlyWhatChanged_data()
    {
        QTest::addColumn<bool>("changePicture");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("lines");
        const QString picture = QStringLiteral(".photo.jpg.vxpart");
        const QString page = QStringLiteral(".MyPage.html.vxpart");
        QTest::newRow("first run") << false << QString() << QStringList{picture, page}
                                   << QStringList{"photo.jpg: sent (new, ", "MyPage.html: sent (new, "};
        QTest::newRow("nothing changed") << false << QString() << QStringList()
                                         << QStringList{"photo.jpg: not sent (unchanged)", "MyPage.html: not sent (unchanged)"};
        QTest::newRow("changed picture") << true << QString() << QStringList{picture}
                                         << QStringList{"photo.jpg: sent (changed, ", "MyPage.html: not sent (unchanged)"};
        QTest::newRow("dry run") << true << "--dry-run" << QStringList()
                                 << QStringList{"Finding Initial Directory...", "photo.jpg: would be sent (changed, ",
                                                "MyPage.html: would not be sent (unchanged)"};
        QTest::newRow("--all") << false << "--all" << QStringList{picture, page}
                               << QStringList{"photo.jpg: sent (changed, ", "MyPage.html: sent (unchanged, "};
    }

    void onlyWhatChanged()
    {
        QFETCH(bool, changePicture);
        QFETCH(QString, option);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, lines);
        if (!VsftpdProcess::isInstalled())
            QSKIP("vsftpd is not installed (Debian package vsftpd)");
        if (mVsftpd.port() == 0) {
            QVERIFY2(mVsftpd.start(), qPrintable(mVsftpd.errorString()));
            QCOMPARE(setVsftpdProfile(QStringLiteral("Logged"), mVsftpd.port()), 0);
        }
        const QString photo = mData.folder().imagesFolder() + QStringLiteral("photo.jpg");
        if (changePicture)
            writeFile(photo, jpeg(QTest::currentDataTag() == QByteArray("dry run") ? Qt::red : Qt::green));
        const QByteArray remoteBefore = readFile(mVsftpd.uploadFolder() + QStringLiteral("/photo.jpg"));
        const qsizetype before = mVsftpd.storedFiles().size();

        QStringList arguments = publish(QStringLiteral("Logged"));
        if (!option.isEmpty())
            arguments.append(option);
        const Result r = vendrix(arguments);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(mVsftpd.storedFiles().mid(before), stored);
        for (const QString &line : lines)
            QVERIFY2(r.out.contains(u'\n' + line), qPrintable(r.out));
        QCOMPARE(readFile(mVsftpd.uploadFolder() + QStringLiteral("/photo.jpg")), option == u"--dry-run" ? remoteBefore : readFile(photo));
        QCOMPARE(readFile(mVsftpd.uploadFolder() + QStringLiteral("/MyPage.html")),
                 readFile(mData.folder().uploadFolder() + QStringLiteral("MyPage.html")));
        QCOMPARE(QDir(mVsftpd.uploadFolder()).entryList({QStringLiteral("*.vxpart")}, QDir::Files | QDir::Hidden), QStringList());
    }

    // A publish cut off while the page itself is stored leaves the page on the server as
    // it was, and the next run leaves no temporary file behind.
    void cutOffWhileThePageIsStored()
    {
        if (!VsftpdProcess::isInstalled())
            QSKIP("vsftpd is not installed (Debian package vsftpd)");
        // Slow enough that the page takes a second or two to send.
        VsftpdProcess slow;
        QVERIFY2(slow.start(QString(), QStringLiteral("anon_max_rate=150000\n")), qPrintable(slow.errorString()));
        QCOMPARE(setVsftpdProfile(QStringLiteral("Slow"), slow.port()), 0);
        TPagelette page;
        QVERIFY(Documents::LoadDocument(mDocument, page));
        const QString document = mHome.filePath(QStringLiteral("Long Page.vxf"));
        auto saveVersion = [&](char letter) {
            page.Page().Items(3).TextBlock().Text = QString(200000, QLatin1Char(letter));
            return Documents::SaveDocument(document, page) == Documents::SaveResult::Saved;
        };
        const QString remotePage = slow.uploadFolder() + QStringLiteral("/LongPage.html");
        const QString temporary = slow.uploadFolder() + QStringLiteral("/.LongPage.html.vxpart");
        QVERIFY(saveVersion('a'));
        QCOMPARE(vendrix(publish(QStringLiteral("Slow"), document)).exitCode, 0);
        const QByteArray previous = readFile(remotePage);
        QVERIFY(previous.contains("aaaa"));

        QVERIFY(saveVersion('b'));
        QProcess cutOff;
        prepare(cutOff);
        cutOff.start(QStringLiteral(VENDRIX_EXECUTABLE), publish(QStringLiteral("Slow"), document));
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(temporary).size() > 0; }, 20000));
        cutOff.kill();
        QVERIFY(cutOff.waitForFinished(5000));
        QCOMPARE(readFile(remotePage), previous);

        QCOMPARE(vendrix(publish(QStringLiteral("Slow"), document)).exitCode, 0);
        QVERIFY(readFile(remotePage).contains("bbbb"));
        QCOMPARE(readFile(remotePage), readFile(mData.folder().uploadFolder() + QStringLiteral("LongPage.html")));
        QVERIFY(!QFileInfo::exists(temporary));
    }

    // An SFTP profile made on the command line: the unknown host key stops the first
    // run with its fingerprint, --trust-host-key lets the next one through, and a key
    // that changes afterwards is refused naming both.
    void publishesOverSftp()
    {
        if (!SshdProcess::isInstalled())
            QSKIP("OpenSSH's sshd is not installed (scripts/install-deps installs it)");
        SshdProcess sshd;
        QVERIFY2(sshd.start(), qPrintable(sshd.errorString()));
        const QString name = QStringLiteral("Shell Host");
        QCOMPARE(vendrix({"--set-profile", name, "--sftp", "--host", "127.0.0.1", "--port", QString::number(sshd.port()), "--user",
                          sshd.user(), "--key-file", sshd.userKeyFile(), "--dir", "site"})
                     .exitCode,
                 0);
        QVERIFY(vendrix({"--profiles", "--verbose"}).out.contains(QStringLiteral("    Directory: site\n    Protocol: SFTP\n    Key file: %1\n")
                                                                        .arg(sshd.userKeyFile())));

        Result r = vendrix(publish(name) << "--create-dir");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("ssh-ed25519 ") + sshd.hostKeyFingerprint()), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("--trust-host-key ") + sshd.hostKeyFingerprint()), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(sshd.loginFolder() + QStringLiteral("/site")));

        QCOMPARE(vendrix({"--set-profile", name, "--trust-host-key", sshd.hostKeyFingerprint()}).exitCode, 0);
        r = vendrix(publish(name) << "--create-dir");
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(readFile(sshd.loginFolder() + QStringLiteral("/site/MyPage.html")),
                 readFile(mData.folder().uploadFolder() + QStringLiteral("MyPage.html")));
        QCOMPARE(readFile(sshd.loginFolder() + QStringLiteral("/site/photo.jpg")),
                 readFile(mData.folder().uploadFolder() + QStringLiteral("images/photo.jpg")));

        const QString trusted = sshd.hostKeyFingerprint();
        QVERIFY(sshd.restartWithNewHostKey());
        r = vendrix(publish(name));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(trusted) && r.err.contains(sshd.hostKeyFingerprint()), qPrintable(r.err));
        QCOMPARE(vendrix({"--set-profile", name, "--trust-host-key", "SHA256:short"}).exitCode, 2);
    }

    void cleanupTestCase() { mServer.stop(); }

    // With a keychain the settings file holds no password; without one it keeps the
    // scrambled password and says so, until a later save finds a keychain.
    void passwordsInTheKeychain()
    {
        const QString keychainBus = std::exchange(mBusAddress, noBus());
        const Result fallback = vendrix({"--set-profile", "Fallback", "--host", "127.0.0.1", "--password-stdin"}, "secret\n");
        mBusAddress = keychainBus;
        QCOMPARE(fallback.exitCode, 0);
        QCOMPARE(fallback.err, QStringLiteral("vendrix: %1 (%2)\n").arg(ProfileStore::settingsFileNotice(), settingsFile()));
        QCOMPARE(ProfilePassword::decode(Settings(settingsFile()).readString(QStringLiteral("Profiles/Fallback/Password"))),
                 QStringLiteral("secret"));
        if (mBusAddress == noBus())
            QSKIP(qPrintable(QStringLiteral("no Secret Service: ") + mSecrets.errorString()));

        const Result moved = vendrix({"--set-profile", "Fallback", "--timeout", "9"});
        QCOMPARE(moved.exitCode, 0);
        QCOMPARE(moved.err, QString());
        const QByteArray contents = readFile(settingsFile());
        QVERIFY(contents.contains("Fallback\\PasswordInKeychain=Yes"));
        // Profiles without a password (SFTP with a key) keep their empty value.
        const QRegularExpression password(QStringLiteral("\\\\Password=[^\\n]"));
        QVERIFY2(!QString::fromUtf8(contents).contains(password), contents.constData());
        // The profiles set up above publish with the keychain's password.
        QCOMPARE(vendrix(publish(QStringLiteral("Home Site")) << "--all").exitCode, 0);
    }
};

VENDRIX_TEST(TestUploadCommands)
#include "tst_uploadcommands.moc"
