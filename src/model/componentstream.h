#pragma once

#include "persistent.h"

#include "platform/boundedread.h"
#include "platform/safewrite.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

// The classes a stream may name as its root, by class name. Each reader is given the
// classes it accepts: page documents know TPagelette, the theme store TWebTheme, and
// the standard registry (themes/streamclasses.h) both.
class ClassRegistry
{
public:
    using Factory = std::unique_ptr<TComponent> (*)();

    void registerClass(QLatin1StringView className, Factory factory);
    template <class T>
    void registerClass()
    {
        registerClass(T::staticClassInfo().className, []() -> std::unique_ptr<TComponent> { return std::make_unique<T>(); });
    }
    // The factory for that class name (letters A to Z compared without case), or nullptr.
    Factory find(QLatin1StringView className) const;

private:
    std::vector<std::pair<QLatin1StringView, Factory>> mClasses;
};

// Receives an object's published properties in stream order, with the rules of the
// writer applied: every Boolean, enumeration and integer, strings only when not empty,
// string lists only when they hold a line, collections always, and the properties of
// object-valued properties under dotted names ("HeadingBlock.Heading").
class PropertyVisitor
{
public:
    virtual ~PropertyVisitor() = default;
    // Names are the ASCII property names, dotted for the properties of blocks.
    virtual void ordinal(QLatin1StringView name, const PropertyInfo &property, qint64 value) = 0;
    virtual void string(QLatin1StringView name, const QString &value) = 0;
    virtual void stringList(QLatin1StringView name, const QStringList &lines) = 0;
    virtual void beginCollection(QLatin1StringView name) = 0;
    virtual void beginItem(int index) = 0;
    virtual void endItem() = 0;
    virtual void endCollection() = 0;
};

// Walks the properties of an object (reading object-valued properties creates them).
void visitProperties(TPersistent &object, PropertyVisitor &visitor);
// As visitProperties, preceded by the inherited Name and Tag where they are written.
void visitComponent(TComponent &root, PropertyVisitor &visitor);

// Writes components as "TPF0" streams.
class ComponentWriter
{
public:
    static QByteArray toBytes(TComponent &root);

    // False, with the reason in errorString(), when the device refuses the bytes.
    bool write(QIODevice *device, TComponent &root);
    // Replaces the file atomically: a failed save leaves the previous file intact. A
    // link at the path is followed for the user's own files, replaced for the
    // program's (see SafeWrite::Owner).
    bool write(const QString &fileName, TComponent &root, SafeWrite::Owner owner = SafeWrite::Owner::User);
    QString errorString() const { return mError; }

    // As write(fileName), telling a file that could not be created from one that could
    // not be written; the reason goes to *error. The stream goes to the file in blocks.
    static SafeWrite::Result replaceFile(const QString &fileName, TComponent &root, QString *error = nullptr,
                                         SafeWrite::Owner owner = SafeWrite::Owner::User);

private:
    QString mError;
};

// Reads a "TPF0" stream into a new object of a registered class. Every length is
// checked against the bytes there; anything malformed is a stream error.
class ComponentReader
{
public:
    explicit ComponentReader(const ClassRegistry &registry);

    // The object read, or nullptr with the reason in errorString().
    std::unique_ptr<TComponent> read(const QByteArray &bytes);
    std::unique_ptr<TComponent> read(QIODevice *device);
    // Only a regular file of at most limit bytes is read.
    std::unique_ptr<TComponent> read(const QString &fileName, qint64 limit = BoundedRead::defaultLimit);
    QString errorString() const { return mError; }

    // As read(bytes), but raises StreamError.
    std::unique_ptr<TComponent> readOrThrow(const QByteArray &bytes) const;

private:
    const ClassRegistry &mRegistry;
    QString mError;
};

// One "Path=Value" line per property of the object, in stream order: Booleans as
// True/False, enumerations by identifier, integers in decimal, strings with \\, \r,
// \n and \t escaped, string lists as their lines joined by \n.
QStringList dumpProperties(TComponent &root);
