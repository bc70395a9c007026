#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// The one way the program replaces a file: the bytes go to a temporary file beside
// the target, which is flushed and checked before it takes the target's place, so a
// full disk, a size limit or an I/O error leaves the previous file as it was.
namespace SafeWrite {

enum class Result {
    Written,
    CannotCreate, // the temporary file could not be created (no folder, no permission)
    WriteFailed,  // created, but writing, flushing or replacing failed
};

// Whose file is replaced, which decides what a link at its path means.
enum class Owner {
    // A file the user chose (a document): a link is followed and the file it names is
    // replaced, as editors do.
    User,
    // One of the program's own files (copies, settings, recovery, data files): whatever
    // lies at the path (a link, a pipe) is replaced by the new file and never written
    // through. The new file keeps the mode of the regular file it replaces, else gets
    // the mode of any new file.
    Program,
    // As Program, and readable and writable by its owner only, from the moment it is
    // created.
    ProgramPrivate,
};

// Replaces path with bytes. On failure *error holds the platform's reason
// ("No space left on device") and nothing at path has changed.
Result replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr, Owner owner = Owner::User);

// Writes the content to the device given (writeAll() block by block); false, with the
// reason in *error, when the device refused a block.
using Producer = std::function<bool(QIODevice *device, QString *error)>;
// Replaces path as above with what produce writes, so a large file need not be held in
// memory whole: the same temporary file, flush, check and commit.
Result replaceFile(const QString &path, const Producer &produce, QString *error = nullptr, Owner owner = Owner::User);

// Replaces path with bytes as replaceFile() does, for a file the program can make
// again from its sources (an HTML copy): the new file takes the old one's place by
// rename, never written through a link planted there, and it is not waited onto the
// disk, so that a save or a publish never stands still behind other programs' writes.
// A regular file that already holds exactly these bytes is left as it is, with its
// modification time.
Result replaceCopy(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Writes all bytes to an open device and flushes it when it is a file; false with the
// device's reason in *error when any part is refused.
bool writeAll(QIODevice *device, const QByteArray &bytes, QString *error = nullptr);

}
