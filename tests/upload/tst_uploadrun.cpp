#include "fakeprompter.h"
#include "ftpscriptedserver.h"
#include "ftpserverprocess.h"
#include "sshdprocess.h"
#include "vsftpdprocess.h"
#include "testfiles.h"
#include "testregistry.h"

#include "platform/settings.h"
#include "upload/certificatefingerprint.h"
#include "upload/ftptransport.h"
#include "upload/profilestore.h"
#include "upload/publishrecord.h"
#include "upload/transportfactory.h"
#include "upload/uploadrun.h"

#include <QDir>
#include <QFileInfo>
#include <QSslCertificate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <optional>

namespace {

// Everything one run needs, with its signals written into one event list so that
// their order against the boxes can be checked.
class RunHarness : public FakePrompter
{
public:
    explicit RunHarness(const QString &settingsFile)
        : settings(settingsFile), profiles(settings), run(*this)
    {
        QObject::connect(&run, &UploadRun::statusChanged, &run, [this](const QString &text) { statuses.append(text); });
        QObject::connect(&run, &UploadRun::pageReset, &run, [this] {
            events.append(QStringLiteral("reset"));
            ++resets;
        });
        QObject::connect(&run, &UploadRun::trace, &run, [this](const QString &line) {
            if (line.startsWith(QStringLiteral("> ")))
                commands.append(line.mid(2));
        });
        QObject::connect(&run, &UploadRun::notice, &run, [this](const QString &text) { notices.append(text); });
        run.setTransportFactory([this](const ServerProfile &profile) {
            if (profile.Protocol == TransferProtocol::Sftp)
                return Transports::forProfile(profile);
            auto transport = std::make_unique<FtpTransport>(profile);
            ftp = &transport->client();
            return std::unique_ptr<PublishTransport>(std::move(transport));
        });
        run.setRecord(&record);
    }

    Button ask(Kind kind, const QString &text, Buttons buttons, int helpTopic = 0) override
    {
        events.append(QStringLiteral("box ") + text);
        return FakePrompter::ask(kind, text, buttons, helpTopic);
    }

    ServerProfile profile(const QString &host, quint16 port, const QString &password, const QString &dir, int timeout = 30,
                          const std::function<void(ServerProfile &)> &adjust = {})
    {
        ServerProfile p;
        p.ProfileName = QStringLiteral("Test");
        p.HostName = host;
        p.Port = QString::number(port);
        p.UserName = QStringLiteral("tester");
        p.Password = password;
        p.InitialDir = dir;
        p.Timeout = timeout;
        if (adjust)
            adjust(p);
        if (!profiles.SaveProfile(p))
            qWarning() << profiles.errorString();
        return p;
    }

    // Sends the files and waits until the page is usable again. The wait outlasts the
    // run's own time limit, so a slow but live run on a starved machine is not cut short
    // here; a run that never ends says how far it got.
    bool send(const QStringList &files)
    {
        resets = 0;
        run.setFiles(files);
        run.send(profiles, QStringLiteral("Test"));
        const bool ended = QTest::qWaitFor([this] { return resets > 0; }, 120000);
        if (!ended)
            qWarning() << "the run did not end; statuses:" << statuses << "commands:" << commands.size();
        return ended;
    }

    QStringList commandsStartingWith(const QString &prefix) const
    {
        QStringList found;
        for (const QString &c : commands) {
            if (c.startsWith(prefix))
                found.append(c);
        }
        return found;
    }

    Settings settings;
    ProfileStore profiles;
    TFtpClient *ftp = nullptr; // the client of the last run
    PublishRecord record;
    UploadRun run;
    QStringList statuses;
    QStringList events;
    QStringList commands;
    QStringList notices;
    int resets = 0;
};

// Names of temporary files left in a folder.
QStringList temporaryFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".*.vxpart")}, QDir::Files | QDir::Hidden);
}

