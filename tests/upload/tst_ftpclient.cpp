#include "ftpprobe.h"
#include "ftpscriptedserver.h"
#include "testfiles.h"
#include "testregistry.h"

#include "upload/ftperrors.h"
#include "upload/ftpreplyreader.h"
#include "upload/lowspeedlimit.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class TestFtpReplyReader : public QObject
{
    Q_OBJECT

private slots:
    void splitsLines_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<bool>("acceptLF");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("pending");

        QTest::newRow("CR LF split across reads") << QByteArrayList{"220 Rea", "dy\r", "\n331 x\r\n"} << true
                                                  << QByteArrayList{"220 Ready", "331 x"} << 0;
        QTest::newRow("bare LF accepted") << QByteArrayList{"220-a\n220 b\n"} << true << QByteArrayList{"220-a", "220 b"} << 0;
        QTest::newRow("bare LF without the option") << QByteArrayList{"220-a\n220 b\r\n"} << false
                                                    << QByteArrayList{"220-a\n220 b"} << 0;
        QTest::newRow("trailing CRs and LFs removed") << QByteArrayList{"200 ok\r\r\n\n"} << true
                                                      << QByteArrayList{"200 ok", ""} << 0;
        QTest::newRow("unfinished line kept") << QByteArrayList{"200 ok\r\n150 Op"} << true << QByteArrayList{"200 ok"} << 6;
    }

    void splitsLines()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(bool, acceptLF);
        QFETCH(QByteArrayList, lines);
        QFETCH(int, pending);
        FtpReplyReader reader(acceptLF);
        QByteArrayList got;
        for (const QByteArray &chunk : chunks)
            got += reader.append(chunk);
        QCOMPARE(got, lines);
        QCOMPARE(reader.pendingBytes(), pending);
    }

    void parsesReplyLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("final");
        QTest::addColumn<int>("code");
        QTest::newRow("final") << QByteArray("226 Done") << true << 226;
        QTest::newRow("code alone") << QByteArray("221") << true << 221;
        QTest::newRow("first of several") << QByteArray("230-Welcome") << false << 0;
        QTest::newRow("continuation text") << QByteArray(" more text") << false << 0;
        QTest::newRow("no digit") << QByteArray("Hello") << false << 0;
        QTest::newRow("zero is no success") << QByteArray("0 fine") << true << 500;
        QTest::newRow("four digits") << QByteArray("2200 x") << true << 500;
        QTest::newRow("five digits") << QByteArray("22000 x") << true << 500;
    }

    void parsesReplyLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, final);
        QFETCH(int, code);
        const FtpReplyLine reply = FtpReplyLine::parse(line);
        QCOMPARE(reply.final, final);
        if (final)
            QCOMPARE(reply.code, code);
    }
};

using Samples = QList<QPair<int, int>>;

class TestLowSpeedLimit : public QObject
{
    Q_OBJECT

private slots:
    // Samples as the client takes them (milliseconds, bytes moved so far), window 1 s at
    // 1024 bytes a second; the first sample found too slow, or -1.
    void tooSlow_data()
    {
        QTest::addColumn<Samples>("samples");
        QTest::addColumn<int>("firstTooSlow");
        Samples steady, slow, burstThenNothing, bursts;
        for (int t = 0; t <= 5000; t += 125) {
            steady.append({t, t * 2});
            slow.append({t, t / 2});
            burstThenNothing.append({t, t == 0 ? 0 : 1 << 20});
            bursts.append({t, (t / 900) * 1600});
        }
        QTest::newRow("2 KiB a second") << steady << -1;
        QTest::newRow("500 bytes a second") << slow << 8;
        QTest::newRow("1 MiB at once, then nothing") << burstThenNothing << 9;
        QTest::newRow("1600 bytes every 900 ms") << bursts << -1;
    }

    void tooSlow()
    {
        QFETCH(Samples, samples);
        QFETCH(int, firstTooSlow);
        LowSpeedLimit limit(std::chrono::seconds(1));
        QCOMPARE(limit.checkInterval(), std::chrono::milliseconds(125));
        limit.start(samples.first().first, samples.first().second);
        int found = -1;
        for (int i = 1; i < samples.size() && found < 0; ++i) {
            if (limit.tooSlow(samples[i].first, samples[i].second))
                found = i;
        }
        QCOMPARE(found, firstTooSlow);
    }
};

