#include "benchregistry.h"

#include "model/bookmarks.h"
#include "themes/palette.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// A bookmark export of n links, one per line or all on one line.
QString writeExport(const QTemporaryDir &dir, int n, bool oneLine)
{
    const QString path = dir.filePath(QStringLiteral("bookmarks-%1-%2.html").arg(n).arg(oneLine));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n");
    const char *separator = oneLine ? "" : "\n";
    for (int i = 0; i < n; ++i)
        file.write(QStringLiteral("    <DT><A HREF=\"https://site%1.example.org/page/%1\" ADD_DATE=\"1700000000\">Site %1</A>%2")
                       .arg(i)
                       .arg(QLatin1StringView(separator))
                       .toUtf8());
    file.write("</DL>\n");
    return path;
}

void readBookmarks(QTextStream &out)
{
    QTemporaryDir dir;
    for (const bool oneLine : {false, true}) {
        double ms[2] = {};
        const int sizes[2] = {10000, 20000};
        for (int k = 0; k < 2; ++k) {
            const QString path = writeExport(dir, sizes[k], oneLine);
            int found = 0;
            ms[k] = Bench::bestMilliseconds(5, [&] {
                QStringList addresses;
                Bookmarks::readFile(path, addresses);
                found = int(addresses.size());
            });
            out << QStringLiteral("%1 links%2: %3 ms (%4 addresses)\n")
                       .arg(sizes[k])
                       .arg(oneLine ? QStringLiteral(" on one line") : QString())
                       .arg(ms[k], 0, 'f', 1)
                       .arg(found);
        }
        out << QStringLiteral("20000/10000 ratio%1: %2 (linear is about 2)\n")
                   .arg(oneLine ? QStringLiteral(" on one line") : QString())
                   .arg(ms[1] / ms[0], 0, 'f', 2);
    }
}

void readPalette(QTextStream &out)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Big.pal"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (int i = 0; i < 256; ++i)
        file.write(QStringLiteral("%1 %2 %3\r\n").arg(i).arg(255 - i).arg(i / 2).toLatin1());
    file.close();
    PaletteTable table;
    const double ms = Bench::bestMilliseconds(20, [&] { table.load(path); });
    out << QStringLiteral("256-colour palette: %1 ms\n").arg(ms, 0, 'f', 3);
}

}

VENDRIX_BENCH("bookmarks: read a bookmark export", readBookmarks)
VENDRIX_BENCH("palette: read a palette file", readPalette)
