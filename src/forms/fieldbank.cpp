#include "fieldbank.h"

#include "platform/boundedread.h"
#include "platform/safewrite.h"

#include <QFileInfo>

namespace FieldBank {

namespace {

const QString kFieldKey = QStringLiteral("FIELD");

}

std::optional<BankField> parseField(const QString &value)
{
    const qsizetype bar = value.indexOf(u'|');
    const QString kindText = bar < 0 ? QString() : value.mid(bar + 1);
    bool ok = false;
    const int kind = kindText.toInt(&ok, 10);
    if (!ok || kind < fkText || kind > fkButton)
        return std::nullopt;
    return BankField{value.left(bar), TFieldKind(kind)};
}

QString fieldValue(const BankField &field)
{
    return field.name + u'|' + QString::number(int(field.kind));
}

std::optional<QList<BankField>> readFields(const IniFile &file, const QString &section)
{
    const IniFile::Section entries = file.section(section);
    if (entries.isEmpty())
        return std::nullopt;
    QList<BankField> fields;
    for (int n = 0; n < entries.count(); ++n) {
        if (const std::optional<BankField> field = parseField(entries.value(kFieldKey + QString::number(n))))
            fields.append(*field);
    }
    return fields;
}

QList<BankField> builtInDefaultFields()
{
    return {{QStringLiteral("Name"), fkText},    {QStringLiteral("E-Mail"), fkText},
            {QStringLiteral("Address"), fkText}, {QStringLiteral("City"), fkText},
            {QStringLiteral("State"), fkDropDown}, {QStringLiteral("Zip Code/Postal Code"), fkText}};
}

QList<BankField> builtInBankFields()
{
    return builtInDefaultFields()
           + QList<BankField>{{QStringLiteral("Comments"), fkTextArea},
                              {QStringLiteral("Your Web Address"), fkText},
                              {QStringLiteral("Company Name"), fkText},
                              {QStringLiteral("Phone Number"), fkText},
                              {QStringLiteral("Credit Card Type"), fkRadio},
                              {QStringLiteral("Credit Card Number"), fkText},
                              {QStringLiteral("Credit Card Exp Date"), fkText}};
}

QStringList readOptions(const IniFile &file, const QString &section, bool withChecked)
{
    const IniFile::Section entries = file.section(section);
    QStringList options;
    for (int n = 0; n < entries.count(); ++n) {
        const QString value = entries.value(section + QString::number(n));
        if (value.isEmpty())
            continue;
        if (const std::optional<FieldOption> option = FieldOption::parse(value, withChecked))
            options.append(option->line(withChecked));
    }
    return options;
}

QString optionSection(const BankField &field)
{
    if (field.kind == fkDropDown) {
        if (field.name == u"Credit Card Type")
            return QStringLiteral("CREDIT");
        if (field.name == u"Credit Card Exp Year")
            return QStringLiteral("YEAR");
        if (field.name == u"Credit Card Exp Month")
            return QStringLiteral("MONTH");
    }
    return field.name;
}

QStringList basicFieldStrings(const IniFile &file, const BankField &field)
{
    switch (field.kind) {
    case fkText:
        return {QStringLiteral("Size=30"), QStringLiteral("Maxlength=100")};
    case fkTextArea:
        return {QStringLiteral("Cols=30"), QStringLiteral("Rows=15")};
    case fkRadio:
    case fkCheckBox:
        return readOptions(file, optionSection(field), true);
    case fkDropDown:
        return readOptions(file, optionSection(field), false);
    case fkButton:
        break;
    }
    return {};
}

ReadResult readFile(const QString &path, IniFile &file, QString *error)
{
    file = IniFile();
    if (!QFileInfo::exists(path))
        return ReadResult::Missing;
    QByteArray bytes;
    if (BoundedRead::readFile(path, bytes, error, BoundedRead::dataFileLimit) != BoundedRead::Result::Read)
        return ReadResult::Failed;
    file = IniFile::parse(bytes);
    return ReadResult::Read;
}

bool writeDefaultFields(const QString &path, const QList<BankField> &fields, QString *error)
{
    IniFile file;
    if (readFile(path, file, error) == ReadResult::Failed)
        return false;
    QList<IniFile::Entry> entries;
    for (int n = 0; n < fields.size(); ++n)
        entries.append({kFieldKey + QString::number(n), fieldValue(fields[n])});
    file.replaceEntries(defaultFieldsSection(), entries);
    return SafeWrite::replaceFile(path, file.toBytes(), error, SafeWrite::Owner::Program) == SafeWrite::Result::Written;
}

}
