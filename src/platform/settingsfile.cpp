#include "settingsfile.h"

#include <QStringDecoder>
#include <QStringList>

#include <map>

namespace SettingsFile {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isHexDigit(char32_t ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

// Keys: letters, digits, '_', '-' and '.' as they are; '/' as '\'; everything else as
// %XX (up to 0xFF) or %UXXXX (one UTF-16 unit).
void escapeKey(QStringView key, QByteArray &out)
{
    for (const QChar qch : key) {
        const char16_t ch = qch.unicode();
        if (ch == u'/') {
            out += '\\';
        } else if ((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') || (ch >= u'0' && ch <= u'9') || ch == u'_'
                   || ch == u'-' || ch == u'.') {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += kHexDigits[ch / 16];
            out += kHexDigits[ch % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(ch >> shift) & 0xF];
        }
    }
}

QString unescapeKey(QByteArrayView text)
{
    QString key;
    key.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (ch != '%' || i == text.size() - 1) {
            key += QChar(uchar(ch));
            ++i;
            continue;
        }
        const bool wide = text[i + 1] == 'U';
        const qsizetype digits = wide ? 4 : 2;
        const qsizetype first = i + 1 + (wide ? 1 : 0);
        bool ok = false;
        const ushort value = first + digits <= text.size() ? text.sliced(first, digits).toByteArray().toUShort(&ok, 16) : 0;
        if (!ok) {
            key += u'%';
            ++i;
            continue;
        }
        key += QChar(value);
        i = first + digits;
    }
    return key;
}

// Values: control characters, '"' and '\' escaped, the rest as UTF-8; quoted when they
// hold ';', ',' or '=' or begin or end with a blank. '@' introduces typed values: text
// that begins with one gets a second one, and text holding a NUL is marked as text.
void escapeValue(const QString &value, QByteArray &out)
{
    const QString text = value.contains(QChar::Null) ? QStringLiteral("@String(") + value + u')'
                         : value.startsWith(u'@')    ? u'@' + value
                                                     : value;
    const qsizetype start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar qch = text.at(i);
        const char16_t ch = qch.unicode();
        if (ch == u';' || ch == u',' || ch == u'=')
            needsQuotes = true;
        // A hexadecimal escape takes every hexadecimal digit after it.
        if (escapeNextIfDigit && isHexDigit(ch)) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case u'\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case u'\a': out += "\\a"; break;
        case u'\b': out += "\\b"; break;
        case u'\f': out += "\\f"; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        case u'\v': out += "\\v"; break;
        case u'"':
        case u'\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (qch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += text.sliced(i, 2).toUtf8();
                ++i;
            } else if (ch <= 0x1F || qch.isSurrogate()) {
                // A surrogate without its partner has no UTF-8 form: kept as a number.
                out += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                out += QStringView(&qch, 1).toUtf8();
            }
        }
    }
    if (needsQuotes || (start < out.size() && (out.at(start) == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

// The character a one-letter escape stands for; 0 when it is none.
char simpleEscape(char code)
{
    switch (code) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\':
        return code;
    default:
        return 0;
    }
}

// What a value's text stands for: '@' introduces typed values; of those only text and
// "no value" are ever written here. Other typed values stay as their text.
QVariant typedValue(const QString &text)
{
    if (text.startsWith(QLatin1StringView("@@")))
        return text.mid(1);
    if (text.startsWith(QLatin1StringView("@String(")) && text.endsWith(u')'))
        return text.sliced(8, text.size() - 9);
    if (text == QLatin1StringView("@Invalid()"))
        return QVariant();
    return text;
}

// "a//b/" and "/a/b" are the key "a/b", as the settings class takes them.
QString normalisedKey(const QString &key)
{
    return key.split(u'/', Qt::SkipEmptyParts).join(u'/');
}

void chopTrailingBlanks(QString &text, qsizetype limit)
{
    qsizetype end = text.size();
    while (end > limit && (text.at(end - 1) == u' ' || text.at(end - 1) == u'\t'))
        --end;
    text.truncate(end);
}

// One value, or the items of a list when it has commas outside quotes.
QVariant unescapeValue(QByteArrayView text)
{
    QString current;
    QStringList items;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    qsizetype chopLimit = 0;
    qsizetype i = 0;
    // A value may begin with U+FEFF: only the file's own byte-order mark is dropped, by parse().
    QStringDecoder fromUtf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        chopLimit = current.size();
    };
    // Digits of a numeric escape, as many as there are; the value is one UTF-16 unit.
    auto numericEscape = [&](int base) {
        char32_t value = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            int digit = -1;
            if (c >= '0' && c <= (base == 8 ? '7' : '9'))
                digit = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0)
                break;
            value = value * char32_t(base) + char32_t(digit);
        }
        current += QChar(char16_t(value));
    };
    skipBlanks();
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '\\') {
            if (++i >= text.size())
                break;
            const char escaped = text[i++];
            if (const char plain = simpleEscape(escaped)) {
                current += QLatin1Char(plain);
            } else if (escaped == 'x') {
                // "\x" without a digit after it stands for nothing.
                if (i < text.size() && isHexDigit(char32_t(uchar(text[i]))))
                    numericEscape(16);
            } else if (escaped >= '0' && escaped <= '7') {
                --i;
                numericEscape(8);
            } else if ((escaped == '\n' || escaped == '\r') && i < text.size()
                       && (text[i] == '\n' || text[i] == '\r') && text[i] != escaped) {
                ++i; // an escaped line end continues the value on the next line
            }
            // What an escape gave is never taken for trailing blanks.
            chopLimit = current.size();
        } else if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (ch == ',' && !inQuotes) {
            if (!quoted)
                chopTrailingBlanks(current, chopLimit);
            isList = true;
            items.append(current);
            current.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype end = i + 1;
            while (end < text.size() && text[end] != '\\' && text[end] != '"' && text[end] != ',')
                ++end;
            current += fromUtf8(text.sliced(i, end - i));
            i = end;
        }
    }
    if (!quoted)
        chopTrailingBlanks(current, chopLimit);
    if (!isList)
        return typedValue(current);
    items.append(current);
    for (QString &item : items)
        item = typedValue(item).toString();
    return items;
}

