// One allocation per concatenated expression: the builders join many short pieces.
#define QT_USE_QSTRINGBUILDER

#include "pagehtml.h"

#include "formhtml.h"
#include "htmltext.h"

#include "model/errors.h"
#include "model/fontdescription.h"

#include <array>
#include <cstring>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The index of the first CR or LF in text at or after from; the text's size when
// there is none. Four characters are looked at a time: only a group holding one below
// 14 (CR is 13) is looked at character by character.
qsizetype nextBreak(QStringView text, qsizetype from)
{
    const char16_t *const chars = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = from;
    while (i < n) {
        if (i + 4 <= n) {
            quint64 group;
            std::memcpy(&group, chars + i, sizeof group);
            if (((group - 0x000E000E000E000EULL) & ~group & 0x8000800080008000ULL) == 0) {
                i += 4;
                continue;
            }
        }
        for (const qsizetype end = qMin(i + 4, n); i < end; ++i) {
            if (chars[i] == u'\r' || chars[i] == u'\n')
                return i;
        }
    }
    return n;
}

// Splits text that arrives piece by piece into lines, as the whole text would be
// split: breaks are CR LF, lone CR or lone LF, a piece may end inside a line or
// between the CR and LF of one break, and a final break does not start another line.
// Calls onLine with each line.
template <class F>
class LineSplitter
{
public:
    explicit LineSplitter(F onLine)
        : mOnLine(std::move(onLine))
    {
    }

    LineSplitter &operator+=(QStringView piece)
    {
        qsizetype i = 0;
        if (mPendingCr) {
            mPendingCr = false;
            if (!piece.isEmpty() && piece.front() == u'\n')
                i = 1;
        }
        const qsizetype n = piece.size();
        qsizetype start = i;
        while ((i = nextBreak(piece, i)) < n) {
            const char16_t c = piece[i].unicode();
            endLine(piece.sliced(start, i - start));
            if (c == u'\r' && i + 1 == n)
                mPendingCr = true;
            i += (c == u'\r' && i + 1 < n && piece[i + 1] == u'\n') ? 2 : 1;
            start = i;
        }
        mPartial += piece.sliced(start);
        return *this;
    }

    // The last line, when the text does not end with a break.
    void finish()
    {
        if (!mPartial.isEmpty())
            endLine(QStringView());
    }

private:
    void endLine(QStringView tail)
    {
        if (mPartial.isEmpty()) {
            mOnLine(tail);
        } else {
            mPartial += tail;
            mOnLine(QStringView(mPartial));
            mPartial.truncate(0);
        }
    }

    F mOnLine;
    QString mPartial;
    bool mPendingCr = false;
};

// Calls onLine with each line of a whole text, split as LineSplitter splits it.
template <class F>
void forEachLine(QStringView text, F onLine)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; (i = nextBreak(text, i)) < n; ++i) {
        const char16_t c = text[i].unicode();
        onLine(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        onLine(text.sliced(start));
}

// A splitter that keeps the lines in a list.
auto lineCollector(QStringList &lines)
{
    return LineSplitter([&lines](QStringView line) { lines.append(line.toString()); });
}

// True when every line break is CR LF and the text is empty or ends with one, so
// splitting and joining again would give the same text.
bool isNormalized(QStringView text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return true;
    if (n < 2 || text[n - 2] != u'\r' || text[n - 1] != u'\n')
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r') {
            if (text[i + 1] != u'\n')
                return false;
            ++i;
        } else if (c == u'\n') {
            return false;
        }
    }
    return true;
}

// The text of split lines joined again, each followed by CR LF.
QString normalizeLines(const QString &text)
{
    if (isNormalized(text))
        return text;
    QString result;
    result.reserve(text.size() + 2);
    forEachLine(text, [&](QStringView line) {
        result += line;
        result += kCrLf;
    });
    return result;
}

