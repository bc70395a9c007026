#include "testregistry.h"

#include "checks/contrast.h"
#include "checks/imagereaderinspector.h"
#include "checks/pagechecker.h"
#include "model/pagelette.h"
#include "platform/programfolder.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using PageChange = std::function<void(TPagelette &)>;
Q_DECLARE_METATYPE(PageChange)

namespace {

// Rows of the page every case starts from.
enum Row { Details, Heading, Image, Link, Form };

// A page with nothing to find: a title, readable colours, a described picture shown
// at its size, a working link and a form that can send.
void fillCleanPage(TPagelette &page)
{
    page.NewPage();
    while (page.Page().Count() > 1)
        page.Page().remove(1);
    page.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("Our Club");
    THeadingBlock &heading = page.InsertNewItem(Heading, btHeading).HeadingBlock();
    heading.Heading = QStringLiteral("Welcome");
    heading.Attributes = QStringLiteral("\"Arial\", 12, [Bold], [$00800000]");
    heading.ApplyFont = 1;
    TImageBlock &image = page.InsertNewItem(Image, btImage).ImageBlock();
    image.FileName = QStringLiteral("small.png");
    image.Alt = QStringLiteral("Our club house");
    image.Width = QStringLiteral("200");
    image.Height = QStringLiteral("100");
    page.InsertNewItem(Link, btLink).LinkBlock().LinkURL = QStringLiteral("http://example.com/news.html");
    page.InsertNewItem(Form, btForms);
    page.Email = QStringLiteral("club@example.com");
    for (const auto &[kind, name] : {std::pair{fkText, "Full Name"}, {fkTextArea, "Message"}, {fkButton, "Send"}}) {
        TFormElement &field = page.WebForm().AddElement();
        field.FieldKind = kind;
        field.Name = QString::fromLatin1(name);
    }
    TFormElement &colours = page.WebForm().AddElement();
    colours.FieldKind = fkCheckBox;
    colours.Name = QStringLiteral("Colors");
    colours.Strings = {QStringLiteral("r|Red|No"), QStringLiteral("b|Blue|Yes")};
}

// The findings as "error 2 picture-missing", easy to compare and to read on failure.
QStringList summary(const QList<PageCheck::Finding> &findings)
{
    QStringList lines;
    for (const PageCheck::Finding &f : findings)
        lines.append(PageCheck::severityName(f.severity) + u' ' + QString::number(f.row) + u' ' + f.code);
    return lines;
}

TPagePropertiesBlock &details(TPagelette &page)
{
    return page.Page().Items(Details).PagePropertiesBlock();
}
TImageBlock &image(TPagelette &page)
{
    return page.Page().Items(Image).ImageBlock();
}
TLinkBlock &link(TPagelette &page)
{
    return page.Page().Items(Link).LinkBlock();
}
THeadingBlock &heading(TPagelette &page)
{
    return page.Page().Items(Heading).HeadingBlock();
}
TFormElement &addField(TPagelette &page, const QString &name, TFieldKind kind = fkText)
{
    TFormElement &field = page.WebForm().AddElement();
    field.FieldKind = kind;
    field.Name = name;
    return field;
}

}

