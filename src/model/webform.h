#pragma once

#include "persistent.h"

// Kind of a form field; documents store it by identifier.
enum TFieldKind : quint8 { fkText, fkTextArea, fkRadio, fkCheckBox, fkDropDown, fkButton };

const EnumTypeInfo &fieldKindTypeInfo();
// "TextBox", "TextArea", ... as written into the page HTML.
QString FieldTypeName(TFieldKind kind);
// "Text Box", "Text Area", ... as shown in the forms list.
QString FieldDisplayName(TFieldKind kind);

// One field of the e-mail form.
class TFormElement : public TCollectionItem
{
public:
    TFieldKind FieldKind = fkText;
    QString Name;
    QStringList Strings;  // kind-specific settings ("Size=30") or choices ("value|text|Yes")
    QString Text;
    QString Value;

    // The value of a "name=value" line of Strings, the name compared without case;
    // empty when there is no such line.
    QString StringsValue(QStringView name) const;

    static const ClassInfo &staticClassInfo();
    const ClassInfo &classInfo() const override { return staticClassInfo(); }
};

// The ordered fields of the page's e-mail form.
class TWebForm : public TOwnedCollection<TFormElement>
{
public:
    // A new empty text field at the end.
    TFormElement &AddElement() { return Add(); }
    void DeleteElement(int index) { remove(index); }
    void MoveElement(int fromIndex, int toIndex) { move(fromIndex, toIndex); }
};
