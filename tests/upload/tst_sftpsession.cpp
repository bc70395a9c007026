#include "sshdprocess.h"
#include "testfiles.h"
#include "testregistry.h"

#include "upload/hostkeyfingerprint.h"
#include "upload/sftpsession.h"
#include "upload/sftpwire.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

class TestSftpPieces : public QObject
{
    Q_OBJECT

private slots:
    void normalizesFingerprints_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fingerprint");
        const QString canonical = QStringLiteral("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU");
        QTest::newRow("as printed") << canonical << canonical;
        QTest::newRow("blanks, prefix case, padding") << QStringLiteral("  sha256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU= ")
                                                      << canonical;
        QTest::newRow("without prefix") << QStringLiteral("47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU") << canonical;
        QTest::newRow("one character short") << QStringLiteral("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuF") << QString();
        QTest::newRow("not Base64") << QStringLiteral("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSu!U") << QString();
        QTest::newRow("an MD5 fingerprint") << QStringLiteral("MD5:16:27:ac:a5:76:28:2d:36:63:1b:56:4d:eb:df:a6:48") << QString();
        QTest::newRow("certificate form") << QStringLiteral("3A:0F") << QString();
    }

    void normalizesFingerprints()
    {
        QFETCH(QString, text);
        QFETCH(QString, fingerprint);
        QCOMPARE(HostKeyFingerprint::normalized(text), fingerprint);
    }

    void fingerprintOfDigest()
    {
        // SHA-256 of nothing, in the SSH tools' form.
        const QByteArray digest = QByteArray::fromHex("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        QCOMPARE(HostKeyFingerprint::ofDigest(digest), QStringLiteral("SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU"));
        QCOMPARE(HostKeyFingerprint::ofDigest(digest.left(31)), QString());
    }

    void parsesStatusPackets_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<quint32>("id");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("message");
        const QByteArray head = QByteArray::fromHex("65" "00000007" "00000004");
        QTest::newRow("with message") << head + QByteArray::fromHex("00000004") + "Full" + QByteArray::fromHex("00000000") << true
                                      << 7u << 4u << QStringLiteral("Full");
        QTest::newRow("version 3 without message") << head << true << 7u << 4u << QString();
        QTest::newRow("message longer than the packet") << head + QByteArray::fromHex("000000ff") + "Full" << true << 7u << 4u
                                                        << QString();
        QTest::newRow("cut short") << head.left(7) << false << 0u << 0u << QString();
        QTest::newRow("another type") << QByteArray::fromHex("66" "00000007" "00000000") << false << 0u << 0u << QString();
        QTest::newRow("empty") << QByteArray() << false << 0u << 0u << QString();
    }

    void parsesStatusPackets()
    {
        QFETCH(QByteArray, packet);
        QFETCH(bool, valid);
        const auto status = SftpWire::parseStatus(packet);
        QCOMPARE(status.has_value(), valid);
        if (!valid)
            return;
        QTEST(status->id, "id");
        QTEST(status->code, "code");
        QTEST(status->message, "message");
    }
};

namespace {

// Sockets only: a finished session's worker thread may still be ending, with its event
// descriptor, when the count is taken.
qsizetype openSockets()
{
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    const QStringList entries = descriptors.entryList(QDir::System | QDir::NoDotAndDotDot);
    return std::count_if(entries.cbegin(), entries.cend(), [&](const QString &entry) {
        return QFile::symLinkTarget(descriptors.filePath(entry)).contains(QStringLiteral("socket:"));
    });
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    auto *words = reinterpret_cast<quint32 *>(bytes.data());
    QRandomGenerator::global()->fillRange(words, size / 4);
    for (qsizetype i = size / 4 * 4; i < size; ++i)
        bytes[i] = char(i);
    return bytes;
}

}

// Runs each request of a session to its end and checks that every request ends with
// exactly one done(), never inside the call that started it.
class SessionDriver
{
public:
    explicit SessionDriver(SftpSession &session)
        : mSession(session), mDone(&session, &SftpSession::done)
    {
    }

    SftpError run(const std::function<void()> &start, int timeoutMs = 30000)
    {
        mDone.clear();
        start();
        if (!mDone.isEmpty()) {
            qWarning("done() inside the call that started the request");
            return SftpError::Failure;
        }
        if (!mDone.wait(timeoutMs) || mDone.size() != 1) {
            qWarning("no single done() within %d ms", timeoutMs);
            return SftpError::Failure;
        }
        return mDone.first().at(1).value<SftpError>();
    }

private:
    SftpSession &mSession;
    QSignalSpy mDone;
};

