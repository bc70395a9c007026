#include "webform.h"

#include "routines.h"

using namespace Qt::StringLiterals;

namespace {
const QLatin1StringView kFieldKindIds[] = {"fkText"_L1, "fkTextArea"_L1, "fkRadio"_L1,
                                           "fkCheckBox"_L1, "fkDropDown"_L1, "fkButton"_L1};
const char *const kTypeNames[] = {"TextBox", "TextArea", "Radio", "CheckBox", "DropDown", "Button"};
const char *const kDisplayNames[] = {"Text Box", "Text Area", "Radio Button", "Check Box", "Drop Down", "Button"};
}

const EnumTypeInfo &fieldKindTypeInfo()
{
    static const EnumTypeInfo info{"TFieldKind"_L1, kFieldKindIds};
    return info;
}

QString FieldTypeName(TFieldKind kind)
{
    return QString::fromLatin1(kTypeNames[kind]);
}

QString FieldDisplayName(TFieldKind kind)
{
    return QString::fromLatin1(kDisplayNames[kind]);
}

QString TFormElement::StringsValue(QStringView name) const
{
    for (const QString &line : Strings) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return QString();
}

std::optional<FieldOption> FieldOption::parse(const QString &line, bool marked)
{
    if (!marked)
        return FieldOption{Routines::TextBeforeBar(line), Routines::TextAfterBar(line), QString()};
    const qsizetype bar = line.indexOf(u'|');
    if (bar < 0)
        return std::nullopt;
    const QString rest = line.mid(bar + 1);
    return FieldOption{line.left(bar), Routines::TextBeforeBar(rest), Routines::TextAfterBar(rest)};
}

QString FieldOption::line(bool marked) const
{
    return marked ? value + u'|' + text + u'|' + mark : value + u'|' + text;
}

bool FieldOption::isSelectedMark(QStringView mark)
{
    static constexpr char16_t kYes[] = u"yes";
    if (mark.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        const char16_t c = mark[i].unicode();
        if ((c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c) != kYes[i])
            return false;
    }
    return true;
}

QString FieldOption::markFor(bool selected)
{
    return selected ? u"Yes"_s : u"No"_s;
}

const ClassInfo &TFormElement::staticClassInfo()
{
    static const PropertyInfo properties[] = {
        Props::enumeration<&TFormElement::FieldKind>("FieldKind"_L1, fieldKindTypeInfo()),
        Props::string<&TFormElement::Name>("Name"_L1),
        Props::stringList<&TFormElement::Strings>("Strings"_L1),
        Props::string<&TFormElement::Text>("Text"_L1),
        Props::string<&TFormElement::Value>("Value"_L1),
    };
    static const ClassInfo info{"TFormElement"_L1, properties};
    return info;
}
