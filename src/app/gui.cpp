#include "gui.h"

#include "shell/startup.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int runGui(int &argc, char **argv)
{
    QApplication app(argc, argv);
    const StartupOptions options = parseStartupOptions(QApplication::arguments().mid(1));
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "vendrix: " << options.error << "\nTry vendrix --help.\n";
        return 2;
    }
    return Startup::run(options, mainWindowSteps());
}
