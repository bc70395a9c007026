// The readers of the plain text files the program is given: the browser's bookmark
// file and internet shortcuts, palettes, the help text and the theme source. None may
// crash or hang on any bytes. The first byte of an input chooses the reader and the
// rest is the file, so each run costs one reader, not all of them; and all of it works
// on the bytes in memory, since a file per input would cost more than the readers.
#include "fuzzcheck.h"

#include "model/bookmarks.h"
#include "platform/helptopics.h"
#include "platform/textfile.h"
#include "themes/palette.h"
#include "themes/themestore.h"

#include <cstdint>

namespace {

enum Reader : uint8_t { BookmarkFile, PaletteFile, HelpText, ThemeSource, ReaderCount };

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = TextFile::decode(bytes);
    // Readers of lines are given them as the file reader makes them.
    const auto splitLines = [&text] {
        const QStringList lines = TextFile::splitLines(text);
        for (const QString &line : lines)
            FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
        return lines;
    };

    switch (Reader(data[0] % ReaderCount)) {
    case BookmarkFile: {
        const QStringList lines = splitLines();
        QStringList addresses;
        for (const QString &line : lines)
            Bookmarks::appendAddresses(line, addresses);
        Bookmarks::internetShortcutUrl(lines);
        break;
    }
    case PaletteFile: {
        PaletteTable palette;
        palette.setLines(splitLines());
        FUZZ_CHECK(palette.isLoaded());
        break;
    }
    case HelpText: {
        // Every topic renders through the same code: a few of them find what one can.
        HelpTopics help;
        help.parse(text);
        const QList<int> numbers = help.numbers();
        for (qsizetype i = 0; i < numbers.size() && i < 4; ++i)
            help.topicHtml(numbers[i]);
        help.contentsHtml();
        break;
    }
    case ThemeSource: {
        QString error;
        if (!ThemeStore::parseSource(text, &error))
            FUZZ_CHECK(!error.isEmpty());
        break;
    }
    case ReaderCount:
        break;
    }
    return 0;
}
