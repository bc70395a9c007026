#include "shell/splashscreen.h"
#include "testregistry.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

class TestSplash : public QObject
{
    Q_OBJECT
private slots:
    void splashWaitsForItsTimer()
    {
        int opened = 0;
        TSplashScreen splash(TSplashScreen::Mode::Splash, [&] { ++opened; });
        QCOMPARE(splash.size(), QSize(400, 320));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash.Timer->interval(), 2500);
        QVERIFY(splash.Timer->isActive());
        QVERIFY(!splash.pictureClickable());
        QVERIFY(!splash.imgSplash->pixmap().isNull());
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(!splash.lbl->isVisible());
        // The picture is painted in its colours, not greyed out like a disabled control.
        const QImage shot = splash.grab().toImage();
        bool coloured = false;
        for (int y = 0; y < shot.height() && !coloured; y += 5) {
            for (int x = 0; x < shot.width() && !coloured; x += 5) {
                const QColor c = shot.pixelColor(x, y);
                coloured = qAbs(c.red() - c.blue()) > 60;
            }
        }
        QVERIFY(coloured);

        // Neither a click on the picture nor a close request ends the splash early.
        QTest::mouseClick(splash.imgSplash, Qt::LeftButton);
        QVERIFY(!splash.close());
        splash.reject();
        QVERIFY(splash.isVisible());
        QCOMPARE(opened, 0);

        splash.Timer->start(10);
        QTRY_VERIFY(splash.timerStopped());
        QVERIFY(splash.close());
        QVERIFY(!splash.isVisible());
    }

    void aboutBoxClicks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("opened");
        QTest::newRow("picture closes") << "imgSplash" << 0;
        QTest::newRow("address opens the site and closes") << "lbl" << 1;
    }
    void aboutBoxClicks()
    {
        QFETCH(QString, target);
        QFETCH(int, opened);
        int openCount = 0;
        TSplashScreen about(TSplashScreen::Mode::About, [&] { ++openCount; });
        QVERIFY(about.timerStopped());
        QVERIFY(about.pictureClickable());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(about.lbl->isVisible());
        QCOMPARE(about.lbl->pos(), QPoint(7, 299));
        QVERIFY(about.lbl->text().contains(QStringLiteral("zandorell.com")));
        QCOMPARE(about.lbl->cursor().shape(), Qt::PointingHandCursor);

        QTest::mouseClick(about.findChild<QLabel *>(target), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!about.isVisible());
        QCOMPARE(openCount, opened);
    }

    void mainWindowTakesOver()
    {
        TSplashScreen splash(TSplashScreen::Mode::Splash, nullptr);
        QWidget mainWindow;
        splash.hideWhenShown(mainWindow);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        mainWindow.show();
        QVERIFY(!splash.isVisible());
        // Hidden is not closed: the start-up wait still runs to the end of the timer.
        QVERIFY(!splash.timerStopped());
    }
};

VENDRIX_TEST(TestSplash)
#include "tst_splash.moc"
