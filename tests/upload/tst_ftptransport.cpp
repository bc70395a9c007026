#include "ftpscriptedserver.h"
#include "testregistry.h"

#include "upload/ftptransport.h"
#include "upload/profilestore.h"

#include <QBuffer>
#include <QTest>

#include <optional>

namespace {

using Status = TransportResult::Status;

// Runs operations of a transport one at a time and keeps what they came to.
struct Driver
{
    explicit Driver(const ServerProfile &profile)
        : transport(profile)
    {
        QObject::connect(&transport, &PublishTransport::finished, &transport,
                         [this](PublishTransport::Operation, const TransportResult &r) {
                             if (insideCall)
                                 finishedInsideCall = true;
                             result = r;
                         });
        QObject::connect(&transport, &PublishTransport::trace, &transport, [this](const QString &line) {
            if (line.startsWith(QStringLiteral("> ")))
                commands.append(line.mid(2));
        });
    }

    TransportResult run(const std::function<void(PublishTransport &)> &operation)
    {
        result.reset();
        insideCall = true;
        operation(transport);
        insideCall = false;
        if (!QTest::qWaitFor([this] { return result.has_value(); }, 10000))
            return TransportResult::failure(Status::Failed, QStringLiteral("no result in time"));
        return *result;
    }

    FtpTransport transport;
    std::optional<TransportResult> result;
    QStringList commands;
    bool insideCall = false;
    bool finishedInsideCall = false;
};

}

// The operations of a publishing run, as FTP carries them out.
class TestFtpTransport : public QObject
{
    Q_OBJECT

private slots:
    void operations_data()
    {
        QTest::addColumn<QString>("operation"); // what to do, and its argument
        QTest::addColumn<bool>("passive");
        QTest::addColumn<QByteArrayList>("features");
        QTest::addColumn<QByteArrayList>("replies"); // "VERB|reply" pairs
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("outcome"); // size, names or message
        QTest::addColumn<QString>("command"); // one of the commands sent

        const QByteArrayList none;
        QTest::newRow("size") << "size a.gif" << false << QByteArrayList{"SIZE"} << none << int(Status::Ok) << "10" << "SIZE a.gif";
        QTest::newRow("size of a missing file") << "size nothing.gif" << false << none << none << int(Status::NotFound)
                                                << "550 No such file" << "SIZE nothing.gif";
        QTest::newRow("size by MLST") << "size a.gif" << false << QByteArrayList{"MLST"}
                                      << QByteArrayList{"SIZE|502 No SIZE\r\n",
                                                        "MLST|250-Listing\r\n Type=file;Size=10;Perm=r; a.gif\r\n250 End\r\n"}
                                      << int(Status::Ok) << "10" << "MLST a.gif";
        QTest::newRow("size by LIST") << "size a.gif" << true << none << QByteArrayList{"SIZE|500 Unknown command\r\n"}
                                      << int(Status::Ok) << "10" << "LIST a.gif";
        QTest::newRow("rename") << "rename .a.gif.vxpart" << false << none << none << int(Status::Ok) << "" << "RNTO a.gif";
        QTest::newRow("rename not offered") << "rename .a.gif.vxpart" << false << none
                                            << QByteArrayList{"RNFR|502 Not implemented\r\n"} << int(Status::Unsupported)
                                            << "502 Not implemented" << "RNFR .a.gif.vxpart";
        QTest::newRow("remove") << "remove a.gif" << false << none << none << int(Status::Ok) << "" << "DELE a.gif";
        QTest::newRow("remove a missing file") << "remove b.gif" << false << none << none << int(Status::NotFound)
                                               << "550 No such file" << "DELE b.gif";
        QTest::newRow("list, hidden names too") << "list" << false << none << none << int(Status::Ok) << ".a.gif.vxpart a.gif"
                                                << "NLST -a";
        QTest::newRow("list, passive, without -a") << "list" << true << none << QByteArrayList{"NLST -a|501 No options\r\n"}
                                                   << int(Status::Ok) << "a.gif" << "NLST";
        QTest::newRow("missing folder") << "enter www" << false << none << QByteArrayList{"CWD|550 No such directory\r\n"}
                                        << int(Status::NotFound) << "550 No such directory" << "CWD www";
        QTest::newRow("type refused") << "enter www" << false << none << QByteArrayList{"TYPE|504 Not that type\r\n"}
                                      << int(Status::Unsupported) << "504 Not that type" << "TYPE I";
        QTest::newRow("store refused") << "store a.gif" << true << none << QByteArrayList{"STOR|553 Not allowed\r\n"}
                                       << int(Status::Refused) << "553 Not allowed" << "STOR a.gif";
        QTest::newRow("store resumed") << "resume .a.gif.vxpart" << false << QByteArrayList{"REST STREAM"} << none
                                       << int(Status::Ok) << "6" << "REST 4";
    }

