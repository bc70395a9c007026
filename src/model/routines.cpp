#include "routines.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace Routines {

QString RemoveSpaces(const QString &text)
{
    QString result = text;
    result.remove(u' ');
    return result;
}

namespace {

// Each occurrence of the source replaced once, left to right: the answer where the
// loop below would never end because every pass leaves an occurrence behind.
QString replaceOnce(const QString &source, const QString &newText, const QString &oldText, int deleteCount)
{
    QString out;
    qsizetype from = 0;
    for (qsizetype at = source.indexOf(oldText); at >= 0;) {
        out += QStringView(source).sliced(from, at - from);
        out += newText;
        from = qMin(source.size(), at + qMax(deleteCount, 0));
        at = source.indexOf(oldText, qMax(from, at + oldText.size()));
    }
    out += QStringView(source).sliced(from);
    return out;
}

// The loop itself, for a delete count other than the old text's length. It stops
// early only where it would never end: when a text comes back (Brent's cycle test:
// the loop is deterministic, so it would repeat for ever), or when the text has grown
// far beyond the source, which only a loop that keeps re-creating the old text does.
QString replaceByRestarting(const QString &source, const QString &newText, const QString &oldText, int deleteCount)
{
    QString result = source;
    const qsizetype growthLimit = 16 * source.size() + 4096;
    QString saved = result;
    qsizetype power = 1;
    qsizetype sinceSaved = 0;
    for (qsizetype p = result.indexOf(oldText); p >= 0; p = result.indexOf(oldText)) {
        result.remove(p, deleteCount);
        result.insert(p, newText);
        if (result == saved || result.size() > growthLimit)
            break;
        if (++sinceSaved == power) {
            saved = result;
            power *= 2;
            sinceSaved = 0;
        }
    }
    return result;
}

}

QString ReplaceText(const QString &source, const QString &newText, const QString &oldText, int deleteCount)
{
    if (oldText.isEmpty())
        return source;
    // A new text holding the old one, or a pass that deletes nothing, leaves an
    // occurrence at or after every insertion: the loop could never end.
    if (newText.contains(oldText) || deleteCount <= 0)
        return replaceOnce(source, newText, oldText, deleteCount);
    if (deleteCount != oldText.size())
        return replaceByRestarting(source, newText, oldText, deleteCount);

    // Restarting from the beginning after every replacement equals one scan that keeps
    // the output free of the old text: the first occurrence always ends at the first
    // point where the output ends with it, since all occurrences have the same length.
    // Each inserted text is scanned again, as the restart would. KMP states per output
    // character keep every step constant-time.
    const qsizetype m = oldText.size();
    std::vector<qsizetype> failure(size_t(m), 0);
    for (qsizetype i = 1, k = 0; i < m; ++i) {
        while (k > 0 && oldText[i] != oldText[k])
            k = failure[size_t(k - 1)];
        if (oldText[i] == oldText[k])
            ++k;
        failure[size_t(i)] = k;
    }

    QString out;
    out.reserve(source.size());
    std::vector<qsizetype> states;
    states.reserve(size_t(source.size()));
    std::vector<QChar> pending; // inserted text still to scan, last character first
    qsizetype next = 0;
    while (!pending.empty() || next < source.size()) {
        QChar c;
        if (!pending.empty()) {
            c = pending.back();
            pending.pop_back();
        } else {
            c = source[next++];
        }
        qsizetype k = states.empty() ? 0 : states.back();
        while (k > 0 && oldText[k] != c)
            k = failure[size_t(k - 1)];
        if (oldText[k] == c)
            ++k;
        out.append(c);
        states.push_back(k);
        if (k == m) {
            out.chop(m);
            states.resize(states.size() - size_t(m));
            for (qsizetype i = newText.size() - 1; i >= 0; --i)
                pending.push_back(newText[i]);
        }
    }
    return out;
}

QString StripExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.left(dot);
}

QString TextBeforeBar(const QString &text)
{
    const qsizetype bar = text.indexOf(u'|');
    return bar < 0 ? QString() : text.left(bar);
}

QString TextAfterBar(const QString &text)
{
    const qsizetype bar = text.indexOf(u'|');
    return bar < 0 ? text : text.mid(bar + 1);
}

void ReplaceChar(QString &text, QChar oldChar, QChar newChar)
{
    if (oldChar != newChar)
        text.replace(oldChar, newChar);
}

bool IsNumeric(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c != u' ' && (c.unicode() < u'0' || c.unicode() > u'9'))
            return false;
    }
    return true;
}

int WildcardPos(const QString &text, const QString &pattern, int start)
{
    const qsizetype first = qAbs(qsizetype(start));
    if (text.isEmpty() || pattern.isEmpty() || start == 0 || first > text.size()
        || text.size() - first + 1 < pattern.size())
        return 0;
    const bool anyCase = start < 0;
    for (qsizetype candidate = first; candidate + pattern.size() - 1 <= text.size(); ++candidate) {
        bool matched = true;
        for (qsizetype k = 0; k < pattern.size() && matched; ++k) {
            const char16_t p = pattern[k].unicode();
            const char16_t t = text[candidate - 1 + k].unicode();
            if (p == u'?' || p == t)
                continue;
            matched = anyCase && t >= u'A' && t <= u'z' && p <= u'z' && (t ^ p) == 0x20;
        }
        if (matched)
            return int(candidate);
    }
    return 0;
}

