#include "recoverystore.h"

#include "platform/boundedread.h"
#include "platform/filelock.h"
#include "platform/safewrite.h"

#include <QDir>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>

namespace {

const QByteArray kMagic = QByteArrayLiteral("VXRECOVER1\n");
constexpr int kMaxSlots = 10000;

QString lockFileOf(const QString &file)
{
    return file + QStringLiteral(".lock");
}

}

RecoveryStore::RecoveryStore(const QString &folder)
    : mFolder(folder.isEmpty() ? QString() : QDir::cleanPath(folder) + u'/')
{
}

RecoveryStore::~RecoveryStore() = default;

std::unique_ptr<FileLock> RecoveryStore::tryLock(const QString &file)
{
    auto lock = std::make_unique<FileLock>(lockFileOf(file));
    if (!lock->tryLock(std::chrono::milliseconds(0)))
        return nullptr;
    return lock;
}

std::optional<RecoveryStore::Page> RecoveryStore::nextOrphan()
{
    mOrphanLock.reset();
    mOrphanFile.clear();
    if (mFolder.isEmpty())
        return std::nullopt;
    static const QRegularExpression slotName(QStringLiteral("^page-(\\d+)\\.vxr$"));
    QStringList names = QDir(mFolder).entryList({QStringLiteral("page-*.vxr")}, QDir::Files);
    names.erase(std::remove_if(names.begin(), names.end(), [](const QString &name) { return !slotName.match(name).hasMatch(); }),
                names.end());
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return slotName.match(a).captured(1).toLongLong() < slotName.match(b).captured(1).toLongLong();
    });
    for (const QString &name : std::as_const(names)) {
        const QString file = mFolder + name;
        if (file == mFile || mSeen.contains(file))
            continue;
        mSeen.insert(file);
        std::unique_ptr<FileLock> lock = tryLock(file);
        if (!lock)
            continue;
        QByteArray content;
        if (BoundedRead::readFile(file, content) != BoundedRead::Result::Read)
            continue;
        std::optional<Page> page = decode(content);
        if (!page)
            continue;
        mOrphanFile = file;
        mOrphanLock = std::move(lock);
        return page;
    }
    return std::nullopt;
}

void RecoveryStore::adoptOrphan()
{
    if (!mOrphanLock)
        return;
    mLock = std::move(mOrphanLock);
    mFile = mOrphanFile;
    mOrphanFile.clear();
}

void RecoveryStore::discardOrphan()
{
    if (!mOrphanLock)
        return;
    QFile::remove(mOrphanFile);
    mOrphanLock.reset();
    mOrphanFile.clear();
}

bool RecoveryStore::claimSlot(QString *error)
{
    if (mFolder.isEmpty() || !QDir().mkpath(mFolder)) {
        if (error)
            *error = QStringLiteral("Cannot create the folder \"%1\".").arg(QDir::toNativeSeparators(mFolder));
        return false;
    }
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        const QString file = mFolder + QStringLiteral("page-%1.vxr").arg(slot);
        // A file there belongs to a running program or waits to be recovered; a link
        // to nothing there is taken (writing replaces it).
        if (QFile::exists(file))
            continue;
        std::unique_ptr<FileLock> lock = tryLock(file);
        if (!lock || QFile::exists(file))
            continue;
        mLock = std::move(lock);
        mFile = file;
        return true;
    }
    if (error)
        *error = QStringLiteral("No free recovery file in \"%1\".").arg(QDir::toNativeSeparators(mFolder));
    return false;
}

bool RecoveryStore::write(const Page &page, QString *error)
{
    if (!mLock && !claimSlot(error))
        return false;
    return SafeWrite::replaceFile(mFile, encode(page), error, SafeWrite::Owner::Program) == SafeWrite::Result::Written;
}

void RecoveryStore::remove()
{
    if (!mFile.isEmpty())
        QFile::remove(mFile);
}

QByteArray RecoveryStore::encode(const Page &page)
{
    const QByteArray name = page.documentName.toUtf8();
    QByteArray content = kMagic;
    const quint32 length = qToLittleEndian(quint32(name.size()));
    content.append(reinterpret_cast<const char *>(&length), sizeof length);
    content.append(name);
    content.append(page.bytes);
    return content;
}

std::optional<RecoveryStore::Page> RecoveryStore::decode(const QByteArray &content)
{
    const qsizetype header = kMagic.size() + qsizetype(sizeof(quint32));
    if (content.size() < header || !content.startsWith(kMagic))
        return std::nullopt;
    const quint32 length = qFromLittleEndian<quint32>(content.constData() + kMagic.size());
    if (length > quint64(content.size() - header))
        return std::nullopt;
    return Page{QString::fromUtf8(content.mid(header, length)), content.mid(header + length)};
}
