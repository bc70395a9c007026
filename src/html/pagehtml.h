#pragma once

#include "model/pagelette.h"
#include "platform/makerconfig.h"
#include "platform/programfolder.h"

#include <QString>
#include <QStringList>

// How picture files are addressed: absolute under the program folder for the preview
// pane, relative to the sibling folders of Upload/ for the copies kept on disk, bare
// file names for the copy published beside its pictures.
enum THTMLMode { hmPreview, hmLocalCopy, hmUploadCopy };

enum TLineKind { lkParagraph, lkDropBoxOptions, lkListItems, lkMetaTags };

struct HtmlBuildOptions
{
    ProgramFolder programFolder; // picture addresses of hmPreview
    bool showLogo = false;       // the logo check box of the page details panel
    MakerConfig maker = MakerConfig::defaults();
};

// The warning the main window shows when BuildPageHTML raises ListIndexError.
inline QString errorCreatingWebPageMessage() { return QStringLiteral("Error Creating Web Page"); }

// "#RRGGBB" of a 0x00BBGGRR colour.
QString ColorToHTML(qint32 color);

// What the FONT tag of ApplyTextAttributes(text, description, 1) says: the face as
// written (with its quotes), the SIZE text and the COLOR ("#RRGGBB"; empty when the
// description names none). Raises ConvertError when the size or colour is not a number.
struct FontTag
{
    QString face;
    QString size;
    QString color;
};
FontTag FontTagOf(const QString &description);

// The text wrapped in B, I and U tags as the font description names those styles
// (bold outermost), and with applyFont 1 in a FONT tag of its face, size and colour.
// Raises ConvertError when applyFont is 1 and the size or colour is not a number.
QString ApplyTextAttributes(const QString &text, const QString &description, int applyFont);

// The lines of text converted by kind, each followed by CR LF; empty for empty text.
QString ConvertLines(const QString &text, TLineKind kind);

// Adds the page's lines to lines (callers pass an empty list). Raises ListIndexError
// (lines then hold what was built so far) and ConvertError for an IndentMargin that is
// not a number (lines then hold one entry per block). Does nothing for a page without
// items. Reads nothing but its arguments, so the caller stores the open editor panel
// first and selects the page's theme itself.
void BuildPageHTML(QStringList &lines, THTMLMode mode, const TPagelette &page, const HtmlBuildOptions &options);

// The finished document as one text, each line followed by CR LF: what BuildPageHTML
// puts into lines, joined. Raises as BuildPageHTML does.
QString BuildPageText(THTMLMode mode, const TPagelette &page, const HtmlBuildOptions &options);

// Splits text into lines at each CR LF, lone CR or lone LF; a final line break adds
// no empty line.
QStringList SplitHtmlLines(QStringView text);