    void operations()
    {
        QFETCH(QString, operation);
        QFETCH(bool, passive);
        QFETCH(QByteArrayList, features);
        QFETCH(QByteArrayList, replies);
        QFETCH(int, status);
        QFETCH(QString, outcome);
        QFETCH(QString, command);

        ScriptedFtpServer server;
        QVERIFY(server.listen());
        server.features = features;
        for (const QByteArray &pair : replies)
            server.replies.insert(pair.left(pair.indexOf('|')), pair.mid(pair.indexOf('|') + 1));
        server.files.insert("a.gif", "0123456789");
        server.files.insert(".a.gif.vxpart", "abcd");
        ServerProfile profile;
        profile.HostName = QStringLiteral("127.0.0.1");
        profile.Port = QString::number(server.port());
        profile.UserName = QStringLiteral("user");
        profile.Password = QStringLiteral("secret");
        profile.Passive = passive;
        Driver driver(profile);
        QVERIFY(driver.run([](PublishTransport &t) { t.connectToServer(); }).ok());

        const QString verb = operation.section(u' ', 0, 0);
        const QString name = operation.section(u' ', 1);
        QBuffer source;
        source.setData("abcdef");
        QVERIFY(source.open(QIODevice::ReadOnly));
        TransportResult result;
        if (verb == u"size") {
            result = driver.run([&](PublishTransport &t) { t.remoteSize(name); });
        } else if (verb == u"rename") {
            result = driver.run([&](PublishTransport &t) { t.rename(name, QStringLiteral("a.gif")); });
            QCOMPARE(server.files.value("a.gif"), result.ok() ? QByteArray("abcd") : QByteArray("0123456789"));
        } else if (verb == u"remove") {
            result = driver.run([&](PublishTransport &t) { t.remove(name); });
            QVERIFY(!server.files.contains(name.toUtf8()));
        } else if (verb == u"list") {
            result = driver.run([](PublishTransport &t) { t.list(); });
            QCOMPARE(result.names.join(u' '), outcome);
        } else if (verb == u"enter") {
            result = driver.run([&](PublishTransport &t) { t.enterFolder(name); });
        } else if (verb == u"store") {
            result = driver.run([&](PublishTransport &t) { t.store(&source, name, 0); });
        } else if (verb == u"resume") {
            QVERIFY(driver.transport.capabilities().testFlag(PublishTransport::Capability::Resume));
            QVERIFY(source.seek(4));
            result = driver.run([&](PublishTransport &t) { t.store(&source, name, 4); });
            QCOMPARE(server.files.value(name.toUtf8()), QByteArray("abcdef"));
        }
        QCOMPARE(int(result.status), status);
        if (verb == u"size" || verb == u"resume")
            QCOMPARE(result.ok() ? QString::number(result.size) : result.message, outcome);
        else if (!result.ok())
            QCOMPARE(result.message, outcome);
        QVERIFY2(driver.commands.contains(command), qPrintable(driver.commands.join(u'|')));
        QVERIFY(driver.transport.isConnected());
        QVERIFY(!driver.finishedInsideCall);

        // The session is still good for its end.
        QVERIFY(driver.run([](PublishTransport &t) { t.quit(); }).ok());
        QVERIFY(!driver.transport.isConnected());
    }

    void sizesInListings_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<qint64>("size");
        QTest::newRow("unix") << "-rw-r--r--    1 0        0        268435456 Dec 09 11:40 big.jpg" << qint64(268435456);
        QTest::newRow("unix, no group") << "-rw-r--r--   1 owner  12 Jan  1  2020 a b.gif" << qint64(12);
        QTest::newRow("windows") << "12-09-24  11:40AM                 1234 page.html" << qint64(1234);
        QTest::newRow("directory, windows") << "12-09-24  11:40AM       <DIR>          images" << qint64(-1);
        QTest::newRow("not a listing") << "total 12" << qint64(-1);
    }

    void sizesInListings()
    {
        QFETCH(QString, line);
        QFETCH(qint64, size);
        QCOMPARE(FtpTransport::sizeInListing(line), size);
    }
};

VENDRIX_TEST(TestFtpTransport)
#include "tst_ftptransport.moc"
