// The readers of the text files the program is given: palettes, the browser's
// bookmark file, internet shortcuts, tips (plain lines), the help text, the theme
// source, the field bank and the settings file. None may crash or hang on any bytes;
// the field bank file writes back byte for byte what it read, and the settings read
// from any text are read again the same from what they are written as.
#include "fuzzcheck.h"

#include "forms/fieldbank.h"
#include "model/bookmarks.h"
#include "platform/helptopics.h"
#include "platform/settingsfile.h"
#include "platform/textfile.h"
#include "themes/palette.h"
#include "themes/themestore.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <unistd.h>

namespace {

// Internet shortcuts are read from a file; one scratch file serves every run.
QString scratchFile()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/vendrix-fuzz-%1.url").arg(getpid());
    return path;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = TextFile::decode(bytes);
    const QStringList lines = TextFile::splitLines(text);
    for (const QString &line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));

    QStringList addresses;
    for (const QString &line : lines) {
        Bookmarks::appendAddresses(line, addresses);
        if (Palette::isColorLine(line))
            Palette::parseColorLine(line, 0);
    }
    PaletteTable palette;
    palette.setLines(lines);
    FUZZ_CHECK(palette.isLoaded());

    HelpTopics help;
    help.parse(text);
    for (int number : help.numbers())
        help.topicHtml(number);
    help.contentsHtml();
    help.pageHtml(QStringLiteral("help:1"));

    QString error;
    if (!ThemeStore::parseSource(text, &error))
        FUZZ_CHECK(!error.isEmpty());

    const IniFile bank = IniFile::parse(bytes);
    FUZZ_CHECK(bank.toBytes() == bytes);
    for (const QString &section : {FieldBank::defaultFieldsSection(), FieldBank::bankSection()}) {
        const std::optional<QList<BankField>> fields = FieldBank::readFields(bank, section);
        for (const BankField &field : fields.value_or(QList<BankField>())) {
            FieldBank::basicFieldStrings(bank, field);
            FieldBank::readOptions(bank, FieldBank::optionSection(field), true);
        }
    }

    const QSettings::SettingsMap settings = SettingsFile::parse(bytes);
    FUZZ_CHECK(SettingsFile::parse(SettingsFile::serialise(settings)) == settings);

    QFile file(scratchFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()) {
        file.close();
        Bookmarks::readInternetShortcut(scratchFile());
    }
    return 0;
}
