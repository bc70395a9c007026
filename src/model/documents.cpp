#include "documents.h"

#include "componentstream.h"
#include "pagelette.h"

#include "platform/safewrite.h"

namespace Documents {

SaveResult SaveDocument(const QString &path, TPagelette &page, QString *error)
{
    switch (ComponentWriter::replaceFile(path, page, error)) {
    case SafeWrite::Result::Written:
        return SaveResult::Saved;
    case SafeWrite::Result::CannotCreate:
        return SaveResult::CannotCreate;
    case SafeWrite::Result::WriteFailed:
        break;
    }
    return SaveResult::WriteFailed;
}

namespace {

// Page documents and templates hold a page: no other class is read from them.
const ClassRegistry &pageClasses()
{
    static const ClassRegistry pages = [] {
        ClassRegistry r;
        r.registerClass<TPagelette>();
        return r;
    }();
    return pages;
}

// The page a file or bytes hold, or nullptr with the reason in *error.
template <class Source>
std::unique_ptr<TPagelette> readPage(const Source &source, QString *error)
{
    ComponentReader reader(pageClasses());
    std::unique_ptr<TComponent> root = reader.read(source);
    if (!dynamic_cast<TPagelette *>(root.get())) {
        if (error)
            *error = root ? QStringLiteral("The file does not hold a page.") : reader.errorString();
        return nullptr;
    }
    return std::unique_ptr<TPagelette>(static_cast<TPagelette *>(root.release()));
}

}

bool LoadDocument(const QString &path, TPagelette &page, QString *error)
{
    page.Page().clear();
    const std::unique_ptr<TPagelette> read = readPage(path, error);
    if (read)
        page.takeContentsFrom(*read);
    return bool(read);
}

bool LoadDocumentBytes(const QByteArray &bytes, TPagelette &page, QString *error)
{
    const std::unique_ptr<TPagelette> read = readPage(bytes, error);
    if (!read)
        return false;
    page.Page().clear();
    page.takeContentsFrom(*read);
    return true;
}

bool isTemplateFileName(const QString &path)
{
    return path.endsWith(QStringLiteral(".vxt"), Qt::CaseSensitive);
}

}