class TestFtpClient : public QObject
{
    Q_OBJECT

private:
    // A client pointed at a scripted server on the loopback, every signal probed.
    struct Session
    {
        ScriptedFtpServer server;
        TFtpClient ftp;
        FtpProbe probe{ftp};
    };
    std::optional<Session> mSession;

private slots:
    void init()
    {
        auto &[server, ftp, probe] = mSession.emplace();
        QVERIFY(server.listen());
        ftp.HostName = QStringLiteral("127.0.0.1");
        ftp.Port = QString::number(server.port());
        ftp.UserName = QStringLiteral("user");
        ftp.PassWord = QStringLiteral("secret");
    }
    void cleanup() { mSession.reset(); }

    void login_data()
    {
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("userReply");
        QTest::addColumn<QByteArray>("passReply");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("errorMessage");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<bool>("connected");

        const QStringList both{QStringLiteral("FEAT"), QStringLiteral("USER user"), QStringLiteral("PASS secret")};
        QTest::newRow("normal") << QByteArray("220 Hi\r\n") << QByteArray() << QByteArray() << 0 << QString() << both << true;
        QTest::newRow("USER answered 230") << QByteArray("220 Hi\r\n") << QByteArray("230 No password needed\r\n")
                                           << QByteArray() << 0 << QString() << QStringList{QStringLiteral("FEAT"), QStringLiteral("USER user")} << true;
        QTest::newRow("greeting 421") << QByteArray("421 Too many users\r\n") << QByteArray() << QByteArray() << 421
                                      << QStringLiteral("421 Too many users") << QStringList() << false;
        QTest::newRow("multi-line greeting") << QByteArray("220-Welcome\r\n220-to the\r\n  server\r\n220 Ready\r\n")
                                             << QByteArray() << QByteArray() << 0 << QString() << both << true;
        QTest::newRow("multi-line refusal counts once")
            << QByteArray("220 Hi\r\n") << QByteArray() << QByteArray("530-Sorry\r\n530-No\r\n530 Login incorrect\r\n") << 530
            << QStringLiteral("530 Login incorrect") << both << true;
        QTest::newRow("bare LF replies") << QByteArray("220 Hi\n") << QByteArray("331 Password\n") << QByteArray("230 In\n")
                                         << 0 << QString() << both << true;
        // Said in clear text after AUTH TLS, it would pass for the server's reply inside TLS.
        QTest::newRow("data after AUTH TLS") << QByteArray("220 Hi\r\n") << QByteArray("AUTH:234 Go ahead\r\n230 Logged in\r\n")
                                             << QByteArray() << 500 << QStringLiteral("500 Unexpected data after AUTH TLS")
                                             << QStringList{QStringLiteral("AUTH TLS")} << false;
        QTest::newRow("reply longer than the buffer") << QByteArray("220 " + QByteArray(5000, 'x') + "\r\n") << QByteArray()
                                                      << QByteArray() << 500 << QStringLiteral("500 Reply line too long")
                                                      << QStringList() << false;
    }

    void login()
    {
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, userReply);
        QFETCH(QByteArray, passReply);
        QFETCH(int, error);
        QFETCH(QString, errorMessage);
        QFETCH(QStringList, commands);
        QFETCH(bool, connected);

        auto &[server, ftp, probe] = *mSession;
        server.greeting = greeting;
        if (userReply.startsWith("AUTH:"))
            server.replies.insert("AUTH", userReply.mid(5));
        else if (!userReply.isEmpty())
            server.replies.insert("USER", userReply);
        if (!passReply.isEmpty())
            server.replies.insert("PASS", passReply);
        if (server.replies.contains("AUTH"))
            ftp.Security = ftpSecurityTLS;

