#include "textimport.h"

#include "platform/textfile.h"

namespace TextImport {

bool readText(const QString &path, QString &text)
{
    QStringList lines;
    if (!TextFile::readLines(path, lines))
        return false;
    QString joined;
    for (const QString &line : std::as_const(lines))
        joined += line + QStringLiteral("\r\n");
    text = joined;
    return true;
}

}
