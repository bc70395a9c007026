#pragma once

#include "boundedread.h"

#include <QString>
#include <QStringList>

// Reading the plain text files the program is given (tips, field bank, palettes,
// bookmark files, imported text, internet shortcuts): UTF-8 when the bytes are valid
// UTF-8, else Windows-1252; lines end with CR LF, LF or CR.
namespace TextFile {

// The lines of the file; a final line break adds no empty line. Returns false (and
// leaves lines empty, with the reason in *error when given) when the file cannot be
// read, is no regular file or is larger than limit. The file's bytes are given back as
// the lines are made, so the file is never held both whole as bytes and as lines.
bool readLines(const QString &path, QStringList &lines, QString *error = nullptr, qint64 limit = BoundedRead::dataFileLimit);

QString decode(const QByteArray &bytes);
QStringList splitLines(const QString &text);

}
