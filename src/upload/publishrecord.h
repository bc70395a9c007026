#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

class ProgramFolder;

// Where a run publishes: the profile and what of it decides which files the server
// holds (host, port, login, folder). Changing any of them starts a new record.
struct PublishDestination
{
    QString profile;
    QString host;
    QString port;
    QString user;
    QString folder;

    bool operator==(const PublishDestination &) const = default;
};

// A local file as it was sent: which file, its size and modification time then
// (milliseconds since the epoch), and the SHA-256 of the bytes sent. For a file whose
// sending was cut off, also the temporary name its first part lies under.
struct PublishedFile
{
    QString localPath;
    qint64 size = -1;
    qint64 modified = -1;
    QByteArray sha256;
    QString temporary;

    bool operator==(const PublishedFile &) const = default;
};

// What the program has published, per destination and remote name, so that a run
// sends only what changed. A small JSON file in the program folder, replaced atomically
// and not waited onto the disk: a record that is lost or damaged only means that
// everything is sent again, so it is read leniently and never trusted beyond that.
class PublishRecord
{
public:
    // An empty path keeps the record in memory only.
    explicit PublishRecord(const QString &path = QString());

    static QString pathIn(const ProgramFolder &folder);
    QString path() const { return mPath; }

    // Reads the file. A missing, unreadable or damaged file reads as an empty record; a
    // record without a file keeps what it holds.
    void load();
    // Writes the destinations changed since load(), over what the file holds now (another
    // program may have published elsewhere meanwhile). False with the reason in *error.
    bool save(QString *error = nullptr);

    // Files put in place on the server, by remote name.
    std::optional<PublishedFile> published(const PublishDestination &destination, const QString &name) const;
    void setPublished(const PublishDestination &destination, const QString &name, const PublishedFile &file);
    // Files whose sending was cut off, by remote name.
    std::optional<PublishedFile> unfinished(const PublishDestination &destination, const QString &name) const;
    void setUnfinished(const PublishDestination &destination, const QString &name, const PublishedFile &file);
    void clearUnfinished(const PublishDestination &destination, const QString &name);

    // The file's size limit: far above any record a page makes.
    static constexpr qint64 maximumBytes = 16 * 1024 * 1024;

private:
    struct Entries
    {
        PublishDestination destination;
        QHash<QString, PublishedFile> published;
        QHash<QString, PublishedFile> unfinished;
    };

    static QList<Entries> parse(const QByteArray &bytes);
    static QByteArray serialize(const QList<Entries> &destinations);
    const Entries *find(const PublishDestination &destination) const;
    Entries &entries(const PublishDestination &destination);

    QString mPath;
    QList<Entries> mDestinations;
    QList<PublishDestination> mChanged;
};