QByteArray noise(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = quint32(seed) * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

// The transfer modes a whole run is tried in.
void addModeRows(bool plainActive)
{
    QTest::addColumn<bool>("passive");
    QTest::addColumn<bool>("tls");
    if (plainActive)
        QTest::newRow("active") << false << false;
    QTest::newRow("passive") << true << false;
    QTest::newRow("TLS, passive") << true << true;
    QTest::newRow("TLS, active") << false << true;
}

}

// Whole runs against a real FTP server on the loopback interface.
class TestUploadRun : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mLocal;
    QTemporaryDir mRemote;
    FtpServerProcess mServer;
    FtpServerProcess mTlsServer;
    QString mFingerprint;
    int mCase = 0;

    std::unique_ptr<RunHarness> harness(const QString &password, const QString &dir,
                                        const std::function<void(ServerProfile &)> &adjust = {})
    {
        auto h = std::make_unique<RunHarness>(mLocal.filePath(QStringLiteral("settings%1.ini").arg(++mCase)));
        h->profile(QStringLiteral("127.0.0.1"), mServer.port(), password, dir, 30, adjust);
        return h;
    }

    QString remote(const QString &relative) const { return mRemote.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(mLocal.isValid() && mRemote.isValid());
        QVERIFY2(mServer.start(mRemote.path(), QStringLiteral("tester"), QStringLiteral("right")), qPrintable(mServer.errorString()));
        const QString certificate = mLocal.filePath(QStringLiteral("server.pem"));
        QVERIFY(FtpServerProcess::makeCertificate(certificate));
        const QList<QSslCertificate> chain = QSslCertificate::fromPath(certificate);
        QCOMPARE(chain.size(), 1);
        mFingerprint = CertificateFingerprint::of(chain.first());
        QVERIFY2(mTlsServer.start(mRemote.path(), QStringLiteral("tester"), QStringLiteral("right"), certificate),
                 qPrintable(mTlsServer.errorString()));
    }

    void modes_data() { addModeRows(true); }

    void modes()
    {
        QFETCH(bool, passive);
        QFETCH(bool, tls);
        const QString dir = QStringLiteral("mode%1").arg(mCase);
        QVERIFY(QDir(mRemote.path()).mkdir(dir));
        const QByteArray big = noise(3 << 20, mCase);
        const QByteArray html = "<p>\xe9</p>";
        const QStringList files{writeFile(mLocal.filePath(QStringLiteral("Upload/images/big.bin")), big),
                                writeFile(mLocal.filePath(QStringLiteral("Upload/page.html")), html)};
        auto h = harness(QStringLiteral("right"), dir, [&](ServerProfile &p) {
            p.Passive = passive;
            if (tls) {
                p.Port = QString::number(mTlsServer.port());
                p.Security = ftpSecurityTLS;
                p.TrustedCertificate = mFingerprint;
            }
        });
        QVERIFY(h->send(files));
        QCOMPARE(h->texts(), QStringList{UploadRun::completedMessage()});
        QCOMPARE(readFile(remote(dir + QStringLiteral("/big.bin"))), big);
        QCOMPARE(readFile(remote(dir + QStringLiteral("/page.html"))), html);
        QCOMPARE(h->commandsStartingWith(QStringLiteral("STOR ")).size(), 2);
        QVERIFY(h->commandsStartingWith(passive ? QStringLiteral("PORT ") : QStringLiteral("EPSV")).isEmpty());
        QCOMPARE(temporaryFiles(remote(dir)), QStringList());
        const QStringList secured{QStringLiteral("AUTH TLS"), QStringLiteral("PBSZ 0"), QStringLiteral("PROT P")};
        for (const QString &command : secured)
            QCOMPARE(h->commands.contains(command), tls);
        QVERIFY(h->ftp->Utf8());
    }

    void untrustedCertificate()
    {
        const QString dir = QStringLiteral("trust");
        QVERIFY(QDir(mRemote.path()).mkdir(dir));
        const QString page = writeFile(mLocal.filePath(QStringLiteral("Upload/trust.html")), "<p>trusted</p>");
        auto h = harness(QStringLiteral("right"), dir, [&](ServerProfile &p) {
            p.Port = QString::number(mTlsServer.port());
            p.Security = ftpSecurityTLS;
        });
        h->answer(Prompter::No);
        QVERIFY(h->send({page}));
        QCOMPARE(h->boxes.size(), 1);
        QCOMPARE(h->boxes.first().buttons, Prompter::Yes | Prompter::No);
        QCOMPARE(h->boxes.first().text,
                 FtpTransport::trustQuestion(QStringLiteral("500 The server's certificate is not trusted (The certificate is "
                                                         "self-signed, and untrusted). SHA-256 fingerprint: ")
                                          + mFingerprint));
        QVERIFY(!h->commands.contains(QStringLiteral("USER tester")));
        QVERIFY(h->profiles.LoadProfile(QStringLiteral("Test")).TrustedCertificate.isEmpty());

        // Yes trusts that certificate for the profile and sends again.
        h->boxes.clear();
        h->answer(Prompter::Yes);
        h->resets = 0;
        h->run.send(h->profiles, QStringLiteral("Test"));
        QVERIFY(QTest::qWaitFor([&] { return h->run.transferCompleted() && !h->run.isLocked(); }, 20000));
        QCOMPARE(h->texts().size(), 2);
        QVERIFY(h->texts().first().contains(mFingerprint));
        QCOMPARE(h->texts().last(), UploadRun::completedMessage());
        QCOMPARE(h->profiles.LoadProfile(QStringLiteral("Test")).TrustedCertificate, mFingerprint);
        QCOMPARE(readFile(remote(dir + QStringLiteral("/trust.html"))), QByteArray("<p>trusted</p>"));
    }

    // Data connections show the certificate the login showed, or nothing is sent.
    void otherCertificateOnTheDataConnection()
    {
        const QString other = mLocal.filePath(QStringLiteral("other.pem"));
        QVERIFY(FtpServerProcess::makeCertificate(other));
        FtpServerProcess server;
        server.dataCertificate = other;
        QVERIFY2(server.start(mRemote.path(), QStringLiteral("tester"), QStringLiteral("right"), mLocal.filePath(QStringLiteral("server.pem"))),
                 qPrintable(server.errorString()));
        QVERIFY(QDir(mRemote.path()).mkdir(QStringLiteral("other")));
        const QString page = writeFile(mLocal.filePath(QStringLiteral("Upload/other.html")), "<p>other</p>");
        auto h = harness(QStringLiteral("right"), QStringLiteral("other"), [&](ServerProfile &p) {
            p.Port = QString::number(server.port());
            p.Security = ftpSecurityTLS;
            p.TrustedCertificate = mFingerprint;
        });
        QVERIFY(h->send({page}));
        QVERIFY(!h->run.transferCompleted());
        QCOMPARE(h->texts(), QStringList{QStringLiteral("Error 500 TLS on the data connection failed: The certificate is self-signed, "
                                                        "and untrusted\r\n\r\n\"other.html\" was not sent. No file reached the server.")});
        QVERIFY(h->commands.contains(QStringLiteral("USER tester")));
        QCOMPARE(QDir(remote(QStringLiteral("other"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void fullRunPutsThePageInPlaceLast()
    {
        QVERIFY(QDir(mRemote.path()).mkdir(QStringLiteral("site")));
        const QByteArray html = "<html><body><img src=\"a.gif\"></body></html>\r\n";
        const QByteArray a = noise(5000, 1);
        const QByteArray b = noise(40000, 2);
        const QStringList files{writeFile(mLocal.filePath(QStringLiteral("Upload/images/a.gif")), a),
                                writeFile(mLocal.filePath(QStringLiteral("Upload/images/b.jpg")), b),
                                writeFile(mLocal.filePath(QStringLiteral("Upload/page.html")), html)};
        auto h = harness(QStringLiteral("right"), QStringLiteral("site"));
        QVERIFY(h->send(files));

        QCOMPARE(h->texts(), QStringList{UploadRun::completedMessage()});
        QCOMPARE(h->boxes.first().kind, Prompter::Kind::Information);
        QVERIFY(h->run.transferCompleted());
        QCOMPARE(h->commandsStartingWith(QStringLiteral("STOR ")),
                 (QStringList{QStringLiteral("STOR .b.jpg.vxpart"), QStringLiteral("STOR .a.gif.vxpart"),
                              QStringLiteral("STOR .page.html.vxpart")}));
        QCOMPARE(h->commandsStartingWith(QStringLiteral("RNTO ")),
                 (QStringList{QStringLiteral("RNTO b.jpg"), QStringLiteral("RNTO a.gif"), QStringLiteral("RNTO page.html")}));
        QCOMPARE(temporaryFiles(remote(QStringLiteral("site"))), QStringList());
        QCOMPARE(h->commandsStartingWith(QStringLiteral("CWD ")), QStringList{QStringLiteral("CWD site")});
        QCOMPARE(h->commandsStartingWith(QStringLiteral("TYPE ")), QStringList{QStringLiteral("TYPE I")});
        QCOMPARE(readFile(remote(QStringLiteral("site/page.html"))), html);
        QCOMPARE(readFile(remote(QStringLiteral("site/a.gif"))), a);
        QCOMPARE(readFile(remote(QStringLiteral("site/b.jpg"))), b);

        QStringList steps;
        for (const QString &s : std::as_const(h->statuses)) {
            if (!s.endsWith(QStringLiteral(" bytes")))
                steps.append(s);
        }
        QCOMPARE(steps, (QStringList{QStringLiteral("Connecting to 127.0.0.1..."), QStringLiteral("Connected to 127.0.0.1..."),
                                     QStringLiteral("Finding Initial Directory..."), QStringLiteral("Transferring...")}));
        QCOMPARE(h->statuses.count(QStringLiteral("Transferring... 0 bytes")), 3);
        // The label is refreshed at most every 100 ms, but always with the final count.
        QVERIFY(!h->statuses.contains(QStringLiteral("Transferring... 1514 bytes")));
        QVERIFY(h->statuses.contains(QStringLiteral("Transferring... 5000 bytes")));
        QVERIFY(h->statuses.contains(QStringLiteral("Transferring... 40000 bytes")));
        QVERIFY(!h->run.isLocked());
        QVERIFY(!h->run.isConnected());
    }

    void missingDirectory_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void missingDirectory()
    {
        QFETCH(bool, create);
        const QString dir = create ? QStringLiteral("made") : QStringLiteral("declined");
        const QByteArray html = "<p>made</p>";
        auto h = harness(QStringLiteral("right"), dir);
        h->answer(create ? Prompter::Yes : Prompter::No);
        QVERIFY(h->send({writeFile(mLocal.filePath(QStringLiteral("Upload/made.html")), html)}));

        QCOMPARE(h->boxes.first().text, UploadRun::missingDirectoryQuestion());
        QCOMPARE(h->boxes.first().kind, Prompter::Kind::Warning);
        QCOMPARE(h->boxes.first().buttons, Prompter::Yes | Prompter::No);
        if (create) {
            QCOMPARE(h->texts(), (QStringList{UploadRun::missingDirectoryQuestion(), UploadRun::completedMessage()}));
            QCOMPARE(h->commandsStartingWith(QStringLiteral("MKD ")), QStringList{QStringLiteral("MKD made")});
            QCOMPARE(h->commandsStartingWith(QStringLiteral("CWD ")), (QStringList{QStringLiteral("CWD made"), QStringLiteral("CWD made")}));
            QCOMPARE(readFile(remote(QStringLiteral("made/made.html"))), html);
        } else {
            QCOMPARE(h->texts(), QStringList{UploadRun::missingDirectoryQuestion()});
            QCOMPARE(h->commands.last(), QStringLiteral("QUIT"));
            QVERIFY(!QFileInfo::exists(remote(dir)));
            QVERIFY(!h->run.transferCompleted());
        }
        QVERIFY(!h->run.isLocked());
    }

    void wrongPassword()
    {
        auto h = harness(QStringLiteral("wrong"), QString());
        QVERIFY(h->send({writeFile(mLocal.filePath(QStringLiteral("Upload/x.html")), "x")}));
        QCOMPARE(h->texts(), QStringList{QStringLiteral("Error 530 Authentication failed.")});
        QCOMPARE(h->boxes.first().kind, Prompter::Kind::Warning);
        QCOMPARE(h->commands.last(), QStringLiteral("QUIT"));
        QVERIFY(!h->run.isLocked());
    }

    void zeroLengthFileInTheLoginDirectory()
    {
        auto h = harness(QStringLiteral("right"), QString());
        QVERIFY(h->send({writeFile(mLocal.filePath(QStringLiteral("Upload/empty.html")), QByteArray())}));
        QCOMPARE(h->texts(), QStringList{UploadRun::completedMessage()});
        QVERIFY(h->commands.contains(QStringLiteral("PWD")));
        QVERIFY(h->commandsStartingWith(QStringLiteral("CWD")).isEmpty());
        QVERIFY(QFileInfo::exists(remote(QStringLiteral("empty.html"))));
        QCOMPARE(QFileInfo(remote(QStringLiteral("empty.html"))).size(), 0);
        QVERIFY(h->statuses.contains(QStringLiteral("Transferring... 0 bytes")));
    }

    void sameBareNameTwice()
    {
        QVERIFY(QDir(mRemote.path()).mkdir(QStringLiteral("twice")));
        const QStringList files{writeFile(mLocal.filePath(QStringLiteral("one/pic.gif")), "first in the list"),
                                writeFile(mLocal.filePath(QStringLiteral("two/pic.gif")), "second in the list")};
        auto h = harness(QStringLiteral("right"), QStringLiteral("twice"));
        QVERIFY(h->send(files));
        QCOMPARE(h->commandsStartingWith(QStringLiteral("STOR ")).size(), 2);
        QCOMPARE(readFile(remote(QStringLiteral("twice/pic.gif"))), QByteArray("first in the list"));
    }

    void cleanupTestCase()
    {
        mServer.stop();
        mTlsServer.stop();
    }
};

// The same runs against another real server, one that insists on TLS session reuse.
class TestUploadVsftpd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mLocal;
    VsftpdProcess mPlain;
    VsftpdProcess mSecured;
    QString mFingerprint;
    int mCase = 0;

private slots:
    void initTestCase()
    {
        if (!VsftpdProcess::isInstalled())
            QSKIP("vsftpd is not installed (Debian package vsftpd): the runs against it are skipped");
        const QString certificate = mLocal.filePath(QStringLiteral("server.pem"));
        QVERIFY(FtpServerProcess::makeCertificate(certificate));
        mFingerprint = CertificateFingerprint::of(QSslCertificate::fromPath(certificate).value(0));
        QVERIFY2(mPlain.start(), qPrintable(mPlain.errorString()));
        QVERIFY2(mSecured.start(certificate), qPrintable(mSecured.errorString()));
    }

    void modes_data() { addModeRows(false); }

    void modes()
    {
        QFETCH(bool, passive);
        QFETCH(bool, tls);
        VsftpdProcess &server = tls ? mSecured : mPlain;
        const QString local = mLocal.filePath(QString::number(++mCase));
        const QByteArray big = noise(3 << 20, mCase);
        const QByteArray small = noise(1000, mCase);
        const QByteArray html = "<p>caf&#233;</p>";
        // Three data connections, each of which must resume the session under TLS.
        const QStringList files{writeFile(local + QStringLiteral("/big.bin"), big), writeFile(local + QStringLiteral("/small.gif"), small),
                                writeFile(local + QStringLiteral("/caf\u00e9.html"), html)};
        RunHarness h(mLocal.filePath(QStringLiteral("settings%1.ini").arg(mCase)));
        h.profile(QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("guest"), QStringLiteral("pub"), 30, [&](ServerProfile &p) {
            p.UserName = QStringLiteral("anonymous");
            p.Passive = passive;
            p.Security = tls ? ftpSecurityTLS : ftpSecurityNone;
            p.TrustedCertificate = tls ? mFingerprint : QString();
        });
        QVERIFY(h.send(files));
        QCOMPARE(h.texts(), QStringList{UploadRun::completedMessage()});
        const QDir remote(server.uploadFolder());
        QCOMPARE(readFile(remote.filePath(QStringLiteral("big.bin"))), big);
        QCOMPARE(readFile(remote.filePath(QStringLiteral("small.gif"))), small);
        // This server does not announce UTF-8: the name went out in Windows-1252, so
        // it is stored under the byte 0xE9, which no UTF-8 file name API can spell.
        QVERIFY(!h.ftp->Utf8());
        std::ifstream page((QFile::encodeName(server.uploadFolder()) + "/caf\xe9.html").toStdString(), std::ios::binary);
        const std::string stored((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
        QCOMPARE(QByteArray::fromStdString(stored), html);
    }
};

// What a real server rarely does, played by the scripted one.
class TestUploadRunScripted : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mLocal;
    int mCase = 0;
    std::optional<ScriptedFtpServer> mServer;

    std::unique_ptr<RunHarness> harness(const QString &host, quint16 port, const QString &dir, int timeout = 30)
    {
        auto h = std::make_unique<RunHarness>(mLocal.filePath(QStringLiteral("settings%1.ini").arg(++mCase)));
        h->profile(host, port, QStringLiteral("pw"), dir, timeout);
        return h;
    }
    // A run against this test's scripted server, which answers the verb as given.
    std::unique_ptr<RunHarness> scripted(const QByteArray &verb, const QByteArray &reply, const QString &dir, int timeout = 30)
    {
        mServer->replies.insert(verb, reply);
        return harness(QStringLiteral("127.0.0.1"), mServer->port(), dir, timeout);
    }
    QString page() { return writeFile(mLocal.filePath(QStringLiteral("page.html")), "<p></p>"); }

private slots:
    void init() { QVERIFY(mServer.emplace().listen()); }
    void cleanup() { mServer.reset(); }

    void unresolvableHostFreesThePageAtOnce()
    {
        auto h = harness(QStringLiteral("no such host"), 21, QString());
        QVERIFY(h->send({page()}));
        QCOMPARE(h->events, (QStringList{QStringLiteral("reset"), QStringLiteral("box Error 500 Host not found (Winsock error #11001)")}));
    }

    void closingWhileTheServerIsSilent()
    {
        auto h = scripted("PWD", QByteArray(), QString());
        h->run.setFiles({page()});
        h->run.send(h->profiles, QStringLiteral("Test"));
        QVERIFY(QTest::qWaitFor([&] { return mServer->commands.contains("PWD"); }, 5000));
        QVERIFY(h->run.isLocked());
        h->run.close();
        QVERIFY(!h->run.isConnected());
        QVERIFY(!h->run.isLocked());
        QCOMPARE(h->resets, 1);
        QTest::qWait(100);
        QVERIFY(h->boxes.isEmpty());
    }

    // A file that does not get into place ends the run with an error naming it (a
    // refused store is no missing directory: no question), the page that would show it
    // stays as it was, and no temporary file is left.
    void fileNotPutInPlace_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QByteArray>("refused"); // a store refused, or none
        QTest::addColumn<int>("shortBy");        // bytes the server keeps fewer than it gets
        QTest::addColumn<QString>("message");
        QTest::newRow("page refused, no remote directory")
            << QString() << QByteArray("STOR .page.html.vxpart") << 0
            << QStringLiteral("550 Permission denied\r\n\r\n\"page.html\" was not sent. Files that reached the server: \"pic.gif\".");
        QTest::newRow("picture refused, remote directory")
            << QStringLiteral("www") << QByteArray("STOR .pic.gif.vxpart") << 0
            << QStringLiteral("550 Permission denied\r\n\r\n\"pic.gif\" was not sent. No file reached the server.");
        QTest::newRow("server keeps fewer bytes") << QStringLiteral("www") << QByteArray() << 2
                                                  << UploadRun::incompleteMessage(QStringLiteral("pic.gif"), 4, 6)
                + QStringLiteral("\r\n\r\n\"pic.gif\" was not sent. No file reached the server.");
    }

    void fileNotPutInPlace()
    {
        QFETCH(QString, dir);
        QFETCH(QByteArray, refused);
        QFETCH(int, shortBy);
        QFETCH(QString, message);
        mServer->files.insert("page.html", "the page as it was");
        mServer->storesShortBy = shortBy;
        auto h = refused.isEmpty() ? harness(QStringLiteral("127.0.0.1"), mServer->port(), dir)
                                   : scripted(refused, "550 Permission denied\r\n", dir);
        QVERIFY(h->send({writeFile(mLocal.filePath(QStringLiteral("pic.gif")), "GIF89a"), page()}));
        QCOMPARE(h->texts(), QStringList{QStringLiteral("Error ") + message});
        QCOMPARE(mServer->files.value("page.html"), QByteArray("the page as it was"));
        QVERIFY(!h->commands.contains(QStringLiteral("RNTO page.html")));
        for (auto file = mServer->files.cbegin(); file != mServer->files.cend(); ++file)
            QVERIFY2(!file.key().endsWith(".vxpart"), file.key().constData());
        QVERIFY(h->commandsStartingWith(QStringLiteral("MKD")).isEmpty());
        QCOMPARE(h->commands.last(), QStringLiteral("QUIT"));
        QVERIFY(!h->run.transferCompleted());
    }

    // A server that cannot rename gets the files under their own names, and the user is
    // told once.
    void serverWithoutRename()
    {
        auto h = scripted("RNFR", "502 Command not implemented\r\n", QStringLiteral("www"));
        QVERIFY(h->send({writeFile(mLocal.filePath(QStringLiteral("pic.gif")), "GIF89a"), page()}));
        QCOMPARE(h->texts(), QStringList{UploadRun::completedMessage()});
        QCOMPARE(h->notices, QStringList{UploadRun::directStoreNotice()});
        QCOMPARE(h->commandsStartingWith(QStringLiteral("STOR ")),
                 (QStringList{QStringLiteral("STOR .pic.gif.vxpart"), QStringLiteral("STOR pic.gif"), QStringLiteral("STOR page.html")}));
        QCOMPARE(mServer->files.keys(), (QByteArrayList{"page.html", "pic.gif"}));
        QCOMPARE(mServer->files.value("pic.gif"), QByteArray("GIF89a"));
    }

    // A large file cut off on the way is continued by the next run from what the server
    // holds, not sent again from its start.
    void cutOffFileIsContinued()
    {
        const qint64 cut = 1536 * 1024;
        const QByteArray big = noise(3 << 20, 7);
        const QString file = writeFile(mLocal.filePath(QStringLiteral("big.bin")), big);
        mServer->features = {"REST STREAM", "SIZE"};
        mServer->dropDataAfter = cut;
        auto h = harness(QStringLiteral("127.0.0.1"), mServer->port(), QStringLiteral("www"));
        QVERIFY(h->send({file}));
        QVERIFY(!h->run.transferCompleted());
        QCOMPARE(mServer->files.value(".big.bin.vxpart").size(), cut);
        QVERIFY(h->record.unfinished(UploadRun::destinationOf(h->profiles.LoadProfile(QStringLiteral("Test"))), QStringLiteral("big.bin")));

        mServer->dropDataAfter = -1;
        h->boxes.clear();
        QVERIFY(h->send({file}));
        QCOMPARE(h->texts(), QStringList{UploadRun::completedMessage()});
        QVERIFY(h->commands.contains(QStringLiteral("REST %1").arg(cut)));
        QCOMPARE(mServer->files.value("big.bin"), big);
        QVERIFY(!mServer->files.contains(".big.bin.vxpart"));
    }

    void unansweredQuitAfterTheLastFile()
    {
        auto h = scripted("QUIT", QByteArray(), QStringLiteral("www"), 1);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(h->send({page()}));
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY(h->run.transferCompleted());
        QCOMPARE(h->texts(), QStringList{UploadRun::completedMessage()});
        QCOMPARE(mServer->files.value("page.html"), QByteArray("<p></p>"));
        QVERIFY(!h->run.isConnected());
    }

    void silentServerEndsTheRun()
    {
        auto h = scripted("TYPE", QByteArray(), QStringLiteral("www"), 1);
        QVERIFY(h->send({page()}));
        QCOMPARE(h->texts(), QStringList{QStringLiteral("Error 500 Connection timed out (Winsock error #10060)")});
        QVERIFY(!h->run.transferCompleted());
        QVERIFY(!h->run.isConnected());
        QVERIFY(!mServer->commands.contains("QUIT"));
    }

    void failedQuitEndsTheRun()
    {
        auto h = scripted("QUIT", "500 Not now\r\n", QStringLiteral("www"));
        QVERIFY(h->send({page()}));
        QTest::qWait(100);
        QCOMPARE(h->texts(), (QStringList{UploadRun::completedMessage(), QStringLiteral("Error 500 Not now")}));
        QCOMPARE(mServer->commands.count("QUIT"), 1);
        QVERIFY(!h->run.isConnected());
    }
};

// Whole runs over SFTP against OpenSSH's sshd on the loopback interface.
class TestUploadRunSftp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mLocal;
    SshdProcess mServer;

private slots:
    void initTestCase()
    {
        if (!SshdProcess::isInstalled())
            QSKIP("OpenSSH's sshd is not installed (scripts/install-deps installs it)");
        QVERIFY2(mServer.start(), qPrintable(mServer.errorString()));
    }

    // A server that stops answering in the middle of a file ends the run within the
    // profile's time limit, saying so, and the file under its own name is untouched.
    void serverStoppingMidFileEndsTheRun()
    {
        RunHarness h(mLocal.filePath(QStringLiteral("settings.ini")));
        const int timeout = 2;
        h.profile(QStringLiteral("127.0.0.1"), mServer.port(), QString(), QString(), timeout, [this](ServerProfile &p) {
            p.Protocol = TransferProtocol::Sftp;
            p.UserName = mServer.user();
            p.KeyFile = mServer.userKeyFile();
            p.TrustedHostKey = mServer.hostKeyFingerprint();
        });
        const QString big = writeFile(mLocal.filePath(QStringLiteral("big.bin")), noise(64 * 1024 * 1024, 7));
        const QString page = writeFile(mLocal.filePath(QStringLiteral("page.html")), "<p></p>");
        QElapsedTimer stopped;
        bool storing = false;
        QObject::connect(&h.run, &UploadRun::trace, &h.run, [&](const QString &line) {
            storing = storing || line.startsWith(QStringLiteral("> put "));
        });
        // The first progress shown: the file is on its way.
        QObject::connect(&h.run, &UploadRun::statusChanged, &h.run, [&](const QString &) {
            if (storing && !stopped.isValid()) {
                mServer.freezeConnections();
                stopped.start();
            }
        });
        h.run.setFiles({big, page});
        h.run.send(h.profiles, QStringLiteral("Test"));
        QVERIFY(QTest::qWaitFor([&] { return h.resets > 0; }, 60000));
        QVERIFY(stopped.isValid());
        QVERIFY2(stopped.elapsed() < (timeout + 8) * 1000, qPrintable(QString::number(stopped.elapsed())));
        QCOMPARE(h.texts(), QStringList{QStringLiteral("Error The server did not answer for 2 seconds\r\n\r\n"
                                                        "\"big.bin\" was not sent. No file reached the server.")});
        QVERIFY(!h.run.transferCompleted());
        QVERIFY(!h.run.isConnected());
        QVERIFY(!QFileInfo::exists(mServer.loginFolder() + QStringLiteral("/big.bin")));
        QVERIFY(!QFileInfo::exists(mServer.loginFolder() + QStringLiteral("/page.html")));
    }
};

VENDRIX_TEST(TestUploadRun)
VENDRIX_TEST(TestUploadRunSftp)
VENDRIX_TEST(TestUploadVsftpd)
VENDRIX_TEST(TestUploadRunScripted)
#include "tst_uploadrun.moc"