// A line of two values split at its first TAB, written between the three texts given
// (a line without a TAB is the second value) after each is passed through its
// conversion. A line of one character stays as it is.
template <class First, class Second>
void appendTabPair(QString &result, QStringView line, QStringView before, First first, QStringView middle, Second second,
                   QStringView after)
{
    if (line.size() == 1) {
        result += line;
        return;
    }
    const qsizetype tab = line.indexOf(u'\t');
    result += before;
    if (tab >= 0)
        result += first(line.first(tab));
    result += middle;
    result += second(tab >= 0 ? line.sliced(tab + 1) : line);
    result += after;
}

QString quotedAttribute(QStringView text)
{
    return HtmlText::attribute(text.toString());
}

// The option's address is an attribute of the HTML that the script writes; the shown
// text follows the tag. Both sit inside the script's string.
QString dropBoxValue(QStringView text)
{
    return HtmlText::scriptString(quotedAttribute(text));
}

QString fontSizeText(qint32 points)
{
    switch (points) {
    case 8: return QStringLiteral("1");
    case 10: return QStringLiteral("2");
    case 12: return QStringLiteral("3");
    case 14: return QStringLiteral("4");
    case 16: return QStringLiteral("5");
    case 18: return QStringLiteral("6");
    case 20: return QStringLiteral("7");
    default: return QString::number(points);
    }
}

struct ListTag
{
    const char *tag;
    const char *type;
};

ListTag listTag(TListStyle style)
{
    switch (style) {
    case lsDisc: return {"UL", "DISC"};
    case lsCircle: return {"UL", "CIRCLE"};
    case lsSquare: return {"UL", "SQUARE"};
    case lsUpCaseA: return {"OL", "A"};
    case lsLoCaseA: return {"OL", "a"};
    case lsNum: return {"OL", "1"};
    case lsUpCaseRoman: return {"OL", "I"};
    case lsLoCaseRoman: return {"OL", "i"};
    }
    return {"UL", "DISC"};
}

// Pixels of the six thicknesses the line editor offers; other values are never
// stored by the editor and give an empty SIZE.
QString ruleThickness(qint32 size)
{
    static const char *const thickness[] = {"3", "6", "9", "12", "15", "18"};
    if (size < 0 || size >= qint32(std::size(thickness)))
        return QString();
    return QLatin1StringView(thickness[size]);
}

// What ConvertLines returns, appended to result.
void appendConvertedLines(QString &result, QStringView text, TLineKind kind)
{
    if (text.isEmpty())
        return;
    result.reserve(result.size() + text.size() + text.size() / 2 + 16);
    forEachLine(text, [&](QStringView line) {
        switch (kind) {
        case lkParagraph:
            if (line.isEmpty())
                result += QStringLiteral("<BR><BR>");
            else
                result += line;
            break;
        case lkDropBoxOptions:
            appendTabPair(result, line, u"document.write('<option value=\"", dropBoxValue, u"\">", HtmlText::scriptString,
                          u"');\r\n");
            break;
        case lkListItems:
            if (line.size() > 1)
                result += QStringLiteral("   <LI>");
            result += line;
            break;
        case lkMetaTags:
            appendTabPair(result, line, u"<META NAME=\"", quotedAttribute, u"\" CONTENT=\"", quotedAttribute, u"\">");
            break;
        }
        result += kCrLf;
    });
}

// The tags ApplyTextAttributes puts around a text.
struct TextAttributeTags
{
    QString open;
    QString close;
};

