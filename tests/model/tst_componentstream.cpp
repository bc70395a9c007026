#include "testregistry.h"

#include "failingdevice.h"
#include "model/componentstream.h"
#include "themes/streamclasses.h"
#include "model/fontdescription.h"
#include "model/pagelette.h"
#include "themes/webtheme.h"

#include <QBuffer>
#include <QDir>
#include <QTest>

namespace {

// Assembles expected stream bytes by hand, from the documented layout.
struct Bytes
{
    QByteArray b;
    Bytes &raw(const QByteArray &bytes) { b += bytes; return *this; }
    Bytes &byte(int v) { b += char(v); return *this; }
    Bytes &name(const char *text) { b += char(qstrlen(text)); b += text; return *this; }
    Bytes &ident(const char *property, const char *identifier) { name(property); byte(7); return name(identifier); }
    Bytes &boolean(const char *property, bool value) { name(property); return byte(value ? 9 : 8); }
    Bytes &int8(const char *property, int v) { name(property); byte(2); return byte(v); }
    Bytes &int16(const char *property, int v) { name(property); byte(3); byte(v & 0xFF); return byte((v >> 8) & 0xFF); }
    Bytes &int32(const char *property, quint32 v)
    {
        name(property);
        byte(4);
        for (int i = 0; i < 4; ++i)
            byte(int((v >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes &str(const char *property, const QByteArray &value)
    {
        name(property);
        byte(6);
        byte(int(value.size()));
        b += value;
        return *this;
    }
};

// What every item writes for blocks it does not use.
void emptyBlocks(Bytes &s, bool pageDetails, int hrWidth, const QByteArray &textAttributes)
{
    if (!pageDetails) {
        s.boolean("PagePropertiesBlock.Underline", false);
        for (const char *colour : {"PagePropertiesBlock.BGColor", "PagePropertiesBlock.TextColor", "PagePropertiesBlock.LinkColor",
                                   "PagePropertiesBlock.ALinkColor", "PagePropertiesBlock.VLinkColor"})
            s.int8(colour, 0);
    }
    s.int8("HeadingBlock.ApplyFont", 0);
    s.boolean("LinkBlock.UseDropBox", false).boolean("LinkBlock.Email", false);
    if (!textAttributes.isEmpty())
        s.str("TextBlock.Attributes", textAttributes);
    s.int8("TextBlock.ApplyFont", 0);
    s.ident("BulletBlock.Style", "lsDisc");
    s.int8("HRBlock.Width", hrWidth).int8("HRBlock.Size", 0).boolean("HRBlock.NoShade", false);
}

QByteArray newPageBytes()
{
    Bytes s;
    s.raw("TPF0").name("TPagelette").byte(0);
    s.name("Page").byte(14);

    s.byte(1).ident("BlockType", "btPageProperties").ident("BlockAlign", "baNone").boolean("BlockOnNewLine", false);
    s.str("PagePropertiesBlock.IndentMargin", "0").str("PagePropertiesBlock.ThemeName", "Default");
    s.boolean("PagePropertiesBlock.Underline", false);
    s.int32("PagePropertiesBlock.BGColor", 0xFFFFFF).int8("PagePropertiesBlock.TextColor", 0);
    s.int32("PagePropertiesBlock.LinkColor", 0xFF0000).int16("PagePropertiesBlock.ALinkColor", 0xFF);
    s.int32("PagePropertiesBlock.VLinkColor", 0x990099);
    emptyBlocks(s, true, 0, {});
    s.byte(0);

    const char *kinds[] = {"btImage", "btLink", "btText"};
    for (const char *kind : kinds) {
        s.byte(1).ident("BlockType", kind).ident("BlockAlign", "baLeft").boolean("BlockOnNewLine", true);
        emptyBlocks(s, false, 0, qstrcmp(kind, "btText") == 0 ? defaultFontDescription().toLatin1() : QByteArray());
        s.byte(0);
    }
    s.byte(0);
    s.name("WebForm").byte(14).byte(0);
    for (const char *flag : {"AlphaSort", "BlankFields", "Border", "BrowserUsed", "EmailAddress", "EmailSubject", "EnvReport"})
        s.boolean(flag, false);
    s.boolean("FormFooter", false).boolean("HostName", false);
    s.byte(0).byte(0);
    return s.b;
}

// A stream of one theme store whose single theme sets one integer property.
QByteArray themeWithProperty(const QByteArray &propertyBytes)
{
    Bytes s;
    s.raw("TPF0").name("TWebTheme").byte(0).name("Items").byte(14).byte(1);
    s.raw(propertyBytes);
    s.byte(0).byte(0).byte(0).byte(0);
    return s.b;
}

std::unique_ptr<TPagelette> readPage(const QByteArray &bytes, QString *error = nullptr)
{
    ComponentReader reader(StreamClasses::standard());
    std::unique_ptr<TComponent> root = reader.read(bytes);
    if (error)
        *error = reader.errorString();
    return std::unique_ptr<TPagelette>(dynamic_cast<TPagelette *>(root.release()));
}

void fillEverything(TPagelette &page)
{
    page.NewPage();
    page.InsertNewItem(4, btHeading).HeadingBlock().Heading = QStringLiteral("Welcome\r\nto my page");
    page.Page().Items(4).HeadingBlock().ApplyFont = 1;
    page.Page().Items(4).HeadingBlock().Attributes = QStringLiteral("\"Arial\", 14, [Bold], [clRed]");
    TLinkBlock &link = page.InsertNewItem(5, btLink).LinkBlock();
    link.UseDropBox = true;
    link.DropBoxText = QStringLiteral("http://a.example\tA\r\nmailto:b@example.com\tB\r\n");
    link.Align = QStringLiteral("kept");
    link.Email = true;
    TImageBlock &image = page.Page().Items(1).ImageBlock();
    image.FileName = QStringLiteral("cat.jpg");
    image.Height = QStringLiteral("120");
    image.Width = QStringLiteral("160");
    image.Align = QStringLiteral("ABSMIDDLE");
    image.Alt = QStringLiteral("A cat");
    image.ImageLink = QStringLiteral("http://cats.example");
    image.ImagePath = QStringLiteral("/old/path");
    page.InsertNewItem(6, btBullet).BulletBlock().Style = lsLoCaseRoman;
    page.Page().Items(6).BulletBlock().Bullets = QStringLiteral("one\r\ntwo\r\n");
    THRBlock &hr = page.InsertNewItem(7, btHR).HRBlock();
    hr.Width = 35;
    hr.Size = 5;
    hr.NoShade = true;
    page.Page().Items(7).BlockAlign = baRight;
    page.InsertNewItem(8, btForms);
    page.Page().Items(3).TextBlock().Text = QString(300, u'p') + QStringLiteral("\r\n\u20AC \u00E9 \u0416 \U0001F600");
    TPagePropertiesBlock &details = page.Page().Items(0).PagePropertiesBlock();
    details.PageTitle = QStringLiteral("Title");
    details.Background = QStringLiteral("stars.gif");
    details.MetaText = QStringLiteral("Keywords\tcats, dogs\r\n");
    details.Underline = true;
    details.VLinkColor = -1;

    TFormElement &name = page.WebForm().AddElement();
    name.Name = QStringLiteral("Full Name");
    name.Strings = {QStringLiteral("Size=30")};
    name.Text = QStringLiteral("Your name:");
    name.Value = QStringLiteral("nobody");
    TFormElement &colours = page.WebForm().AddElement();
    colours.FieldKind = fkCheckBox;
    colours.Name = QStringLiteral("Colors");
    colours.Strings = {QStringLiteral("red|Red|Yes"), QString(), QString(260, u'b')};
    page.WebForm().AddElement().FieldKind = fkButton;

    page.AlphaSort = page.Border = page.EnvReport = page.FormFooter = true;
    page.Color = QStringLiteral("clWhite");
    page.FormTitle = QStringLiteral("Contact");
    page.Email = QStringLiteral("me@example.com");
    page.Redirect = QStringLiteral("http://example.com/thanks");
    page.Subject = QStringLiteral("100% feedback");
}

}

class TestComponentStream : public QObject
{
    Q_OBJECT

private slots:
    void newPageIsWrittenByteForByte()
    {
        TPagelette page;
        page.NewPage();
        const QByteArray written = ComponentWriter::toBytes(page);
        const QByteArray expected = newPageBytes();
        QCOMPARE(written.left(20).toHex(' '), expected.left(20).toHex(' '));
        QCOMPARE(written, expected);
    }

    void integersUseTheSmallestTag_data()
    {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("-129") << -129 << QByteArray::fromHex("037fff");
        QTest::newRow("-128") << -128 << QByteArray::fromHex("0280");
        QTest::newRow("-1") << -1 << QByteArray::fromHex("02ff");
        QTest::newRow("0") << 0 << QByteArray::fromHex("0200");
        QTest::newRow("127") << 127 << QByteArray::fromHex("027f");
        QTest::newRow("128") << 128 << QByteArray::fromHex("038000");
        QTest::newRow("255") << 255 << QByteArray::fromHex("03ff00");
        QTest::newRow("32767") << 32767 << QByteArray::fromHex("03ff7f");
        QTest::newRow("-32768") << -32768 << QByteArray::fromHex("030080");
        QTest::newRow("-32769") << -32769 << QByteArray::fromHex("04ff7fffff");
        QTest::newRow("32768") << 32768 << QByteArray::fromHex("0400800000");
        QTest::newRow("0x990099") << 0x990099 << QByteArray::fromHex("0499009900");
        QTest::newRow("0xFFFFFF") << 0xFFFFFF << QByteArray::fromHex("04ffffff00");
    }
    void integersUseTheSmallestTag()
    {
        QFETCH(qint32, value);
        QFETCH(QByteArray, encoded);
        TWebTheme store;
        store.Items().Add().BGColor = value;
        const QByteArray bytes = ComponentWriter::toBytes(store);
        const QByteArray property = QByteArray("\x07" "BGColor") + encoded;
        QVERIFY2(bytes.contains(property), bytes.toHex(' '));

        ComponentReader reader(StreamClasses::standard());
        auto read = reader.read(themeWithProperty(property));
        QVERIFY2(read, qPrintable(reader.errorString()));
        QCOMPARE(static_cast<TWebTheme &>(*read).Items().Items(0).BGColor, value);
    }

    void stringTagsByLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("255 bytes") << QString(255, u'a') << QByteArray::fromHex("06ff");
        QTest::newRow("256 bytes") << QString(256, u'a') << QByteArray::fromHex("0c00010000");
        QTest::newRow("300 bytes") << QString(300, u'a') << QByteArray::fromHex("0c2c010000");
        QTest::newRow("one byte") << QStringLiteral("0") << QByteArray::fromHex("0601");
        QTest::newRow("code page characters") << QStringLiteral("\u20AC\u00E9") << QByteArray::fromHex("0602");
        QTest::newRow("outside the code page") << QStringLiteral("a\u0416") << QByteArray::fromHex("1202000000");
    }
    void stringTagsByLength()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, header);
        TWebTheme store;
        store.Items().Add().ThemeName = text;
        const QByteArray bytes = ComponentWriter::toBytes(store);
        QVERIFY2(bytes.contains(QByteArray("\x09" "ThemeName") + header), bytes.left(60).toHex(' '));
        ComponentReader reader(StreamClasses::standard());
        auto read = reader.read(bytes);
        QVERIFY2(read, qPrintable(reader.errorString()));
        QCOMPARE(static_cast<TWebTheme &>(*read).Items().Items(0).ThemeName, text);
    }

