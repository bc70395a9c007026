#include "componentstream.h"

#include "platform/boundedread.h"
#include "platform/cp1252.h"
#include "platform/safewrite.h"

#include <QBuffer>
#include <QtEndian>

#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

enum ValueTag : quint8 {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaWString = 18,
};

const char kSignature[] = "TPF0";

}

void ClassRegistry::registerClass(QLatin1StringView className, Factory factory)
{
    mClasses.emplace_back(className, factory);
}

ClassRegistry::Factory ClassRegistry::find(QLatin1StringView className) const
{
    for (const auto &[name, factory] : mClasses) {
        if (sameAsciiNameIgnoringCase(name, className))
            return factory;
    }
    return nullptr;
}

namespace {

// path holds the dotted name of the object being visited (empty at the top of an
// object or collection item); it grows and shrinks in place to avoid allocations.
void visitWithPrefix(TPersistent &object, QByteArray &path, PropertyVisitor &visitor)
{
    const qsizetype base = path.size();
    for (const PropertyInfo &property : object.classInfo().properties) {
        path.truncate(base);
        path.append(property.name.data(), property.name.size());
        const QLatin1StringView name(path.constData(), path.size());
        switch (property.type) {
        case PropertyType::Integer:
        case PropertyType::Byte:
        case PropertyType::Boolean:
        case PropertyType::Enumeration:
            visitor.ordinal(name, property, property.ordinal(object));
            break;
        case PropertyType::String: {
            const QString value = property.string(object);
            if (!value.isEmpty())
                visitor.string(name, value);
            break;
        }
        case PropertyType::StringList: {
            const QStringList &lines = property.stringList(object);
            if (!lines.isEmpty())
                visitor.stringList(name, lines);
            break;
        }
        case PropertyType::Object: {
            // An object not yet created is visited as a new one, without creating it.
            TPersistent *sub = property.existingObject ? property.existingObject(object) : &property.object(object);
            path.append('.');
            visitWithPrefix(sub ? *sub : property.defaultObject(), path, visitor);
            break;
        }
        case PropertyType::Collection: {
            TCollection &collection = property.collection(object);
            visitor.beginCollection(name);
            for (int i = 0; i < collection.Count(); ++i) {
                visitor.beginItem(i);
                QByteArray itemPath;
                visitWithPrefix(collection.item(i), itemPath, visitor);
                visitor.endItem();
            }
            visitor.endCollection();
            break;
        }
        }
    }
    path.truncate(base);
}

// Encodes properties as the tagged values of a component stream into bytes; with a
// device, the bytes go out block by block and the buffer is reused, so a large page is
// never held twice.
class BinaryWriter : public PropertyVisitor
{
public:
    explicit BinaryWriter(QIODevice *device = nullptr)
        : mDevice(device)
    {
        if (mDevice)
            bytes.reserve(kBlock + kBlock / 4);
    }

    QByteArray bytes;

    // Sends what is buffered to the device; false (with the reason in *error) once the
    // device refused any of the stream. Without a device everything stays in bytes.
    bool flush(QString *error)
    {
        if (!mDevice)
            return true;
        if (!mFailed && !bytes.isEmpty())
            mFailed = !SafeWrite::writeAll(mDevice, bytes, &mError);
        bytes.resize(0);
        if (mFailed && error)
            *error = mError;
        return !mFailed;
    }

    void shortString(QLatin1StringView text)
    {
        bytes.append(char(text.size()));
        bytes.append(text.data(), text.size());
    }
    void shortString(const QString &text)
    {
        const QStringView cut = QStringView(text).left(255);
        bytes.append(char(cut.size()));
        Cp1252::encodeTo(cut, appendSpace(cut.size()));
    }

    void integer(qint64 value)
    {
        if (value >= -128 && value <= 127) {
            bytes.append(char(vaInt8)).append(char(qint8(value)));
        } else if (value >= -32768 && value <= 32767) {
            bytes.append(char(vaInt16));
            appendLittleEndian(qint16(value));
        } else {
            bytes.append(char(vaInt32));
            appendLittleEndian(qint32(value));
        }
    }