class TestSftpSession : public QObject
{
    Q_OBJECT

private:
    SshdProcess mServer;
    QTemporaryDir mLocal;
    QFile mSource;
    bool mPasswords = false;

    SftpLogin login() const
    {
        SftpLogin login = mServer.login();
        login.knownHostsFile = mLocal.filePath(QStringLiteral("known_hosts"));
        return login;
    }

    QString local(const QString &name, const QByteArray &content) { return writeFile(mLocal.filePath(name), content); }
    // The file opened for reading from offset on, as a put reads it.
    QIODevice *source(const QString &path, qint64 offset = 0)
    {
        mSource.close();
        mSource.setFileName(path);
        if (mSource.open(QIODevice::ReadOnly))
            mSource.seek(offset);
        return &mSource;
    }
    QString remote(const QString &name) const { return mServer.loginFolder() + u'/' + name; }

private slots:
    void initTestCase()
    {
        if (!SshdProcess::isInstalled())
            QSKIP("OpenSSH's sshd is not installed (scripts/install-deps installs it)");
        mPasswords = SshdProcess::canUsePasswords();
        QVERIFY2(mServer.start(mPasswords ? QStringLiteral("p\u00e4ss word") : QString()), qPrintable(mServer.errorString()));
    }

    void init() { QFile::remove(mLocal.filePath(QStringLiteral("known_hosts"))); }

    void publishesFilesByteForByte()
    {
        SftpSession session;
        SessionDriver driver(session);
        QSignalSpy progress(&session, &SftpSession::progress);

        QCOMPARE(driver.run([&] { session.connectToHost(login()); }), SftpError::None);
        QCOMPARE(session.homeDirectory(), QDir(mServer.loginFolder()).canonicalPath());
        QCOMPARE(driver.run([&] { session.makeDir(QStringLiteral("site")); }), SftpError::None);

        writeFile(remote(QStringLiteral("site/index.html")), "the previous page");
        const QByteArray page = "<html>new page</html>\r\n";
        const QByteArray picture = randomBytes(3 * 1024 * 1024 + 17);
        const QList<QPair<QString, QByteArray>> files{{QStringLiteral("index.html"), page},
                                                      {QStringLiteral("bild-\u00e4\u00df.jpg"), picture},
                                                      {QStringLiteral("empty.gif"), QByteArray()}};
        for (const auto &[name, content] : files) {
            const QString part = QStringLiteral("site/.%1.vxpart").arg(name);
            const qsizetype told = progress.size();
            QCOMPARE(driver.run([&] { session.put(source(local(name, content)), part); }), SftpError::None);
            // Progress shows however quickly the server takes the file.
            QCOMPARE(progress.size() > told, !content.isEmpty());
            QCOMPARE(session.bytesSent(), content.size());
            QCOMPARE(driver.run([&] { session.stat(part); }), SftpError::None);
            QCOMPARE(session.remoteFile().size, content.size());
            QVERIFY(!session.remoteFile().isDirectory);
            QCOMPARE(driver.run([&] { session.rename(part, QStringLiteral("site/") + name); }), SftpError::None);
            QCOMPARE(readFile(remote(QStringLiteral("site/") + name)), content);
        }
        QCOMPARE(QDir(remote(QStringLiteral("site"))).entryList(QDir::Files | QDir::Hidden).size(), files.size());

        // A file cut off halfway is finished from where it stopped.
        const QByteArray resumed = randomBytes(1024 * 1024 + 5);
        writeFile(remote(QStringLiteral("site/resumed.bin")), resumed.left(300000));
        QCOMPARE(driver.run([&] { session.put(source(local(QStringLiteral("resumed.bin"), resumed), 300000), QStringLiteral("site/resumed.bin"), 300000); }),
                 SftpError::None);
        QCOMPARE(readFile(remote(QStringLiteral("site/resumed.bin"))), resumed);

        QCOMPARE(driver.run([&] { session.remove(QStringLiteral("site/resumed.bin")); }), SftpError::None);
        QCOMPARE(driver.run([&] { session.stat(QStringLiteral("site/resumed.bin")); }), SftpError::NoSuchFile);
        QVERIFY(!session.remoteFile().exists);
        QCOMPARE(driver.run([&] { session.list(QStringLiteral("site")); }), SftpError::None);
        QCOMPARE(QSet<QString>(session.names().cbegin(), session.names().cend()),
                 QSet<QString>({QStringLiteral("index.html"), QStringLiteral("bild-\u00e4\u00df.jpg"), QStringLiteral("empty.gif")}));
        QCOMPARE(driver.run([&] { session.put(source(local(QStringLiteral("x"), "x")), QStringLiteral("missing/x")); }), SftpError::NoSuchFile);
        QCOMPARE(driver.run([&] { session.put(source(mLocal.filePath(QStringLiteral("gone"))), QStringLiteral("gone")); }), SftpError::LocalFile);
        QVERIFY(session.isConnected());
        QCOMPARE(driver.run([&] { session.quit(); }), SftpError::None);
        QVERIFY(!session.isConnected());
    }

