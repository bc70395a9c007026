#pragma once

#include "inifile.h"
#include "model/webform.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A stock form field of the field bank file: its name and kind.
struct BankField
{
    QString name;
    TFieldKind kind = fkText;

    bool operator==(const BankField &) const = default;
};

// The field bank file ("Fields.ini" in the program folder): the basic fields that Load
// Basic Fields puts into a form ("Default Fields"), the fields offered to choose from
// ("Field Bank"), and the options of stock fields, each in a section named after the
// field (or "CREDIT", "YEAR" and "MONTH" for the credit card drop-downs).
namespace FieldBank {

inline QString defaultFieldsSection() { return QStringLiteral("Default Fields"); }
inline QString bankSection() { return QStringLiteral("Field Bank"); }

// "name|kind" with a kind from 0 to 5; nothing for any other kind text.
std::optional<BankField> parseField(const QString &value);
QString fieldValue(const BankField &field);

// The fields of a section: the entries "FIELD0" up to "FIELD<count - 1>", where count
// is the number of entries in the section, so a missing number is skipped and the
// numbers past the count are never read. Nothing when the section has no entries.
std::optional<QList<BankField>> readFields(const IniFile &file, const QString &section);

// The rows shown when the file lacks "Default Fields" or "Field Bank".
QList<BankField> builtInDefaultFields();
QList<BankField> builtInBankFields();

// The options of an option section as a field's Strings: "value|text|checked" lines
// with withChecked (radio buttons, check boxes), "value|text" lines without.
QStringList readOptions(const IniFile &file, const QString &section, bool withChecked);
// The option section of a stock field of that name and kind.
QString optionSection(const BankField &field);
// The Strings a basic field gets when it is loaded: size and length for a text box,
// columns and rows for a text area, the options of its section for choices.
QStringList basicFieldStrings(const IniFile &file, const BankField &field);

enum class ReadResult { Read, Missing, Failed };
// Reads the file; a missing file reads as an empty one (Missing). Failed, with the
// reason in *error, when the file exists but cannot be read.
ReadResult readFile(const QString &path, IniFile &file, QString *error = nullptr);

// Rewrites the "Default Fields" section of the file with one "FIELD<n>" entry per
// field, reading the file afresh so every other section and line stays as it is, and
// creating the file when it is missing. The file is replaced atomically. Returns false
// with the reason in *error when the file exists but cannot be read (nothing is
// written then), or cannot be written (the previous file stays).
bool writeDefaultFields(const QString &path, const QList<BankField> &fields, QString *error = nullptr);

}