// The next logical line: blanks and empty lines before it skipped, comment lines
// (';' first) skipped, ends inside quotes or after a '\' not counted. Returns its text
// and the position of its first '=' outside quotes (-1 for none).
bool nextLine(QByteArrayView data, qsizetype &pos, QByteArrayView &line, qsizetype &equals)
{
    for (;;) {
        while (pos < data.size() && (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\n' || data[pos] == '\r'))
            ++pos;
        if (pos >= data.size())
            return false;
        if (data[pos] != ';')
            break;
        while (pos < data.size() && data[pos] != '\n' && data[pos] != '\r')
            ++pos;
    }
    const qsizetype start = pos;
    bool inQuotes = false;
    equals = -1;
    while (pos < data.size()) {
        const char ch = data[pos];
        if ((ch == '\n' || ch == '\r' || ch == ';') && !inQuotes)
            break;
        ++pos;
        if (ch == '=' && !inQuotes && equals < 0)
            equals = pos - 1 - start;
        else if (ch == '"')
            inQuotes = !inQuotes;
        else if (ch == '\\' && pos < data.size()) {
            // An escaped character, or an escaped line end (CR LF and LF CR count as one).
            const char escaped = data[pos++];
            if (pos < data.size() && ((escaped == '\n' && data[pos] == '\r') || (escaped == '\r' && data[pos] == '\n')))
                ++pos;
        }
    }
    line = data.sliced(start, pos - start);
    return true;
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.sliced(begin, end - begin);
}

}

QByteArray serialise(const QSettings::SettingsMap &map)
{
    std::map<QString, std::map<QString, QVariant>> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        sections[section][slash < 0 ? it.key() : it.key().mid(slash + 1)] = it.value();
    }
    QByteArray out;
    for (const auto &[section, keys] : sections) {
        if (!out.isEmpty())
            out += '\n';
        QByteArray header;
        escapeKey(section, header);
        // "[General]" holds the keys without a section; a section really called so is marked.
        if (header.isEmpty())
            header = "General";
        else if (header.compare("general", Qt::CaseInsensitive) == 0)
            header.prepend('%');
        out += '[' + header + "]\n";
        for (const auto &[key, value] : keys) {
            escapeKey(key, out);
            out += '=';
            if (value.metaType().id() == QMetaType::QStringList || value.metaType().id() == QMetaType::QVariantList) {
                const QStringList items = value.toStringList();
                if (items.isEmpty())
                    out += "@Invalid()";
                for (qsizetype i = 0; i < items.size(); ++i) {
                    if (i)
                        out += ", ";
                    escapeValue(items.at(i), out);
                }
            } else if (!value.isValid()) {
                out += "@Invalid()";
            } else {
                escapeValue(value.toString(), out);
            }
            out += '\n';
        }
    }
    return out;
}

QSettings::SettingsMap parse(QByteArrayView text)
{
    QSettings::SettingsMap map;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    QString section;
    qsizetype pos = 0;
    QByteArrayView line;
    qsizetype equals = -1;
    while (nextLine(text, pos, line, equals)) {
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QByteArrayView name = trimmed(line.sliced(1, (close < 0 ? line.size() : close) - 1));
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.sliced(1)) + u'/';
            else
                section = unescapeKey(name) + u'/';
            continue;
        }
        if (equals < 0)
            continue;
        const QString key = normalisedKey(section + unescapeKey(trimmed(line.first(equals))));
        if (!key.isEmpty())
            map.insert(key, unescapeValue(line.sliced(equals + 1)));
    }
    return map;
}

}
