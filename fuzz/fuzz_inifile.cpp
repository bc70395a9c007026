// The field bank file: any bytes are read, written back byte for byte, and its fields
// and option lists are read without a crash or a hang.
#include "fuzzcheck.h"

#include "forms/fieldbank.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const IniFile bank = IniFile::parse(bytes);
    FUZZ_CHECK(bank.toBytes() == bytes);
    // Every field's options are read through the same code: a few fields find what
    // all of them can, at a fraction of the cost.
    for (const QString &section : {FieldBank::defaultFieldsSection(), FieldBank::bankSection()}) {
        const QList<BankField> fields = FieldBank::readFields(bank, section).value_or(QList<BankField>());
        for (qsizetype i = 0; i < fields.size() && i < 4; ++i) {
            FieldBank::basicFieldStrings(bank, fields[i]);
            FieldBank::readOptions(bank, FieldBank::optionSection(fields[i]), true);
        }
    }
    return 0;
}