    void logsIn_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("keyFile");
        QTest::addColumn<QString>("passphrase");
        QTest::addColumn<SftpError>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("key file needing its passphrase") << QString() << QStringLiteral("locked_key") << QString()
                                                         << SftpError::PassphraseNeeded << QStringLiteral("needs its passphrase");
        QTest::newRow("wrong passphrase") << QString() << QStringLiteral("locked_key") << QStringLiteral("wrong")
                                          << SftpError::PassphraseNeeded << QStringLiteral("is wrong");
        QTest::newRow("right passphrase") << QString() << QStringLiteral("locked_key") << QStringLiteral("open sesame")
                                          << SftpError::None << QString();
        QTest::newRow("key file missing") << QString() << QStringLiteral("no_such_key") << QString() << SftpError::KeyFileUnreadable
                                          << QStringLiteral("no_such_key");
        QTest::newRow("key not authorized") << QString() << QStringLiteral("stranger_key") << QString()
                                            << SftpError::AuthenticationFailed << QStringLiteral("refused the login");
        QTest::newRow("password") << QStringLiteral("p\u00e4ss word") << QString() << QString() << SftpError::None << QString();
        QTest::newRow("wrong password") << QStringLiteral("guess") << QString() << QString() << SftpError::AuthenticationFailed
                                        << QStringLiteral("refused the login");
    }

    void logsIn()
    {
        QFETCH(QString, password);
        QFETCH(QString, keyFile);
        QFETCH(QString, passphrase);
        QFETCH(SftpError, error);
        QFETCH(QString, message);
        if (!password.isEmpty() && !mPasswords)
            QSKIP("password logins need root and mount namespaces to give the test server a password of its own");
        const QString locked = mLocal.filePath(QStringLiteral("locked_key"));
        if (!QFile::exists(locked)) {
            QVERIFY(SshdProcess::makeKey(locked, QStringLiteral("open sesame")) && mServer.authorizeKey(locked));
            QVERIFY(SshdProcess::makeKey(mLocal.filePath(QStringLiteral("stranger_key"))));
        }
        SftpLogin details = login();
        details.password = password;
        details.keyFile = keyFile.isEmpty() ? QString() : mLocal.filePath(keyFile);
        details.passphrase = passphrase;
        SftpSession session;
        SessionDriver driver(session);
        QCOMPARE(driver.run([&] { session.connectToHost(details); }), error);
        QVERIFY2(session.errorString().contains(message), qPrintable(session.errorString()));
        QCOMPARE(session.isConnected(), error == SftpError::None);
    }

    void logsInThroughTheAgent()
    {
        QTemporaryDir folder;
        const QString socket = folder.filePath(QStringLiteral("agent"));
        QProcess agent;
        agent.start(QStringLiteral("/usr/bin/ssh-agent"), {QStringLiteral("-D"), QStringLiteral("-a"), socket});
        QVERIFY(agent.waitForStarted());
        QTRY_VERIFY(QFile::exists(socket));
        QProcess add;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SSH_AUTH_SOCK"), socket);
        add.setProcessEnvironment(environment);
        add.start(QStringLiteral("/usr/bin/ssh-add"), {mServer.userKeyFile()});
        QVERIFY(add.waitForFinished() && add.exitCode() == 0);

        const QByteArray previous = qgetenv("SSH_AUTH_SOCK");
        qputenv("SSH_AUTH_SOCK", QFile::encodeName(socket));
        SftpLogin details = login();
        details.keyFile.clear();
        details.useAgent = true;
        SftpSession session;
        const SftpError error = SessionDriver(session).run([&] { session.connectToHost(details); });
        qputenv("SSH_AUTH_SOCK", previous);
        agent.kill();
        agent.waitForFinished();
        QCOMPARE(error, SftpError::None);
    }

    void checksHostKeys()
    {
        SftpSession session;
        SessionDriver driver(session);
        SftpLogin details = login();
        details.trustedHostKey.clear();

        QCOMPARE(driver.run([&] { session.connectToHost(details); }), SftpError::HostKeyUnknown);
        QCOMPARE(session.serverHostKey().type, mServer.hostKeyType());
        QCOMPARE(session.serverHostKey().fingerprint, mServer.hostKeyFingerprint());
        QVERIFY(session.errorString().contains(mServer.hostKeyFingerprint()));
        QVERIFY(!session.isConnected());

        // Known to the user's SSH already.
        writeFile(details.knownHostsFile, mServer.knownHostsLine().toUtf8() + '\n');
        QCOMPARE(driver.run([&] { session.connectToHost(details); }), SftpError::None);
        QCOMPARE(driver.run([&] { session.quit(); }), SftpError::None);

        const QString old = mServer.hostKeyFingerprint();
        QVERIFY2(mServer.restartWithNewHostKey(), qPrintable(mServer.errorString()));
        const QString changed = mServer.hostKeyFingerprint();
        QVERIFY(changed != old);
        const qsizetype sockets = openSockets();
        // Changed against known_hosts, and against the profile's key, which known_hosts
        // cannot overrule.
        for (const QString &trusted : {QString(), old}) {
            details.trustedHostKey = trusted;
            if (!trusted.isEmpty())
                writeFile(details.knownHostsFile, mServer.knownHostsLine().toUtf8() + '\n');
            QCOMPARE(driver.run([&] { session.connectToHost(details); }), SftpError::HostKeyChanged);
            QCOMPARE(session.expectedHostKey(), old);
            QVERIFY(session.errorString().contains(old));
            QVERIFY(session.errorString().contains(changed));
            QVERIFY(!session.isConnected());
        }
        details.trustedHostKey = changed;
        QCOMPARE(driver.run([&] { session.connectToHost(details); }), SftpError::None);
        QVERIFY(openSockets() > sockets);
        QCOMPARE(driver.run([&] { session.quit(); }), SftpError::None);
        // Refused, failed and finished connections leave no socket open.
        QCOMPARE(openSockets(), sockets);
    }

    void silentServersEndWithinTheTimeLimit()
    {
        using namespace std::chrono_literals;
        // One that takes the connection and never says a word.
        QTcpServer mute;
        QVERIFY(mute.listen(QHostAddress::LocalHost));
        SftpLogin details = login();
        details.port = mute.serverPort();
        SftpSession session;
        session.IdleTimeout = 1500ms;
        SessionDriver driver(session);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(driver.run([&] { session.connectToHost(details); }), SftpError::TimedOut);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));

        // One that stops in the middle of a file.
        const QString big = local(QStringLiteral("big.bin"), randomBytes(64 * 1024 * 1024));
        QCOMPARE(driver.run([&] { session.connectToHost(login()); }), SftpError::None);
        QSignalSpy progress(&session, &SftpSession::progress);
        QSignalSpy done(&session, &SftpSession::done);
        session.put(source(big), QStringLiteral("big.bin"));
        QVERIFY(progress.wait(20000));
        mServer.freezeConnections();
        clock.restart();
        QVERIFY(done.wait(15000));
        QCOMPARE(done.first().at(1).value<SftpError>(), SftpError::TimedOut);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!session.isConnected());

        // Dropping a frozen connection does not wait for it.
        QCOMPARE(driver.run([&] { session.connectToHost(login()); }), SftpError::None);
        done.clear();
        session.put(source(big), QStringLiteral("big2.bin"));
        QVERIFY(progress.wait(20000));
        mServer.freezeConnections();
        clock.restart();
        session.abort();
        QTest::qWait(200);
        QVERIFY(done.isEmpty());
        QVERIFY(!session.isBusy());
        QVERIFY(clock.elapsed() < 3000);
    }

    void cleanupTestCase() { mServer.stop(); }
};

VENDRIX_TEST(TestSftpPieces)
VENDRIX_TEST(TestSftpSession)

#include "tst_sftpsession.moc"
