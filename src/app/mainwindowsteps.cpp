#include "startup.h"

#include "mainwindow/frmmain.h"

MainWindowSteps mainWindowSteps()
{
    return {
        [](AppServices &services) -> std::unique_ptr<QWidget> { return std::make_unique<TfrmMain>(services); },
        [](QWidget &window, const QString &document) { static_cast<TfrmMain &>(window).startUp(document); },
    };
}