TextAttributeTags textAttributeTags(const QString &description, int applyFont)
{
    TextAttributeTags tags;
    if (applyFont == 1) {
        const FontTag font = FontTagOf(description);
        tags.open = QStringLiteral("<FONT FACE=") + font.face + QStringLiteral(" SIZE=\"") + font.size + QStringLiteral("\">");
        if (!font.color.isEmpty())
            HtmlText::insertBeforeFirst(tags.open, u'>', QStringLiteral(" COLOR=\"") + font.color + u'"');
    }
    const bool bold = description.contains(u"Bold");
    const bool italic = description.contains(u"Italic");
    const bool underline = description.contains(u"Underline");
    if (bold)
        tags.open += QStringLiteral("<B>");
    if (italic)
        tags.open += QStringLiteral("<I>");
    if (underline) {
        tags.open += QStringLiteral("<U>");
        tags.close += QStringLiteral("</U>");
    }
    if (italic)
        tags.close += QStringLiteral("</I>");
    if (bold)
        tags.close += QStringLiteral("</B>");
    if (applyFont == 1)
        tags.close += QStringLiteral("</FONT>");
    return tags;
}

class PageBuilder
{
public:
    PageBuilder(THTMLMode mode, const TPagelette &page, const HtmlBuildOptions &options)
        : mMode(mode), mPage(page), mOptions(options)
    {
    }

    // One entry per block after the page details, appended to lines as each is built.
    void addBlocks(QStringList &lines) const
    {
        const TPageCollection &items = mPage.Page();
        for (int i = 1; i < items.Count(); ++i)
            lines.append(blockHtml(items.Items(i), i));
    }

    // Writes the whole document to text (a QString or a LineSplitter): the header, the
    // entries of before (each followed by CR LF) and of every block, and the closing
    // parts. Each block's text is dropped once written, so a long page is held only
    // once. Raises ConvertError for a margin that is not a number before it writes
    // anything.
    template <class Sink>
    void writeDocument(const QStringList &before, Sink &text) const
    {
        const TPagePropertiesBlock &p = mPage.Page().Items(0).PagePropertiesBlock();
        const bool indent = p.IndentMargin != u"0";
        const qint64 margin = indent ? StrToInt(p.IndentMargin) : 0;

        const QString logo = mOptions.showLogo ? logoHtml() : QString();
        text += QStringLiteral("<!-- Created with Zandorell HTML Vendrix 5.0 -->\r\n<!--        ");
        text += mOptions.maker.webAddress;
        text += QStringLiteral("         -->\r\n<HTML>\r\n<HEAD>\r\n     <TITLE>");
        text += p.PageTitle;
        text += QStringLiteral("</TITLE>\r\n");
        if (!p.MetaText.isEmpty())
            text += ConvertLines(p.MetaText, lkMetaTags);
        if (hasDropBox()) {
            text += QStringLiteral("<script language=\"JavaScript\">\r\n<!--\r\n"
                                   "\tfunction go(doc){\r\n\tif (doc.options[doc.selectedIndex].value != \"none\") {\r\n"
                                   "\t\tlocation = doc.options[doc.selectedIndex].value;\r\n\t\t}\r\n\t}\r\n"
                                   "//-->\r\n</script>\r\n");
        }
        if (p.Underline) {
            text += QStringLiteral("<style type=\"text/css\">\r\n<!-- A:link {text-decoration: none;}\r\n"
                                   "     A:visited {text-decoration: none;} -->\r\n</style>\r\n");
        }
        text += bodyTag(p);
        text += kCrLf;
        if (indent) {
            text += QStringLiteral("<TABLE WIDTH=\"600\" BORDER=\"0\" CELLPADDING=\"0\" CELLSPACING=\"0\">\r\n<TR><TD WIDTH=\"");
            text += p.IndentMargin;
            text += QStringLiteral("\">&nbsp;</TD>\r\n<TD VALIGN=\"TOP\" WIDTH=\"");
            text += QString::number(600 - margin);
            text += QStringLiteral("\">\r\n");
        }
        for (const QString &entry : before) {
            text += entry;
            text += kCrLf;
        }
        // One buffer serves every block: its room, grown for the largest, is kept.
        const TPageCollection &items = mPage.Page();
        QString block;
        for (int i = 1; i < items.Count(); ++i) {
            block.truncate(0);
            appendBlockHtml(block, items.Items(i), i);
            block += kCrLf;
            text += QStringView(block);
        }
        if (indent) {
            text += kCrLf;
            text += logo;
            text += QStringLiteral("</TD></TR></TABLE>\r\n");
        } else {
            text += logo;
        }
        text += QStringLiteral("</BODY></HTML>");
    }

private:
    static bool isDropBox(const TLinkBlock &link) { return link.UseDropBox && !link.DropBoxText.isEmpty(); }

