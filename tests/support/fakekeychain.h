#pragma once

#include "platform/keychain.h"

#include <QHash>

// A keychain in memory. With failWith set to anything but Done, every call fails so,
// as a locked, dismissed, silent or missing keychain would.
class FakeKeychain : public Keychain
{
public:
    QHash<QString, QString> entries;
    Status failWith = Status::Done;

    Result read(const QString &key) override
    {
        if (failWith != Status::Done)
            return failure();
        const auto found = entries.constFind(key);
        return found == entries.cend() ? Result{Status::NotFound, QString(), QString()} : Result{Status::Done, *found, QString()};
    }
    Result write(const QString &key, const QString &secret) override
    {
        if (failWith != Status::Done)
            return failure();
        entries.insert(key, secret);
        return {};
    }
    Result remove(const QString &key) override
    {
        if (failWith != Status::Done)
            return failure();
        entries.remove(key);
        return {};
    }

private:
    Result failure() const { return {failWith, QString(), QStringLiteral("scripted failure")}; }
};
