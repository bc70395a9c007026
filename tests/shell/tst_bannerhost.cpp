#include "shell/bannerhost.h"
#include "testdatafolder.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "vxads.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

// The stand-in library as the host finds it, for the companions the tests read.
QString libraryFile()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vxads");
}

// A location's figure from the library's management interface; -99 when it is missing.
int figure(const char *function, int location)
{
    QLibrary library(libraryFile());
    auto get = reinterpret_cast<decltype(&CT_MgmtGetALImpressions)>(library.resolve(function));
    return get ? get(location) : -99;
}
int lastDisplayResult(int location) { return figure("CT_MgmtGetALDisplayResult", location); }
int impressions(int location) { return figure("CT_MgmtGetALImpressions", location); }

QStringList shippedAddresses()
{
    QStringList addresses;
    for (const QByteArray &line : readFile(buildDataFolder() + QStringLiteral("/banners/banners.txt")).split('\n')) {
        const int tab = line.indexOf('\t');
        if (!line.startsWith('#') && tab > 0)
            addresses.append(QString::fromUtf8(line.mid(tab + 1)).trimmed());
    }
    return addresses;
}

// A banner panel with its host over the fakes.
struct Rig
{
    explicit Rig(QSize size = QSize(468, 60))
    {
        panel.setObjectName(QStringLiteral("imgadarea1"));
        panel.resize(size);
    }
    FakePrompter prompter;
    FakeShell shell;
    QWidget panel;
    BannerHost host{panel, prompter, shell};
};

}

class TestBannerHost : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv("VXADS_FAIL"); qunsetenv("VXADS_BANNER_DIR"); }

    void showsAndClicksHouseBanners()
    {
        Rig rig;
        auto &[prompter, shell, panel, host] = rig;
        QVERIFY(host.start());
        QVERIFY2(prompter.boxes.isEmpty(), qPrintable(prompter.texts().join(u'\n')));
        QVERIFY(host.isActive());
        QVERIFY(host.location() != -1);
        QCOMPARE(panel.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!host.hasBanner());

        host.tick();
        QVERIFY(host.hasBanner());
        panel.show();
        panel.grab();
        QCOMPARE(lastDisplayResult(host.location()), CT_DISPLAY_ALL);
        QCOMPARE(impressions(host.location()), 1);

        QTest::mouseClick(&panel, Qt::LeftButton);
        QCOMPARE(shell.opened.size(), 1);
        QVERIFY2(shippedAddresses().contains(shell.opened.first()), qPrintable(shell.opened.first()));
        QCOMPARE(panel.cursor().shape(), Qt::PointingHandCursor);

        host.shutdown();
        QVERIFY(!host.isActive());
        QCOMPARE(host.location(), -1);
        QVERIFY(!host.hasBanner());
        QTest::mouseClick(&panel, Qt::LeftButton);
        QCOMPARE(shell.opened.size(), 1);
    }

    void aShortPanelShowsPartOfTheBanner()
    {
        Rig rig(QSize(468, 30));
        auto &[prompter, shell, panel, host] = rig;
        QVERIFY(host.start());
        host.tick();
        panel.grab();
        QCOMPARE(lastDisplayResult(host.location()), CT_DISPLAY_PART);
    }

    void withoutTheLibraryNothingHappens()
    {
        Rig rig;
        auto &[prompter, shell, panel, host] = rig;
        host.setLibraryFile(QStringLiteral("/nonexistent/vxads"));
        QVERIFY(!host.start());
        QVERIFY(!host.isActive());
        host.tick();
        host.click();
        panel.grab();
        host.shutdown();
        QVERIFY(prompter.boxes.isEmpty());
        QVERIFY(shell.opened.isEmpty());
    }

    void reportsEachRefusal_data()
    {
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("kinds");
        const int error = int(Prompter::Kind::Error);
        const QString noSpace = QStringLiteral("Unable to initialize advertising banner space, Advertising Space Creation Error");
        QTest::newRow("push") << QByteArray("push") << false
                              << QStringList{"Ad Push system init error: The request was refused. Simulated failure."}
                              << QList<int>{error};
        QTest::newRow("management") << QByteArray("mgmt") << false
                                    << QStringList{"Ad Management system init error: The request was refused. Simulated failure."}
                                    << QList<int>{error};
        QTest::newRow("location") << QByteArray("location") << true
                                  << QStringList{"Cannot create ad location (simulated failure)", noSpace}
                                  << QList<int>{int(Prompter::Kind::Warning), error};
        QTest::newRow("callbacks")
            << QByteArray("callbacks") << true
            << QStringList{"Cannot set ad location callbacks: The request was refused. (simulated failure)", noSpace}
            << QList<int>{int(Prompter::Kind::Information), error};
    }
    void reportsEachRefusal()
    {
        QFETCH(QByteArray, step);
        QFETCH(bool, active);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, kinds);
        qputenv("VXADS_FAIL", step);
        Rig rig;
        auto &[prompter, shell, panel, host] = rig;
        QCOMPARE(host.start(), active);
        QCOMPARE(host.isActive(), active);
        QCOMPARE(prompter.texts(), texts);
        QList<int> seen;
        for (const auto &box : prompter.boxes)
            seen.append(int(box.kind));
        QCOMPARE(seen, kinds);
        QCOMPARE(host.location(), -1);
        // Ads on without a location: ticks and clicks go on harmlessly.
        host.tick();
        host.click();
        QVERIFY(!host.hasBanner());
        QVERIFY(shell.opened.isEmpty());
    }

    // Bitmaps keep their rows from the bottom up; the panel shows the top at the top.
    void drawnTheRightWayUp_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("true colour") << int(QImage::Format_RGB32);
        QTest::newRow("palette") << int(QImage::Format_Indexed8);
    }
    void drawnTheRightWayUp()
    {
        QFETCH(int, format);
        QTemporaryDir dir;
        QImage banner(468, 60, QImage::Format_RGB32);
        banner.fill(Qt::red);
        for (int y = 30; y < 60; ++y) {
            for (int x = 0; x < 468; ++x)
                banner.setPixel(x, y, qRgb(0, 0, 255));
        }
        QVERIFY(banner.convertToFormat(QImage::Format(format)).save(dir.filePath(QStringLiteral("halves.bmp")), "BMP"));
        writeFile(dir.filePath(QStringLiteral("banners.txt")), "halves.bmp\thttp://example.com/\n");
        qputenv("VXADS_BANNER_DIR", QFile::encodeName(dir.path()));

        Rig rig;
        auto &[prompter, shell, panel, host] = rig;
        QVERIFY(host.start());
        host.tick();
        QVERIFY(host.hasBanner());
        const QImage shot = panel.grab().toImage();
        QCOMPARE(QColor(shot.pixel(234, 5)), QColor(Qt::red));
        QCOMPARE(QColor(shot.pixel(234, 55)), QColor(Qt::blue));
    }

    void aDamagedBannerIsReportedAsNotShown()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath(QStringLiteral("banners.txt")), "broken.bmp\thttp://example.com/broken\n");
        writeFile(dir.filePath(QStringLiteral("broken.bmp")), QByteArray(100, 'x'));
        qputenv("VXADS_BANNER_DIR", QFile::encodeName(dir.path()));

        Rig rig;
        auto &[prompter, shell, panel, host] = rig;
        QVERIFY(host.start());
        host.tick();
        QVERIFY(!host.hasBanner());
        QCOMPARE(lastDisplayResult(host.location()), CT_DISPLAY_NONE);
        QVERIFY(prompter.boxes.isEmpty());
    }
};

VENDRIX_TEST(TestBannerHost)
#include "tst_bannerhost.moc"
