#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

// An initialisation file kept line by line: "[Section]" lines open sections, "key=value"
// lines are entries, lines starting with ';' are comments. Section and key names
// compare without regard to case. Replacing one section's entries leaves every other
// line of the file byte for byte as it was read.
class IniFile
{
public:
    struct Entry
    {
        QString key;
        QString value;
    };

    // The entries of one section, in file order, with a lookup by key (the first entry
    // of a key wins, as it does for the platform's reader).
    class Section
    {
    public:
        const QList<Entry> &entries() const { return mEntries; }
        int count() const { return int(mEntries.size()); }
        bool isEmpty() const { return mEntries.isEmpty(); }
        // The value of the key; empty when the section has no such entry.
        QString value(QStringView key) const;

    private:
        friend class IniFile;
        QList<Entry> mEntries;
        QHash<QString, qsizetype> mIndex; // case-folded key -> position in mEntries
    };

    // Reads the bytes as UTF-8 when they are valid UTF-8, else as Windows-1252; lines
    // end with CR LF, LF or CR. Never fails: lines that are neither sections nor
    // entries are kept and otherwise ignored.
    static IniFile parse(QByteArrayView bytes);
    // The file's bytes: what was parsed, with any replaced section in its place.
    QByteArray toBytes() const;

    // The first section of that name (a later section of the same name is not read);
    // empty when there is none.
    Section section(QStringView name) const;

    // Replaces the entry lines of the first section of that name by these entries, in
    // order; comment lines at its start and blank and comment lines after its last
    // entry stay where they are. A missing section is added at the end of the file.
    // New lines use the file's line ending and encoding; when the text cannot be
    // written in the file's Windows-1252, the whole file becomes UTF-8 so nothing is lost.
    void replaceEntries(const QString &sectionName, const QList<Entry> &entries);

private:
    enum class Kind { Other, Comment, Header, Entry };
    struct Line
    {
        QByteArray raw;    // the line's bytes without its ending
        QByteArray ending; // "\r\n", "\n", "\r" or empty for a last line without one
        QString text;
        Kind kind = Kind::Other;
    };

    static Kind kindOf(const QString &text);
    static QString headerName(const QString &text);
    int findHeader(QStringView name) const;
    QByteArray encode(const QString &text) const;
    void convertToUtf8();

    QList<Line> mLines;
    bool mUtf8 = true;
    QByteArray mNewline = QByteArrayLiteral("\r\n");
};