    // The go() script the drop boxes call is written once, in the head.
    bool hasDropBox() const
    {
        const TPageCollection &items = mPage.Page();
        for (int i = 1; i < items.Count(); ++i) {
            const TPageItem &item = items.Items(i);
            if (item.BlockType == btLink && isDropBox(item.LinkBlock()))
                return true;
        }
        return false;
    }

    QString blockHtml(const TPageItem &item, int index) const
    {
        QString h;
        appendBlockHtml(h, item, index);
        return h;
    }

    // Appends a block's HTML in the order it is read, so the text of a paragraph or
    // list is copied once.
    void appendBlockHtml(QString &h, const TPageItem &item, int index) const
    {
        switch (item.BlockAlign) {
        case baCenter: h += QStringLiteral("<CENTER>"); break;
        case baRight: h += QStringLiteral("<P ALIGN=\"RIGHT\">"); break;
        case baLeft:
        case baNone: break;
        }
        switch (item.BlockType) {
        case btHeading: {
            const THeadingBlock &b = item.HeadingBlock();
            const TextAttributeTags &tags = attributeTags(b.Attributes, b.ApplyFont);
            h += tags.open;
            h += b.Heading;
            h += tags.close;
            break;
        }
        case btImage: h += imageHtml(item.ImageBlock()); break;
        case btLink: h += linkHtml(item.LinkBlock(), index); break;
        case btText: {
            const TTextBlock &b = item.TextBlock();
            const TextAttributeTags &tags = attributeTags(b.Attributes, b.ApplyFont);
            h += tags.open;
            appendConvertedLines(h, b.Text, lkParagraph);
            h += tags.close;
            break;
        }
        case btBullet: {
            const TBulletBlock &b = item.BulletBlock();
            const ListTag t = listTag(b.Style);
            h += u'<';
            h += QLatin1StringView(t.tag);
            h += QStringLiteral(" TYPE=\"");
            h += QLatin1StringView(t.type);
            h += QStringLiteral("\">\r\n");
            appendConvertedLines(h, b.Bullets, lkListItems);
            h += QStringLiteral("</");
            h += QLatin1StringView(t.tag);
            h += u'>';
            break;
        }
        case btHR: {
            const THRBlock &b = item.HRBlock();
            QString rule = QStringLiteral("<HR WIDTH=\"") + QString::number(b.Width) + QStringLiteral("%\" SIZE=\"")
                           + ruleThickness(b.Size) + QStringLiteral("\">");
            if (b.NoShade)
                HtmlText::insertBeforeFirst(rule, u'>', QStringLiteral(" NOSHADE"));
            h += rule;
            break;
        }
        case btForms:
            if (mPage.WebForm().Count() > 0)
                h += GetFormHTML(mPage, mOptions.maker);
            break;
        case btPageProperties:
            break;
        }

        switch (item.BlockAlign) {
        case baCenter: h += QStringLiteral("</CENTER>"); break;
        case baRight: h += QStringLiteral("</P>"); break;
        case baLeft:
        case baNone: break;
        }
        if (item.BlockOnNewLine)
            h += QStringLiteral("<P>");
    }

