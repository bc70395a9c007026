#include "commandline.h"
#include "platform/programfolder.h"
#include "processmemory.h"
#include "programlibrary.h"

#include <QCoreApplication>
#include <QLibrary>

#include <cstdio>

namespace {

// Loads the rest of the program beside or below the executable and hands it the
// arguments; a library that cannot be loaded is reported with the loader's reason.
int runProgramLibrary(int &argc, char **argv)
{
    QString folder;
    {
        // The library hands the window its own application object; this one only finds
        // the executable's folder as Qt does on every platform.
        QCoreApplication probe(argc, argv);
        folder = QCoreApplication::applicationDirPath();
    }
    QLibrary library(ProgramFolder::privateLibrary(folder, QLatin1StringView(ProgramLibrary::name)));
    auto *programMain = reinterpret_cast<ProgramLibrary::Main *>(library.resolve(ProgramLibrary::mainSymbol));
    if (!programMain) {
        std::fprintf(stderr, "vendrix: %s\n", qPrintable(library.errorString()));
        return 1;
    }
    return programMain(argc, argv);
}

}

int main(int argc, char *argv[])
{
    ProcessMemory::keepFreedBuffers();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    const CommandLine::Commands commands = CommandLine::coreCommands();
    if (CommandLine::asksOnlyVersion(arguments))
        return CommandLine::runProcess(commands, arguments, argc, argv);
    if (CommandLine::startsWithCommand(commands, arguments)) {
        // These commands read and write whole documents in one burst of allocations;
        // the others (publishing, profiles) keep the allocator as it was measured for them.
        ProcessMemory::growHeapForCommand();
        return CommandLine::runProcess(commands, arguments, argc, argv);
    }
    return runProgramLibrary(argc, argv);
}
