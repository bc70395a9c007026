#include "widgets/htmlviewer.h"
#include "testfiles.h"
#include "testregistry.h"

#include <QCoreApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <unistd.h>

class TestHtmlViewer : public QObject
{
    Q_OBJECT

private slots:
    void picturesComeFromTheBaseFolderEveryTime();
    void linkClicksAreReportedNotFollowed();
    void browserEngineStartsAtTheFirstPage();
};

namespace {

void writePicture(const QString &path, QColor colour)
{
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(image.save(path, "PNG"));
}

bool shows(HtmlViewer &viewer, QColor colour)
{
    const QImage shot = viewer.grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == colour)
                return true;
    return false;
}

QString shownText(HtmlViewer &viewer)
{
    const auto *text = viewer.findChild<QTextBrowser *>();
    return text && text->isVisibleTo(&viewer) ? text->toPlainText() : QString();
}

// Whether the browser engine's library is in this process.
bool engineLoaded()
{
    return readFile(QStringLiteral("/proc/self/maps")).contains("libQt6WebEngineCore");
}

} // namespace

void TestHtmlViewer::picturesComeFromTheBaseFolderEveryTime()
{
    QTemporaryDir folder;
    writePicture(folder.filePath("images/dot.png"), Qt::red);
    HtmlViewer viewer(PreviewRenderer::RichText);
    viewer.resize(200, 120);
    viewer.setBaseFolder(folder.path() + "/");
    QCOMPARE(viewer.baseFolder(), folder.path());
    const QStringList page{"<HTML>", "<BODY>", "<IMG SRC=\"images/dot.png\">", "</BODY>", "</HTML>"};
    viewer.loadLines(page);
    QVERIFY(shows(viewer, Qt::red));

    // The picture changed on disk: the next load shows the new one, nothing is cached.
    writePicture(folder.filePath("images/dot.png"), Qt::blue);
    viewer.clearPage();
    QVERIFY(shownText(viewer).isEmpty());
    viewer.loadLines(page);
    QVERIFY(shows(viewer, Qt::blue));
    QVERIFY(!shows(viewer, Qt::red));
}

void TestHtmlViewer::linkClicksAreReportedNotFollowed()
{
    QTemporaryDir folder;
    writeFile(folder.filePath("other.html"), "<HTML><BODY>Elsewhere</BODY></HTML>");
    HtmlViewer viewer(PreviewRenderer::RichText);
    viewer.setBaseFolder(folder.path());
    viewer.loadLines({"<HTML><BODY><A HREF=\"other.html\">Go</A></BODY></HTML>"});
    QSignalSpy reported(&viewer, &HtmlViewer::linkClicked);

    emit viewer.findChild<QTextBrowser *>()->anchorClicked(QUrl("other.html"));
    QCOMPARE(reported.size(), 1);
    QCOMPARE(reported[0][0].toUrl(), QUrl("other.html"));
    QCOMPARE(shownText(viewer), QStringLiteral("Go"));
}

void TestHtmlViewer::browserEngineStartsAtTheFirstPage()
{
    if (!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/libvendrix_webview.so"))
        QSKIP("built without the browser engine");
    // Run as root (as CI runs), the engine starts only with its sandbox off.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    HtmlViewer viewer(PreviewRenderer::BrowserEngine);
    viewer.resize(300, 200);
    viewer.show();
    viewer.clearPage();
    QVERIFY(!engineLoaded());
    QSignalSpy loaded(&viewer, &HtmlViewer::loadFinished);

    viewer.loadLines({"<HTML><BODY>First</BODY></HTML>"});
    QVERIFY(engineLoaded());
    QVERIFY(viewer.showsWithBrowserEngine());
    QVERIFY(loaded.wait(30000));
    QCOMPARE(loaded.takeFirst(), QVariantList{true});

    // Too large for the engine: the simple viewer shows it, and the engine the next one.
    const QStringList large(3000, QString(1000, u'x'));
    viewer.loadLines(large);
    QVERIFY(!viewer.showsWithBrowserEngine());
    QCOMPARE(shownText(viewer).size(), 3000 * 1000 + 2999);
    viewer.loadLines({"<HTML><BODY>Third</BODY></HTML>"});
    QVERIFY(viewer.showsWithBrowserEngine());
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, 30000);
    QCOMPARE(loaded.takeLast(), QVariantList{true});
}

VENDRIX_TEST(TestHtmlViewer)
#include "tst_htmlviewer.moc"
