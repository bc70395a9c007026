#include "inifile.h"

#include "platform/cp1252.h"

#include <QStringDecoder>

#include <algorithm>

QString IniFile::Section::value(QStringView key) const
{
    const auto found = mIndex.constFind(key.toString().toCaseFolded());
    return found == mIndex.cend() ? QString() : mEntries.at(*found).value;
}

IniFile IniFile::parse(QByteArrayView bytes)
{
    IniFile file;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(bytes));
    file.mUtf8 = !utf8.hasError();

    // CR and LF are single bytes in both encodings, so the raw lines and their texts
    // split alike.
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    bool newlineSeen = false;
    auto addLine = [&](qsizetype end, QByteArray ending) {
        Line line;
        line.raw = bytes.sliced(start, end - start).toByteArray();
        // The raw line keeps a byte-order mark for the rewrite; its text never does.
        const QByteArrayView text = file.mLines.isEmpty() && line.raw.startsWith("\xEF\xBB\xBF")
            ? QByteArrayView(line.raw).sliced(3) : QByteArrayView(line.raw);
        line.text = file.mUtf8 ? QString::fromUtf8(text) : Cp1252::decode(text);
        line.kind = kindOf(line.text);
        if (!newlineSeen && !ending.isEmpty()) {
            file.mNewline = ending;
            newlineSeen = true;
        }
        line.ending = std::move(ending);
        file.mLines.append(std::move(line));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        const qsizetype end = i;
        QByteArray ending(1, c);
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
            ending.append('\n');
            ++i;
        }
        addLine(end, std::move(ending));
        start = i + 1;
    }
    if (start < n)
        addLine(n, QByteArray());
    return file;
}

QByteArray IniFile::toBytes() const
{
    QByteArray bytes;
    for (const Line &line : mLines)
        bytes += line.raw + line.ending;
    return bytes;
}

IniFile::Kind IniFile::kindOf(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Kind::Other;
    if (trimmed.startsWith(u'['))
        return Kind::Header;
    if (trimmed.startsWith(u';'))
        return Kind::Comment;
    return trimmed.contains(u'=') ? Kind::Entry : Kind::Other;
}

QString IniFile::headerName(const QString &text)
{
    QString name = text.trimmed().mid(1);
    const qsizetype close = name.indexOf(u']');
    if (close >= 0)
        name.truncate(close);
    return name.trimmed();
}

int IniFile::findHeader(QStringView name) const
{
    for (int i = 0; i < mLines.size(); ++i) {
        if (mLines[i].kind == Kind::Header && QStringView(headerName(mLines[i].text)).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

IniFile::Section IniFile::section(QStringView name) const
{
    Section section;
    const int header = findHeader(name);
    if (header < 0)
        return section;
    for (int i = header + 1; i < mLines.size() && mLines[i].kind != Kind::Header; ++i) {
        if (mLines[i].kind != Kind::Entry)
            continue;
        const QString &text = mLines[i].text;
        const qsizetype eq = text.indexOf(u'=');
        Entry entry{text.left(eq).trimmed(), text.mid(eq + 1).trimmed()};
        const QString folded = entry.key.toCaseFolded();
        if (!section.mIndex.contains(folded))
            section.mIndex.insert(folded, section.mEntries.size());
        section.mEntries.append(std::move(entry));
    }
    return section;
}

QByteArray IniFile::encode(const QString &text) const
{
    return mUtf8 ? text.toUtf8() : Cp1252::encode(text);
}

void IniFile::convertToUtf8()
{
    for (Line &line : mLines)
        line.raw = line.text.toUtf8();
    mUtf8 = true;
}

void IniFile::replaceEntries(const QString &sectionName, const QList<Entry> &entries)
{
    // A line break inside a key or value would end the entry early and turn its rest
    // into a line of its own.
    auto oneLine = [](QString text) {
        text.replace(u'\r', u' ');
        text.replace(u'\n', u' ');
        return text;
    };
    QList<Line> added;
    for (const Entry &entry : entries) {
        Line line;
        line.text = oneLine(entry.key) + u'=' + oneLine(entry.value);
        line.kind = Kind::Entry;
        added.append(std::move(line));
    }
    int header = findHeader(sectionName);
    if (header < 0) {
        Line line;
        line.text = u'[' + oneLine(sectionName) + u']';
        line.kind = Kind::Header;
        added.prepend(std::move(line));
    }
    if (!mUtf8 && !std::all_of(added.cbegin(), added.cend(), [](const Line &line) { return Cp1252::canEncode(line.text); }))
        convertToUtf8();
    for (Line &line : added) {
        line.raw = encode(line.text);
        line.ending = mNewline;
    }

    int at = int(mLines.size());
    if (header >= 0) {
        int end = header + 1;
        while (end < mLines.size() && mLines[end].kind != Kind::Header)
            ++end;
        int first = -1;
        int last = -1;
        for (int i = header + 1; i < end; ++i) {
            if (mLines[i].kind == Kind::Entry) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        if (first >= 0) {
            mLines.remove(first, last - first + 1);
            at = first;
        } else {
            at = header + 1;
            while (at < end && mLines[at].kind == Kind::Comment)
                ++at;
        }
    } else if (!mLines.isEmpty() && !mLines.last().text.trimmed().isEmpty()) {
        // A blank line between the last section and the new one.
        Line blank;
        blank.ending = mNewline;
        added.prepend(std::move(blank));
    }
    if (at > 0 && mLines[at - 1].ending.isEmpty())
        mLines[at - 1].ending = mNewline;
    for (Line &line : added)
        mLines.insert(at++, std::move(line));
}
