#pragma once

#include <QStringList>

#include <cstdio>
#include <vector>

class QTextStream;
namespace PageCheck {
struct Finding;
}

// The commands that run without a display. Each command is selected by its option
// ("--dump FILE"), wherever it stands among the arguments, and parses the rest itself.
namespace CommandLine {

struct Command
{
    const char *option;   // "--dump"
    const char *synopsis; // "--dump FILE"
    const char *summary;
    int (*run)(const QStringList &arguments, QTextStream &out, QTextStream &err);
    // The command works in the program folder, so it is handed "--data-dir DIR" (last
    // among its arguments) when one was given; other commands accept the option and
    // never see it.
    bool usesProgramFolder = false;
};

using Commands = std::vector<const Command *>;

// Every command of the program.
Commands allCommands();

// The commands that need nothing beyond Qt Core (documents and their HTML): the
// executable runs them without loading the rest of the program.
Commands coreCommands();

// True when the arguments (without the program name) ask for a command-line command,
// --help or --version.
bool isCommand(const Commands &commands, const QStringList &arguments);
inline bool isCommand(const QStringList &arguments) { return isCommand(allCommands(), arguments); }

// True when the arguments name a command, not only --help or --version: only the
// commands need the application object.
bool namesCommand(const Commands &commands, const QStringList &arguments);
inline bool namesCommand(const QStringList &arguments) { return namesCommand(allCommands(), arguments); }

// True when the first argument is one of the commands. Which command runs is the
// first one named, so such arguments run the same among a wider set of commands.
bool startsWithCommand(const Commands &commands, const QStringList &arguments);

// True when every argument is --version.
bool asksOnlyVersion(const QStringList &arguments);

// Runs the command; returns the process exit code (0 success, 1 failure, 2 bad usage).
int run(const Commands &commands, const QStringList &arguments, QTextStream &out, QTextStream &err);
inline int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    return run(allCommands(), arguments, out, err);
}

// Runs the arguments' command, --version or --help as the whole process, on standard
// output and error; returns the exit code.
int runProcess(const Commands &commands, const QStringList &arguments, int &argc, char **argv);

// Ends a command's output: flushes out and the stream under it. Output that could not
// be written (a full disk, a closed pipe) turns success into failure (1), with the
// reason on err; otherwise, and for a command that failed already, returns exitCode.
int finish(int exitCode, QTextStream &out, std::FILE *stream, QTextStream &err);

// Commands of each topic, defined beside their handlers.
extern const Command documentCommands[];
extern const int documentCommandCount;
extern const Command htmlCommands[];
extern const int htmlCommandCount;
extern const Command uploadCommands[];
extern const int uploadCommandCount;
extern const Command checkCommands[];
extern const int checkCommandCount;

// The findings of a page check, one line each: "FILE: error: ROW: message [code]".
void printFindings(QTextStream &out, const QString &file, const QList<PageCheck::Finding> &findings);

}
