#pragma once

#include <QString>
#include <QStringList>

// Reading the plain text files the program is given (tips, field bank, palettes,
// bookmark files, imported text, internet shortcuts): UTF-8 when the bytes are valid
// UTF-8, else Windows-1252; lines end with CR LF, LF or CR.
namespace TextFile {

// The lines of the file; a final line break adds no empty line. Returns false (and
// leaves lines empty, with the reason in *error when given) when the file cannot be read.
bool readLines(const QString &path, QStringList &lines, QString *error = nullptr);

QString decode(const QByteArray &bytes);
QStringList splitLines(const QString &text);

}
