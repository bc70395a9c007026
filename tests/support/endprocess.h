#pragma once

#include <QProcess>

// Asks a test's server to end (SIGTERM) and kills it when it has not within three
// seconds, so that no test leaves a server behind.
inline void endProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}