QString NextToken(const QString &text, const QString &delimiters, int &pos)
{
    if (pos < 1 || pos > text.size() || delimiters.isEmpty()) {
        pos = 0;
        return QString();
    }
    const QStringView delims = QStringView(delimiters).left(256);
    bool quoteOpen = false;
    for (qsizetype d = pos; d <= text.size(); ++d) {
        const QChar c = text[d - 1];
        if (c == u'"') {
            quoteOpen = !quoteOpen;
            if (quoteOpen)
                continue;
        }
        if (delims.contains(c)) {
            const QString token = text.mid(pos - 1, d - pos);
            pos = int(d + 1);
            return token;
        }
    }
    const QString token = text.mid(pos - 1);
    pos = 0;
    return token;
}

namespace {

QStringList splitList(const QString &list)
{
    QStringList parts = list.split(u',');
    // The list form "a,b," ends with a separator; what follows it is no path.
    while (!parts.isEmpty() && parts.constLast().isEmpty())
        parts.removeLast();
    return parts;
}

// The files a source names: itself, or the matches of a wildcard in its file part.
QStringList expandSource(const QString &source)
{
    const QFileInfo info(source);
    const QString name = info.fileName();
    if (!name.contains(u'*') && !name.contains(u'?'))
        return {source};
    QStringList matches;
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList({name}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries)
        matches.append(dir.filePath(entry));
    return matches;
}

QString freeName(const QString &target)
{
    const QFileInfo info(target);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = info.dir().filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool removePath(const QString &path, bool toTrash)
{
    if (toTrash)
        return QFile::moveToTrash(path);
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

bool copyPath(const QString &from, const QString &to, bool filesOnly)
{
    const QFileInfo info(from);
    if (!info.isDir())
        return QFile::copy(from, to);
    if (filesOnly)
        return true;
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    const QStringList entries = source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &entry : entries) {
        if (!copyPath(source.filePath(entry), QDir(to).filePath(entry), false))
            return false;
    }
    return true;
}

bool transfer(const QString &from, QString to, int operation, int flags)
{
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath())
            return operation != FO_COPY;
        if (flags & FOF_RENAMEONCOLLISION)
            to = freeName(to);
        else if (!(flags & FOF_NOCONFIRMATION) || !removePath(to, false))
            return false;
    }
    if (operation == FO_COPY)
        return copyPath(from, to, flags & FOF_FILESONLY);
    if (QFile::rename(from, to))
        return true;
    // Across file systems a move is a copy and a delete.
    return copyPath(from, to, false) && removePath(from, false);
}

}

bool ShellFileOperation(const QString &from, const QString &to, int operation, int flags)
{
    if (operation < FO_MOVE || operation > FO_RENAME || from.isEmpty())
        return false;
    flags &= ~FOF_WANTMAPPINGHANDLE;
    const QStringList sources = splitList(from);
    if (sources.isEmpty())
        return false;

    bool ok = true;
    if (operation == FO_DELETE) {
        for (const QString &source : sources) {
            const QStringList files = expandSource(source);
            ok = !files.isEmpty() && ok;
            for (const QString &file : files)
                ok = removePath(file, flags & FOF_ALLOWUNDO) && ok;
        }
        return ok;
    }

    const QStringList targets = splitList(to);
    if (targets.isEmpty())
        return false;
    const auto isWildcard = [](const QString &path) {
        const QString name = QFileInfo(path).fileName();
        return name.contains(u'*') || name.contains(u'?');
    };
    // One plain source and one target that is no folder: the target is the new name.
    const bool pairwise = (flags & FOF_MULTIDESTFILES) || operation == FO_RENAME
        || (sources.size() == 1 && targets.size() == 1 && !isWildcard(sources.first())
            && !QFileInfo(targets.first()).isDir());
    if (pairwise) {
        if (targets.size() != sources.size())
            return false;
        for (qsizetype i = 0; i < sources.size(); ++i) {
            if (!QFileInfo::exists(sources[i]))
                ok = false;
            else
                ok = transfer(sources[i], targets[i], operation, flags) && ok;
        }
        return ok;
    }

    // Everything goes into one folder, made when missing.
    const QString folder = targets.first();
    if (!QDir().mkpath(folder))
        return false;
    for (const QString &source : sources) {
        const QStringList files = expandSource(source);
        ok = !files.isEmpty() && ok;
        for (const QString &file : files) {
            if (!QFileInfo::exists(file)) {
                ok = false;
                continue;
            }
            ok = transfer(file, QDir(folder).filePath(QFileInfo(file).fileName()), operation, flags) && ok;
        }
    }
    return ok;
}

}
