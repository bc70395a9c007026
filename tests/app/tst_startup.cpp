#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "app/startup.h"
#include "mainwindow/frmmain.h"
#include "platform/appinfo.h"
#include "platform/settings.h"
#include "shell/frmtips.h"
#include "shell/splashscreen.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// A small stand-in for the main window: it shows itself in its start-up steps, as the
// real one does when it opens the tip of the day.
MainWindowSteps stubSteps(QStringList &log, bool failCreate = false, bool failStartUp = false)
{
    return {
        [&log, failCreate](AppServices &) -> std::unique_ptr<QWidget> {
            log.append(QStringLiteral("create"));
            if (failCreate)
                throw std::runtime_error("Cannot create the window");
            return std::make_unique<QWidget>();
        },
        [&log, failStartUp](QWidget &window, const QString &document) {
            log.append(QStringLiteral("startUp ") + document);
            window.show();
            if (failStartUp)
                throw std::runtime_error("Themes.dat is damaged");
        },
    };
}

}

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        // Start-up registers the file types: keep that in a scratch folder, away from
        // any installed package.
        mDataHome = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(mDataHome->filePath(QStringLiteral("user"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(mDataHome->filePath(QStringLiteral("system"))));
    }
    void cleanup()
    {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
    }

    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("splash");
        QTest::addColumn<QString>("dataDir");
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("valid");
        QTest::newRow("nothing") << QStringList{} << true << "" << "" << true;
        QTest::newRow("document") << QStringList{"/tmp/page.vxf"} << true << "" << "/tmp/page.vxf" << true;
        QTest::newRow("all") << QStringList{"--no-splash", "--data-dir", "/tmp/d", "a.vxt", "b.vxf"} << false << "/tmp/d"
                             << "a.vxt" << true;
        QTest::newRow("joined folder") << QStringList{"--data-dir=/tmp/e"} << true << "/tmp/e" << "" << true;
        QTest::newRow("folder missing") << QStringList{"--data-dir"} << true << "" << "" << false;
        QTest::newRow("unknown") << QStringList{"--fast"} << true << "" << "" << false;
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, splash);
        QFETCH(QString, dataDir);
        QFETCH(QString, document);
        QFETCH(bool, valid);
        const StartupOptions options = parseStartupOptions(arguments);
        QCOMPARE(options.error.isEmpty(), valid);
        if (!valid)
            return;
        QCOMPARE(options.splash, splash);
        QCOMPARE(options.dataDir, dataDir);
        QCOMPARE(options.document, document);
    }

    void splashHidesWhenTheWindowShowsAndWaitsForItsTimer()
    {
        TestServices t;
        QStringList log;
        std::unique_ptr<TSplashScreen> splash = Startup::showSplash();
        QVERIFY(splash->isVisible());
        QPointer<TSplashScreen> watch = splash.get();
        std::unique_ptr<QWidget> window = Startup::createMainWindow(t.services, QStringLiteral("x.vxf"), stubSteps(log), splash.get());
        QVERIFY(window && window->isVisible());
        QCOMPARE(log, (QStringList{"create", "startUp x.vxf"}));
        QVERIFY(!watch->isVisible());
        QVERIFY(!watch->timerStopped());

        QElapsedTimer clock;
        clock.start();
        splash->Timer->start(200);
        Startup::waitForSplash(std::move(splash));
        QVERIFY(clock.elapsed() >= 150);
        QVERIFY(!watch);
        QVERIFY(t.prompter.boxes.isEmpty());
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<bool>("failCreate");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("windowKept");
        QTest::newRow("creation") << true << "Cannot create the window" << false;
        QTest::newRow("start-up steps") << false << "Themes.dat is damaged" << true;
    }
    void failuresAreReported()
    {
        QFETCH(bool, failCreate);
        QFETCH(QString, message);
        QFETCH(bool, windowKept);
        TestServices t;
        QStringList log;
        std::unique_ptr<QWidget> window =
            Startup::createMainWindow(t.services, QString(), stubSteps(log, failCreate, !failCreate), nullptr);
        QCOMPARE(bool(window), windowKept);
        QCOMPARE(t.prompter.texts(), QStringList{message});
        QCOMPARE(t.prompter.boxes.first().kind, Prompter::Kind::Error);
    }

    // The work start-up leaves for after the window runs once the window is on the
    // screen, never before; a window that goes first takes it with it.
    void afterShownWaitsForTheWindow()
    {
        TestServices t;
        QStringList log;
        QWidget *created = nullptr;
        bool exposed = false;
        auto afterShown = [&] {
            log.append(QStringLiteral("after shown"));
            exposed = created->windowHandle() && created->windowHandle()->isExposed();
        };
        std::unique_ptr<QWidget> window = Startup::createMainWindow(t.services, QString(), stubSteps(log), nullptr, afterShown);
        created = window.get();
        QCOMPARE(log, (QStringList{"create", "startUp "}));
        QTRY_COMPARE(log.size(), 3);
        QVERIFY(exposed);

        window = Startup::createMainWindow(t.services, QString(), stubSteps(log), nullptr, afterShown);
        window.reset();
        QTest::qWait(20);
        QCOMPARE(log.size(), 5);
    }

    void fileTypeFailureIsReported()
    {
        TestServices t;
        // A file where the user's applications folder should be.
        const QString blocker = writeFile(mDataHome->filePath(QStringLiteral("user/applications")), "x");
        // No desktop cache tools to run on in the scratch folder.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(mDataHome->filePath(QStringLiteral("no-tools"))));
        Startup::registerFileTypes(t.prompter);
        qputenv("PATH", path);
        QCOMPARE(t.prompter.boxes.size(), 1);
        QCOMPARE(t.prompter.boxes.first().kind, Prompter::Kind::Error);
        QVERIFY2(t.prompter.texts().first().contains(blocker), qPrintable(t.prompter.texts().first()));
    }

    // With "TipDay" on (or not yet written) the main window shows itself and opens the
    // tip of the day during start-up; with it off the window stays for the message loop.
    void tipOfTheDayAtStartUp_data()
    {
        QTest::addColumn<QString>("tipDay");
        QTest::addColumn<bool>("tipsShown");
        QTest::newRow("absent") << "" << true;
        QTest::newRow("on") << "1" << true;
        QTest::newRow("off") << "0" << false;
    }
    void tipOfTheDayAtStartUp()
    {
        QFETCH(QString, tipDay);
        QFETCH(bool, tipsShown);
        TestServices t;
        if (!tipDay.isEmpty())
            t.settings.writeString(SettingsKeys::tipDay(), tipDay);
        bool windowVisibleWithTips = false;
        bool splashHiddenWithTips = false;
        std::unique_ptr<TSplashScreen> splash = Startup::showSplash();
        QPointer<TSplashScreen> watch = splash.get();
        QWidget *shownWindow = nullptr;
        t.modal.expect([&](QDialog &dialog) {
            auto &tips = dynamic_cast<TfrmTips &>(dialog);
            shownWindow = tips.parentWidget();
            windowVisibleWithTips = shownWindow && shownWindow->isVisible();
            splashHiddenWithTips = watch && !watch->isVisible();
            // The user turns the tips off for the next start.
            tips.chkShow->setChecked(false);
            tips.btnClose->click();
            return int(QDialog::Rejected);
        });
        std::unique_ptr<QWidget> window =
            Startup::createMainWindow(t.services, QString(), mainWindowSteps(), splash.get());
        QVERIFY(window);
        // "[*]" is where a changed page shows its mark; a new page has none.
        QCOMPARE(window->windowTitle(), QStringLiteral("Untitled[*] - ") + AppInfo::applicationTitle());
        QVERIFY(!window->isWindowModified());
        QCOMPARE(t.modal.shownClasses.contains(QStringLiteral("TfrmTips")), tipsShown);
        QCOMPARE(window->isVisible(), tipsShown);
        if (tipsShown) {
            QCOMPARE(shownWindow, window.get());
            QVERIFY(windowVisibleWithTips);
            QVERIFY(splashHiddenWithTips);
            QCOMPARE(static_cast<TfrmMain *>(window.get())->tipDay(), 0);
        } else {
            QVERIFY(watch->isVisible());
        }
        QCOMPARE(t.settings.readString(SettingsKeys::tipDay()), QStringLiteral("0"));
        splash->Timer->stop();
        Startup::waitForSplash(std::move(splash));
        QVERIFY(!watch);
    }

private:
    std::unique_ptr<QTemporaryDir> mDataHome;
};

VENDRIX_TEST(TestStartup)
#include "tst_startup.moc"
