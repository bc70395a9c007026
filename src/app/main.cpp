#include "commandline.h"
#include "gui.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Qt's sockets take each write into a buffer as large as the write and free it once
// sent. With glibc's defaults the freed top of the heap goes back to the system every
// time and the next buffer faults its pages in afresh: publishing 256 MiB over TLS spent
// four times longer in that churn than in encryption. Freed memory up to a few MiB is
// kept instead (what a run holds still does not grow with the file).
void keepFreedBuffers()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
#endif
}

}

int main(int argc, char *argv[])
{
    keepFreedBuffers();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    if (CommandLine::isCommand(arguments)) {
        // The version and the help are fixed texts: only the commands pay for the
        // application object (locale, paths, event dispatcher).
        std::optional<QCoreApplication> app;
        if (CommandLine::namesCommand(arguments))
            app.emplace(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return CommandLine::finish(CommandLine::run(arguments, out, err), out, stdout, err);
    }
    return runGui(argc, argv);
}
