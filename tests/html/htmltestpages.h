#pragma once

#include "html/pagehtml.h"

#include <QMap>

#include <functional>

// Pages and options shared by the HTML tests: addresses that differ from the shipped
// ones, so the tests see which address lands where.
inline HtmlBuildOptions testOptions(bool logo = false)
{
    HtmlBuildOptions options;
    options.programFolder = ProgramFolder(QStringLiteral("/vendrix"));
    options.showLogo = logo;
    options.maker.homePage = QStringLiteral("http://www.maker.test");
    options.maker.webAddress = QStringLiteral("http://img.maker.test");
    options.maker.formMailHost = QStringLiteral("http://forms.maker.test");
    return options;
}

// A page of only the page details item with the new-page colours.
inline TPagelette &emptyPage(TPagelette &page)
{
    page.NewPage();
    while (page.Page().Count() > 1)
        page.Page().remove(1);
    return page;
}

inline TPageItem &addItem(TPagelette &page, TBlockType kind, TBlockAlignment align = baLeft, bool newLine = true)
{
    TPageItem &item = page.InsertNewItem(page.Page().Count(), kind);
    item.BlockAlign = align;
    item.BlockOnNewLine = newLine;
    return item;
}

// Every kind of block, every header part, two drop boxes and an indent margin.
inline void fillFullPage(TPagelette &page)
{
    emptyPage(page);
    TPagePropertiesBlock &p = page.Page().Items(0).PagePropertiesBlock();
    p.PageTitle = QStringLiteral("Café → <Menu>");
    p.Background = QStringLiteral("sky.gif");
    p.MetaText = QStringLiteral("keywords\tpages, \"blocks\"\r\ndescription\tA test page\r\n");
    p.IndentMargin = QStringLiteral("100");
    p.Underline = true;
    p.BGColor = 0x00CCFFFF;
    p.TextColor = 0x00000080;

    THeadingBlock &heading = addItem(page, btHeading, baCenter).HeadingBlock();
    heading.Heading = QStringLiteral("Welcome");
    heading.Attributes = QStringLiteral("\"Arial\", 14, [Bold|Underline], [clRed]");
    heading.ApplyFont = 1;

    TLinkBlock &drop = addItem(page, btLink).LinkBlock();
    drop.UseDropBox = true;
    drop.DropBoxText = QStringLiteral("http://a.example/?q=\"x\"\tAl's Site A\r\nmailto:me@example.com\tMail me\r\n");

    TImageBlock &image = addItem(page, btImage, baRight).ImageBlock();
    image.FileName = QStringLiteral("photo one.jpg");
    image.Height = QStringLiteral("120");
    image.Width = QStringLiteral("160");
    image.Align = QStringLiteral("LEFT");
    image.Alt = QStringLiteral("A photo");
    image.ImageLink = QStringLiteral("http://img.example/");

    TTextBlock &text = addItem(page, btText, baLeft, false).TextBlock();
    text.Text = QStringLiteral("First line\r\n\r\nSecond line 100% sure\r\n");
    text.Attributes = QStringLiteral("\"Times New Roman\", 12, [Italic], [$00050000]");
    text.ApplyFont = 1;

    TLinkBlock &drop2 = addItem(page, btLink, baNone, false).LinkBlock();
    drop2.UseDropBox = true;
    drop2.DropBoxText = QStringLiteral("x\r\nhttp://b.example/\tSite B");

    TBulletBlock &bullets = addItem(page, btBullet).BulletBlock();
    bullets.Bullets = QStringLiteral("Alpha\r\nB\r\n\r\nGamma\r\n");
    bullets.Style = lsUpCaseRoman;

    THRBlock &rule = addItem(page, btHR, baCenter).HRBlock();
    rule.Width = 50;
    rule.Size = 2;
    rule.NoShade = true;

    TLinkBlock &mail = addItem(page, btLink).LinkBlock();
    mail.LinkURL = QStringLiteral("me@example.com");
    mail.LinkText = QStringLiteral("Write to me");
    mail.Email = true;
    mail.UseDropBox = true;

    addItem(page, btForms);
    page.Email = QStringLiteral("me@example.com");
    page.Subject = QStringLiteral("Hi 100%");
    page.AlphaSort = true;
    page.FormTitle = QStringLiteral("Contact");
    TFormElement &field = page.WebForm().AddElement();
    field.Name = QStringLiteral("Full Name");
    field.Text = QStringLiteral("Your name:");
    field.Strings = {QStringLiteral("Size=30")};
}

// A margin without the logo; a heading broken by a lone LF; a line as the line panel
// makes it, the thinnest.
inline void fillIndentPage(TPagelette &page)
{
    emptyPage(page);
    TPagePropertiesBlock &p = page.Page().Items(0).PagePropertiesBlock();
    p.PageTitle = QStringLiteral("Small");
    p.IndentMargin = QStringLiteral("40");
    p.Background = QStringLiteral("b.jpg");
    addItem(page, btHeading, baCenter).HeadingBlock().Heading = QStringLiteral("Top\nLine");
    addItem(page, btImage).ImageBlock().FileName = QStringLiteral("a.gif");
    page.InsertNewItem(page.Page().Count(), btHR);
}

struct GoldenCase
{
    std::function<void(TPagelette &)> fill;
    THTMLMode mode;
    bool logo;
};

// The folders under tests/data/html/ and how each input is made.
inline QMap<QString, GoldenCase> goldenCases()
{
    return {
        {QStringLiteral("newpage_preview"), {[](TPagelette &p) { p.NewPage(); }, hmPreview, false}},
        {QStringLiteral("newpage_upload_logo"), {[](TPagelette &p) { p.NewPage(); }, hmUploadCopy, true}},
        {QStringLiteral("indent_upload"), {fillIndentPage, hmUploadCopy, false}},
        {QStringLiteral("full_local_logo"), {fillFullPage, hmLocalCopy, true}},
    };
}