    void stringValue(const QString &value)
    {
        // Windows-1252 has one byte per character, so the header is known before the
        // text is encoded in place; a character it lacks sends the text as UTF-16.
        const qsizetype start = bytes.size();
        if (value.size() <= 255) {
            bytes.append(char(vaString)).append(char(value.size()));
        } else {
            bytes.append(char(vaLString));
            appendLittleEndian(qint32(value.size()));
        }
        if (!Cp1252::encodeTo(value, appendSpace(value.size()))) {
            bytes.truncate(start);
            bytes.append(char(vaWString));
            appendLittleEndian(qint32(value.size()));
            for (const QChar c : value)
                appendLittleEndian(quint16(c.unicode()));
        }
        if (bytes.size() >= kBlock)
            flush(nullptr);
    }

    void ordinal(QLatin1StringView name, const PropertyInfo &property, qint64 value) override
    {
        shortString(name);
        switch (property.type) {
        case PropertyType::Boolean:
            bytes.append(char(value ? vaTrue : vaFalse));
            break;
        case PropertyType::Enumeration:
            bytes.append(char(vaIdent));
            shortString(property.enumType->identifier(value));
            break;
        default:
            integer(value);
            break;
        }
    }
    void string(QLatin1StringView name, const QString &value) override
    {
        shortString(name);
        stringValue(value);
    }
    void stringList(QLatin1StringView name, const QStringList &lines) override
    {
        const QByteArray listName = QByteArray(name.data(), name.size()) + ".Strings";
        shortString(QLatin1StringView(listName));
        bytes.append(char(vaList));
        for (const QString &line : lines)
            stringValue(line);
        bytes.append(char(vaNull));
    }
    void beginCollection(QLatin1StringView name) override
    {
        shortString(name);
        bytes.append(char(vaCollection));
    }
    void beginItem(int) override { bytes.append(char(vaList)); }
    void endItem() override
    {
        bytes.append(char(vaNull));
        if (bytes.size() >= kBlock)
            flush(nullptr);
    }
    void endCollection() override { bytes.append(char(vaNull)); }

private:
    // The size of the blocks written to a device.
    static constexpr qsizetype kBlock = 256 * 1024;

    char *appendSpace(qsizetype count)
    {
        const qsizetype at = bytes.size();
        bytes.resize(at + count);
        return bytes.data() + at;
    }

    template <class T>
    void appendLittleEndian(T value)
    {
        const T le = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&le), sizeof le);
    }

    QIODevice *mDevice;
    bool mFailed = false;
    QString mError;
};

void writeStream(BinaryWriter &writer, TComponent &root)
{
    writer.bytes.append(kSignature, 4);
    writer.shortString(root.classInfo().className);
    writer.shortString(root.Name);
    visitComponent(root, writer);
    writer.bytes.append(char(vaNull)); // end of properties
    writer.bytes.append(char(vaNull)); // no child objects
}

}

void visitProperties(TPersistent &object, PropertyVisitor &visitor)
{
    QByteArray path;
    visitWithPrefix(object, path, visitor);
}

void visitComponent(TComponent &root, PropertyVisitor &visitor)
{
    const std::span<const PropertyInfo> inherited = TComponent::inheritedClassInfo().properties;
    if (root.NameStreamed && !root.Name.isEmpty())
        visitor.string(inherited[0].name, root.Name);
    if (root.TagStreamed && root.Tag != 0)
        visitor.ordinal(inherited[1].name, inherited[1], root.Tag);
    visitProperties(root, visitor);
}

QByteArray ComponentWriter::toBytes(TComponent &root)
{
    BinaryWriter writer;
    writeStream(writer, root);
    return writer.bytes;
}

