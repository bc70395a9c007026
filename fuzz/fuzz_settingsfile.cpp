// The settings file: the settings read from any text are read again the same from
// what they are written as.
#include "fuzzcheck.h"

#include "platform/settingsfile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QSettings::SettingsMap settings = SettingsFile::parse(bytes);
    FUZZ_CHECK(SettingsFile::parse(SettingsFile::serialise(settings)) == settings);
    return 0;
}
