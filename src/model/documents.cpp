#include "documents.h"

#include "componentstream.h"
#include "pagelette.h"

#include <QSaveFile>

namespace Documents {

SaveResult SaveDocument(const QString &path, TPagelette &page, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return SaveResult::CannotCreate;
    }
    ComponentWriter writer;
    if (!writer.write(&file, page)) {
        file.cancelWriting();
        if (error)
            *error = writer.errorString();
        return SaveResult::WriteFailed;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
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
