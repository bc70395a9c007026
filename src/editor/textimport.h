#pragma once

#include <QString>

namespace TextImport {

// The file's lines, each followed by CR LF, ready to be typed into a text box.
// False (text untouched) when the file cannot be read.
bool readText(const QString &path, QString &text);

}
