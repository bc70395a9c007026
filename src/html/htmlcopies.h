#pragma once

#include "pagehtml.h"

#include "platform/safewrite.h"

#include <QString>
#include <QStringList>

class QIODevice;

// The HTML copies a saved page leaves under the program folder: the local copy beside
// the documents, the upload copy that is published, and the preview of a template.
// The name is the document's file name up to its last full stop.
namespace HtmlCopies {

QString localCopyPath(const ProgramFolder &folder, const QString &documentPath);     // VendrixFiles/<name>.html
QString uploadCopyPath(const ProgramFolder &folder, const QString &documentPath);    // Upload/<name without spaces>.html
QString templatePreviewPath(const ProgramFolder &folder, const QString &templatePath); // Templates/<name>.html
QString uploadCopyFileName(const QString &documentPath);  // "<name without spaces>.html", for the saved message

// Writes lines as ASCII (character references for the rest), each line + CR LF.
// False with the device's reason in *error when a write fails.
bool writeHtml(QIODevice *device, const QStringList &lines, QString *error);

// Writes a finished document's text (BuildPageText) as writeHtml() writes its lines,
// in blocks, so a large page is not held a second time as bytes.
bool writeHtmlText(QIODevice *device, QStringView text, QString *error);
bool writeHtmlTextFile(const QString &path, QStringView text, QString *error, SafeWrite::Owner owner);

// Writes lines as writeHtml does, replacing the file atomically: on failure the
// previous file is intact and *error holds the reason. The copies are the program's
// own files; a file the user named is written as the user's.
bool writeHtmlFile(const QString &path, const QStringList &lines, QString *error,
                   SafeWrite::Owner owner = SafeWrite::Owner::Program);
// The same for a copy the program makes from a document (SafeWrite::replaceCopy): not
// waited onto the disk, and left untouched when its bytes are already these.
bool writeHtmlCopy(const QString &path, const QStringList &lines, QString *error);

// Build in the right mode and write as copies (writeHtmlCopy), creating the target
// folder when it is missing; false with the reason in *error. ListIndexError/ConvertError propagate and then
// nothing is written.
bool writeLocalCopy(const TPagelette &page, const HtmlBuildOptions &options, const QString &documentPath, QString *error);
bool writeUploadCopy(const TPagelette &page, const HtmlBuildOptions &options, const QString &documentPath, QString *error);
bool writeTemplatePreview(const TPagelette &page, const HtmlBuildOptions &options, const QString &templatePath, QString *error);

}
