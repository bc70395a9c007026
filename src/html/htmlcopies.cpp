#include "htmlcopies.h"

#include "htmltext.h"

#include "model/routines.h"
#include "platform/safewrite.h"

#include <QDir>
#include <QFileInfo>

namespace HtmlCopies {

namespace {

QString documentName(const QString &documentPath)
{
    return Routines::StripExtension(QFileInfo(documentPath).fileName());
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QByteArray encodedText(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return HtmlText::toAscii(text);
}

bool writeBytesToFile(const QString &path, const QByteArray &bytes, QString *error, SafeWrite::Owner owner = SafeWrite::Owner::Program)
{
    return SafeWrite::replaceFile(path, bytes, error, owner) == SafeWrite::Result::Written;
}

bool writeCopyToFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return SafeWrite::replaceCopy(path, bytes, error) == SafeWrite::Result::Written;
}

bool buildAndWrite(THTMLMode mode, const TPagelette &page, const HtmlBuildOptions &options, const QString &path,
                   QString *error)
{
    const QString text = BuildPageText(mode, page, options);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(error, QStringLiteral("Cannot create the folder %1.").arg(folder));
    return writeCopyToFile(path, HtmlText::toAscii(text), error);
}

}

QString localCopyPath(const ProgramFolder &folder, const QString &documentPath)
{
    return folder.documentsFolder() + documentName(documentPath) + QStringLiteral(".html");
}

QString uploadCopyPath(const ProgramFolder &folder, const QString &documentPath)
{
    return folder.uploadFolder() + uploadCopyFileName(documentPath);
}

QString templatePreviewPath(const ProgramFolder &folder, const QString &templatePath)
{
    return folder.templatesFolder() + documentName(templatePath) + QStringLiteral(".html");
}

QString uploadCopyFileName(const QString &documentPath)
{
    return Routines::RemoveSpaces(documentName(documentPath)) + QStringLiteral(".html");
}

bool writeHtml(QIODevice *device, const QStringList &lines, QString *error)
{
    return SafeWrite::writeAll(device, encodedText(lines), error);
}

bool writeHtmlText(QIODevice *device, QStringView text, QString *error)
{
    constexpr qsizetype block = 128 * 1024;
    QByteArray bytes;
    bytes.reserve(block + block / 4);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype n = qMin(block, text.size() - at);
        // A character made of two UTF-16 units stays in one block, so it gets one reference.
        if (at + n < text.size() && text[at + n - 1].isHighSurrogate())
            ++n;
        bytes.resize(0);
        HtmlText::appendAscii(text.sliced(at, n), bytes);
        if (!SafeWrite::writeAll(device, bytes, error))
            return false;
        at += n;
    }
    return true;
}

bool writeHtmlTextFile(const QString &path, QStringView text, QString *error, SafeWrite::Owner owner)
{
    const auto produce = [text](QIODevice *device, QString *reason) { return writeHtmlText(device, text, reason); };
    return SafeWrite::replaceFile(path, produce, error, owner) == SafeWrite::Result::Written;
}

bool writeHtmlFile(const QString &path, const QStringList &lines, QString *error, SafeWrite::Owner owner)
{
    return writeBytesToFile(path, encodedText(lines), error, owner);
}

bool writeHtmlCopy(const QString &path, const QStringList &lines, QString *error)
{
    return writeCopyToFile(path, encodedText(lines), error);
}

bool writeLocalCopy(const TPagelette &page, const HtmlBuildOptions &options, const QString &documentPath, QString *error)
{
    return buildAndWrite(hmLocalCopy, page, options, localCopyPath(options.programFolder, documentPath), error);
}

bool writeUploadCopy(const TPagelette &page, const HtmlBuildOptions &options, const QString &documentPath, QString *error)
{
    return buildAndWrite(hmUploadCopy, page, options, uploadCopyPath(options.programFolder, documentPath), error);
}

bool writeTemplatePreview(const TPagelette &page, const HtmlBuildOptions &options, const QString &templatePath, QString *error)
{
    return buildAndWrite(hmLocalCopy, page, options, templatePreviewPath(options.programFolder, templatePath), error);
}

}