    // Blocks mostly share a few font descriptions: the tags of the last few are kept.
    const TextAttributeTags &attributeTags(const QString &description, int applyFont) const
    {
        for (const KnownTags &known : mKnownTags) {
            if (known.used && known.applyFont == applyFont && known.description == description)
                return known.tags;
        }
        KnownTags &known = mKnownTags[mNextKnownTags++ % mKnownTags.size()];
        known.tags = textAttributeTags(description, applyFont);
        known.description = description;
        known.applyFont = applyFont;
        known.used = true;
        return known.tags;
    }

    QString imageHtml(const TImageBlock &b) const
    {
        using HtmlText::attribute;
        QString h = QStringLiteral("<IMG SRC=\"") + attribute(pictureAddress(b.FileName, QLatin1StringView("images/")))
                    + QStringLiteral("\" BORDER=0 ALT=\"") + attribute(b.Alt) + QStringLiteral("\" HEIGHT=\"")
                    + attribute(b.Height) + QStringLiteral("\" WIDTH=\"") + attribute(b.Width) + QStringLiteral("\">");
        if (!b.Align.isEmpty())
            HtmlText::insertBeforeFirst(h, u'>', QStringLiteral(" ALIGN=\"") + attribute(b.Align) + u'"');
        if (!b.ImageLink.isEmpty())
            h = QStringLiteral("<A HREF=\"") + attribute(b.ImageLink) + QStringLiteral("\">") + h + QStringLiteral("</A>");
        return h;
    }

    QString linkHtml(const TLinkBlock &b, int index) const
    {
        if (isDropBox(b)) {
            const QString number = QString::number(index);
            return QStringLiteral("<script language=\"JavaScript\">\r\n<!--\r\ndocument.write('<form name=\"selecter")
                   + number
                   + QStringLiteral("\"><select name=\"select\" size=1>');\r\n"
                                    "document.write('<option value=none>Select your destination');\r\n"
                                    "document.write('<option value=none>--------------------');\r\n")
                   + ConvertLines(b.DropBoxText, lkDropBoxOptions)
                   + QStringLiteral("document.write('</select>');\r\n"
                                    "document.write('&nbsp;<INPUT TYPE=\"button\" VALUE=\"Go\" onclick=\"go(document.selecter")
                   + number + QStringLiteral(".select)\">');\r\ndocument.write('</form>');\r\n//-->\r\n</script>\r\n");
        }
        QString h = QStringLiteral("<A HREF=\"") + HtmlText::attribute(b.LinkURL) + QStringLiteral("\">") + b.LinkText
                    + QStringLiteral("</A>");
        if (b.Email)
            h.insert(h.indexOf(u'"') + 1, QStringLiteral("mailto:"));
        return h;
    }

    // A picture's address by mode: sub is "images/" or "backgrounds/" below Upload/.
    QString pictureAddress(const QString &fileName, QLatin1StringView sub) const
    {
        switch (mMode) {
        case hmPreview: return mOptions.programFolder.uploadFolder() + sub + fileName;
        case hmLocalCopy: return QStringLiteral("../Upload/") + sub + fileName;
        case hmUploadCopy: break;
        }
        return fileName;
    }

    QString bodyTag(const TPagePropertiesBlock &p) const
    {
        QString tag = QStringLiteral("</HEAD>\r\n\r\n<BODY BGCOLOR=\"") + ColorToHTML(p.BGColor)
                      + QStringLiteral("\" TEXT=\"") + ColorToHTML(p.TextColor) + QStringLiteral("\" LINK=\"")
                      + ColorToHTML(p.LinkColor) + QStringLiteral("\" ALINK=\"") + ColorToHTML(p.ALinkColor)
                      + QStringLiteral("\" VLINK=\"") + ColorToHTML(p.VLinkColor) + QStringLiteral("\">");
        if (!p.Background.isEmpty())
            tag.insert(tag.size() - 1, QStringLiteral(" BACKGROUND=\"")
                                           + HtmlText::attribute(pictureAddress(p.Background, QLatin1StringView("backgrounds/")))
                                           + u'"');
        return tag;
    }

