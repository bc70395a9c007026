#include "palette.h"

#include "model/routines.h"
#include "platform/textfile.h"

#include <QDir>

namespace {

constexpr qint32 kWhite = 0x00FFFFFF;

}

PaletteTable::PaletteTable()
{
    mColors.fill(kWhite);
}

bool PaletteTable::load(const QString &path, QString *error)
{
    QStringList lines;
    if (!TextFile::readLines(path, lines, error))
        return false;
    setLines(lines);
    return true;
}

void PaletteTable::setLines(const QStringList &lines)
{
    mColors.fill(kWhite);
    int next = 0;
    for (const QString &line : lines) {
        if (next == Size)
            break;
        if (Palette::isColorLine(line)) {
            mColors[next] = Palette::parseColorLine(line, mColors[next]);
            ++next;
        }
    }
    mLoaded = true;
}

namespace Palette {

bool isColorLine(const QString &line)
{
    return line.size() > 3 && Routines::IsNumeric(line);
}

qint32 parseColorLine(const QString &line, qint32 color)
{
    int channels[3] = {red(color), green(color), blue(color)};
    int taken = 0;
    int pos = 1;
    do {
        const QString piece = Routines::NextToken(line, QStringLiteral(" "), pos);
        if (piece.isEmpty() || piece.size() > 3)
            continue;
        bool ok = false;
        const int value = piece.toInt(&ok);
        if (!ok)
            continue;
        channels[taken++] = value < 256 ? value : 255;
    } while (pos != 0 && taken < 3);
    return rgb(channels[0], channels[1], channels[2]);
}

QList<Entry> list(const QString &folder)
{
    QList<Entry> entries;
    const QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.pal")},
                                                  QDir::Files | QDir::Hidden | QDir::System,
                                                  QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &file : files) {
        const QString name = file.fileName();
        const qsizetype dot = name.indexOf(QStringLiteral(".pal"), 0, Qt::CaseInsensitive);
        entries.append({name.left(dot), file.absoluteFilePath()});
    }
    return entries;
}

}