        QCOMPARE(probe.run(&TFtpClient::StartConnect), error);
        QCOMPARE(ftp.ErrorMessage(), errorMessage);
        QCOMPARE(probe.commandsSent(), commands);
        QCOMPARE(ftp.IsConnected(), connected);
        QCOMPARE(ftp.State(), TFtpState::Ready);
        QVERIFY(probe.signalsInsideCalls.isEmpty());
        QCOMPARE(probe.done.size(), 1);
        // The completion comes after everything else the request reported.
        QVERIFY(probe.events.last().startsWith(QStringLiteral("done ")));
        QTest::qWait(50);
        QCOMPARE(probe.done.size(), 1);
    }

    void connectFailures_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("errorMessage");

        // Names the resolver refuses without asking any name server.
        QTest::newRow("unresolvable") << QStringLiteral("no such host") << QStringLiteral("21") << 11001
                                      << QStringLiteral("500 Host not found (Winsock error #11001)");
        QTest::newRow("empty host") << QString() << QStringLiteral("21") << 11001
                                    << QStringLiteral("500 Host not found (Winsock error #11001)");
        QTest::newRow("no port") << QStringLiteral("127.0.0.1") << QString() << 500
                                 << QStringLiteral("500 SocketException: Connect: No Port Specified");
        QTest::newRow("refused") << QStringLiteral("127.0.0.1") << QStringLiteral("closed") << 10061
                                 << QStringLiteral("500 Connection refused (Winsock error #10061)");
        // Outside the range the system hands out, so nothing listens there.
        QTest::newRow("highest port") << QStringLiteral("127.0.0.1") << QStringLiteral("65535") << 10061
                                      << QStringLiteral("500 Connection refused (Winsock error #10061)");
        QTest::newRow("port above the highest") << QStringLiteral("127.0.0.1") << QStringLiteral("65536") << 500
                                                << QStringLiteral("500 SocketException: Connect: Cannot convert port '65536'");
        QTest::newRow("port 0") << QStringLiteral("127.0.0.1") << QStringLiteral("0") << 500
                                << QStringLiteral("500 SocketException: Connect: Cannot convert port '0'");
    }

    void connectFailures()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(int, error);
        QFETCH(QString, errorMessage);
        if (port == u"closed") {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            port = QString::number(closed.serverPort());
        }
        auto &[server, ftp, probe] = *mSession;
        ftp.HostName = host;
        ftp.Port = port;
        QCOMPARE(probe.run(&TFtpClient::StartConnect), error);
        QCOMPARE(probe.done.first().first, rqConnect);
        QCOMPARE(ftp.ErrorMessage(), errorMessage);
        QVERIFY(!ftp.IsConnected());
        QCOMPARE(ftp.State(), TFtpState::Ready);
        QVERIFY(probe.signalsInsideCalls.isEmpty());
    }

    void store_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("dataFirst");
        for (int size : {0, 1, 1514, 1515, 100000}) {
            QTest::addRow("%d bytes, 150 first", size) << size << false;
            QTest::addRow("%d bytes, data connection first", size) << size << true;
        }
    }

    void store()
    {
        QFETCH(int, size);
        QFETCH(bool, dataFirst);
        QTemporaryDir dir;
        QByteArray content(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            content[i] = char(i * 7 + i / 251);
        auto &[server, ftp, probe] = *mSession;
        server.dataBeforePreliminary = dataFirst;
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("page.html")), content);
        ftp.HostFileName = QStringLiteral("index.html");
        QCOMPARE(probe.call([&] { ftp.StartPut(); }), QString());
        if (size > 50000)
            QVERIFY(QTest::qWaitFor([&] { return probe.progress.size() > 2; }, 5000));
        QCOMPARE(probe.call([&] { ftp.StartQuit(); }), QStringLiteral("FTP component not ready"));
        QVERIFY(QTest::qWaitFor([&] { return probe.done.size() == 2; }, 10000));
        QCOMPARE(probe.done.last(), qMakePair(rqPut, 0));
        QCOMPARE(server.files.value("index.html"), content);

        // Progress before every read, the last one finding the end of the file.
        QList<qint64> expected;
        for (qint64 sent = 0; sent < size; sent += 1514)
            expected.append(sent);
        expected.append(size);
        QCOMPARE(probe.progress, expected);
        QVERIFY(probe.commandsSent().contains(QStringLiteral("STOR index.html")));
        QVERIFY(probe.commandsSent().at(3).startsWith(QStringLiteral("PORT 127,0,0,1,")));
        QVERIFY(probe.trace.last().startsWith(QStringLiteral("! %1 bytes received/sent in ").arg(size)));
        QVERIFY(probe.signalsInsideCalls.isEmpty());
        QCOMPARE(probe.run(&TFtpClient::StartQuit), 0);
        QVERIFY(!ftp.IsConnected());
    }

    // Replies that real servers give instead of the common one.
    void lessCommonSuccessReplies_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("CWD 200") << QByteArray("CWD") << QByteArray("200 Okay\r\n");
        QTest::newRow("CWD 257") << QByteArray("CWD") << QByteArray("257 \"/www\" is current\r\n");
        QTest::newRow("PWD 250") << QByteArray("PWD") << QByteArray("250 \"/\"\r\n");
        QTest::newRow("STOR ended by 250") << QByteArray("STOR") << QByteArray("250 Stored\r\n");
    }
    void lessCommonSuccessReplies()
    {
        QFETCH(QByteArray, verb);
        QFETCH(QByteArray, reply);
        QTemporaryDir dir;
        auto &[server, ftp, probe] = *mSession;
        if (verb == "STOR")
            server.storeDone = reply;
        else
            server.replies.insert(verb, reply);
        ftp.HostDirName = QStringLiteral("www");
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("a.html")), "<HTML>");
        ftp.HostFileName = QStringLiteral("a.html");
        for (auto request : {&TFtpClient::StartConnect, &TFtpClient::StartChangeDir, &TFtpClient::StartPrintDir, &TFtpClient::StartPut})
            QCOMPARE(probe.run(request), 0);
        QCOMPARE(ftp.ErrorMessage(), QString());
    }

    // Replies that look like success to a careless client.
    void refusedSteps_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("errorMessage");
        QTest::newRow("PORT answered 227") << QByteArray("PORT") << QByteArray("227 Entering Passive Mode (127,0,0,1,4,1)\r\n")
                                           << 227 << QStringLiteral("227 Entering Passive Mode (127,0,0,1,4,1)");
        QTest::newRow("AUTH TLS refused")
            << QByteArray("AUTH") << QByteArray("530 Please login with USER and PASS.\r\n") << 530
            << QStringLiteral("530 The server does not offer FTP over TLS (it answered AUTH TLS with \"530 Please login with USER "
                              "and PASS.\"). Encryption can be turned off in the server profile, at your own risk: the password "
                              "and the files then cross the network readable by anyone on the way.");
    }

    void refusedSteps()
    {
        QFETCH(QByteArray, verb);
        QFETCH(QByteArray, reply);
        QFETCH(int, error);
        QFETCH(QString, errorMessage);
        QTemporaryDir dir;
        auto &[server, ftp, probe] = *mSession;
        server.replies.insert(verb, reply);
        ftp.Security = verb == "AUTH" ? ftpSecurityTLS : ftpSecurityNone;
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("a.html")), "<HTML>");
        ftp.HostFileName = QStringLiteral("a.html");
        int result = probe.run(&TFtpClient::StartConnect);
        if (result == 0)
            result = probe.run(&TFtpClient::StartPut);
        QCOMPARE(result, error);
        QCOMPARE(ftp.ErrorMessage(), errorMessage);
        QCOMPARE(server.commands.last().left(4), verb);
        QVERIFY(server.files.isEmpty());
    }

    void refusals()
    {
        auto &[server, ftp, probe] = *mSession;
        QCOMPARE(probe.call([&] { ftp.StartChangeDir(); }), QStringLiteral("FTP component not connected"));
        QCOMPARE(probe.call([&] { ftp.StartPut(); }), QStringLiteral("STOR/APPE: not connected"));
        QCOMPARE(probe.call([&] { ftp.StartConnect(); }), QString());
        QCOMPARE(probe.call([&] { ftp.StartConnect(); }), QStringLiteral("FTP component not ready"));
        QVERIFY(QTest::qWaitFor([&] { return probe.done.size() == 1; }, 5000));
        QCOMPARE(probe.call([&] { ftp.StartConnect(); }), QStringLiteral("FTP component already connected"));
        QCOMPARE(probe.call([&] { ftp.StartChangeDir(); }), QStringLiteral("HostDirName emtpy"));
        QCOMPARE(probe.call([&] { ftp.StartPut(); }), QStringLiteral("LocalFileName empty"));
        QVERIFY(probe.signalsInsideCalls.isEmpty());
    }

    void emptyLoginFieldsEndTheSequence()
    {
        auto &[server, ftp, probe] = *mSession;
        ftp.PassWord.clear();
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 500);
        QCOMPARE(ftp.ErrorMessage(), QStringLiteral("Password emtpy"));
        QCOMPARE(probe.commandsSent(), (QStringList{QStringLiteral("FEAT"), QStringLiteral("USER user")}));
    }

    void lineBreaksInArgumentsAreNeverSent()
    {
        auto &[server, ftp, probe] = *mSession;
        ftp.UserName = QStringLiteral("user\r\nDELE index.html");
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 501);
        QCOMPARE(server.sessions, 0);

        ftp.UserName = QStringLiteral("user");
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        ftp.HostDirName = QStringLiteral("www\nDELE index.html");
        QCOMPARE(probe.run(&TFtpClient::StartChangeDir), 501);
        ftp.HostFileName = QStringLiteral("new\rRMD www");
        QCOMPARE(probe.run(&TFtpClient::StartMakeDir), 501);
        QCOMPARE(server.commands, (QByteArrayList{"FEAT", "USER user", "PASS secret"}));
        QVERIFY(ftp.IsConnected());
    }

    void errorMessageKeepsTheFirstFailure()
    {
        auto &[server, ftp, probe] = *mSession;
        server.replies.insert("CWD", "550 No such directory\r\n");
        server.replies.insert("MKD", "550 Parent missing\r\n");
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        ftp.HostDirName = QStringLiteral("a/b");
        QCOMPARE(probe.run(&TFtpClient::StartChangeDir), 550);
        ftp.HostFileName = ftp.HostDirName;
        QCOMPARE(probe.run(&TFtpClient::StartMakeDir), 550);
        QCOMPARE(ftp.ErrorMessage(), QStringLiteral("550 No such directory"));
        ftp.LocalFileName = QStringLiteral("/nonexistent/file.gif");
        QCOMPARE(probe.run(&TFtpClient::StartPut), 426);
        QCOMPARE(ftp.ErrorMessage(), QStringLiteral("426 Unable to open local file /nonexistent/file.gif"));
    }

    void abortWhenTheServerStopsAnswering()
    {
        auto &[server, ftp, probe] = *mSession;
        server.replies.insert("PWD", QByteArray());
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        QCOMPARE(probe.run(&TFtpClient::StartPrintDir, 300), -1);
        QCOMPARE(ftp.State(), TFtpState::WaitingReply);
        QCOMPARE(probe.call([&] { ftp.StartQuit(); }), QStringLiteral("FTP component not ready"));
        QCOMPARE(probe.call([&] { ftp.AbortConnection(); }), QString());
        QVERIFY(!ftp.IsConnected());
        QCOMPARE(ftp.State(), TFtpState::Ready);
        QTest::qWait(100);
        QCOMPARE(probe.done.size(), 1);
        QVERIFY(probe.signalsInsideCalls.isEmpty());
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
    }

    void lostConnectionIsAFailure()
    {
        auto &[server, ftp, probe] = *mSession;
        server.replies.insert("TYPE", QByteArray());
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        QCOMPARE(probe.call([&] { ftp.StartSetType(); }), QString());
        QVERIFY(QTest::qWaitFor([&] { return server.commands.size() == 4; }, 5000));
        server.closeClient();
        QVERIFY(QTest::qWaitFor([&] { return probe.done.size() == 2; }, 5000));
        QCOMPARE(probe.done.last(), qMakePair(rqSetType, 421));
        QVERIFY(probe.events.contains(QStringLiteral("closed 0")));
    }

    // The server's 226 after a data connection it closed before the end of the file is
    // no success.
    void dataConnectionEndedEarlyFailsTheStore()
    {
        QTemporaryDir dir;
        auto &[server, ftp, probe] = *mSession;
        server.endDataAfter = 65536;
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("big.bin")), QByteArray(8 << 20, 'z'));
        ftp.HostFileName = QStringLiteral("big.bin");
        QCOMPARE(probe.run(&TFtpClient::StartPut), int(WinsockErrors::WSAECONNRESET));
        QCOMPARE(ftp.ErrorMessage(), WinsockErrors::failureText(WinsockErrors::WSAECONNRESET));
        QCOMPARE(server.files.value("big.bin").size(), 65536);
    }

    void abortRequestedByProgressFailsTheStore()
    {
        QTemporaryDir dir;
        auto &[server, ftp, probe] = *mSession;
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("big.bin")), QByteArray(20000, 'z'));
        ftp.HostFileName = QStringLiteral("big.bin");
        probe.abortAt = 3000;
        QCOMPARE(probe.run(&TFtpClient::StartPut), 426);
        QVERIFY(probe.trace.contains(QStringLiteral("! Abort requested")));
        QCOMPARE(ftp.ErrorMessage(), QStringLiteral("426 Operation aborted."));
        QVERIFY(server.files.value("big.bin").size() < 20000);
    }

    void idleLimit_data()
    {
        QTest::addColumn<QByteArray>("silentAt");
        QTest::addColumn<int>("request");
        QTest::newRow("silent after connect") << QByteArray("greeting") << int(rqConnect);
        QTest::newRow("silent after 150") << QByteArray("STOR") << int(rqPut);
        QTest::newRow("stops reading mid-file") << QByteArray("data") << int(rqPut);
        QTest::newRow("silent on QUIT") << QByteArray("QUIT") << int(rqQuit);
    }

    void idleLimit()
    {
        QFETCH(QByteArray, silentAt);
        QFETCH(int, request);
        QTemporaryDir dir;
        const QString local = dir.filePath(QStringLiteral("big.bin"));
        {
            // More than the loopback connection's buffers hold, so a server that stops
            // reading stalls the sender.
            QFile file(local);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(silentAt == "data" ? 48 << 20 : 1000));
        }
        auto &[server, ftp, probe] = *mSession;
        if (silentAt == "greeting")
            server.greeting.clear();
        else if (silentAt == "STOR")
            server.replies.insert("STOR", "150 Opening data connection\r\n");
        else if (silentAt == "QUIT")
            server.replies.insert("QUIT", QByteArray());
        server.stallData = silentAt == "data";
        ftp.IdleTimeout = std::chrono::milliseconds(400);
        ftp.QuitTimeout = std::chrono::milliseconds(250);
        ftp.LocalFileName = local;
        ftp.HostFileName = QStringLiteral("big.bin");

        QElapsedTimer timer;
        timer.start();
        QList<void (TFtpClient::*)()> steps{&TFtpClient::StartConnect, &TFtpClient::StartPut, &TFtpClient::StartQuit};
        int error = 0;
        for (auto step : steps) {
            timer.restart();
            error = probe.run(step, 5000);
            if (error != 0)
                break;
        }
        QCOMPARE(error, 10060);
        QCOMPARE(probe.done.last().first, TFtpRequest(request));
        QCOMPARE(ftp.ErrorMessage(), QStringLiteral("500 Connection timed out (Winsock error #10060)"));
        QVERIFY(!ftp.IsConnected());
        QCOMPARE(ftp.State(), TFtpState::Ready);
        const int limit = request == rqQuit ? 250 : 400;
        // Coarse timers may fire up to 5% early.
        QVERIFY2(timer.elapsed() >= limit * 9 / 10 && timer.elapsed() < limit + 1500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(probe.signalsInsideCalls.isEmpty());
        QCOMPARE(probe.done.size(), request == rqConnect ? 1 : request == rqPut ? 2 : 3);
    }

    // Servers that never stop talking, or talk a byte at a time: the request ends within
    // its limit whatever the pace.
    void tricklingServers_data()
    {
        QTest::addColumn<QByteArray>("endlessLine");
        QTest::addColumn<int>("lineInterval");
        QTest::addColumn<int>("byteInterval");
        QTest::addColumn<int>("dataReadInterval");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("errorMessage");
        const QString timedOut = QStringLiteral("500 Connection timed out (Winsock error #10060)");
        QTest::newRow("endless continuation lines") << QByteArray("220-Welcome\r\n") << 0 << 0 << 0 << 500
                                                    << QStringLiteral("500 The server's reply is too long (more than 1000 lines)");
        QTest::newRow("endless long continuation lines")
            << QByteArray("220-" + QByteArray(3000, 'w') + "\r\n") << 0 << 0 << 0 << 500
            << QStringLiteral("500 The server's reply is too long (more than 65536 bytes)");
        QTest::newRow("a continuation line every 50 ms") << QByteArray("220-Welcome\r\n") << 50 << 0 << 0 << 10060 << timedOut;
        QTest::newRow("a byte every 100 ms") << QByteArray() << 0 << 100 << 0 << 10060 << timedOut;
        QTest::newRow("data read 16 bytes every 100 ms") << QByteArray() << 0 << 0 << 100 << 10060 << timedOut;
    }

    void tricklingServers()
    {
        QFETCH(QByteArray, endlessLine);
        QFETCH(int, lineInterval);
        QFETCH(int, byteInterval);
        QFETCH(int, dataReadInterval);
        QFETCH(int, error);
        QFETCH(QString, errorMessage);
        QTemporaryDir dir;
        const QString local = dir.filePath(QStringLiteral("big.bin"));
        {
            // More than the loopback connection's buffers hold.
            QFile file(local);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(48 << 20));
        }
        auto &[server, ftp, probe] = *mSession;
        // The endless lines are the greeting.
        if (!endlessLine.isEmpty())
            server.greeting.clear();
        server.endlessLine = endlessLine;
        server.endlessInterval = lineInterval;
        server.replyByteInterval = byteInterval;
        server.dataReadInterval = dataReadInterval;
        const int limit = 1000;
        ftp.IdleTimeout = std::chrono::milliseconds(limit);
        ftp.LocalFileName = local;
        ftp.HostFileName = QStringLiteral("big.bin");
        if (dataReadInterval > 0)
            QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(probe.run(dataReadInterval > 0 ? &TFtpClient::StartPut : &TFtpClient::StartConnect, 10000), error);
        const qint64 elapsed = timer.elapsed();
        qInfo("%s: ended after %lld ms (%s)", QTest::currentDataTag(), elapsed, qPrintable(probe.trace.value(probe.trace.size() - 1)));
        QCOMPARE(ftp.ErrorMessage(), errorMessage);
        QVERIFY(!ftp.IsConnected());
        QCOMPARE(ftp.State(), TFtpState::Ready);
        // Coarse timers may fire up to 5% early.
        QVERIFY2(elapsed < limit + 1500, qPrintable(QString::number(elapsed)));
        if (error == 10060)
            QVERIFY2(elapsed >= limit * 9 / 10, qPrintable(QString::number(elapsed)));
        QVERIFY(probe.signalsInsideCalls.isEmpty());
    }

    void strangerOnTheDataPortIsRefused()
    {
        auto &[server, ftp, probe] = *mSession;
        server.strangerOnDataPort = true;
        QTemporaryDir dir;
        const QByteArray content(50000, 'd');
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("page.html")), content);
        ftp.HostFileName = QStringLiteral("page.html");
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        QCOMPARE(probe.run(&TFtpClient::StartPut), 0);
        QVERIFY(server.strangerConnected);
        QCOMPARE(server.files.value("page.html"), content);
        QVERIFY(probe.trace.contains(QStringLiteral("! Data connection from 127.0.0.2 refused")));
        QTest::qWait(50);
        QVERIFY(server.strangerReceived.isEmpty());
    }

    void passive_data()
    {
        QTest::addColumn<QByteArray>("epsvReply");
        QTest::addColumn<QByteArray>("pasvAddress");
        QTest::addColumn<QStringList>("dataCommands");
        QTest::newRow("EPSV") << QByteArray() << QByteArray() << QStringList{QStringLiteral("EPSV")};
        QTest::newRow("PASV when EPSV is refused")
            << QByteArray("502 Not implemented\r\n") << QByteArray("127,0,0,1") << QStringList{QStringLiteral("EPSV"), QStringLiteral("PASV")};
        // Followed, it would send the file to a third host; the server's own address is used.
        QTest::newRow("PASV naming another address")
            << QByteArray("500 Unknown\r\n") << QByteArray("10,9,8,7") << QStringList{QStringLiteral("EPSV"), QStringLiteral("PASV")};
    }

    void passive()
    {
        QFETCH(QByteArray, epsvReply);
        QFETCH(QByteArray, pasvAddress);
        QFETCH(QStringList, dataCommands);
        auto &[server, ftp, probe] = *mSession;
        if (!epsvReply.isEmpty())
            server.replies.insert("EPSV", epsvReply);
        if (!pasvAddress.isEmpty())
            server.passiveAddress = pasvAddress;
        QTemporaryDir dir;
        const QByteArray content(300000, 'p');
        ftp.Passive = true;
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("page.html")), content);
        ftp.HostFileName = QStringLiteral("page.html");
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        QCOMPARE(probe.run(&TFtpClient::StartPut), 0);
        QCOMPARE(server.files.value("page.html"), content);
        QCOMPARE(probe.commandsSent().mid(3), dataCommands + QStringList{QStringLiteral("STOR page.html")});
        QCOMPARE(probe.trace.contains(QStringLiteral("! PASV named 10.9.8.7; the data connection goes to the server's address 127.0.0.1")),
                 pasvAddress == "10,9,8,7");
        QVERIFY(probe.signalsInsideCalls.isEmpty());
    }

    void characterSet_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("Windows-1252") << false << QStringLiteral("caf\u00e9 \u20ac.html") << QByteArray("STOR caf\xe9 \x80.html");
        QTest::newRow("UTF-8 announced") << true << QStringLiteral("caf\u00e9 \u20ac.html") << QByteArray("STOR caf\xc3\xa9 \xe2\x82\xac.html");
        QTest::newRow("beyond Windows-1252") << false << QStringLiteral("\u65e5\u672c.html") << QByteArray();
        QTest::newRow("beyond Windows-1252, UTF-8 announced") << true << QStringLiteral("\u65e5\u672c.html")
                                                              << QByteArray("STOR \xe6\x97\xa5\xe6\x9c\xac.html");
    }

    void characterSet()
    {
        QFETCH(bool, utf8);
        QFETCH(QString, name);
        QFETCH(QByteArray, sent);
        auto &[server, ftp, probe] = *mSession;
        if (utf8)
            server.features = {"MDTM", "UTF8"};
        QTemporaryDir dir;
        ftp.PassWord = QStringLiteral("p\u00e4ss");
        ftp.LocalFileName = writeFile(dir.filePath(QStringLiteral("x")), "x");
        ftp.HostFileName = name;
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        QCOMPARE(ftp.Utf8(), utf8);
        QCOMPARE(server.commands.contains("OPTS UTF8 ON"), utf8);
        QVERIFY(server.commands.contains(utf8 ? QByteArray("PASS p\xc3\xa4ss") : QByteArray("PASS p\xe4ss")));
        if (sent.isEmpty()) {
            QCOMPARE(probe.run(&TFtpClient::StartPut), 501);
            QCOMPARE(ftp.ErrorMessage(), QStringLiteral("501 \"%1\" cannot be sent: it has characters outside Windows-1252, "
                                                        "and the server does not announce UTF-8").arg(name));
            QVERIFY(!server.commands.last().startsWith("STOR"));
            QVERIFY(ftp.IsConnected());
        } else {
            QCOMPARE(probe.run(&TFtpClient::StartPut), 0);
            QVERIFY(server.commands.contains(sent));
        }
    }

    void exceptionInAHandlerIsReported()
    {
        auto &[server, ftp, probe] = *mSession;
        QObject::connect(&ftp, &TFtpClient::OnRequestDone, &ftp, [&ftp](TFtpRequest request, quint16) {
            if (request == rqConnect)
                ftp.StartConnect(); // refused: already connected
        });
        QCOMPARE(probe.run(&TFtpClient::StartConnect), 0);
        QCOMPARE(probe.exceptions, QStringList{QStringLiteral("FTP component already connected")});
        QVERIFY(ftp.IsConnected());
        QCOMPARE(probe.run(&TFtpClient::StartPrintDir), 0);
    }
};

VENDRIX_TEST(TestFtpReplyReader)
VENDRIX_TEST(TestLowSpeedLimit)
VENDRIX_TEST(TestFtpClient)
#include "tst_ftpclient.moc"
