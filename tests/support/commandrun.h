#pragma once

#include "commandline.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// What one run of the command line returned and printed.
struct CommandRun
{
    int exitCode;
    QString out;
    QString err;
};

inline CommandRun runCommandLine(const QStringList &arguments)
{
    CommandRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.exitCode = CommandLine::run(arguments, out, err);
    out.flush();
    err.flush();
    return result;
}
