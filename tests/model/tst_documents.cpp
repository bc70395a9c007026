#include "testfiles.h"
#include "testregistry.h"

#include "model/componentstream.h"
#include "model/documents.h"
#include "model/pagelette.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void saveAndLoad()
    {
        QTemporaryDir dir;
        TPagelette page;
        page.NewPage();
        page.Page().Items(3).TextBlock().Text = QStringLiteral("Hello");
        // Every form setting but AlphaSort, which the page loaded into has and the file lacks.
        page.BlankFields = page.Border = page.BrowserUsed = page.EmailAddress = page.EmailSubject = page.EnvReport =
            page.FormFooter = page.HostName = true;
        page.Color = QStringLiteral("clSilver");
        page.FormTitle = QStringLiteral("title");
        page.Email = QStringLiteral("me@example.com");
        page.Redirect = QStringLiteral("http://example.com/");
        page.Subject = QStringLiteral("subject");
        page.WebForm().AddElement().Name = QStringLiteral("field");
        const QString path = dir.filePath("page.vxf");
        QCOMPARE(Documents::SaveDocument(path, page), Documents::SaveResult::Saved);
        QCOMPARE(readFile(path), ComponentWriter::toBytes(page));

        TPagelette loaded;
        loaded.NewPage();
        loaded.InsertNewItem(4, btHR);
        loaded.WebForm().AddElement();
        loaded.AlphaSort = true;
        TPageCollection *collection = &loaded.Page();
        QString error;
        QVERIFY2(Documents::LoadDocument(path, loaded, &error), qPrintable(error));
        QCOMPARE(&loaded.Page(), collection);
        QCOMPARE(loaded.Page().Items(0).Collection(), collection);
        QCOMPARE(dumpProperties(loaded), dumpProperties(page));
        QVERIFY(!loaded.AlphaSort);
        QCOMPARE(loaded.WebForm().Count(), 1);
    }

    // Files are written and read in blocks: values that straddle the blocks, and
    // strings longer than a block, come through whole, and a file cut anywhere is
    // refused as its bytes are.
    void largePagesCrossTheBlocksWhole_data()
    {
        QTest::addColumn<double>("cutAt"); // share of the file kept; 1 keeps it whole
        QTest::newRow("whole") << 1.0;
        QTest::newRow("cut in the long text") << 0.1;
        QTest::newRow("cut in the wide text") << 0.3;
        QTest::newRow("cut among the links") << 0.6;
        QTest::newRow("cut near the end") << 0.999;
    }
    void largePagesCrossTheBlocksWhole()
    {
        QFETCH(double, cutAt);
        QTemporaryDir dir;
        TPagelette page;
        page.NewPage();
        page.Page().Items(3).TextBlock().Text = QString(300000, u'a');
        page.InsertNewItem(4, btHeading).HeadingBlock().Heading = QString(200000, QChar(0x3042));
        for (int i = 0; i < 3000; ++i)
            page.InsertNewItem(5, btLink).LinkBlock().LinkURL = QStringLiteral("http://example.com/%1").arg(i);
        const QString path = dir.filePath("large.vxf");
        QCOMPARE(Documents::SaveDocument(path, page), Documents::SaveResult::Saved);
        const QByteArray bytes = ComponentWriter::toBytes(page);
        QCOMPARE(readFile(path), bytes);
        const QByteArray kept = bytes.first(qsizetype(bytes.size() * cutAt));
        QVERIFY(QFile::resize(path, kept.size()));
        TPagelette loaded;
        QString error;
        const bool read = Documents::LoadDocument(path, loaded, &error);
        QCOMPARE(read, cutAt == 1);
        if (read) {
            QCOMPARE(dumpProperties(loaded), dumpProperties(page));
        } else {
            QString bytesError;
            QVERIFY(!Documents::LoadDocumentBytes(kept, loaded, &bytesError));
            QCOMPARE(error, bytesError);
        }
    }

    void whatTheFileLacksTakesTheNewObjectValue()
    {
        QTemporaryDir dir;
        // A page item holding nothing but its kind: no margin, no colours.
        const QByteArray bytes("TPF0\x0aTPagelette\x00\x04Page\x0e\x01\x09" "BlockType\x07\x10" "btPageProperties\x00\x00\x00\x00", 55);
        const QString path = dir.filePath("sparse.vxf");
        writeFile(path, bytes);
        TPagelette page;
        page.NewPage();
        QString error;
        QVERIFY2(Documents::LoadDocument(path, page, &error), qPrintable(error));
        QCOMPARE(page.Page().Count(), 1);
        const TPagePropertiesBlock &details = page.Page().Items(0).PagePropertiesBlock();
        QCOMPARE(details.IndentMargin, QString());
        QCOMPARE(details.BGColor, 0);
        QCOMPARE(details.ThemeName, QString());
    }

    // Input that never ends or is far too large is refused without reading it all
    // into memory; the sparse file takes no disk space.
    void unreadableFilesLeaveAnEmptyPage_data()
    {
        QTest::addColumn<QString>("path"); // empty: a file of the content (none when null)
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("size"); // when not 0, the file is made this large
        QTest::addColumn<QString>("reason"); // part of the error
        QTest::newRow("missing") << QString() << QByteArray() << qint64(0) << "";
        QTest::newRow("not a stream") << QString() << QByteArray("<html></html>") << qint64(0) << "";
        QTest::newRow("a theme store") << QString() << QByteArray("TPF0\x09TWebTheme\x00\x05Items\x0e\x00\x00\x00", 25)
                                       << qint64(0) << "";
        QTest::newRow("unknown property") << QString() << QByteArray("TPF0\x0aTPagelette\x00\x03" "Foo\x08\x00\x00", 23)
                                          << qint64(0) << "";
        QTest::newRow("/dev/zero") << "/dev/zero" << QByteArray() << qint64(0) << "It is a pipe, a socket or a device, not a file.";
        QTest::newRow("300 MiB") << QString() << QByteArray("TPF0\x0aTPagelette\x00", 16) << qint64(300) * 1024 * 1024
                                 << "larger than 256 MB";
    }
    void unreadableFilesLeaveAnEmptyPage()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        if (path.isEmpty()) {
            path = dir.filePath("bad.vxf");
            if (!content.isNull())
                writeFile(path, content);
            if (size > 0)
                QVERIFY(QFile::resize(path, size));
        }
        TPagelette page;
        page.NewPage();
        QString error;
        QVERIFY(!Documents::LoadDocument(path, page, &error));
        QVERIFY2(!error.isEmpty() && error.contains(reason), qPrintable(error));
        QCOMPARE(page.Page().Count(), 0);
    }

    // Another program cuts the file short and restores it while it is read: no load
    // crashes (a mapped file would end the program with a bus error), and a refused
    // load says why. What a load that wins the race reads is not defined: a page torn
    // by the truncation may even parse.
    void aFileCutShortWhileReadNeverCrashes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("changing.vxf");
        TPagelette page;
        page.NewPage();
        for (int i = 0; i < 3000; ++i)
            page.InsertNewItem(page.Page().Count(), btText).TextBlock().Text = QString(200, u'x');
        const QByteArray bytes = ComponentWriter::toBytes(page);
        writeFile(path, bytes);

        std::atomic<bool> stop = false;
        std::thread cutter([&] {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
            while (fd >= 0 && !stop) {
                if (::ftruncate(fd, bytes.size() / 3) != 0 || ::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) < 0)
                    break;
            }
            ::close(fd);
        });
        int refused = 0;
        int silent = 0;
        for (int i = 0; i < 40; ++i) {
            TPagelette read;
            QString error;
            if (!Documents::LoadDocument(path, read, &error)) {
                ++refused;
                silent += error.isEmpty();
            }
        }
        stop = true;
        cutter.join();
        QCOMPARE(silent, 0);
        qInfo("%d of 40 loads met a cut file", refused);
    }

    void templatesAreKnownByTheirExactExtension()
    {
        QVERIFY(Documents::isTemplateFileName(QStringLiteral("/a/b/news.vxt")));
        QVERIFY(!Documents::isTemplateFileName(QStringLiteral("/a/b/news.VXT")));
        QVERIFY(!Documents::isTemplateFileName(QStringLiteral("/a/b/news.vxf")));
        QVERIFY(!Documents::isTemplateFileName(QStringLiteral("/a/b/vxt")));
    }
};

VENDRIX_TEST(TestDocuments)
#include "tst_documents.moc"
