#include "webform.h"

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
