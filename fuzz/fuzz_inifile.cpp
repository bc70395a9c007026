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
    for (const QString &section : {FieldBank::defaultFieldsSection(), FieldBank::bankSection()}) {
        const std::optional<QList<BankField>> fields = FieldBank::readFields(bank, section);
        for (const BankField &field : fields.value_or(QList<BankField>())) {
            FieldBank::basicFieldStrings(bank, field);
            FieldBank::readOptions(bank, FieldBank::optionSection(field), true);
        }
    }
    return 0;
}
