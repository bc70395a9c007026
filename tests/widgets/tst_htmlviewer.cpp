#include "widgets/htmlviewer.h"
#include "testfiles.h"
#include "testregistry.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestHtmlViewer : public QObject
{
    Q_OBJECT

private slots:
    void picturesComeFromTheBaseFolderEveryTime();
    void linkClicks();
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

} // namespace

void TestHtmlViewer::picturesComeFromTheBaseFolderEveryTime()
{
    QTemporaryDir folder;
    writePicture(folder.filePath("images/dot.png"), Qt::red);
    HtmlViewer viewer;
    viewer.resize(200, 120);
    viewer.setBaseFolder(folder.path() + "/");
    QCOMPARE(viewer.baseFolder(), folder.path());
    const QStringList page{"<HTML>", "<BODY>", "<IMG SRC=\"images/dot.png\">", "</BODY>", "</HTML>"};
    viewer.loadLines(page);
    QVERIFY(shows(viewer, Qt::red));

    // The picture changed on disk: the next load shows the new one, nothing is cached.
    writePicture(folder.filePath("images/dot.png"), Qt::blue);
    viewer.clearPage();
    QVERIFY(viewer.toPlainText().isEmpty());
    viewer.loadLines(page);
    QVERIFY(shows(viewer, Qt::blue));
    QVERIFY(!shows(viewer, Qt::red));
}

void TestHtmlViewer::linkClicks()
{
    QTemporaryDir folder;
    writeFile(folder.filePath("other.html"), "<HTML><BODY>Elsewhere</BODY></HTML>");
    HtmlViewer viewer;
    viewer.setBaseFolder(folder.path());
    viewer.loadLines({"<HTML><BODY><A HREF=\"other.html\">Go</A></BODY></HTML>"});
    QList<QUrl> reported;
    bool handle = true;
    connect(&viewer, &HtmlViewer::linkClicked, &viewer, [&](const QUrl &link, bool &handled) {
        reported.append(link);
        handled = handle;
    });

    // Handled: the page stays as it is.
    emit viewer.anchorClicked(QUrl("other.html"));
    QCOMPARE(reported, QList<QUrl>{QUrl("other.html")});
    QCOMPARE(viewer.toPlainText(), QStringLiteral("Go"));

    // Not handled: the linked local file is shown, without a history to go back to.
    handle = false;
    emit viewer.anchorClicked(QUrl("other.html"));
    QCOMPARE(viewer.toPlainText(), QStringLiteral("Elsewhere"));
    QVERIFY(!viewer.isBackwardAvailable());
}

VENDRIX_TEST(TestHtmlViewer)
#include "tst_htmlviewer.moc"