bool ComponentWriter::write(QIODevice *device, TComponent &root)
{
    BinaryWriter writer(device);
    writeStream(writer, root);
    if (!writer.flush(&mError))
        return false;
    mError.clear();
    return true;
}

SafeWrite::Result ComponentWriter::replaceFile(const QString &fileName, TComponent &root, QString *error, SafeWrite::Owner owner)
{
    return SafeWrite::replaceFile(
        fileName,
        [&root](QIODevice *device, QString *reason) {
            BinaryWriter writer(device);
            writeStream(writer, root);
            return writer.flush(reason);
        },
        error, owner);
}

bool ComponentWriter::write(const QString &fileName, TComponent &root, SafeWrite::Owner owner)
{
    if (replaceFile(fileName, root, &mError, owner) != SafeWrite::Result::Written)
        return false;
    mError.clear();
    return true;
}

namespace {

// The file under a stream could not be read on: the reason is the file's, not the
// stream's.
struct ReadFailure
{
    BoundedRead::Result result;
    QString reason;
};

// Reads tagged values from bytes in memory or from a file read window by window; every
// read is checked against what is left. A view that a read returns stays valid until
// the next read.
class StreamParser
{
public:
    explicit StreamParser(const QByteArray &bytes)
        : mCur(bytes.constData()), mEnd(bytes.constData() + bytes.size())
    {
    }
    explicit StreamParser(BoundedRead::FileWindow &file)
        : mFile(&file), mCur(file.data()), mEnd(file.data() + file.available())
    {
    }

    [[noreturn]] static void fail(const QString &reason) { throw StreamError(reason); }

    qint64 left()
    {
        if (!mFile)
            return mEnd - mCur;
        mFile->consume(mCur - mFile->data());
        mCur = mFile->data();
        return mFile->left();
    }

    quint8 byte()
    {
        if (mCur == mEnd)
            need(1);
        return quint8(*mCur++);
    }
    quint8 peek()
    {
        if (mCur == mEnd)
            need(1);
        return quint8(*mCur);
    }

    QByteArrayView take(qint64 count)
    {
        if (count < 0)
            fail(QStringLiteral("Invalid length in stream"));
        if (count > mEnd - mCur)
            need(count);
        const QByteArrayView view(mCur, qsizetype(count));
        mCur += count;
        return view;
    }

    template <class T>
    T little()
    {
        const QByteArrayView raw = take(sizeof(T));
        return qFromLittleEndian<T>(raw.data());
    }

    QLatin1StringView shortString()
    {
        const QByteArrayView raw = take(byte());
        return QLatin1StringView(raw.data(), raw.size());
    }

    void expectSignature()
    {
        if (left() < 4 || take(4) != QByteArrayView(kSignature, 4))
            fail(QStringLiteral("Invalid stream format"));
    }

    // An integer value of tag 2, 3 or 4; nullopt (nothing consumed) for any other tag.
    std::optional<qint64> integerValue()
    {
        switch (peek()) {
        case vaInt8:
            byte();
            return qint8(byte());
        case vaInt16:
            byte();
            return little<qint16>();
        case vaInt32:
            byte();
            return little<qint32>();
        default:
            return std::nullopt;
        }
    }

    QString stringValue(quint8 tag)
    {
        switch (tag) {
        case vaString:
            return Cp1252::decode(take(byte()));
        case vaLString:
            return Cp1252::decode(take(little<qint32>()));
        case vaWString: {
            const qint32 count = little<qint32>();
            if (count < 0 || qint64(count) > left() / 2)
                fail(QStringLiteral("Invalid length in stream"));
            const QByteArrayView raw = take(qint64(count) * 2);
            QString text(count, Qt::Uninitialized);
            for (qint32 i = 0; i < count; ++i)
                text[i] = QChar(qFromLittleEndian<quint16>(raw.data() + 2 * i));
            return text;
        }
        default:
            fail(QStringLiteral("Invalid property value"));
        }
    }

private:
    // Makes count bytes readable at mCur, reading on in the file when there is one.
    void need(qint64 count)
    {
        if (count > left())
            fail(QStringLiteral("Unexpected end of stream"));
        if (!mFile)
            return;
        QString reason;
        const BoundedRead::Result result = mFile->fill(qsizetype(count), &reason);
        if (result != BoundedRead::Result::Read)
            throw ReadFailure{result, reason};
        mCur = mFile->data();
        mEnd = mCur + mFile->available();
        if (count > mEnd - mCur)
            fail(QStringLiteral("Unexpected end of stream"));
    }