    void fullPagesRoundTrip()
    {
        TPagelette page;
        fillEverything(page);
        const QByteArray bytes = ComponentWriter::toBytes(page);
        QString error;
        auto read = readPage(bytes, &error);
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(dumpProperties(*read), dumpProperties(page));
        QCOMPARE(ComponentWriter::toBytes(*read), bytes);
        QCOMPARE(read->Page().Items(3).TextBlock().Text, page.Page().Items(3).TextBlock().Text);
        QCOMPARE(read->WebForm().Items(1).Strings, page.WebForm().Items(1).Strings);
        QCOMPARE(read->Page().Items(0).PagePropertiesBlock().VLinkColor, -1);
    }

    void theStringListIsWrittenUnderItsOwnName()
    {
        TPagelette page;
        TFormElement &field = page.WebForm().AddElement();
        field.Strings = {QStringLiteral("Size=30")};
        const QByteArray bytes = ComponentWriter::toBytes(page);
        QVERIFY(bytes.contains(QByteArray::fromHex("0f") + "Strings.Strings" + QByteArray::fromHex("0106") + "\x07Size=30" + '\0'));
        field.Strings.clear();
        QVERIFY(!ComponentWriter::toBytes(page).contains("Strings"));
    }

    void emptyCollectionsAreStillWritten()
    {
        TPagelette page;
        const QByteArray bytes = ComponentWriter::toBytes(page);
        QVERIFY(bytes.contains(QByteArray("\x04Page\x0e\x00", 7)));
        QVERIFY(bytes.contains(QByteArray("\x07WebForm\x0e\x00", 10)));
        TWebTheme store;
        QCOMPARE(ComponentWriter::toBytes(store), QByteArray("TPF0\x09TWebTheme\x00\x05Items\x0e\x00\x00\x00", 25));
    }

