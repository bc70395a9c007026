#include "commandline.h"

#include <QTextStream>

#include <span>
#include <vector>

namespace CommandLine {

namespace {

std::vector<const Command *> allCommands()
{
    std::vector<const Command *> commands;
    for (const Command &c : std::span(documentCommands, size_t(documentCommandCount)))
        commands.push_back(&c);
    for (const Command &c : std::span(htmlCommands, size_t(htmlCommandCount)))
        commands.push_back(&c);
    for (const Command &c : std::span(uploadCommands, size_t(uploadCommandCount)))
        commands.push_back(&c);
    return commands;
}

const Command *findCommand(const QString &option)
{
    for (const Command *c : allCommands()) {
        if (option == QLatin1StringView(c->option))
            return c;
    }
    return nullptr;
}

void printHelp(QTextStream &out)
{
    out << "Usage: vendrix [--data-dir DIR] [--no-splash] [DOCUMENT]\n"
           "       vendrix COMMAND ...\n\n"
           "Without a command, the page builder window opens, with DOCUMENT (a page\n"
           "document .vxf or template .vxt) when one is given.\n\n"
           "Commands (they never open a window):\n";
    for (const Command *c : allCommands())
        out << "  " << QString::fromLatin1(c->synopsis).leftJustified(34) << ' ' << c->summary << '\n';
    out << "  " << QStringLiteral("--help").leftJustified(34) << " Show this text\n";
}

}

bool isCommand(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    const QString &first = arguments.first();
    return first == u"--help" || first == u"-h" || findCommand(first) != nullptr;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty() || arguments.first() == u"--help" || arguments.first() == u"-h") {
        printHelp(out);
        return 0;
    }
    const Command *command = findCommand(arguments.first());
    if (!command) {
        err << "vendrix: unknown command " << arguments.first() << "\n";
        printHelp(err);
        return 2;
    }
    return command->run(arguments, out, err);
}

}
