#pragma once

#include <QString>

// Copies a chosen picture into one of the upload folders, where the page refers to it
// by its file name alone.
namespace PictureStore {

// The path of the picture inside |folder| (which ends with '/'). The file is copied
// under its own name when that name is free. When the folder already holds a file of
// that name with the same contents nothing is copied; when it holds a different
// picture, the copy takes the first free name of "name-2.ext", "name-3.ext", ... (or
// reuses one that already holds the same contents), so the page never shows another
// picture than the one chosen. Returns an empty string, with the reason in *error,
// when the copy fails.
QString place(const QString &source, const QString &folder, QString *error = nullptr);

// True when both files can be read and hold the same bytes.
bool sameContents(const QString &first, const QString &second);

}
