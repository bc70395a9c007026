#pragma once

#include <QString>
#include <QStringList>

// The documents the template browser lists: the templates in Templates/ and the saved
// pages in VendrixFiles/, each shown by its caption (its file name up to the last
// full stop) with a companion HTML file of the same name beside it.
namespace TemplateFolder {

// The captions of every entry of the folder (files, folders, hidden ones too) whose
// name ends with the extension, no dot needed before it, letter case compared
// exactly. Sorted by caption for the user's locale, letter case ignored. Empty when
// the folder text is empty or the folder is missing.
QStringList entryCaptions(const QString &folder, const QString &extension);

// folder + caption + "." + extension
QString documentPath(const QString &folder, const QString &caption, const QString &extension);

// The preview shown for a document anywhere: its folder, its file name without the
// last extension, ".html".
QString companionOf(const QString &documentPath);

enum class DeleteResult {
    Deleted, // the document is gone (its companion too, when it could be deleted)
    Missing, // there was no document
    Failed,  // the document is still there; *error holds the reason
};

// Deletes folder + caption + "." + extension and then its companion HTML file.
DeleteResult deleteDocument(const QString &folder, const QString &caption, const QString &extension,
                            QString *error = nullptr);

}
