#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class FileLock;

// The recovery files of one folder: each running program keeps its unsaved page in a
// file of its own ("page-N.vxr"), guarded by a lock file that the system frees when
// the program ends, also when it is killed. A recovery file whose lock nobody holds
// was therefore left by a run that did not close properly. Two programs never write,
// take or remove each other's file.
class RecoveryStore
{
public:
    struct Page
    {
        QString documentName; // full path, or "Untitled"
        QByteArray bytes;     // the page as a document's bytes
    };

    // An empty folder keeps nothing: every write fails.
    explicit RecoveryStore(const QString &folder);
    // Lets the lock go; the file stays unless it was removed.
    ~RecoveryStore();

    // The next recovery file an earlier run left, locked for this store until
    // adoptOrphan() or discardOrphan(). Files held by a running program, files already
    // returned and files that cannot be read are passed over; nullopt when none is left.
    std::optional<Page> nextOrphan();
    // The file nextOrphan() returned becomes this program's own.
    void adoptOrphan();
    // Removes the file nextOrphan() returned.
    void discardOrphan();

    // Replaces this program's recovery file atomically (taking a free slot on the first
    // write). False, with the reason in *error, when it cannot be written; a previous
    // file then stays as it was.
    bool write(const Page &page, QString *error = nullptr);
    // Removes this program's recovery file; the slot stays this program's.
    void remove();

    // This program's recovery file (empty before the first write or adoption).
    QString fileName() const { return mFile; }

    static QByteArray encode(const Page &page);
    static std::optional<Page> decode(const QByteArray &content);

private:
    bool claimSlot(QString *error);
    static std::unique_ptr<FileLock> tryLock(const QString &file);

    QString mFolder;
    QString mFile;
    std::unique_ptr<FileLock> mLock;
    QString mOrphanFile;
    std::unique_ptr<FileLock> mOrphanLock;
    QSet<QString> mSeen;
};
