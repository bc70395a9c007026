#include "themestore.h"

#include "model/componentstream.h"
#include "model/pagelette.h"
#include "platform/textfile.h"

#include <QRegularExpression>

namespace ThemeStore {

std::unique_ptr<TWebTheme> load(const QString &path, QString *error)
{
    static const ClassRegistry themes = [] {
        ClassRegistry r;
        r.registerClass<TWebTheme>();
        return r;
    }();
    ComponentReader reader(themes);
    std::unique_ptr<TComponent> root = reader.read(path, BoundedRead::dataFileLimit);
    if (!root) {
        if (error)
            *error = reader.errorString();
        return nullptr;
    }
    if (!dynamic_cast<TWebTheme *>(root.get())) {
        if (error)
            *error = QStringLiteral("Invalid class typecast: %1 is not a theme file.").arg(path);
        return nullptr;
    }
    return std::unique_ptr<TWebTheme>(static_cast<TWebTheme *>(root.release()));
}

bool save(const QString &path, TWebTheme &store, QString *error)
{
    ComponentWriter writer;
    if (writer.write(path, store, SafeWrite::Owner::Program))
        return true;
    if (error)
        *error = writer.errorString();
    return false;
}

QStringList themeNames(const TWebTheme &store)
{
    QStringList names;
    for (int i = 0; i < store.Items().Count(); ++i)
        names.append(store.Items().Items(i).ThemeName);
    return names;
}

int findTheme(const QStringList &names, const QString &themeName)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(themeName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void applyTheme(const TThemeItem &theme, TPagePropertiesBlock &page)
{
    page.ThemeName = theme.ThemeName;
    page.Background = theme.BGImage;
    page.IndentMargin = theme.LeftMargin;
    page.BGColor = theme.BGColor;
    page.TextColor = theme.TextColor;
    page.LinkColor = theme.LinkColor;
    page.ALinkColor = theme.ALinkColor;
    page.VLinkColor = theme.VLinkColor;
}

std::unique_ptr<TWebTheme> parseSource(const QString &text, QString *error)
{
    auto store = std::make_unique<TWebTheme>();
    TThemeItem *theme = nullptr;
    const QStringList lines = TextFile::splitLines(text);
    static const QRegularExpression colourPattern(QStringLiteral("^#([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})$"));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        auto fail = [&](const QString &reason) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(n + 1).arg(reason);
            return nullptr;
        };
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            theme = &store->Items().Add();
            theme->ThemeName = line.mid(1, line.size() - 2).trimmed();
            theme->LeftMargin = QStringLiteral("0");
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!theme || eq < 0)
            return fail(QStringLiteral("expected a [theme name] or a key=value line"));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == u"BGImage") {
            theme->BGImage = value;
            continue;
        }
        if (key == u"LeftMargin") {
            theme->LeftMargin = value;
            continue;
        }
        qint32 *colour = key == u"BGColor"     ? &theme->BGColor
                       : key == u"TextColor"  ? &theme->TextColor
                       : key == u"LinkColor"  ? &theme->LinkColor
                       : key == u"ALinkColor" ? &theme->ALinkColor
                       : key == u"VLinkColor" ? &theme->VLinkColor
                                              : nullptr;
        if (!colour)
            return fail(QStringLiteral("unknown key %1").arg(key));
        const QRegularExpressionMatch m = colourPattern.match(value);
        if (!m.hasMatch())
            return fail(QStringLiteral("colour %1 is not #RRGGBB").arg(value));
        const int red = m.captured(1).toInt(nullptr, 16);
        const int green = m.captured(2).toInt(nullptr, 16);
        const int blue = m.captured(3).toInt(nullptr, 16);
        *colour = red | (green << 8) | (blue << 16);
    }
    return store;
}

}
