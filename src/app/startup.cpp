#include "startup.h"

#include "vendrixapplication.h"

#include "platform/appinfo.h"
#include "platform/filetypes.h"
#include "shell/splashscreen.h"
#include "widgets/whatsthis.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

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
    mServices.keychain = &mKeychain;
}

namespace {

// Runs an action once, from the event loop, after the widget's window is first exposed.
// The native window exists only once the widget is shown, so the watch moves from the
// widget's show event to its window's expose event. Owned by the widget: an action
// still waiting when the widget goes never runs.
class FirstExposure : public QObject
{
public:
    FirstExposure(QWidget &widget, std::function<void()> action)
        : QObject(&widget),
          mWidget(widget),
          mAction(std::move(action))
    {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &mWidget && event->type() == QEvent::Show && mWidget.windowHandle() && !mWatchingWindow) {
            mWidget.windowHandle()->installEventFilter(this);
            mWatchingWindow = true;
        } else if (watched == mWidget.windowHandle() && event->type() == QEvent::Expose && mWidget.windowHandle()->isExposed()) {
            mWidget.removeEventFilter(this);
            mWidget.windowHandle()->removeEventFilter(this);
            // Queued, so the window paints first.
            QTimer::singleShot(0, this, [this] {
                const std::function<void()> action = std::move(mAction);
                deleteLater();
                action();
            });
        }
        return false;
    }

private:
    QWidget &mWidget;
    std::function<void()> mAction;
    bool mWatchingWindow = false;
};

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
                                          TSplashScreen *splash, std::function<void()> afterShown)
{
    std::unique_ptr<QWidget> window;
    try {
        window = steps.create(services);
        if (splash)
            splash->hideWhenShown(*window);
        if (afterShown)
            new FirstExposure(*window, std::move(afterShown));
        steps.startUp(*window, document);
    } catch (const std::exception &e) {
        services.prompter.error(QString::fromLocal8Bit(e.what()));
    }
    return window;
}

void registerFileTypes(Prompter &prompter)
{
    QString error;
    // A desktop that cannot take the registration only loses the file associations.
    if (!RegisterFileTypes(QCoreApplication::applicationFilePath(), &error))
        prompter.error(error);
}

void waitForSplash(std::unique_ptr<TSplashScreen> splash)
{
    if (!splash)
        return;
    while (!splash->close())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int run(const StartupOptions &options, const MainWindowSteps &steps, const std::function<int(QWidget &)> &messageLoop)
{
    std::unique_ptr<TSplashScreen> splash = options.splash ? showSplash() : nullptr;

    // No application display name: X11 window managers would append it to every
    // caption, turning "Untitled - Zandorell FREE HTML 5.0" into a doubled title. The
    // task bar takes the program's name from its desktop entry instead.
    QCoreApplication::setApplicationName(QStringLiteral("vendrix"));
    QGuiApplication::setDesktopFileName(FileTypes::desktopId());

    const QString executableDir = QCoreApplication::applicationDirPath();
    const ProgramFolder folder = ProgramFolder::resolve(options.dataDir, executableDir);
    // A first start makes only what the window reads while it opens; the rest of the
    // program folder follows once the window is up, and only then waits for the disk.
    const QString installedData = ProgramFolder::installedDataFolder(executableDir);
    QString seedError;
    QStringList seededFiles;
    const bool seeded = folder.seed(installedData, &seedError, &seededFiles, ProgramFolder::Part::ForTheWindow);

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
    HelpKey helpKey(production.services().help);
    QCoreApplication::instance()->installEventFilter(&helpKey);

    Prompter &prompter = production.services().prompter;
    auto afterShown = [&prompter, folder, installedData, seededFiles]() mutable {
        QString error;
        if (!folder.seed(installedData, &error, &seededFiles, ProgramFolder::Part::TheRest))
            prompter.error(error);
        registerFileTypes(prompter);
        ProgramFolder::flushToDisk(seededFiles);
    };
    std::unique_ptr<QWidget> window =
        createMainWindow(production.services(), options.document, steps, splash.get(), std::move(afterShown));
    waitForSplash(std::move(splash));
    if (!window)
        return 1;
    if (!window->isVisible())
        window->show();
    const int code = messageLoop ? messageLoop(*window) : QApplication::exec();
    window.reset();
    return code;
}

}
