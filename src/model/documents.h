#pragma once

#include <QString>

class TPagelette;

// Page documents (.vxf) and templates (.vxt): the page written as a component stream.
namespace Documents {

inline QString invalidDocumentMessage() { return QStringLiteral("The selected file is not a valid .VXF or .VXT document."); }
inline QString unableToCreateMessage() { return QStringLiteral("Unable to create file."); }

inline QString documentExtension() { return QStringLiteral("vxf"); }
inline QString documentFilter() { return QStringLiteral("Vendrix Files|*.vxf"); }
inline QString templateExtension() { return QStringLiteral("vxt"); }
inline QString templateFilter() { return QStringLiteral("Vendrix Template|*.vxt"); }

enum class SaveResult {
    Saved,
    CannotCreate, // the file could not be created at all
    WriteFailed,  // created, but writing or replacing failed; the previous file is intact
};

// Writes the page to path atomically. On failure *error holds the platform's reason.
SaveResult SaveDocument(const QString &path, TPagelette &page, QString *error = nullptr);

// Removes every item of the page, then reads the file; on success the page holds what
// the file holds (anything it lacks at its new-object value). Returns false with the
// reason in *error when the file cannot be read, is no component stream, or its root
// is not a page; the page is then left empty.
bool LoadDocument(const QString &path, TPagelette &page, QString *error = nullptr);
// Replaces the page's contents by the page that a document's bytes hold. False, with
// the reason in *error and the page as it was, when they hold none.
bool LoadDocumentBytes(const QByteArray &bytes, TPagelette &page, QString *error = nullptr);

// True when the file name's extension is exactly ".vxt" (letter case compared exactly).
bool isTemplateFileName(const QString &path);

}
