#include "benchregistry.h"

#include "platform/settings.h"
#include "app/startup.h"
#include "widgets/htmlviewer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

#include <unistd.h>

namespace {

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

// One program in this process with a shipped template open: View Page pressed as the
// user presses it, timed from the press to the page drawn. The first press loads the
// browser engine; the later ones come back from the building area. Prints the first
// time, the later ones, and the memory before and after, in milliseconds and MB.
int viewPageChild(int &argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dataDir = QString::fromLocal8Bit(argv[3]);
    const ProgramFolder folder(dataDir);
    folder.seed(ProgramFolder::installedDataFolder(QCoreApplication::applicationDirPath()));
    ProductionServices production(folder, dataDir + QStringLiteral("/settings.ini"));
    production.services().settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
    std::unique_ptr<QWidget> window = Startup::createMainWindow(
        production.services(), folder.templatesFolder() + QStringLiteral("Small Business.vxt"), mainWindowSteps(), nullptr);
    if (!window)
        return 1;
    window->show();
    while (!window->windowHandle() || !window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    auto *viewPage = window->findChild<QToolButton *>(QStringLiteral("btnPreview"));
    auto *create = window->findChild<QToolButton *>(QStringLiteral("btnCreate"));
    auto *viewer = window->findChild<HtmlViewer *>(QStringLiteral("browser"));
    if (!viewPage || !create || !viewer)
        return 1;
    bool drawn = false;
    QObject::connect(viewer, &HtmlViewer::loadFinished, viewer, [&](bool ok) { drawn = ok; });
    auto press = [&] {
        drawn = false;
        QElapsedTimer clock;
        clock.start();
        viewPage->click();
        while (!drawn && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return drawn ? clock.nsecsElapsed() / 1e6 : -1.0;
    };
    const double before = residentMegabytes();
    QTextStream out(stdout);
    out << press();
    const double after = residentMegabytes();
    for (int i = 0; i < 9; ++i) {
        create->click();
        out << ' ' << press();
    }
    out << ' ' << (viewer->showsWithBrowserEngine() ? 1 : 0) << ' ' << before << ' ' << after << '\n';
    return 0;
}

void viewPage(QTextStream &out)
{
    QTemporaryDir scratch;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch.filePath(QStringLiteral("share")));
    // Run as root, the engine starts only with its sandbox off; ordinary users keep it.
    if (::geteuid() == 0)
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), QStringLiteral("view-page"), scratch.filePath(QStringLiteral("data"))});
    if (!child.waitForFinished(180000) || child.exitCode() != 0) {
        out << "View Page: the program did not run\n";
        return;
    }
    QList<double> figures;
    for (const QByteArray &figure : child.readAllStandardOutput().trimmed().split(' '))
        figures.append(figure.toDouble());
    if (figures.size() != 13 || figures.first() < 0) {
        out << "View Page: the page was not drawn\n";
        return;
    }
    QList<double> later = figures.mid(1, 9);
    std::sort(later.begin(), later.end());
    out << QStringLiteral("View Page to the page drawn (%1, a shipped template): first %2 ms, later median of 9 %3 ms "
                          "(max %4); the program's memory %5 MB before the first, %6 MB after (the engine's page "
                          "process comes on top)\n")
               .arg(figures[10] > 0 ? QStringLiteral("browser engine") : QStringLiteral("simple viewer"))
               .arg(figures[0], 0, 'f', 1)
               .arg(later[4], 0, 'f', 1)
               .arg(later.last(), 0, 'f', 1)
               .arg(figures[11], 0, 'f', 1)
               .arg(figures[12], 0, 'f', 1);
}

} // namespace

VENDRIX_BENCH("preview: View Page, first and later", viewPage)
static const bool viewPageChildRegistered = Bench::addChild("view-page", viewPageChild);
