#include "htmltestpages.h"
#include "testfiles.h"
#include "testregistry.h"

#include "html/htmlcopies.h"
#include "html/htmltext.h"
#include "model/errors.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestPageHtml : public QObject
{
    Q_OBJECT

private slots:
    void colorToHtml_data()
    {
        QTest::addColumn<qint32>("color");
        QTest::addColumn<QString>("html");
        QTest::newRow("purple") << qint32(0x990099) << "#990099";
        QTest::newRow("blue value is red first") << qint32(0xFF0000) << "#0000FF";
        QTest::newRow("all three bytes") << qint32(0x123456) << "#563412";
        QTest::newRow("no-colour marker") << qint32(0x00050000) << "#000005";
        QTest::newRow("top byte ignored") << qint32(0x80000008) << "#080000";
    }
    void colorToHtml()
    {
        QFETCH(qint32, color);
        QFETCH(QString, html);
        QCOMPARE(ColorToHTML(color), html);
    }

    void applyTextAttributes_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("applyFont");
        QTest::addColumn<QString>("html");
        const QString plain = QStringLiteral("\"Times New Roman\", %1, [], [$00050000]");
        QTest::newRow("no styles") << plain.arg(12) << 0 << "x";
        QTest::newRow("bold outside underline") << "\"Arial\", 10, [Bold|Underline], [clBlack]" << 0 << "<B><U>x</U></B>";
        QTest::newRow("italic between") << "\"Arial\", 10, [Bold|Italic|Underline], [clBlack]" << 0
                                        << "<B><I><U>x</U></I></B>";
        QTest::newRow("face name counts") << "\"Bold Sans\", 10, [], [clBlack]" << 0 << "<B>x</B>";
        const char *sizes[][2] = {{"8", "1"}, {"10", "2"}, {"12", "3"}, {"14", "4"}, {"16", "5"},
                                  {"18", "6"}, {"20", "7"}, {"11", "11"}, {"36", "36"}};
        for (const auto &[points, html] : sizes) {
            QTest::addRow("%s points", points) << plain.arg(QLatin1StringView(points)) << 1
                                               << QStringLiteral("<FONT FACE=\"Times New Roman\" SIZE=\"%1\">x</FONT>")
                                                      .arg(QLatin1StringView(html));
        }
        QTest::newRow("red 14") << "\"Arial\", 14, [], [clRed]" << 1 << "<FONT FACE=\"Arial\" SIZE=\"4\" COLOR=\"#FF0000\">x</FONT>";
        QTest::newRow("black is a colour") << "\"Arial\", 12, [], [clBlack]" << 1
                                           << "<FONT FACE=\"Arial\" SIZE=\"3\" COLOR=\"#000000\">x</FONT>";
        QTest::newRow("hex colour") << "\"Arial\", 12, [], [$00FF0080]" << 1
                                    << "<FONT FACE=\"Arial\" SIZE=\"3\" COLOR=\"#8000FF\">x</FONT>";
        QTest::newRow("styles inside font") << "\"Arial\", 12, [Italic], [$00050000]" << 1
                                            << "<FONT FACE=\"Arial\" SIZE=\"3\"><I>x</I></FONT>";
    }
    void applyTextAttributes()
    {
        QFETCH(QString, description);
        QFETCH(int, applyFont);
        QFETCH(QString, html);
        QCOMPARE(ApplyTextAttributes(QStringLiteral("x"), description, applyFont), html);
    }

    void applyTextAttributesRejectsBadSize()
    {
        QVERIFY_THROWS_EXCEPTION(ConvertError, ApplyTextAttributes(QStringLiteral("x"), QStringLiteral("\"A\", big, [], [clRed]"), 1));
        QCOMPARE(ApplyTextAttributes(QStringLiteral("x"), QStringLiteral("\"A\", big, [], [clRed]"), 0), QStringLiteral("x"));
    }

    void convertLines_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("converted");
        QTest::newRow("empty") << int(lkParagraph) << "" << "";
        QTest::newRow("paragraph") << int(lkParagraph) << "a\r\n\r\nb" << "a\r\n<BR><BR>\r\nb\r\n";
        QTest::newRow("lone breaks") << int(lkParagraph) << "a\rb\n\nc\r\n" << "a\r\nb\r\n<BR><BR>\r\nc\r\n";
        QTest::newRow("only a break") << int(lkParagraph) << "\r\n" << "<BR><BR>\r\n";
        QTest::newRow("drop box") << int(lkDropBoxOptions) << "u\tShown\r\nx\r\nno tab\r\n"
                                  << "document.write('<option value=\"u\">Shown');\r\n\r\nx\r\n"
                                     "document.write('<option value=\"\">no tab');\r\n\r\n";
        QTest::newRow("second tab stays") << int(lkDropBoxOptions) << "a\tb\tc"
                                          << "document.write('<option value=\"a\">b\tc');\r\n\r\n";
        QTest::newRow("list items") << int(lkListItems) << "One\r\nI\r\n\r\nTwo" << "   <LI>One\r\nI\r\n\r\n   <LI>Two\r\n";
        QTest::newRow("meta tags") << int(lkMetaTags) << "author\tMe\r\nx\r\n\r\n"
                                   << "<META NAME=\"author\" CONTENT=\"Me\">\r\nx\r\n<META NAME=\"\" CONTENT=\"\">\r\n";
    }
    void convertLines()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, converted);
        QCOMPARE(ConvertLines(text, TLineKind(kind)), converted);
    }

    // Whole documents compared line by line, then the written file byte by byte.
    void golden_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList names = goldenCases().keys();
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
        QVERIFY(QDir(QStringLiteral(VENDRIX_TEST_DATA "/html")).entryList(QDir::Dirs | QDir::NoDotAndDotDot) == names);
    }
    void golden()
    {
        QFETCH(QString, name);
        const GoldenCase c = goldenCases().value(name);
        const QByteArray expected = readFile(QStringLiteral(VENDRIX_TEST_DATA "/html/%1/expected.html").arg(name));

        TPagelette page;
        c.fill(page);
        QStringList lines;
        BuildPageHTML(lines, c.mode, page, testOptions(c.logo));
        const QStringList expectedLines = QString::fromLatin1(expected).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size() + 1, expectedLines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString got = QString::fromLatin1(HtmlText::toAscii(lines[i]));
            if (got != expectedLines[i])
                QFAIL(qPrintable(QStringLiteral("line %1\n   got: %2\n  want: %3").arg(i + 1).arg(got, expectedLines[i])));
        }

        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.html"));
        QString error;
        QVERIFY2(HtmlCopies::writeHtmlFile(out, lines, &error), qPrintable(error));
        QCOMPARE(readFile(out), expected);
        QCOMPARE(HtmlText::toAscii(BuildPageText(c.mode, page, testOptions(c.logo))), expected);
    }

    // The file is ASCII whatever the text: references for the rest, ASCII kept as is.
    void writtenAsAscii()
    {
        QString ascii;
        for (char16_t c = 1; c < 0x80; ++c)
            ascii += QChar(c);
        QCOMPARE(HtmlText::toAscii(ascii), ascii.toLatin1());
        QCOMPARE(HtmlText::toAscii(u"a\u0416b\u0081\U0001F600"), QByteArray("a&#1046;b&#129;&#128512;"));
    }

    // A double quote in a user's text inside a double-quoted attribute is &quot;; the
    // same text between tags stays as typed. Drop-box texts sit in a script string.
    void userQuotesInAttributes_data()
    {
        QTest::addColumn<std::function<void(TPagelette &)>>("fill");
        QTest::addColumn<QString>("html");
        QTest::newRow("picture hint and link")
            << std::function([](TPagelette &page) {
                   TImageBlock &b = addItem(page, btImage).ImageBlock();
                   b.FileName = QStringLiteral("a\"b.gif");
                   b.Alt = QStringLiteral("the \"best\" one");
                   b.ImageLink = QStringLiteral("x\"y");
               })
            << "<A HREF=\"x&quot;y\"><IMG SRC=\"a&quot;b.gif\" BORDER=0 ALT=\"the &quot;best&quot; one\" HEIGHT=\"\" WIDTH=\"\"></A><P>";
        QTest::newRow("link address, text as typed")
            << std::function([](TPagelette &page) {
                   TLinkBlock &b = addItem(page, btLink).LinkBlock();
                   b.LinkURL = QStringLiteral("a\"b");
                   b.LinkText = QStringLiteral("<B>\"quoted\"</B>");
               })
            << "<A HREF=\"a&quot;b\"><B>\"quoted\"</B></A><P>";
        QTest::newRow("drop box")
            << std::function([](TPagelette &page) {
                   TLinkBlock &b = addItem(page, btLink).LinkBlock();
                   b.UseDropBox = true;
                   b.DropBoxText = QStringLiteral("u\"'\\\tIt's </script> \\ caf\u00E9");
               })
            << "document.write('<option value=\"u&quot;\\'\\\\\">It\\'s <\\/script> \\\\ caf\u00E9');";
        QTest::newRow("form values")
            << std::function([](TPagelette &page) {
                   addItem(page, btForms);
                   page.Subject = QStringLiteral("Say \"hi\"");
                   TFormElement &text = page.WebForm().AddElement();
                   text.Name = QStringLiteral("A\"B");
                   text.Value = QStringLiteral("v\"w");
                   text.Text = QStringLiteral("Label \"as typed\"");
                   TFormElement &list = page.WebForm().AddElement();
                   list.FieldKind = fkDropDown;
                   list.Strings = {QStringLiteral("o\"p|Shown \"q\"")};
               })
            << "<INPUT TYPE=\"HIDDEN\" NAME=\"subject\" VALUE=\"Say &quot;hi&quot;\">\r\n"
               "|<TR><TD WIDTH=30% VALIGN=TOP>Label \"as typed\"</TD><TD WIDTH=70% VALIGN=TOP>"
               "<INPUT NAME=\"a&quot;b\" VALUE=\"v&quot;w\" SIZE=\"\"></TD></TR>"
               "|<OPTION VALUE=\"o&quot;p\">Shown \"q\"";
    }
    void userQuotesInAttributes()
    {
        QFETCH(std::function<void(TPagelette &)>, fill);
        QFETCH(QString, html);
        TPagelette page;
        emptyPage(page);
        fill(page);
        const QString text = BuildPageText(hmUploadCopy, page, testOptions());
        for (const QString &part : html.split(u'|'))
            QVERIFY2(text.contains(part), qPrintable(text));
    }

    // Lone CR and LF in a block become line ends of their own, also where a block's
    // own break meets the CR LF that follows every block.
    void oddLineBreaks_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("blockLines");
        QTest::newRow("final CR") << "a\r" << QStringList{"a", ""};
        QTest::newRow("final CR LF") << "a\r\n" << QStringList{"a", ""};
        QTest::newRow("LF CR") << "a\n\rb" << QStringList{"a", "", "b"};
        QTest::newRow("leading LFs") << "\n\nb" << QStringList{"", "", "b"};
        QTest::newRow("empty") << "" << QStringList{""};
    }
    void oddLineBreaks()
    {
        QFETCH(QString, heading);
        QFETCH(QStringList, blockLines);
        TPagelette page;
        addItem(emptyPage(page), btHeading, baNone, false).HeadingBlock().Heading = heading;
        QStringList lines;
        BuildPageHTML(lines, hmUploadCopy, page, testOptions());
        const qsizetype body = lines.indexOf(QStringLiteral("<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" ALINK=\"#FF0000\" VLINK=\"#990099\">"));
        QCOMPARE(lines.mid(body + 1), blockLines + QStringList{"</BODY></HTML>"});
        QCOMPARE(BuildPageText(hmUploadCopy, page, testOptions()), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }

    void pictureAddresses_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("background");
        QTest::newRow("preview") << int(hmPreview) << "/vendrix/Upload/images/p.gif" << "/vendrix/Upload/backgrounds/b.gif";
        QTest::newRow("local") << int(hmLocalCopy) << "../Upload/images/p.gif" << "../Upload/backgrounds/b.gif";
        QTest::newRow("upload") << int(hmUploadCopy) << "p.gif" << "b.gif";
    }
    void pictureAddresses()
    {
        QFETCH(int, mode);
        QFETCH(QString, image);
        QFETCH(QString, background);
        TPagelette page;
        emptyPage(page).Page().Items(0).PagePropertiesBlock().Background = QStringLiteral("b.gif");
        addItem(page, btImage, baNone, false).ImageBlock().FileName = QStringLiteral("p.gif");
        QStringList lines;
        BuildPageHTML(lines, THTMLMode(mode), page, testOptions());
        QVERIFY(lines.contains(QStringLiteral("<IMG SRC=\"%1\" BORDER=0 ALT=\"\" HEIGHT=\"\" WIDTH=\"\">").arg(image)));
        QVERIFY(lines.contains(
            QStringLiteral("<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\" ALINK=\"#FF0000\" VLINK=\"#990099\" BACKGROUND=\"%1\">")
                .arg(background)));
    }

    // The go() script goes in the head for a drop box with entries, wherever it stands;
    // a drop box without entries is a plain link.
    void dropBoxScript_data()
    {
        QTest::addColumn<bool>("entries");
        QTest::newRow("first block with entries") << true;
        QTest::newRow("without entries") << false;
    }
    void dropBoxScript()
    {
        QFETCH(bool, entries);
        TPagelette page;
        TLinkBlock &link = addItem(emptyPage(page), btLink).LinkBlock();
        link.UseDropBox = true;
        link.LinkURL = QStringLiteral("http://x/");
        link.LinkText = QStringLiteral("X");
        if (entries)
            link.DropBoxText = QStringLiteral("http://y/\tY\r\n");
        QStringList lines;
        BuildPageHTML(lines, hmUploadCopy, page, testOptions());
        const QString html = lines.join(QStringLiteral("\r\n"));
        QCOMPARE(lines.contains(QStringLiteral("<A HREF=\"http://x/\">X</A><P>")), !entries);
        QCOMPARE(html.contains(QStringLiteral("script")), entries);
        const qsizetype script = html.indexOf(QStringLiteral("\tfunction go(doc){"));
        QCOMPARE(script >= 0 && script < html.indexOf(QStringLiteral("<BODY")), entries);
    }

    void listStyles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("html");
        const char *const opened[] = {"UL TYPE=\"DISC\"", "UL TYPE=\"CIRCLE\"", "UL TYPE=\"SQUARE\"", "OL TYPE=\"A\"",
                                      "OL TYPE=\"a\"",    "OL TYPE=\"1\"",      "OL TYPE=\"I\"",      "OL TYPE=\"i\""};
        for (int style = lsDisc; style <= lsLoCaseRoman; ++style) {
            const QString tag = QString::fromLatin1(opened[style]);
            QTest::addRow("%d", style) << style << u'<' + tag + QStringLiteral(">\r\n   <LI>One\r\n</") + tag.left(2) + u'>';
        }
    }
    void listStyles()
    {
        QFETCH(int, style);
        QFETCH(QString, html);
        TPagelette page;
        TBulletBlock &list = addItem(emptyPage(page), btBullet).BulletBlock();
        list.Style = TListStyle(style);
        list.Bullets = QStringLiteral("One\r\n");
        QStringList lines;
        BuildPageHTML(lines, hmUploadCopy, page, testOptions());
        QVERIFY2(lines.join(QStringLiteral("\r\n")).contains(html), qPrintable(lines.join(u'\n')));
    }

    // The entries built before the failure stay in lines, not yet split into lines of
    // text. A block that cannot be built stops the build before the margin is read.
    void conversionErrors_data()
    {
        QTest::addColumn<QString>("margin");
        QTest::addColumn<QString>("headingSize");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept");
        const QString link = QStringLiteral("<A HREF=\"\">first</A><P>");
        const QString heading = QStringLiteral("<FONT FACE=\"Arial\" SIZE=\"3\" COLOR=\"#FF0000\">x\r\ny</FONT><P>");
        QTest::newRow("margin") << "1O" << "12" << "'1O' is not a valid integer value" << QStringList{link, heading, link};
        QTest::newRow("empty margin") << "" << "12" << "'' is not a valid integer value" << QStringList{link, heading, link};
        QTest::newRow("block first") << "wide" << "1x" << "'1x' is not a valid integer value" << QStringList{link};
    }
    void conversionErrors()
    {
        QFETCH(QString, margin);
        QFETCH(QString, headingSize);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        TPagelette page;
        emptyPage(page).Page().Items(0).PagePropertiesBlock().IndentMargin = margin;
        addItem(page, btLink).LinkBlock().LinkText = QStringLiteral("first");
        THeadingBlock &heading = addItem(page, btHeading).HeadingBlock();
        heading.Heading = QStringLiteral("x\r\ny");
        heading.Attributes = QStringLiteral("\"Arial\", %1, [], [clRed]").arg(headingSize);
        heading.ApplyFont = 1;
        addItem(page, btLink).LinkBlock().LinkText = QStringLiteral("first");
        QStringList lines;
        try {
            BuildPageHTML(lines, hmPreview, page, testOptions());
            QFAIL("no conversion error");
        } catch (const ConvertError &e) {
            QCOMPARE(e.message(), message);
        }
        QCOMPARE(lines, kept);
    }

    void pageWithoutItemsAddsNothing()
    {
        TPagelette page;
        QStringList lines = {QStringLiteral("kept")};
        BuildPageHTML(lines, hmPreview, page, testOptions());
        QCOMPARE(lines, QStringList(QStringLiteral("kept")));
    }

    void formsItemWithoutFieldsIsEmpty()
    {
        TPagelette page;
        addItem(emptyPage(page), btForms, baCenter);
        QStringList lines;
        BuildPageHTML(lines, hmUploadCopy, page, testOptions());
        QVERIFY(lines.contains(QStringLiteral("<CENTER></CENTER><P>")));
    }
};

VENDRIX_TEST(TestPageHtml)
#include "tst_pagehtml.moc"
