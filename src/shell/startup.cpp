#include "startup.h"

#include "platform/appinfo.h"
#include "splashscreen.h"
#include "vendrixapplication.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <exception>

StartupOptions parseStartupOptions(const QStringList &arguments)
{
    StartupOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--no-splash") {
            options.splash = false;
        } else if (argument == u"--data-dir") {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("--data-dir needs a folder");
                return options;
            }
            options.dataDir = arguments[++i];
        } else if (argument.startsWith(QLatin1StringView("--data-dir="))) {
            options.dataDir = argument.mid(int(qstrlen("--data-dir=")));
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
            return options;
        } else if (options.document.isEmpty()) {
            // Only the first document counts, as the window opens one page at a time.
            options.document = argument;
        }
    }
    return options;
}

ProductionServices::ProductionServices(const ProgramFolder &folder, const QString &settingsFile)
    : mSettings(settingsFile.isEmpty() ? std::make_unique<Settings>() : std::make_unique<Settings>(settingsFile)),
      mHelp(folder.helpFolder() + HelpWindow::helpFileName()),
      mPrompter(mHelp),
      mServices{*mSettings, mPrompter, mOpenDialog, mPictureDialog, mSaveDialog, mModal, mShell, mHelp, folder}
{
}

namespace Startup {

std::unique_ptr<TSplashScreen> showSplash()
{
    auto splash = std::make_unique<TSplashScreen>(TSplashScreen::Mode::Splash, nullptr);
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();
    return splash;
}

std::unique_ptr<QWidget> createMainWindow(AppServices &services, const QString &document, const MainWindowSteps &steps,
                                          TSplashScreen *splash)
{
    std::unique_ptr<QWidget> window;
    try {
        window = steps.create(services);
        if (splash)
            splash->hideWhenShown(*window);
        steps.startUp(*window, document);
    } catch (const std::exception &e) {
        services.prompter.error(QString::fromLocal8Bit(e.what()));
    }
    return window;
}

void waitForSplash(std::unique_ptr<TSplashScreen> splash)
{
    if (!splash)
        return;
    while (!splash->close())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int run(const StartupOptions &options, const MainWindowSteps &steps)
{
    std::unique_ptr<TSplashScreen> splash = options.splash ? showSplash() : nullptr;

    // No application display name: X11 window managers would append it to every
    // caption, turning "Zandorell FREE HTML 5.0 - Untitled" into a doubled title. The
    // task bar takes the program's name from its desktop entry instead.
    QCoreApplication::setApplicationName(QStringLiteral("vendrix"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vendrix"));

    const QString executableDir = QCoreApplication::applicationDirPath();
    const ProgramFolder folder = ProgramFolder::resolve(options.dataDir, executableDir);
    QString seedError;
    const bool seeded = folder.seed(ProgramFolder::installedDataFolder(executableDir), &seedError);

    ProductionServices production(folder);
    // Errors no handler caught are shown in the error box while the services live.
    struct ReporterScope
    {
        VendrixApplication *app = qobject_cast<VendrixApplication *>(QCoreApplication::instance());
        explicit ReporterScope(Prompter &prompter)
        {
            if (app)
                app->setErrorReporter([&prompter](const QString &message) { prompter.error(message); });
        }
        ~ReporterScope()
        {
            if (app)
                app->setErrorReporter(nullptr);
        }
    } reporterScope(production.services().prompter);
    if (!seeded)
        production.services().prompter.error(seedError);

    std::unique_ptr<QWidget> window = createMainWindow(production.services(), options.document, steps, splash.get());
    waitForSplash(std::move(splash));
    if (!window)
        return 1;
    if (!window->isVisible())
        window->show();
    const int code = QApplication::exec();
    window.reset();
    return code;
}

}