    BoundedRead::FileWindow *mFile = nullptr;
    const char *mCur = nullptr;
    const char *mEnd = nullptr;
};

class ObjectReader
{
public:
    ObjectReader(StreamParser &in, TComponent &root)
        : mIn(in), mRoot(root)
    {
    }

    void readRoot() { readProperties(mRoot); }

    void readProperties(TPersistent &object)
    {
        for (QLatin1StringView name = mIn.shortString(); !name.isEmpty(); name = mIn.shortString())
            readProperty(object, name);
    }

private:
    // Items of a collection repeat the same names in the same order, so a name read
    // before is known by its bytes alone; the first reading of a name resolves it by
    // the class tables.
    void readProperty(TPersistent &object, QLatin1StringView path)
    {
        if (&object == &mRoot) {
            readPath(object, path);
            return;
        }
        const ClassInfo &info = object.classInfo();
        if (const KnownName *known = recall(info, path)) {
            readResolved(object, known->step, *known->leaf);
            return;
        }
        const qsizetype dot = dotIn(path);
        if (dot < 0) {
            const PropertyInfo &leaf = property(object, path, path);
            remember(info, path, nullptr, leaf);
            readValue(object, leaf);
            return;
        }
        const QLatin1StringView rest = path.sliced(dot + 1);
        const PropertyInfo &step = property(object, path.first(dot), path);
        if (step.type != PropertyType::Object || dotIn(rest) >= 0) {
            readPath(object, path);
            return;
        }
        const TPersistent &sub = step.existingObject ? step.defaultObject() : step.object(object);
        const PropertyInfo &leaf = property(sub, rest, path);
        remember(info, path, &step, leaf);
        readResolved(object, &step, leaf);
    }

    // A name resolved before: the object-valued property it steps into (nullptr for
    // none) and the property it names.
    struct KnownName
    {
        const ClassInfo *owner;
        QByteArray name;
        const PropertyInfo *step;
        const PropertyInfo *leaf;
    };

    const KnownName *recall(const ClassInfo &info, QLatin1StringView name)
    {
        const size_t count = mKnown.size();
        for (size_t k = 0; k < count; ++k) {
            const size_t at = (mNextKnown + k) % count;
            const KnownName &known = mKnown[at];
            if (known.owner == &info && known.name.size() == name.size()
                && memcmp(known.name.constData(), name.data(), size_t(name.size())) == 0) {
                mNextKnown = at + 1;
                return &known;
            }
        }
        return nullptr;
    }

    void remember(const ClassInfo &info, QLatin1StringView name, const PropertyInfo *step, const PropertyInfo &leaf)
    {
        // Names differing only in case are each remembered; a stream of endless
        // variants is read on by the tables alone.
        if (mKnown.size() < kMaxKnownNames)
            mKnown.push_back({&info, QByteArray(name.data(), name.size()), step, &leaf});
    }

    void readResolved(TPersistent &object, const PropertyInfo *step, const PropertyInfo &leaf)
    {
        if (!step)
            readValue(object, leaf);
        else if (step->existingObject && !step->existingObject(object))
            readIntoAbsent(object, *step, leaf);
        else
            readValue(step->object(object), leaf);
    }

