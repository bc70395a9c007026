#include "templatesource.h"

#include "model/pagelette.h"
#include "platform/textfile.h"
#include "themes/themestore.h"

#include <QRegularExpression>
#include <QSet>

#include <optional>

namespace TemplateSource {

namespace {

struct SourceError
{
    QString reason;
};

// The object each key of the current section is looked up in, in order.
struct Section
{
    QList<TPersistent *> targets;
    QSet<QString> keysSeen;
    TPagePropertiesBlock *pageDetails = nullptr; // set in the page details section, for Theme
};

QString unescape(const QString &value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\') {
            text += value[i];
            continue;
        }
        const QChar next = i + 1 < value.size() ? value[i + 1] : QChar();
        ++i;
        if (next == u't')
            text += u'\t';
        else if (next == u'n')
            text += QStringLiteral("\r\n");
        else if (next == u'\\')
            text += u'\\';
        else
            throw SourceError{QStringLiteral("unknown escape \\%1").arg(next)};
    }
    return text;
}

qint64 integerValue(const QString &value)
{
    static const QRegularExpression colour(QStringLiteral("^#([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})$"));
    const QRegularExpressionMatch m = colour.match(value);
    if (m.hasMatch())
        return m.captured(1).toInt(nullptr, 16) | (m.captured(2).toInt(nullptr, 16) << 8)
               | (m.captured(3).toInt(nullptr, 16) << 16);
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok)
        throw SourceError{QStringLiteral("%1 is neither a number nor #RRGGBB").arg(value)};
    return number;
}

void setProperty(TPersistent &object, const PropertyInfo &property, const QString &value, bool again)
{
    switch (property.type) {
    case PropertyType::Integer:
        property.setOrdinal(object, integerValue(value));
        return;
    case PropertyType::Byte: {
        const qint64 number = integerValue(value);
        if (number < 0 || number > 255)
            throw SourceError{QStringLiteral("%1 is not a byte").arg(value)};
        property.setOrdinal(object, number);
        return;
    }
    case PropertyType::Boolean:
    case PropertyType::Enumeration: {
        const QByteArray identifier = value.toLatin1();
        const int ordinal = property.enumType->ordinalOf(QLatin1StringView(identifier));
        if (ordinal < 0)
            throw SourceError{QStringLiteral("%1 is not a value of %2").arg(value, property.enumType->typeName)};
        property.setOrdinal(object, ordinal);
        return;
    }
    case PropertyType::String:
        property.setString(object, (again ? property.string(object) : QString()) + unescape(value));
        return;
    case PropertyType::StringList: {
        QStringList &lines = property.stringList(object);
        if (!again)
            lines.clear();
        lines.append(unescape(value));
        return;
    }
    case PropertyType::Object:
    case PropertyType::Collection:
        break;
    }
    throw SourceError{QStringLiteral("%1 cannot be set here").arg(property.name)};
}

// The block of the pagelette that its kind uses; nullptr for the e-mail form's place.
TPersistent *blockOf(TPageItem &item)
{
    switch (item.BlockType) {
    case btPageProperties: return &item.PagePropertiesBlock();
    case btHeading: return &item.HeadingBlock();
    case btImage: return &item.ImageBlock();
    case btLink: return &item.LinkBlock();
    case btText: return &item.TextBlock();
    case btBullet: return &item.BulletBlock();
    case btHR: return &item.HRBlock();
    case btForms: return nullptr;
    }
    return nullptr;
}

Section openSection(const QString &name, TPagelette &page)
{
    Section section;
    if (name == u"Field") {
        section.targets.append(&page.WebForm().AddElement());
        return section;
    }
    for (int kind = btPageProperties; kind <= btForms; ++kind) {
        if (name != BlockTypeCaption(TBlockType(kind)))
            continue;
        TPageItem *item = nullptr;
        if (kind == btPageProperties) {
            item = &page.Page().Items(0);
            section.pageDetails = &item->PagePropertiesBlock();
        } else {
            if (kind == btForms && page.formsItemIndex() >= 0)
                throw SourceError{QStringLiteral("a page has one e-mail form")};
            item = &page.InsertNewItem(page.Page().Count(), TBlockType(kind));
        }
        section.targets.append(item);
        if (TPersistent *block = blockOf(*item))
            section.targets.append(block);
        else
            section.targets.append(&page);
        return section;
    }
    throw SourceError{QStringLiteral("unknown section [%1]").arg(name)};
}

void applyLine(Section &section, const QString &key, const QString &value, const TWebTheme &themes)
{
    if (section.pageDetails && key == u"Theme") {
        const int index = ThemeStore::findTheme(ThemeStore::themeNames(themes), value);
        if (index < 0)
            throw SourceError{QStringLiteral("no theme %1").arg(value)};
        ThemeStore::applyTheme(themes.Items().Items(index), *section.pageDetails);
        return;
    }
    // The section says what the pagelette is.
    if (key.compare(u"BlockType", Qt::CaseInsensitive) == 0)
        throw SourceError{QStringLiteral("BlockType is given by the section")};
    const QByteArray name = key.toLatin1();
    for (TPersistent *target : std::as_const(section.targets)) {
        const PropertyInfo *property = target->classInfo().find(QLatin1StringView(name));
        if (!property || property->type == PropertyType::Object || property->type == PropertyType::Collection)
            continue;
        const bool again = section.keysSeen.contains(key);
        setProperty(*target, *property, value, again);
        section.keysSeen.insert(key);
        return;
    }
    throw SourceError{QStringLiteral("unknown key %1").arg(key)};
}

}

bool build(const QString &source, const TWebTheme &themes, TPagelette &page, QString *error)
{
    page.NewPage();
    // Only the details of the new page are kept; every other pagelette comes from the source.
    while (page.Page().Count() > 1)
        page.Page().remove(1);
    const QStringList lines = TextFile::splitLines(source);
    std::optional<Section> section;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        try {
            if (line.startsWith(u'[') && line.endsWith(u']')) {
                section = openSection(line.mid(1, line.size() - 2).trimmed(), page);
                continue;
            }
            const qsizetype eq = line.indexOf(u'=');
            if (!section || eq <= 0)
                throw SourceError{QStringLiteral("expected a [section] or a key=value line")};
            applyLine(*section, line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), themes);
        } catch (const SourceError &failure) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(n + 1).arg(failure.reason);
            return false;
        }
    }
    return true;
}

}