    // What the reader accepts beyond what the writer writes, each row read into the
    // properties it lists.
    void lenientReading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("properties");
        const QByteArray end = Bytes().byte(0).byte(0).byte(0).byte(0).b;
        QTest::newRow("names in any letter case")
            << Bytes().raw("TPF0").name("twebtheme").byte(0).name("ITEMS").byte(14).byte(1).int8("bgCOLOR", 5)
                   .str("themename", "x").raw(end).b
            << QStringList{"Items[0].BGColor=5", "Items[0].ThemeName=x"};
        QTest::newRow("dotted names reach blocks in any case")
            << Bytes().raw("TPF0").name("TPagelette").byte(0).name("Page").byte(14).byte(1).ident("BlockType", "BTHEADING")
                   .str("headingblock.HEADING", "Hi").int8("HRBlock.Width", 42).int16("TextBlock.ApplyFont", 255).raw(end).b
            << QStringList{"Page[0].BlockType=btHeading", "Page[0].HeadingBlock.Heading=Hi", "Page[0].HRBlock.Width=42",
                           "Page[0].TextBlock.ApplyFont=255"};
        // A prefix byte with its flags and item index, and item indexes inside a list.
        QTest::newRow("prefixes and item indexes skipped")
            << Bytes().raw("TPF0").byte(0xF2).byte(2).byte(7).name("TPagelette").byte(0).name("Page").byte(14)
                   .byte(2).byte(0).byte(1).ident("BlockType", "btHR").byte(0)
                   .byte(3).byte(1).byte(0).byte(1).ident("BlockType", "btLink").byte(0).byte(0).byte(0).byte(0).b
            << QStringList{"Page[0].BlockType=btHR", "Page[1].BlockType=btLink"};
        QTest::newRow("long and wide strings")
            << Bytes().raw("TPF0").name("TPagelette").byte(0).name("Subject").byte(12).raw(QByteArray::fromHex("03000000"))
                   .raw("abc").name("Email").byte(18).raw(QByteArray::fromHex("0200000016043100")).byte(0).byte(0).b
            << QStringList{"Subject=abc", "Email=\u04161"};
    }
    void lenientReading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, properties);
        ComponentReader reader(StreamClasses::standard());
        const std::unique_ptr<TComponent> read = reader.read(bytes);
        QVERIFY2(read, qPrintable(reader.errorString()));
        const QStringList dump = dumpProperties(*read);
        for (const QString &property : properties)
            QVERIFY2(dump.contains(property), qPrintable(property + QStringLiteral(" not in:\n") + dump.join(u'\n')));
        // No page item more than listed.
        QCOMPARE(dump.filter(QStringLiteral("].BlockType=")).size(), properties.filter(QStringLiteral("].BlockType=")).size());
    }

    // The root's inherited Name and Tag are accepted and kept; they are written back
    // (first, as inherited properties come) only when read and not at their default.
    void inheritedNameAndTagAreKept_data()
    {
        QTest::addColumn<QByteArray>("properties");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("both") << Bytes().str("Name", "Page1").int16("tag", 300).b << "Page1" << 300
                              << Bytes().name("Page1").str("Name", "Page1").int16("Tag", 300).b;
        QTest::newRow("defaults") << Bytes().str("Name", "").int8("Tag", 0).b << "" << 0 << Bytes().byte(0).b;
    }
    void inheritedNameAndTagAreKept()
    {
        QFETCH(QByteArray, properties);
        QFETCH(QString, name);
        QFETCH(int, tag);
        QFETCH(QByteArray, written);
        const QByteArray rest = Bytes().boolean("AlphaSort", true).byte(0).byte(0).b;
        QString error;
        auto page = readPage(Bytes().raw("TPF0").name("TPagelette").byte(0).raw(properties).raw(rest).b, &error);
        QVERIFY2(page, qPrintable(error));
        QCOMPARE(page->Name, name);
        QCOMPARE(page->Tag, tag);
        QVERIFY(page->AlphaSort);
        const QByteArray bytes = ComponentWriter::toBytes(*page);
        const QByteArray head = Bytes().raw("TPF0").name("TPagelette").raw(written).name("Page").b;
        QVERIFY2(bytes.startsWith(head), bytes.left(head.size() + 8).toHex().constData());
    }

    // Reading ends with the root object; bytes after it are ignored and not kept.
    void bytesAfterTheRootAreIgnored()
    {
        TPagelette page;
        fillEverything(page);
        const QByteArray bytes = ComponentWriter::toBytes(page);
        QString error;
        auto read = readPage(bytes + QByteArray("\0TPF0 trailing", 14), &error);
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(ComponentWriter::toBytes(*read), bytes);
    }

    // The fuzzer's seeds and every input it ever found: each is refused with a reason,
    // or read into an object that writes back to itself.
    void storedStreamsReadBackToThemselves_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(VENDRIX_TEST_DATA "/streams"));
        const QStringList names = dir.entryList(QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
    void storedStreamsReadBackToThemselves()
    {
        QFETCH(QString, path);
        ComponentReader reader(StreamClasses::standard());
        const std::unique_ptr<TComponent> first = reader.read(path);
        if (!first) {
            QVERIFY(!reader.errorString().isEmpty());
            return;
        }
        const QByteArray written = ComponentWriter::toBytes(*first);
        const std::unique_ptr<TComponent> second = reader.read(written);
        QVERIFY2(second, qPrintable(reader.errorString()));
        QCOMPARE(ComponentWriter::toBytes(*second), written);
        QCOMPARE(dumpProperties(*second), dumpProperties(*first));
    }

    // The reasons are shown by the command line and the batch tools.
    void malformedStreamsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray start = Bytes().raw("TPF0").name("TPagelette").byte(0).b;
        const QByteArray end("\0\0", 2);
        const QString badValue = QStringLiteral("Invalid property value");
        QTest::newRow("empty") << QByteArray() << "Invalid stream format";
        QTest::newRow("bad signature") << QByteArray("TPF1\x0aTPagelette\0\0\0", 17) << "Invalid stream format";
        QTest::newRow("unregistered class") << Bytes().raw("TPF0").name("TForm1").byte(0).byte(0).byte(0).b
                                            << "Class TForm1 not found";
        QTest::newRow("unknown property") << start + Bytes().boolean("NoSuchThing", true).b + end
                                          << "Error reading TPagelette.NoSuchThing: Property NoSuchThing does not exist";
        QTest::newRow("string for a Boolean") << start + Bytes().str("AlphaSort", "yes").b + end << badValue;
        QTest::newRow("integer for a string") << start + Bytes().int8("Subject", 1).b + end << badValue;
        QTest::newRow("Boolean for an integer")
            << start + Bytes().name("Page").byte(14).byte(1).boolean("HRBlock.Width", true).byte(0).byte(0).b + end << badValue;
        QTest::newRow("identifier of another type")
            << start + Bytes().name("Page").byte(14).byte(1).ident("BlockType", "baLeft").byte(0).byte(0).b + end << badValue;
        QTest::newRow("float tag") << start + Bytes().name("Subject").byte(5).raw(QByteArray(10, 'x')).b + end << badValue;
        QTest::newRow("int64 tag") << start + Bytes().name("Subject").byte(19).raw(QByteArray(8, 'x')).b + end << badValue;
        QTest::newRow("value for a collection") << start + Bytes().str("Page", "x").b + end << badValue;
        QTest::newRow("value for a block")
            << start + Bytes().name("Page").byte(14).byte(1).str("HRBlock", "x").byte(0).byte(0).b + end << badValue;
        QTest::newRow("dotted name through a string")
            << start + Bytes().name("Page").byte(14).byte(1).str("BlockType.Name", "x").byte(0).byte(0).b + end
            << "Invalid property path BlockType.Name";
        QTest::newRow("byte property out of range")
            << start + Bytes().name("Page").byte(14).byte(1).int16("TextBlock.ApplyFont", 256).byte(0).byte(0).b + end << badValue;
        QTest::newRow("huge long string") << start + Bytes().name("Subject").byte(12).raw(QByteArray::fromHex("ffffff7f")).b + end
                                          << "Unexpected end of stream";
        QTest::newRow("negative long string") << start + Bytes().name("Subject").byte(12).raw(QByteArray::fromHex("ffffffff")).b + end
                                              << "Invalid length in stream";
        QTest::newRow("huge wide string") << start + Bytes().name("Subject").byte(18).raw(QByteArray::fromHex("ffffff3f")).b + end
                                          << "Invalid length in stream";
        QTest::newRow("child object") << start + Bytes().byte(0).name("TPagelette").byte(0).byte(0).byte(0).byte(0).b
                                      << "Unexpected child object in stream";
        QTest::newRow("item without list tag") << start + Bytes().name("Page").byte(14).byte(9).b + end << badValue;
    }
    void malformedStreamsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        ComponentReader reader(StreamClasses::standard());
        QVERIFY(!reader.read(bytes));
        QCOMPARE(reader.errorString(), error);
        QVERIFY_THROWS_EXCEPTION(StreamError, reader.readOrThrow(bytes));
    }

    void everyTruncationIsRefused()
    {
        TPagelette page;
        fillEverything(page);
        const QByteArray bytes = ComponentWriter::toBytes(page);
        ComponentReader reader(StreamClasses::standard());
        for (qsizetype n = 0; n < bytes.size(); ++n)
            QVERIFY2(!reader.read(bytes.left(n)), qPrintable(QString::number(n)));
        QVERIFY(reader.read(bytes));
    }

    void writeErrorsReachTheCaller()
    {
        TPagelette page;
        page.NewPage();
        FailingDevice device(100);
        ComponentWriter writer;
        QVERIFY(!writer.write(&device, page));
        QCOMPARE(writer.errorString(), QStringLiteral("No space left on device"));

        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QVERIFY(writer.write(&buffer, page));
        buffer.seek(0);
        ComponentReader reader(StreamClasses::standard());
        QVERIFY(reader.read(&buffer));
    }

    void dumpFormatsEveryKindOfValue()
    {
        TPagelette page;
        fillEverything(page);
        const QStringList lines = dumpProperties(page);
        QVERIFY(lines.contains("Page[0].PagePropertiesBlock.ThemeName=Default"));
        QVERIFY(lines.contains("Page[0].PagePropertiesBlock.BGColor=16777215"));
        QVERIFY(lines.contains("Page[0].PagePropertiesBlock.VLinkColor=-1"));
        QVERIFY(lines.contains("Page[0].PagePropertiesBlock.MetaText=Keywords\\tcats, dogs\\r\\n"));
        QVERIFY(lines.contains("Page[2].LinkBlock.UseDropBox=False"));
        QVERIFY(lines.contains("Page[6].BulletBlock.Style=lsLoCaseRoman"));
        QVERIFY(lines.contains("WebForm[0].FieldKind=fkText"));
        QVERIFY(lines.contains("WebForm[0].Strings=Size=30"));
        QVERIFY(lines.contains("WebForm[2].FieldKind=fkButton"));
        QVERIFY(lines.contains("AlphaSort=True"));
        QVERIFY(lines.contains("BlankFields=False"));
        QVERIFY(lines.contains("Subject=100% feedback"));
        QCOMPARE(lines.first(), QStringLiteral("Page[0].BlockType=btPageProperties"));
        QCOMPARE(lines.last(), QStringLiteral("Subject=100% feedback"));

        TFormElement &field = page.WebForm().Items(0);
        field.Strings = {QStringLiteral("Size=30"), QStringLiteral("Maxlength=100")};
        field.Text = QStringLiteral("back\\slash");
        const QStringList again = dumpProperties(page);
        QVERIFY(again.contains("WebForm[0].Strings=Size=30\\nMaxlength=100"));
        QVERIFY(again.contains("WebForm[0].Text=back\\\\slash"));
    }
};

VENDRIX_TEST(TestComponentStream)
#include "tst_componentstream.moc"
