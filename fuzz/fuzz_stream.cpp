// Component streams (page documents, templates, the themes file): any input is either
// refused with a reason, or read into an object that writes a stream which reads back
// to the same object and the same bytes.
#include "fuzzcheck.h"

#include "model/componentstream.h"
#include "themes/streamclasses.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    ComponentReader reader(StreamClasses::standard());
    const std::unique_ptr<TComponent> first = reader.read(input);
    if (!first) {
        FUZZ_CHECK(!reader.errorString().isEmpty());
        return 0;
    }
    const QByteArray written = ComponentWriter::toBytes(*first);
    const std::unique_ptr<TComponent> second = reader.read(written);
    FUZZ_CHECK(second);
    FUZZ_CHECK(ComponentWriter::toBytes(*second) == written);
    FUZZ_CHECK(dumpProperties(*first) == dumpProperties(*second));
    return 0;
}
