#include "commandline.h"
#include "programlibrary.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int vendrixCommandsMain(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!CommandLine::isCommand(arguments))
        return ProgramLibrary::notACommand;
    return CommandLine::runProcess(CommandLine::allCommands(), arguments, argc, argv);
}

// The executable finds the entry point by name: it must keep the type it expects.
static_assert(std::is_same_v<decltype(vendrixCommandsMain), ProgramLibrary::Main>);