    void readPath(TPersistent &object, QLatin1StringView path)
    {
        TPersistent *target = &object;
        QLatin1StringView rest = path;
        for (qsizetype dot = dotIn(rest); dot >= 0; dot = dotIn(rest)) {
            const PropertyInfo &step = property(*target, rest.left(dot), path);
            rest = rest.mid(dot + 1);
            if (step.type == PropertyType::StringList) {
                // A string list stores its lines under its own "Strings" name.
                if (!sameAsciiNameIgnoringCase(rest, "Strings"_L1))
                    StreamParser::fail(QStringLiteral("Invalid property path %1").arg(path));
                readStringList(step.stringList(*target));
                return;
            }
            if (step.type != PropertyType::Object)
                StreamParser::fail(QStringLiteral("Invalid property path %1").arg(path));
            target = &step.object(*target);
        }
        if (target == &mRoot && readInherited(rest))
            return;
        readValue(*target, property(*target, rest, path));
    }

    // A value of an object that is created on first use and has not been: a value
    // that a new object holds already creates nothing.
    void readIntoAbsent(TPersistent &owner, const PropertyInfo &step, const PropertyInfo &target)
    {
        TPersistent &defaults = step.defaultObject();
        switch (target.type) {
        case PropertyType::Integer:
        case PropertyType::Byte:
        case PropertyType::Boolean:
        case PropertyType::Enumeration: {
            const qint64 value = ordinalValue(target);
            if (value != target.ordinal(defaults))
                target.setOrdinal(step.object(owner), value);
            return;
        }
        case PropertyType::String: {
            const QString value = stringValue(target);
            if (value != target.string(defaults))
                target.setString(step.object(owner), value);
            return;
        }
        case PropertyType::Collection:
        case PropertyType::StringList:
        case PropertyType::Object:
            break;
        }
        readValue(step.object(owner), target);
    }

    // The value of a string property. Short values (font descriptions, alignments,
    // sizes) repeat from block to block: one equal to the property's last value shares
    // its text instead of being decoded again.
    QString stringValue(const PropertyInfo &property)
    {
        const quint8 tag = mIn.byte();
        if (tag != vaString)
            return mIn.stringValue(tag);
        const QByteArrayView raw = mIn.take(mIn.byte());
        if (raw.size() > kMaxSharedString)
            return Cp1252::decode(raw);
        RecentString &recent = recentOf(property);
        if (recent.raw != raw) {
            recent.raw = raw.toByteArray();
            recent.text = Cp1252::decode(raw);
        }
        return recent.text;
    }

    struct RecentString
    {
        const PropertyInfo *property;
        QByteArray raw;
        QString text;
    };

    RecentString &recentOf(const PropertyInfo &property)
    {
        for (RecentString &recent : mRecent) {
            if (recent.property == &property)
                return recent;
        }
        return mRecent.emplace_back(RecentString{&property, {}, {}});
    }

    // The root's Name and Tag, which every component inherits, unless its class has
    // properties of those names. False when the name is neither.
    bool readInherited(QLatin1StringView name)
    {
        if (mRoot.classInfo().find(name))
            return false;
        const PropertyInfo *inherited = TComponent::inheritedClassInfo().find(name);
        if (!inherited)
            return false;
        readValue(mRoot, *inherited);
        (inherited->type == PropertyType::String ? mRoot.NameStreamed : mRoot.TagStreamed) = true;
        return true;
    }

    static qsizetype dotIn(QLatin1StringView name)
    {
        const void *dot = memchr(name.data(), '.', size_t(name.size()));
        return dot ? static_cast<const char *>(dot) - name.data() : -1;
    }

    const PropertyInfo &property(const TPersistent &object, QLatin1StringView name, QLatin1StringView path)
    {
        const ClassInfo &info = object.classInfo();
        size_t &next = nextIndexOf(info);
        const PropertyInfo *property = info.find(name, next);
        if (!property)
            StreamParser::fail(QStringLiteral("Error reading %1.%2: Property %3 does not exist")
                                   .arg(info.className, path, name));
        next = size_t(property - info.properties.data());
        return *property;
    }

