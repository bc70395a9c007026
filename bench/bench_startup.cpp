#include "benchregistry.h"

#include "app/startup.h"
#include "app/vendrixapplication.h"
#include "platform/appinfo.h"
#include "platform/filetypes.h"
#include "platform/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Start-up of the main window to the moment it is shown, as the program does it but
// without the splash wait: a fresh program folder and settings with the tip of the day
// off, so no dialog stops the clock.
double startOnce(const QString &dataDir, const QString &settingsFile)
{
    QElapsedTimer clock;
    clock.start();
    const ProgramFolder folder(dataDir);
    folder.seed(ProgramFolder::installedDataFolder(QCoreApplication::applicationDirPath()));
    ProductionServices production(folder, settingsFile);
    std::unique_ptr<QWidget> window = Startup::createMainWindow(production.services(), QString(), mainWindowSteps(), nullptr);
    if (!window)
        return -1;
    window->show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const double ms = clock.nsecsElapsed() / 1e6;
    window->close();
    return ms;
}

void startup(QTextStream &out)
{
    QTemporaryDir scratch;
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("share"))));
    const QString settingsFile = scratch.filePath(QStringLiteral("settings.ini"));
    {
        Settings settings(settingsFile);
        settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
    }
    const double first = startOnce(scratch.filePath(QStringLiteral("first")), settingsFile);
    double best = 1e300;
    for (int i = 0; i < 5; ++i)
        best = qMin(best, startOnce(scratch.filePath(QStringLiteral("data%1").arg(i)), settingsFile));
    out << QStringLiteral("start-up to a shown main window (no splash wait): first %1 ms, best of 5 %2 ms\n")
               .arg(first, 0, 'f', 1)
               .arg(best, 0, 'f', 1);
}

// Notes when the window is first exposed (at once when it already is).
struct ExposureClock : QObject
{
    ExposureClock(QWindow &window, const QElapsedTimer &clock)
        : mWindow(window),
          mClock(clock)
    {
        if (window.isExposed())
            ms = clock.nsecsElapsed() / 1e6;
        else
            window.installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && mWindow.isExposed() && ms < 0)
            ms = mClock.nsecsElapsed() / 1e6;
        return false;
    }
    double ms = -1;

private:
    QWindow &mWindow;
    const QElapsedTimer &mClock;
};

// One cold start in this process, as the installed program makes it in a home folder
// (the program folder in the user's data folder, the file types registered for the user),
// timed from main() to the first exposure of the main window. Prints the time the window
// appeared and the time the file types were in place, in milliseconds.
int coldStartChild(int &argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    VendrixApplication app(argc, argv);
    StartupOptions options;
    options.splash = false;
    options.dataDir = QDir::home().filePath(QStringLiteral(".local/share/vendrix"));
    double shown = -1;
    double registered = -1;
    const int code = Startup::run(options, mainWindowSteps(), [&](QWidget &window) {
        // The time of the exposure itself: work queued behind it may run in the same
        // round of events.
        ExposureClock exposure(*window.windowHandle(), clock);
        while (exposure.ms < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        shown = exposure.ms;
        const QString entry = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/applications/") + FileTypes::desktopId() + QStringLiteral(".desktop");
        QElapsedTimer limit;
        limit.start();
        while (!QFileInfo::exists(entry) && limit.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        registered = clock.nsecsElapsed() / 1e6;
        return 0;
    });
    // The browser engine waits for the first preview.
    QFile maps(QStringLiteral("/proc/self/maps"));
    const bool engine = maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
    QTextStream(stdout) << shown << ' ' << registered << ' ' << (engine ? 1 : 0) << '\n';
    return code;
}

struct ColdStart
{
    double shown = -1;
    double registered = -1;
    bool engineLoaded = false;
};

// A new home folder holds only the settings that keep the tip of the day from
// stopping the clock.
QString newHome(const QTemporaryDir &scratch, const QString &name)
{
    const QString home = scratch.filePath(name);
    Settings settings(home + QStringLiteral("/.config/") + AppInfo::organisationName() + u'/'
                      + AppInfo::settingsApplicationName() + QStringLiteral(".conf"));
    settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
    return home;
}

ColdStart coldStartIn(const QString &home, const QString &systemData)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "VENDRIX_DATA_DIR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    // No installed package of the program: the file types go into the home folder.
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), systemData);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("cold-start")});
    ColdStart result;
    const bool finished = child.waitForFinished(60000) && child.exitCode() == 0;
    // The desktop's cache tools a registration starts run on in the background: let
    // them end before the next start is timed.
    QThread::msleep(500);
    if (!finished)
        return result;
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
    result.shown = figures.value(0).toDouble();
    result.registered = figures.value(1).toDouble();
    result.engineLoaded = figures.value(2).toInt() != 0;
    return result;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

// Cold starts to the first window, each a new process, alternating between a fresh home
// folder (the program folder is seeded and the file types registered on the way) and the
// home folder of an earlier start, where both are done.
void coldStart(QTextStream &out)
{
    QTemporaryDir scratch;
    const QString systemData = scratch.filePath(QStringLiteral("system"));
    const QString existing = newHome(scratch, QStringLiteral("existing"));
    coldStartIn(existing, systemData);
    QList<double> fresh;
    QList<double> again;
    QList<double> registeredAfter;
    bool engineLoaded = false;
    for (int i = 0; i < 9; ++i) {
        const ColdStart first = coldStartIn(newHome(scratch, QStringLiteral("fresh%1").arg(i)), systemData);
        const ColdStart later = coldStartIn(existing, systemData);
        if (first.shown < 0 || later.shown < 0) {
            out << "cold start: the program did not start\n";
            return;
        }
        fresh.append(first.shown);
        again.append(later.shown);
        registeredAfter.append(first.registered - first.shown);
        engineLoaded = engineLoaded || first.engineLoaded || later.engineLoaded;
    }
    out << QStringLiteral("cold start to the first window (new process, no splash), median of 9: fresh home %1 ms "
                          "(best %2), existing home %3 ms (best %4); fresh home's file types in place %5 ms after the "
                          "window; browser engine loaded at start: %6\n")
               .arg(median(fresh), 0, 'f', 1)
               .arg(*std::min_element(fresh.begin(), fresh.end()), 0, 'f', 1)
               .arg(median(again), 0, 'f', 1)
               .arg(*std::min_element(again.begin(), again.end()), 0, 'f', 1)
               .arg(median(registeredAfter), 0, 'f', 1)
               .arg(engineLoaded ? QStringLiteral("yes") : QStringLiteral("no"));
}

}

VENDRIX_BENCH("startup: main window shown", startup)
VENDRIX_BENCH("startup: cold start, fresh and existing home", coldStart)
static const bool coldStartChildRegistered = Bench::addChild("cold-start", coldStartChild);
