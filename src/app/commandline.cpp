#include "commandline.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace CommandLine {

namespace {

const Command *findCommand(const Commands &commands, const QString &option)
{
    for (const Command *c : commands) {
        if (option == QLatin1StringView(c->option))
            return c;
    }
    return nullptr;
}

bool isHelp(const QString &argument)
{
    return argument == u"--help" || argument == u"-h";
}

bool isVersion(const QString &argument)
{
    return argument == u"--version";
}

// Where the command's option stands among the arguments; -1 when there is none.
qsizetype commandIndex(const Commands &commands, const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (findCommand(commands, arguments[i]))
            return i;
    }
    return -1;
}

// Takes every "--data-dir DIR" and "--data-dir=DIR" out of the arguments; the last one
// given counts. False when the option lacks its folder.
bool takeDataDir(QStringList &arguments, QString &dataDir, QTextStream &err)
{
    static const QString option = QStringLiteral("--data-dir");
    for (qsizetype i = 0; i < arguments.size();) {
        const QString &a = arguments[i];
        if (a == option) {
            if (i + 1 >= arguments.size()) {
                err << "vendrix: --data-dir needs a value\n";
                return false;
            }
            dataDir = arguments[i + 1];
            arguments.remove(i, 2);
        } else if (a.startsWith(option + u'=')) {
            dataDir = a.mid(option.size() + 1);
            arguments.remove(i);
        } else {
            ++i;
        }
    }
    return true;
}

void printHelp(const Commands &commands, QTextStream &out)
{
    out << "Usage: vendrix [--data-dir DIR] [--no-splash] [DOCUMENT]\n"
           "       vendrix COMMAND ... [--data-dir DIR]\n\n"
           "Without a command, the page builder window opens, with DOCUMENT (a page\n"
           "document .vxf or template .vxt) when one is given.\n\n"
           "Commands (they never open a window):\n";
    for (const Command *c : commands)
        out << "  " << QString::fromLatin1(c->synopsis).leftJustified(34) << ' ' << c->summary << '\n';
    out << "  " << QStringLiteral("--version").leftJustified(34) << " Show the program's version\n";
    out << "  " << QStringLiteral("--help").leftJustified(34) << " Show this text\n";
    out << "\nOptions may stand before or after the command. --data-dir DIR names the program\n"
           "folder (pages, templates, pictures) for every command.\n";
}

}

Commands coreCommands()
{
    Commands commands;
    for (const Command &c : std::span(documentCommands, size_t(documentCommandCount)))
        commands.push_back(&c);
    for (const Command &c : std::span(htmlCommands, size_t(htmlCommandCount)))
        commands.push_back(&c);
    return commands;
}

bool isCommand(const Commands &commands, const QStringList &arguments)
{
    return std::any_of(arguments.begin(), arguments.end(), [](const QString &a) { return isHelp(a) || isVersion(a); })
        || commandIndex(commands, arguments) >= 0;
}

bool namesCommand(const Commands &commands, const QStringList &arguments)
{
    return commandIndex(commands, arguments) >= 0;
}

bool startsWithCommand(const Commands &commands, const QStringList &arguments)
{
    return !arguments.isEmpty() && findCommand(commands, arguments.first());
}

bool asksOnlyVersion(const QStringList &arguments)
{
    return !arguments.isEmpty() && std::all_of(arguments.begin(), arguments.end(), isVersion);
}

int run(const Commands &commands, const QStringList &givenArguments, QTextStream &out, QTextStream &err)
{
    QStringList arguments = givenArguments;
    QString dataDir;
    if (commandIndex(commands, arguments) >= 0 && !takeDataDir(arguments, dataDir, err))
        return 2;
    const qsizetype at = commandIndex(commands, arguments);
    if (at < 0) {
        if (std::any_of(arguments.begin(), arguments.end(), isVersion)) {
            out << "vendrix " << VENDRIX_VERSION << '\n';
            return 0;
        }
        if (arguments.isEmpty() || std::any_of(arguments.begin(), arguments.end(), isHelp)) {
            printHelp(commands, out);
            return 0;
        }
        err << "vendrix: unknown command " << arguments.first() << "\n";
        printHelp(commands, err);
        return 2;
    }
    // Each command reads its own operands right after it and its options in any
    // order, so options given before the command go behind everything else:
    // "--verbose --profiles" runs as "--profiles --verbose".
    const Command &command = *findCommand(commands, arguments[at]);
    QStringList ordered = arguments.mid(at);
    ordered += arguments.first(at);
    if (command.usesProgramFolder && !dataDir.isEmpty())
        ordered << QStringLiteral("--data-dir") << dataDir;
    return command.run(ordered, out, err);
}

int finish(int exitCode, QTextStream &out, std::FILE *stream, QTextStream &err)
{
    out.flush();
    const bool textWritten = out.status() == QTextStream::Ok;
    const QString textReason = out.device() ? out.device()->errorString() : QString();
    errno = 0;
    const bool flushed = std::fflush(stream) == 0 && !std::ferror(stream);
    const int error = errno;
    // A command that failed has said why already.
    if ((textWritten && flushed) || exitCode != 0)
        return exitCode;
    const QString reason = error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                         : !textReason.isEmpty() ? textReason
                                                 : QStringLiteral("write error");
    err << "vendrix: cannot write to standard output: " << reason << "\n";
    err.flush();
    return 1;
}

int runProcess(const Commands &commands, const QStringList &arguments, int &argc, char **argv)
{
    // The version and the help are fixed texts: only the commands pay for the
    // application object (locale, paths, event dispatcher).
    std::optional<QCoreApplication> app;
    if (namesCommand(commands, arguments))
        app.emplace(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return finish(run(commands, arguments, out, err), out, stdout, err);
}

}
