#pragma once

#include "upload/ftpclient.h"

#include <QStringList>
#include <QTest>

// Listens to every signal of a client and checks the rules they keep: none is
// emitted inside a call into the client, and every request completes exactly once.
class FtpProbe
{
public:
    explicit FtpProbe(TFtpClient &ftp)
        : mFtp(ftp)
    {
        auto note = [this](const QString &event) {
            if (mInsideCall)
                signalsInsideCalls.append(event);
            events.append(event);
        };
        QObject::connect(&ftp, &TFtpClient::OnRequestDone, &ftp, [this, note](TFtpRequest request, quint16 error) {
            note(QStringLiteral("done %1 %2").arg(int(request)).arg(error));
            done.append({request, error});
        });
        QObject::connect(&ftp, &TFtpClient::OnProgress, &ftp, [this, note](qint64 count, bool &abort) {
            note(QStringLiteral("progress %1").arg(count));
            progress.append(count);
            abort = abortAt >= 0 && count >= abortAt;
        });
        QObject::connect(&ftp, &TFtpClient::OnDisplay, &ftp, [this, note](QString &message) {
            note(QStringLiteral("display ") + message);
            trace.append(message);
        });
        QObject::connect(&ftp, &TFtpClient::OnCommand, &ftp, [note](QString &command) { note(QStringLiteral("command ") + command); });
        QObject::connect(&ftp, &TFtpClient::OnResponse, &ftp, [note] { note(QStringLiteral("response")); });
        QObject::connect(&ftp, &TFtpClient::OnSessionConnected, &ftp, [note](quint16 e) { note(QStringLiteral("connected %1").arg(e)); });
        QObject::connect(&ftp, &TFtpClient::OnSessionClosed, &ftp, [note](quint16 e) { note(QStringLiteral("closed %1").arg(e)); });
        QObject::connect(&ftp, &TFtpClient::OnStateChange, &ftp, [note] { note(QStringLiteral("state")); });
        QObject::connect(&ftp, &TFtpClient::OnReadyToTransmit, &ftp, [note](bool &) { note(QStringLiteral("ready to transmit")); });
        QObject::connect(&ftp, &TFtpClient::OnBgException, &ftp, [this, note](const QString &message, bool &) {
            note(QStringLiteral("exception ") + message);
            exceptions.append(message);
        });
    }

    // Runs a call into the client; a refusal comes back as its text, else empty.
    template <class F>
    QString call(F &&f)
    {
        mInsideCall = true;
        QString refusal;
        try {
            f();
        } catch (const FtpException &e) {
            refusal = e.message();
        }
        mInsideCall = false;
        return refusal;
    }

    // Starts a request and waits for its completion; the error, or -1 on a refusal or
    // when no completion came within the time.
    int run(void (TFtpClient::*request)(), int milliseconds = 10000)
    {
        const qsizetype before = done.size();
        if (!call([&] { (mFtp.*request)(); }).isEmpty())
            return -1;
        if (!QTest::qWaitFor([&] { return done.size() > before; }, milliseconds))
            return -1;
        return done.last().second;
    }

    QStringList commandsSent() const
    {
        QStringList commands;
        for (const QString &line : trace) {
            if (line.startsWith(QStringLiteral("> ")))
                commands.append(line.mid(2));
        }
        return commands;
    }

    QStringList events;
    QStringList signalsInsideCalls;
    QStringList trace;
    QStringList exceptions;
    QList<QPair<TFtpRequest, int>> done;
    QList<qint64> progress;
    qint64 abortAt = -1;

private:
    TFtpClient &mFtp;
    bool mInsideCall = false;
};
