#pragma once

#include "platform/appservices.h"
#include "platform/desktopkeychain.h"
#include "platform/desktopfiledialog.h"
#include "platform/desktopshell.h"
#include "platform/dialogmodalrunner.h"
#include "platform/helpwindow.h"
#include "platform/messageboxprompter.h"
#include "platform/settings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class TSplashScreen;

// What the window part of the command line asks for: "[--data-dir DIR] [--no-splash]
// [DOCUMENT]". The program folder option is also read by ProgramFolder::resolve().
struct StartupOptions
{
    bool splash = true;
    QString dataDir;
    QString document;
    QString error; // not empty when the arguments cannot be used
};
StartupOptions parseStartupOptions(const QStringList &arguments);

// The production adapters behind AppServices, for the program folder chosen at start-up.
class ProductionServices
{
public:
    // Settings go to the user's settings store, or to the given INI file when not empty.
    explicit ProductionServices(const ProgramFolder &folder, const QString &settingsFile = QString());
    ProductionServices(const ProductionServices &) = delete;
    ProductionServices &operator=(const ProductionServices &) = delete;

    AppServices &services() { return mServices; }
    HelpWindow &help() { return mHelp; }

private:
    std::unique_ptr<Settings> mSettings;
    HelpWindow mHelp;
    MessageBoxPrompter mPrompter;
    DesktopFileDialog mOpenDialog{FileDialog::Kind::Open};
    DesktopFileDialog mPictureDialog{FileDialog::Kind::Open};
    DesktopFileDialog mSaveDialog{FileDialog::Kind::Save};
    DialogModalRunner mModal;
    DesktopShell mShell;
    DesktopKeychain mKeychain;
    AppServices mServices;
};

// The two halves of creating the main window: building it, and its start-up steps
// (banner, settings, page, themes, lists, file types, command-line document, tip of
// the day). The splash window starts watching the window between the two.
struct MainWindowSteps
{
    std::function<std::unique_ptr<QWidget>(AppServices &)> create;
    std::function<void(QWidget &, const QString &document)> startUp;
};

// The steps for the page builder's main window, TfrmMain.
MainWindowSteps mainWindowSteps();

namespace Startup {

// Shows the splash window and paints it at once.
std::unique_ptr<TSplashScreen> showSplash();

// Creates the main window and runs its start-up steps. When the splash window is up
// it hides as soon as the main window is shown; afterShown, when given, runs once from
// the event loop after the window first appears on the screen. A failure is reported in
// an error box and gives null (a failure in the start-up steps keeps the window).
std::unique_ptr<QWidget> createMainWindow(AppServices &services, const QString &document, const MainWindowSteps &steps,
                                          TSplashScreen *splash, std::function<void()> afterShown = {});

// Registers the file types for the running executable; a failure is reported in an
// error box. Start-up runs it after the main window has appeared, so it never holds the
// window up.
void registerFileTypes(Prompter &prompter);

// Processes events until the splash window agrees to close (its timer has fired),
// then frees it.
void waitForSplash(std::unique_ptr<TSplashScreen> splash);

// The whole start-up of the program on an existing QApplication, up to the message
// loop, which it runs until the main window closes; returns the exit code. A caller
// that measures start-up hands in its own loop for the shown window.
int run(const StartupOptions &options, const MainWindowSteps &steps,
        const std::function<int(QWidget &)> &messageLoop = {});

}
