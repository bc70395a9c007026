#include "testfiles.h"
#include "testregistry.h"

#include "platform/safewrite.h"
#include "upload/publishplan.h"
#include "upload/publishrecord.h"
#include "upload/sha256.h"
#include "upload/uploadsource.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The pieces of a publishing run that need no server.
class TestPublishPieces : public QObject
{
    Q_OBJECT

private slots:
    // The pictures before the pages, each group from the last entry to the first; the
    // states from the record alone.
    void planOrderAndStates()
    {
        QTemporaryDir dir;
        const QString a = writeFile(dir.filePath(QStringLiteral("a.gif")), "aaa");
        const QString page = writeFile(dir.filePath(QStringLiteral("page.html")), "<p>");
        const QString c = writeFile(dir.filePath(QStringLiteral("c.jpg")), "ccc");
        const PublishDestination destination{QStringLiteral("P"), QStringLiteral("h"), QStringLiteral("21"), QStringLiteral("u"), QString()};
        PublishRecord record;
        const qint64 modified = QFileInfo(a).lastModified().toMSecsSinceEpoch();
        record.setPublished(destination, QStringLiteral("a.gif"), PublishedFile{a, 3, modified, QByteArray(32, 'x'), {}});
        record.setPublished(destination, QStringLiteral("c.jpg"), PublishedFile{c, 4, modified, QByteArray(32, 'x'), {}});

        for (const bool all : {false, true}) {
            const QList<PlannedFile> plan = PublishPlan::make({a, page, c}, record, destination, all);
            QStringList seen;
            for (const PlannedFile &file : plan)
                seen.append(file.remoteName + u' ' + PublishPlan::stateText(file.state) + (file.send ? u'+' : u'-'));
            QCOMPARE(seen, (QStringList{QStringLiteral("c.jpg changed+"), all ? QStringLiteral("a.gif unchanged+") : QStringLiteral("a.gif unchanged-"),
                                        QStringLiteral("page.html new+")}));
        }
        // Another destination knows none of them.
        const PublishDestination other{QStringLiteral("P"), QStringLiteral("h"), QStringLiteral("21"), QStringLiteral("u"), QStringLiteral("www")};
        QCOMPARE(PublishPlan::make({a}, record, other, false).first().state, FileState::New);
    }

    // Written and read back; a damaged file reads as an empty record, and saving merges
    // with what another program wrote meanwhile.
    void recordOnDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Published.json"));
        const PublishDestination one{QStringLiteral("One"), QStringLiteral("h"), QStringLiteral("21"), QStringLiteral("u"), QStringLiteral("www")};
        const PublishDestination two{QStringLiteral("Two"), QStringLiteral("h"), QStringLiteral("21"), QStringLiteral("u"), QString()};
        const PublishedFile file{QStringLiteral("/x/a.gif"), 3, 1700000000123, QByteArray(32, '\x7f'), {}};
        const PublishedFile cut{QStringLiteral("/x/b.bin"), 9, 1700000000456, QByteArray(32, '\x01'), QStringLiteral(".b.bin.vxpart")};

        PublishRecord first(path);
        first.load();
        first.setPublished(one, QStringLiteral("a.gif"), file);
        first.setUnfinished(one, QStringLiteral("b.bin"), cut);
        PublishRecord second(path);
        second.load();
        second.setPublished(two, QStringLiteral("a.gif"), file);
        QVERIFY(first.save());
        QVERIFY(second.save());

        PublishRecord reread(path);
        reread.load();
        QCOMPARE(reread.published(one, QStringLiteral("a.gif")), std::optional<PublishedFile>(file));
        QCOMPARE(reread.unfinished(one, QStringLiteral("b.bin")), std::optional<PublishedFile>(cut));
        QCOMPARE(reread.published(two, QStringLiteral("a.gif")), std::optional<PublishedFile>(file));

        writeFile(path, "{\"format\": 1, \"destinations\": [{\"files\": [{\"name\": 3}]}");
        reread.load();
        QVERIFY(!reread.published(one, QStringLiteral("a.gif")));
    }

    // The digest is that of the whole file, whatever part was read by the transport.
    void sourceHashesTheWholeFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("readBeforeFinish");
        QTest::addColumn<int>("skipped"); // sent straight from the file, before the reading
        QTest::newRow("empty") << 0 << 0 << 0 << 0;
        QTest::newRow("read whole") << 1000003 << 0 << 1000003 << 0;
        QTest::newRow("from an offset") << 1000003 << 700001 << 300002 << 0;
        QTest::newRow("finished early") << 1000003 << 0 << 5 << 0;
        QTest::newRow("sent from the file, then read") << 30000007 << 11 << 65536 << 20000000;
    }

    void sourceHashesTheWholeFile()
    {
        QFETCH(int, size);
        QFETCH(int, offset);
        QFETCH(int, readBeforeFinish);
        QFETCH(int, skipped);
        QByteArray content(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            content[i] = char(i * 31 + i / 7);
        QTemporaryDir dir;
        UploadSource source(writeFile(dir.filePath(QStringLiteral("f.bin")), content));
        QVERIFY(source.openAt(offset, nullptr));
        QCOMPARE(source.skip(skipped), qint64(skipped));
        QByteArray read;
        while (read.size() < readBeforeFinish) {
            const QByteArray chunk = source.read(qMin(65536, int(readBeforeFinish - read.size())));
            QVERIFY(!chunk.isEmpty());
            read += chunk;
        }
        QCOMPARE(read, content.mid(offset + skipped, readBeforeFinish));
        QCOMPARE(source.bytesRead(), qint64(offset + skipped + readBeforeFinish));
        QCOMPARE(source.finish(), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
        QCOMPARE(source.bytesRead(), qint64(size));
        QCOMPARE(Sha256::hash(content), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
    }

    // A copy replaces the file by rename, never through a link planted there, and leaves
    // a file that already holds the same bytes untouched.
    void copiesReplaceByRename()
    {
        QTemporaryDir dir;
        const QString target = writeFile(dir.filePath(QStringLiteral("elsewhere.html")), "not mine");
        const QString copy = dir.filePath(QStringLiteral("page.html"));
        QVERIFY(QFile::link(target, copy));
        QCOMPARE(SafeWrite::replaceCopy(copy, "<p>"), SafeWrite::Result::Written);
        QCOMPARE(readFile(target), QByteArray("not mine"));
        QVERIFY(!QFileInfo(copy).isSymLink());
        QCOMPARE(readFile(copy), QByteArray("<p>"));

        const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(old, QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(SafeWrite::replaceCopy(copy, "<p>"), SafeWrite::Result::Written);
        QCOMPARE(QFileInfo(copy).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
};

VENDRIX_TEST(TestPublishPieces)
#include "tst_publishpieces.moc"
