#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The colour picker's 256 colours (0x00BBGGRR), shared by every picker opened during
// the program's run: whoever opens pickers (the main window) owns one table and hands
// it to each dialog, so a palette that fails to load leaves the last one in place.
class PaletteTable
{
public:
    static constexpr int Size = 256;

    PaletteTable();

    qint32 at(int index) const { return mColors[index]; }
    // False until a palette file has been read.
    bool isLoaded() const { return mLoaded; }

    // Reads a palette file. When the file cannot be opened the table is left as it was
    // and false is returned with the reason in *error.
    bool load(const QString &path, QString *error = nullptr);

    // Sets every entry to white, then takes one colour from each colour line in order
    // (at most 256), and marks the table loaded.
    void setLines(const QStringList &lines);

private:
    std::array<qint32, Size> mColors;
    bool mLoaded = false;
};

namespace Palette {

// Not empty, only digits and spaces, and longer than three characters.
bool isColorLine(const QString &line);

// The colour of a colour line: its first three usable numbers are red, green and
// blue. Pieces between single spaces that are empty or longer than three digits are
// skipped; a number above 255 counts as 255. Channels the line does not give keep
// their value in |color|.
qint32 parseColorLine(const QString &line, qint32 color);

// One palette file in the palette folder: the name shown and the file behind it.
struct Entry
{
    QString name;
    QString path;
};

// The ".pal" files of the folder (the extension in any letter case), sorted by name;
// each is shown by its file name without the extension.
QList<Entry> list(const QString &folder);

// The colour's channels, and a colour from channels.
inline int red(qint32 color) { return color & 0xFF; }
inline int green(qint32 color) { return (color >> 8) & 0xFF; }
inline int blue(qint32 color) { return (color >> 16) & 0xFF; }
inline qint32 rgb(int r, int g, int b) { return qint32(r | (g << 8) | (b << 16)); }

}
