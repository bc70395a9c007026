#include "gui.h"

#include "startup.h"
#include "vendrixapplication.h"

#include <QTextStream>

#include <cstdio>

int runGui(int &argc, char **argv)
{
    VendrixApplication app(argc, argv);
    const StartupOptions options = parseStartupOptions(QCoreApplication::arguments().mid(1));
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "vendrix: " << options.error << "\nTry vendrix --help.\n";
        return 2;
    }
    return Startup::run(options, mainWindowSteps());
}