    // Where the next search in a class's table starts: at the property found last,
    // which dotted names repeat, and then the one after it.
    size_t &nextIndexOf(const ClassInfo &info)
    {
        for (auto &[cls, next] : mNext) {
            if (cls == &info)
                return next;
        }
        return mNext.emplace_back(&info, 0).second;
    }

    // The value of an integer, Boolean or enumeration property, checked against its type.
    qint64 ordinalValue(const PropertyInfo &property)
    {
        if (property.type == PropertyType::Integer || property.type == PropertyType::Byte) {
            const std::optional<qint64> value = mIn.integerValue();
            if (!value)
                StreamParser::fail(QStringLiteral("Invalid property value"));
            if (property.type == PropertyType::Byte && (*value < 0 || *value > 255))
                StreamParser::fail(QStringLiteral("Invalid property value"));
            return *value;
        }
        const quint8 tag = mIn.byte();
        QLatin1StringView identifier;
        if (tag == vaFalse)
            identifier = "False"_L1;
        else if (tag == vaTrue)
            identifier = "True"_L1;
        else if (tag == vaIdent)
            identifier = mIn.shortString();
        else
            StreamParser::fail(QStringLiteral("Invalid property value"));
        const int ordinal = property.enumType->ordinalOf(identifier);
        if (ordinal < 0)
            StreamParser::fail(QStringLiteral("Invalid property value"));
        return ordinal;
    }

    void readValue(TPersistent &object, const PropertyInfo &property)
    {
        switch (property.type) {
        case PropertyType::Integer:
        case PropertyType::Byte:
        case PropertyType::Boolean:
        case PropertyType::Enumeration:
            property.setOrdinal(object, ordinalValue(property));
            return;
        case PropertyType::String:
            property.setString(object, stringValue(property));
            return;
        case PropertyType::Collection:
            if (mIn.byte() != vaCollection)
                StreamParser::fail(QStringLiteral("Invalid property value"));
            readCollection(property.collection(object));
            return;
        case PropertyType::StringList:
        case PropertyType::Object:
            break;
        }
        StreamParser::fail(QStringLiteral("Invalid property value"));
    }

    void readStringList(QStringList &lines)
    {
        if (mIn.byte() != vaList)
            StreamParser::fail(QStringLiteral("Invalid property value"));
        QStringList read;
        for (quint8 tag = mIn.byte(); tag != vaNull; tag = mIn.byte())
            read.append(mIn.stringValue(tag));
        lines = read;
    }

    void readCollection(TCollection &collection)
    {
        bool first = true;
        while (mIn.peek() != vaNull) {
            mIn.integerValue(); // an item may carry an index in front of it
            if (mIn.byte() != vaList)
                StreamParser::fail(QStringLiteral("Invalid property value"));
            if (first) {
                collection.clear();
                first = false;
            }
            readProperties(collection.addItem());
        }
        mIn.byte();
    }

    static constexpr size_t kMaxKnownNames = 256;
    static constexpr qsizetype kMaxSharedString = 64;

    StreamParser &mIn;
    TComponent &mRoot;
    std::vector<std::pair<const ClassInfo *, size_t>> mNext;
    std::vector<KnownName> mKnown;
    size_t mNextKnown = 0;
    std::vector<RecentString> mRecent;
};

}

ComponentReader::ComponentReader(const ClassRegistry &registry)
    : mRegistry(registry)
{
}

namespace {

std::unique_ptr<TComponent> readComponent(StreamParser &in, const ClassRegistry &registry)
{
    in.expectSignature();
    if ((in.peek() & 0xF0) == 0xF0) {
        const quint8 flags = in.byte() & 0x0F;
        if ((flags & 0x02) && !in.integerValue())
            StreamParser::fail(QStringLiteral("Invalid stream format"));
    }
    const QLatin1StringView className = in.shortString();
    const ClassRegistry::Factory factory = registry.find(className);
    if (!factory)
        StreamParser::fail(QStringLiteral("Class %1 not found").arg(className));
    std::unique_ptr<TComponent> root = factory();
    root->Name = Cp1252::decode(in.shortString());
    ObjectReader(in, *root).readRoot();
    if (in.byte() != vaNull)
        StreamParser::fail(QStringLiteral("Unexpected child object in stream"));
    // Reading ends with the root object, as the format's own reader does: whatever
    // follows (padding, or bytes another tool appended) is ignored, and not kept when
    // the object is written again.
    return root;
}

}