    QString logoHtml() const
    {
        return QStringLiteral("<CENTER><FONT SIZE=\"1\" FACE=\"VERDANA, ARIAL\"><A HREF=\"") + mOptions.maker.homePage
               + QStringLiteral("\"><IMG SRC=\"") + mOptions.maker.logoImageUrl()
               + QStringLiteral("\" BORDER=0 ALT=\"Zandorell HTML Vendrix 4.0\"><BR><BR>\r\n"
                                "Created with Zandorell HTML Vendrix 5.0</A></FONT></CENTER>\r\n");
    }

    THTMLMode mMode;
    const TPagelette &mPage;
    const HtmlBuildOptions &mOptions;
    struct KnownTags
    {
        bool used = false;
        QString description;
        int applyFont = 0;
        TextAttributeTags tags;
    };
    mutable std::array<KnownTags, 4> mKnownTags;
    mutable size_t mNextKnownTags = 0;
};

}

QString ColorToHTML(qint32 color)
{
    static const char16_t digits[] = u"0123456789ABCDEF";
    const quint32 c = quint32(color);
    QString result(7, u'#');
    for (int i = 0; i < 3; ++i) {
        const quint32 byte = (c >> (8 * i)) & 0xFF;
        result[1 + 2 * i] = QChar(digits[byte >> 4]);
        result[2 + 2 * i] = QChar(digits[byte & 0xF]);
    }
    return result;
}

FontTag FontTagOf(const QString &description)
{
    FontTag tag;
    const qsizetype comma = description.indexOf(u',');
    tag.face = comma < 0 ? QString() : description.left(comma);
    const QString afterFace = comma < 0 ? QString() : description.mid(comma + 2);
    const qsizetype sizeEnd = afterFace.indexOf(u',');
    tag.size = fontSizeText(StrToInt(sizeEnd < 0 ? afterFace : afterFace.left(sizeEnd)));

    const qsizetype open = description.lastIndexOf(u'[');
    QString token;
    if (open >= 0) {
        const qsizetype close = description.indexOf(u']', open + 1);
        token = description.mid(open + 1, close < 0 ? -1 : close - open - 1);
    }
    tag.color = ColorToHTML(StringToColor(token));
    // $00050000, the default description's colour, stands for no colour given.
    if (tag.color == u"#000005")
        tag.color.clear();
    return tag;
}

QString ApplyTextAttributes(const QString &text, const QString &description, int applyFont)
{
    const TextAttributeTags tags = textAttributeTags(description, applyFont);
    return tags.open + text + tags.close;
}

QString ConvertLines(const QString &text, TLineKind kind)
{
    QString result;
    appendConvertedLines(result, text, kind);
    return result;
}

QStringList SplitHtmlLines(QStringView text)
{
    QStringList lines;
    auto collector = lineCollector(lines);
    collector += text;
    collector.finish();
    return lines;
}

void BuildPageHTML(QStringList &lines, THTMLMode mode, const TPagelette &page, const HtmlBuildOptions &options)
{
    if (page.Page().Count() == 0)
        return;
    const PageBuilder builder(mode, page, options);
    QStringList document;
    auto sink = lineCollector(document);
    try {
        builder.writeDocument(lines, sink);
    } catch (const VendrixError &) {
        // Leave lines as building block by block would have: one entry for each block
        // built before the failure. A failing block fails again at the same place, and
        // a bad margin is only found once every block is built.
        builder.addBlocks(lines);
        throw;
    }
    sink.finish();
    lines = std::move(document);
}

QString BuildPageText(THTMLMode mode, const TPagelette &page, const HtmlBuildOptions &options)
{
    if (page.Page().Count() == 0)
        return QString();
    QString text;
    PageBuilder(mode, page, options).writeDocument(QStringList(), text);
    // The document never ends with a line break; adding one changes no line and lets
    // a text whose breaks are all CR LF through without a copy.
    text += kCrLf;
    return normalizeLines(text);
}
