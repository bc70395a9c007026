#include "commandrun.h"
#include "failingdevice.h"
#include "htmltestpages.h"
#include "testdatafolder.h"
#include "testfiles.h"
#include "testregistry.h"

#include "html/htmlcopies.h"
#include "html/htmltext.h"
#include "model/documents.h"
#include "model/errors.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestHtmlCopies : public QObject
{
    Q_OBJECT

private slots:
    void paths_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("upload");
        QTest::addColumn<QString>("preview");
        QTest::newRow("space") << "/home/u/My Page.vxf" << "My Page.html" << "MyPage.html" << "My Page.html";
        QTest::newRow("two full stops") << "/x/a b.v2.vxt" << "a b.v2.html" << "ab.v2.html" << "a b.v2.html";
        QTest::newRow("dotted folder") << "/x.y/page.vxf" << "page.html" << "page.html" << "page.html";
    }
    void paths()
    {
        QFETCH(QString, document);
        QFETCH(QString, local);
        QFETCH(QString, upload);
        QFETCH(QString, preview);
        const ProgramFolder folder(QStringLiteral("/data"));
        QCOMPARE(HtmlCopies::localCopyPath(folder, document), "/data/VendrixFiles/" + local);
        QCOMPARE(HtmlCopies::uploadCopyPath(folder, document), "/data/Upload/" + upload);
        QCOMPARE(HtmlCopies::uploadCopyFileName(document), upload);
        QCOMPARE(HtmlCopies::templatePreviewPath(folder, document), "/data/Templates/" + preview);
    }

    void writeErrorsReachTheCaller()
    {
        FailingDevice device(5);
        QString error;
        QVERIFY(!HtmlCopies::writeHtml(&device, {QStringLiteral("0123456789")}, &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));

        QTemporaryDir dir;
        error.clear();
        QVERIFY(!HtmlCopies::writeHtmlFile(dir.filePath(QStringLiteral("missing/t.html")), {QStringLiteral("x")}, &error));
        QVERIFY(!error.isEmpty());
    }

    // A large document goes out in blocks: a character of two UTF-16 units at a
    // block's edge still becomes one reference, and a refused block is reported.
    void largeTextsAreWrittenInBlocks()
    {
        const QString smile = QString::fromUcs4(U"\U0001F600");
        QString text;
        for (const qsizetype at : {128 * 1024 - 1, 256 * 1024 - 2, 300 * 1024}) {
            text += QString(at - text.size(), u'a');
            text += smile;
        }
        text += QStringLiteral("\u00e9 end\r\n");
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY2(HtmlCopies::writeHtmlText(&buffer, text, &error), qPrintable(error));
        QCOMPARE(buffer.data(), HtmlText::toAscii(text));
        QCOMPARE(buffer.data().count("&#128512;"), 3);

        FailingDevice full(200 * 1024);
        QVERIFY(!HtmlCopies::writeHtmlText(&full, text, &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));
    }

    void copiesGoToTheirFolders()
    {
        TestDataFolder data;
        QVERIFY(data.isValid());
        TPagelette page;
        addItem(emptyPage(page), btImage).ImageBlock().FileName = QStringLiteral("p.gif");
        HtmlBuildOptions options = testOptions();
        options.programFolder = data.folder();
        const QString document = QStringLiteral("/elsewhere/My Page.vxf");
        const QString stale = data.writeFile(QStringLiteral("Upload/MyPage.html"), "old content that is longer than the page");
        QString error;
        QVERIFY2(HtmlCopies::writeLocalCopy(page, options, document, &error), qPrintable(error));
        QVERIFY2(HtmlCopies::writeUploadCopy(page, options, document, &error), qPrintable(error));
        QVERIFY2(HtmlCopies::writeTemplatePreview(page, options, QStringLiteral("/t/Tpl.vxt"), &error), qPrintable(error));

        const QByteArray local = readFile(data.path() + QStringLiteral("VendrixFiles/My Page.html"));
        const QByteArray upload = readFile(stale);
        QVERIFY(local.contains("<IMG SRC=\"../Upload/images/p.gif\""));
        QVERIFY(upload.contains("<IMG SRC=\"p.gif\""));
        QVERIFY(upload.endsWith("</BODY></HTML>\r\n"));
        QCOMPARE(readFile(data.path() + QStringLiteral("Templates/Tpl.html")), local);
    }

    void buildErrorWritesNothing()
    {
        TestDataFolder data;
        TPagelette page;
        emptyPage(page).Page().Items(0).PagePropertiesBlock().IndentMargin = QString();
        HtmlBuildOptions options = testOptions();
        options.programFolder = data.folder();
        QString error;
        QVERIFY_THROWS_EXCEPTION(ConvertError, HtmlCopies::writeUploadCopy(page, options, QStringLiteral("a.vxf"), &error));
        QVERIFY(!QFile::exists(data.path() + QStringLiteral("Upload/a.html")));
    }

    void exportCommand_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("logo");
        QTest::newRow("default upload") << QStringList() << int(hmUploadCopy) << false;
        QTest::newRow("preview with logo") << QStringList{"--logo", "--mode", "preview", "--data-dir", "/vendrix"}
                                           << int(hmPreview) << true;
        QTest::newRow("local") << QStringList{"--mode", "local"} << int(hmLocalCopy) << false;
    }
    void exportCommand()
    {
        QFETCH(QStringList, options);
        QFETCH(int, mode);
        QFETCH(bool, logo);
        QTemporaryDir dir;
        TPagelette page;
        fillFullPage(page);
        const QString document = dir.filePath(QStringLiteral("full.vxf"));
        QCOMPARE(Documents::SaveDocument(document, page), Documents::SaveResult::Saved);

        HtmlBuildOptions expected;
        expected.programFolder = ProgramFolder(QStringLiteral("/vendrix"));
        expected.showLogo = logo;
        const QByteArray html = HtmlText::toAscii(BuildPageText(THTMLMode(mode), page, expected));

        const CommandRun toStdout = runCommandLine(QStringList{"--export-html", document} + options);
        QCOMPARE(toStdout.exitCode, 0);
        QCOMPARE(toStdout.out.toLatin1(), html);

        const QString file = dir.filePath(QStringLiteral("out.html"));
        const CommandRun toFile = runCommandLine(QStringList{"--export-html", document, "-o", file} + options);
        QCOMPARE(toFile.exitCode, 0);
        QVERIFY(toFile.out.isEmpty());
        QCOMPARE(readFile(file), html);
    }

    void exportCommandFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << QStringList{"--export-html"} << 2 << "needs a document";
        QTest::newRow("bad mode") << QStringList{"--export-html", "x.vxf", "--mode", "print"} << 2 << "not print";
        QTest::newRow("missing value") << QStringList{"--export-html", "x.vxf", "-o"} << 2 << "-o needs a value";
        QTest::newRow("unreadable") << QStringList{"--export-html", "/nonexistent/x.vxf"} << 1
                                    << "The selected file is not a valid .VXF or .VXT document.";
        QTest::newRow("bad margin") << QStringList{"--export-html", "MARGIN"} << 1 << "'' is not a valid integer value";
    }
    void exportCommandFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        QTemporaryDir dir;
        TPagelette page;
        emptyPage(page).Page().Items(0).PagePropertiesBlock().IndentMargin = QString();
        const QString marginless = dir.filePath(QStringLiteral("m.vxf"));
        QCOMPARE(Documents::SaveDocument(marginless, page), Documents::SaveResult::Saved);
        arguments.replaceInStrings(QStringLiteral("MARGIN"), marginless);

        const CommandRun result = runCommandLine(arguments);
        QCOMPARE(result.exitCode, code);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
    }
};

VENDRIX_TEST(TestHtmlCopies)
#include "tst_htmlcopies.moc"