std::unique_ptr<TComponent> ComponentReader::readOrThrow(const QByteArray &bytes) const
{
    StreamParser in(bytes);
    return readComponent(in, mRegistry);
}

std::unique_ptr<TComponent> ComponentReader::read(const QByteArray &bytes)
{
    try {
        std::unique_ptr<TComponent> root = readOrThrow(bytes);
        mError.clear();
        return root;
    } catch (const StreamError &e) {
        mError = e.message();
    }
    return nullptr;
}

std::unique_ptr<TComponent> ComponentReader::read(QIODevice *device)
{
    QByteArray bytes;
    if (BoundedRead::readAll(device, bytes, &mError) != BoundedRead::Result::Read)
        return nullptr;
    return read(bytes);
}

// The file is parsed as it is read, through one window, rather than mapped: a file cut
// short while it is parsed would otherwise end the program with a bus error.
std::unique_ptr<TComponent> ComponentReader::read(const QString &fileName, qint64 limit)
{
    BoundedRead::FileWindow file(limit);
    QString reason;
    BoundedRead::Result result = file.open(fileName, &reason);
    if (result == BoundedRead::Result::Read) {
        try {
            StreamParser in(file);
            std::unique_ptr<TComponent> root = readComponent(in, mRegistry);
            mError.clear();
            return root;
        } catch (const StreamError &e) {
            mError = e.message();
            return nullptr;
        } catch (const ReadFailure &failure) {
            result = failure.result;
            reason = failure.reason;
        }
    }
    switch (result) {
    case BoundedRead::Result::Read:
        break;
    case BoundedRead::Result::CannotOpen:
        mError = QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason);
        break;
    case BoundedRead::Result::NotAFile:
    case BoundedRead::Result::TooLarge:
    case BoundedRead::Result::ReadFailed:
        mError = QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, reason);
        break;
    }
    return nullptr;
}

namespace {

QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            out += "\\\\"_L1;
            break;
        case u'\r':
            out += "\\r"_L1;
            break;
        case u'\n':
            out += "\\n"_L1;
            break;
        case u'\t':
            out += "\\t"_L1;
            break;
        default:
            out += c;
        }
    }
    return out;
}

class DumpVisitor : public PropertyVisitor
{
public:
    QStringList lines;

    void ordinal(QLatin1StringView name, const PropertyInfo &property, qint64 value) override
    {
        const QString text = property.enumType ? QString(property.enumType->identifier(value)) : QString::number(value);
        lines.append(path(name) + u'=' + text);
    }
    void string(QLatin1StringView name, const QString &value) override { lines.append(path(name) + u'=' + escaped(value)); }
    void stringList(QLatin1StringView name, const QStringList &list) override
    {
        lines.append(path(name) + u'=' + escaped(list.join(u'\n')));
    }
    void beginCollection(QLatin1StringView name) override { mCollections.push_back(path(name)); }
    void beginItem(int index) override { mItemPrefixes.push_back(QStringLiteral("%1[%2].").arg(mCollections.back()).arg(index)); }
    void endItem() override { mItemPrefixes.pop_back(); }
    void endCollection() override { mCollections.pop_back(); }

private:
    QString path(QLatin1StringView name) const { return mItemPrefixes.empty() ? QString(name) : mItemPrefixes.back() + name; }

    std::vector<QString> mCollections;
    std::vector<QString> mItemPrefixes;
};

}

QStringList dumpProperties(TComponent &root)
{
    DumpVisitor dump;
    visitComponent(root, dump);
    return dump.lines;
}
