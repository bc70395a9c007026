#pragma once

#include <QByteArray>
#include <QString>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Makes every write past `limit` bytes of a file fail in this process the way a full
// disk does: the write returns an error instead of SIGXFSZ killing the process.
// Needs no privileges; meant for a child process (see runWithFileSizeLimit).
inline void limitFileSize(rlim_t limit)
{
    const struct rlimit r{limit, limit};
    setrlimit(RLIMIT_FSIZE, &r);
    signal(SIGXFSZ, SIG_IGN);
}

// Runs body in a forked child with the file-size limit and returns the text body
// returned; "<child died>" when the child did not exit normally.
inline QString runWithFileSizeLimit(rlim_t limit, const std::function<QString()> &body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return QStringLiteral("<no pipe>");
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        limitFileSize(limit);
        const QByteArray answer = body().toUtf8();
        qsizetype done = 0;
        while (done < answer.size()) {
            const ssize_t n = ::write(channel[1], answer.constData() + done, size_t(answer.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        _exit(0);
    }
    close(channel[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("<child died>");
    return QString::fromUtf8(answer);
}
