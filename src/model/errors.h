#pragma once

#include <QString>
#include <exception>

// Base of the core's typed errors: each carries the user-facing text.
class VendrixError : public std::exception
{
public:
    explicit VendrixError(QString message)
        : mMessage(std::move(message)), mUtf8(mMessage.toUtf8())
    {
    }
    const QString &message() const noexcept { return mMessage; }
    const char *what() const noexcept override { return mUtf8.constData(); }

private:
    QString mMessage;
    QByteArray mUtf8;
};

// A component stream that is malformed or does not fit the classes read from it.
class StreamError : public VendrixError
{
public:
    using VendrixError::VendrixError;
};

// Text that should have been an integer: "'%s' is not a valid integer value".
class ConvertError : public VendrixError
{
public:
    explicit ConvertError(const QString &text)
        : VendrixError(QStringLiteral("'%1' is not a valid integer value").arg(text))
    {
    }
};

// An index outside a list or collection.
class ListIndexError : public VendrixError
{
public:
    explicit ListIndexError(qsizetype index)
        : VendrixError(QStringLiteral("List index out of bounds (%1)").arg(index))
    {
    }
};
