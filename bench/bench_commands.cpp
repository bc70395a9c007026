#include "benchpages.h"
#include "benchregistry.h"

#include "model/componentstream.h"
#include "model/pagelette.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>

namespace {

struct ProcessTime
{
    double wallMs = -1;
    double cpuMs = -1;
};

double cpuMs(const rusage &usage)
{
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// One whole process, output thrown away; the processor time is that of the child just
// reaped. -1 when it did not end well.
ProcessTime runOnce(const QString &program, const QStringList &arguments)
{
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    const double wall = timer.nsecsElapsed() / 1e6;
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    return {wall, cpuMs(after) - cpuMs(before)};
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

// What the HTML export of a large page costs beyond starting the program, against
// reading and hashing the same file: --version, --export-html and md5sum take turns, so
// a busy machine slows them alike; medians, and the median of each turn's ratio.
void exportAgainstHash(QTextStream &out)
{
    const QString md5sum = QStandardPaths::findExecutable(QStringLiteral("md5sum"));
    if (md5sum.isEmpty()) {
        out << "md5sum is not installed\n";
        return;
    }
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("page.vxf"));
    TPagelette page;
    Bench::fillMixedPage(page, 10000);
    if (!ComponentWriter().write(document, page)) {
        out << "cannot write the page document\n";
        return;
    }
    const QString program = QStringLiteral(VENDRIX_EXECUTABLE);
    const QStringList version = {QStringLiteral("--version")};
    const QStringList exportHtml = {QStringLiteral("--export-html"), document, QStringLiteral("-o"),
                                    dir.filePath(QStringLiteral("page.html")), QStringLiteral("--data-dir"), dir.path()};
    QList<double> versionCpu, versionWall, exportCpu, exportWall, hashCpu, hashWall, cpuRatios, wallRatios;
    for (int turn = 0; turn < 12; ++turn) {
        const ProcessTime v = runOnce(program, version);
        const ProcessTime e = runOnce(program, exportHtml);
        const ProcessTime h = runOnce(md5sum, {document});
        if (v.wallMs < 0 || e.wallMs < 0 || h.wallMs < 0) {
            out << "a command failed\n";
            return;
        }
        // The first turn warms the caches.
        if (turn == 0)
            continue;
        versionCpu << v.cpuMs;
        versionWall << v.wallMs;
        exportCpu << e.cpuMs;
        exportWall << e.wallMs;
        hashCpu << h.cpuMs;
        hashWall << h.wallMs;
        cpuRatios << (e.cpuMs - v.cpuMs) / qMax(h.cpuMs, 1.0);
        wallRatios << (e.wallMs - v.wallMs) / h.wallMs;
    }
    out << QStringLiteral("  whole processes, medians of 11 in turns, processor / wall ms: --version %1 / %2, "
                          "--export-html of the 10000-item page %3 / %4, md5sum of it %5 / %6\n")
               .arg(median(versionCpu), 0, 'f', 1)
               .arg(median(versionWall), 0, 'f', 1)
               .arg(median(exportCpu), 0, 'f', 1)
               .arg(median(exportWall), 0, 'f', 1)
               .arg(median(hashCpu), 0, 'f', 1)
               .arg(median(hashWall), 0, 'f', 1)
        << QStringLiteral("  (--export-html - --version) / md5sum: processor %1, wall %2 (target: at most 4)\n")
               .arg(median(cpuRatios), 0, 'f', 2)
               .arg(median(wallRatios), 0, 'f', 2);
}

}

VENDRIX_BENCH("commands: --export-html of a large page beyond start-up, against md5sum", exportAgainstHash)