class TestPageChecker : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    ProgramFolder mFolder;

    void writePicture(const QString &folder, const QString &name, int width, int height, const char *format)
    {
        QImage picture(width, height, QImage::Format_RGB888);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(folder + name, format));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mFolder = ProgramFolder(mDir.path());
        QVERIFY(QDir().mkpath(mFolder.imagesFolder()) && QDir().mkpath(mFolder.backgroundsFolder()));
        writePicture(mFolder.imagesFolder(), QStringLiteral("small.png"), 200, 100, "PNG");
        // Uncompressed, so the size in bytes is known: 620 x 620 x 3 is over 1 MB,
        // 1300 x 1400 x 3 over 5 MB.
        writePicture(mFolder.imagesFolder(), QStringLiteral("big.bmp"), 620, 620, "BMP");
        writePicture(mFolder.imagesFolder(), QStringLiteral("huge.bmp"), 1300, 1400, "BMP");
        writePicture(mFolder.backgroundsFolder(), QStringLiteral("paper.jpg"), 64, 64, "JPEG");
        // Browsers go by the content, so a name that lies about it is no fault.
        writePicture(mFolder.imagesFolder(), QStringLiteral("renamed.jpg"), 200, 100, "PNG");
        for (const QString &folder : {mFolder.imagesFolder(), mFolder.backgroundsFolder()}) {
            QFile text(folder + QStringLiteral("notes.png"));
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture at all") > 0);
        }
    }

    void findings_data()
    {
        QTest::addColumn<PageChange>("change");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *name, PageChange change, QStringList expected = {}) {
            QTest::newRow(name) << change << expected;
        };
        row("clean page", [](TPagelette &) {});

        row("picture missing", [](TPagelette &p) { image(p).FileName = QStringLiteral("gone.png"); }, {"error 2 picture-missing"});
        row("no picture chosen", [](TPagelette &p) { image(p).FileName.clear(); }, {"error 2 picture-missing"});
        row("picture unreadable", [](TPagelette &p) { image(p).FileName = QStringLiteral("notes.png"); },
            {"error 2 picture-unreadable"});
        row("picture named for another format", [](TPagelette &p) { image(p).FileName = QStringLiteral("renamed.jpg"); });
        row("background missing", [](TPagelette &p) { details(p).Background = QStringLiteral("gone.jpg"); },
            {"error 0 background-missing"});
        row("background unreadable", [](TPagelette &p) { details(p).Background = QStringLiteral("notes.png"); },
            {"error 0 background-unreadable"});
        // The grey would fail, but a picture lies behind the text instead.
        row("background picture", [](TPagelette &p) {
            details(p).Background = QStringLiteral("paper.jpg");
            details(p).TextColor = 0x777777;
        }, {"warning 0 contrast-unchecked"});

        row("no hint", [](TPagelette &p) { image(p).Alt = QStringLiteral("  "); }, {"warning 2 picture-no-hint"});
        row("picture over 1 MB", [](TPagelette &p) {
            image(p).FileName = QStringLiteral("big.bmp");
            image(p).Width = image(p).Height = QString();
        }, {"warning 2 picture-large"});
        row("pictures over 5 MB", [](TPagelette &p) {
            image(p).FileName = QStringLiteral("huge.bmp");
            image(p).Width = image(p).Height = QString();
        }, {"warning 0 pictures-heavy", "warning 2 picture-large"});
        const auto shownAt = [](const char *width, const char *height) {
            return [=](TPagelette &p) {
                image(p).Width = QString::fromLatin1(width);
                image(p).Height = QString::fromLatin1(height);
            };
        };
        // The picture is 200 x 100.
        row("shown at less than half", shownAt("99", "49"), {"warning 2 picture-scaled-down"});
        row("shown at exactly half", shownAt("100", "50"));
        row("narrower only", shownAt("50", "100"));
        row("width alone scales both", shownAt("90", ""), {"warning 2 picture-scaled-down"});
        row("sizes not numbers", shownAt("50%", "auto"));

        row("empty title", [](TPagelette &p) { details(p).PageTitle = QStringLiteral(" "); }, {"warning 0 title-empty"});
        row("grey text 4.48:1", [](TPagelette &p) { details(p).TextColor = 0x777777; }, {"warning 0 contrast-low"});
        row("grey text 4.54:1", [](TPagelette &p) { details(p).TextColor = 0x767676; });
        row("pale links", [](TPagelette &p) {
            details(p).LinkColor = 0x88CCFF;
            details(p).VLinkColor = 0xCC88FF;
        }, {"warning 0 contrast-low", "warning 0 contrast-low"});
        // #949494 on white is 3.03:1: enough for large text only.
        row("large heading 3:1", [](TPagelette &p) { heading(p).Attributes = QStringLiteral("\"Arial\", 16, [], [$00949494]"); });
        row("small heading 3:1", [](TPagelette &p) { heading(p).Attributes = QStringLiteral("\"Arial\", 14, [Bold], [$00949494]"); },
            {"warning 1 contrast-low"});
        row("colour not applied", [](TPagelette &p) {
            heading(p).Attributes = QStringLiteral("\"Arial\", 12, [], [clSilver]");
            heading(p).ApplyFont = 0;
        });

        row("no recipient", [](TPagelette &p) { p.Email.clear(); }, {"error 4 form-no-recipient"});
        row("bad recipient", [](TPagelette &p) { p.Email = QStringLiteral("club@example"); }, {"error 4 form-bad-recipient"});
        row("two recipients", [](TPagelette &p) { p.Email = QStringLiteral("club@example.com, chair@example.org"); });
        row("form without fields", [](TPagelette &p) {
            p.WebForm().clear();
            p.Email.clear();
        });
        row("same field name", [](TPagelette &p) { addField(p, QStringLiteral("full name")); }, {"error 4 form-duplicate-field"});
        row("check box choice names", [](TPagelette &p) { addField(p, QStringLiteral("Colors Red")); },
            {"error 4 form-duplicate-field"});
        row("hidden field's name", [](TPagelette &p) { addField(p, QStringLiteral("Subject"), fkDropDown); },
            {"error 4 form-duplicate-field"});
        row("unnamed field", [](TPagelette &p) { addField(p, QString()).Text = QStringLiteral("Phone:"); },
            {"error 4 form-field-unnamed"});
        row("redirect without host", [](TPagelette &p) { p.Redirect = QStringLiteral("http:/thanks.html"); },
            {"error 4 link-malformed"});

        row("empty link", [](TPagelette &p) { link(p).LinkURL = QStringLiteral(" "); }, {"error 3 link-empty"});
        row("mailto without address", [](TPagelette &p) { link(p).LinkURL = QStringLiteral("mailto:club"); },
            {"error 3 link-malformed"});
        row("mailto with subject", [](TPagelette &p) { link(p).LinkURL = QStringLiteral("mailto:club%40example.com?subject=Hi"); });
        row("e-mail link", [](TPagelette &p) {
            link(p).LinkURL = QStringLiteral("club@example.com");
            link(p).Email = true;
        });
        row("e-mail link written twice", [](TPagelette &p) {
            link(p).LinkURL = QStringLiteral("mailto:club@example.com");
            link(p).Email = true;
        }, {"error 3 link-malformed"});
        row("http without host", [](TPagelette &p) { link(p).LinkURL = QStringLiteral("https:///news.html"); },
            {"error 3 link-malformed"});
        row("www without http", [](TPagelette &p) { link(p).LinkURL = QStringLiteral("www.example.com"); },
            {"error 3 link-malformed"});
        row("relative link", [](TPagelette &p) { link(p).LinkURL = QStringLiteral("../photos/index.html#top"); });
        row("drop box entry without address", [](TPagelette &p) {
            link(p).UseDropBox = true;
            link(p).DropBoxText = QStringLiteral("http://example.com/\tHome\r\n\tNowhere\r\nmailto:club@example.com\tWrite\r\n");
        }, {"error 3 link-empty"});
        row("picture link without host", [](TPagelette &p) { image(p).ImageLink = QStringLiteral("http://"); },
            {"error 2 link-malformed"});
    }

    void findings()
    {
        QFETCH(PageChange, change);
        QFETCH(QStringList, expected);
        TPagelette page;
        fillCleanPage(page);
        change(page);
        const QList<PageCheck::Finding> found = PageCheck::check(page, mFolder, ImageReaderInspector());
        QCOMPARE(summary(found), expected);
        QCOMPARE(PageCheck::hasErrors(found), expected.join(u'\n').contains(QStringLiteral("error")));
        for (const PageCheck::Finding &f : found)
            QVERIFY2(f.message.endsWith(u'.'), qPrintable(f.message));
    }

    void messages()
    {
        TPagelette page;
        fillCleanPage(page);
        details(page).TextColor = 0x777777;
        image(page).FileName = QStringLiteral("big.bmp");
        image(page).Width = image(page).Height = QStringLiteral("155");
        const QList<PageCheck::Finding> found = PageCheck::check(page, mFolder, ImageReaderInspector());
        QCOMPARE(found.size(), 3);
        QCOMPARE(found[0].message, QStringLiteral("The text colour #777777 has a contrast of 4.48:1 against the background "
                                                  "#FFFFFF; text needs at least 4.5:1 to be read easily."));
        QCOMPARE(found[1].message, QStringLiteral("The picture big.bmp is 1.1 MB; pictures over 1 MB make the page slow to load."));
        QCOMPARE(found[2].message, QStringLiteral("The picture big.bmp is 620 x 620 pixels but shown at 155 x 155; a smaller "
                                                  "copy would load faster."));
    }

    // Pairs with published WCAG 2.x ratios.
    void contrastRatios_data()
    {
        QTest::addColumn<QString>("foreground");
        QTest::addColumn<QString>("background");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QString>("shown");
        QTest::newRow("black on white") << "#000000" << "#FFFFFF" << 21.0 << "21.00:1";
        QTest::newRow("white on black") << "#FFFFFF" << "#000000" << 21.0 << "21.00:1";
        QTest::newRow("same colour") << "#3366cc" << "#3366CC" << 1.0 << "1.00:1";
        QTest::newRow("#777777 on white") << "#777777" << "#FFFFFF" << 4.478 << "4.48:1";
        QTest::newRow("#767676 on white") << "#767676" << "#FFFFFF" << 4.542 << "4.54:1";
        QTest::newRow("blue on white") << "#0000FF" << "#FFFFFF" << 8.592 << "8.59:1";
        QTest::newRow("red on white") << "#FF0000" << "#FFFFFF" << 3.998 << "4.00:1";
        // 4.4995 would round to the 4.50 it failed; it is shown as 4.49.
        QTest::newRow("just below") << "#656565" << "#E2E2E2" << 4.4995 << "4.49:1";
    }

    void contrastRatios()
    {
        QFETCH(QString, foreground);
        QFETCH(QString, background);
        QFETCH(double, ratio);
        QFETCH(QString, shown);
        const auto a = Contrast::fromHtml(foreground);
        const auto b = Contrast::fromHtml(background);
        QVERIFY(a && b);
        const double measured = Contrast::ratio(*a, *b);
        QVERIFY2(qAbs(measured - ratio) < 0.002, qPrintable(QString::number(measured, 'f', 4)));
        QCOMPARE(Contrast::formatRatio(measured, Contrast::normalTextMinimum), shown);
        QVERIFY(!Contrast::fromHtml(u"#12345"));
        QVERIFY(!Contrast::fromHtml(u"#12345G"));
    }
};

VENDRIX_TEST(TestPageChecker)
#include "tst_pagechecker.moc"
