#pragma once

#include <QStringList>

class ProgramFolder;
class TPagelette;

// The files Send to web publishes, taken from the program folder's upload folders.
namespace UploadList {

// The page's file name in "Upload/": the document's file name without folder, cut
// before its last "." and with every blank removed ("My Page.vxf" -> "MyPage"). Empty
// for a document never saved ("Untitled"), which therefore has no page file.
QString pageFileName(const QString &documentPath);

// The name a local file gets on the server: the part of its path after the last "/".
QString bareFileName(const QString &localPath);

// Full paths of: every existing background picture ("Upload/backgrounds/") and image
// block picture ("Upload/images/") of the page, sorted without regard to letter case
// and without duplicates; then, last, the page's upload copy "Upload/<page>.html" when
// it exists. The run sends the last entry first.
QStringList collect(const TPagelette &page, const ProgramFolder &folder, const QString &documentPath);

}
