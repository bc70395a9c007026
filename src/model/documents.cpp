#include "documents.h"

#include "componentstream.h"
#include "pagelette.h"

#include "platform/safewrite.h"

namespace Documents {

SaveResult SaveDocument(const QString &path, TPagelette &page, QString *error)
{
    switch (SafeWrite::replaceFile(path, ComponentWriter::toBytes(page), error)) {
    case SafeWrite::Result::Written:
        return SaveResult::Saved;
    case SafeWrite::Result::CannotCreate:
        return SaveResult::CannotCreate;
    case SafeWrite::Result::WriteFailed:
        break;
    }
    return SaveResult::WriteFailed;
}

bool LoadDocument(const QString &path, TPagelette &page, QString *error)
{
    page.Page().clear();
    ComponentReader reader;
    std::unique_ptr<TComponent> root = reader.read(path);
    auto *read = dynamic_cast<TPagelette *>(root.get());
    if (!read) {
        if (error)
            *error = root ? QStringLiteral("The file does not hold a page.") : reader.errorString();
        return false;
    }
    page.takeContentsFrom(*read);
    return true;
}

bool isTemplateFileName(const QString &path)
{
    return path.endsWith(QStringLiteral(".vxt"), Qt::CaseSensitive);
}

}
