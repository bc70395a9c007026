#include "commandline.h"
#include "platform/programfolder.h"
#include "processmemory.h"
#include "programlibrary.h"

#include <QCoreApplication>
#include <QLibrary>

#include <cstdio>

namespace {

// The folder of the executable as Qt finds it on every platform.
QString executableFolder(int &argc, char **argv)
{
    // The libraries make the application objects they need; this one only finds the
    // folder.
    QCoreApplication probe(argc, argv);
    return QCoreApplication::applicationDirPath();
}

// Loads one of the program's libraries beside or below the executable and hands it the
// arguments; a library that cannot be loaded is reported with the loader's reason.
int runLibrary(const QString &folder, const char *name, const char *symbol, int &argc, char **argv)
{
    QLibrary library(ProgramFolder::privateLibrary(folder, QLatin1StringView(name)));
    auto *libraryMain = reinterpret_cast<ProgramLibrary::Main *>(library.resolve(symbol));
    if (!libraryMain) {
        std::fprintf(stderr, "vendrix: %s\n", qPrintable(library.errorString()));
        return 1;
    }
    return libraryMain(argc, argv);
}

// False when the arguments are only what the window takes (a document, --no-splash,
// --data-dir): they name no command, and the commands library need not be asked.
bool mayNameCommand(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--data-dir")
            ++i;
        else if (argument.startsWith(u'-') && argument != u"--no-splash" && !argument.startsWith(u"--data-dir="))
            return true;
    }
    return false;
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
    const QString folder = executableFolder(argc, argv);
    if (mayNameCommand(arguments)) {
        const int exitCode = runLibrary(folder, ProgramLibrary::commandsName, ProgramLibrary::commandsMainSymbol, argc, argv);
        if (exitCode != ProgramLibrary::notACommand)
            return exitCode;
    }
    return runLibrary(folder, ProgramLibrary::name, ProgramLibrary::mainSymbol, argc, argv);
}
