#pragma once

#include "persistent.h"

#include <optional>

// Kind of a form field; documents store it by identifier.
enum TFieldKind : quint8 { fkText, fkTextArea, fkRadio, fkCheckBox, fkDropDown, fkButton };

const EnumTypeInfo &fieldKindTypeInfo();
// "TextBox", "TextArea", ... as written into the page HTML.
QString FieldTypeName(TFieldKind kind);
// "Text Box", "Text Area", ... as shown in the forms list.
QString FieldDisplayName(TFieldKind kind);

// One option of a radio button, check box or drop-down field as the field's Strings keep
// it: "value|text|mark" for radio buttons and check boxes, whose mark says whether the
// option is selected at first, and "value|text" for drop-down lists.
struct FieldOption
{
    QString value;
    QString text;
    QString mark;

    // The option of a Strings line; nothing for a marked line without its first bar. A
    // drop-down line without a bar is all text.
    static std::optional<FieldOption> parse(const QString &line, bool marked);
    // The Strings line, the mark written as it is.
    QString line(bool marked) const;

    bool selected() const { return isSelectedMark(mark); }
    // "yes" in any letter case of its ASCII letters, as pages read the mark.
    static bool isSelectedMark(QStringView mark);
    // The mark the field editor writes: "Yes" or "No".
    static QString markFor(bool selected);
};

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
