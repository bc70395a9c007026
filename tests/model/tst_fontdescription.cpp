#include "testregistry.h"

#include "model/errors.h"
#include "model/fontdescription.h"

#include <QTest>

Q_DECLARE_METATYPE(FontValue)

namespace {
FontValue font(const QString &name, int size, qint32 color, bool bold = false, bool italic = false, bool underline = false)
{
    return FontValue{name, size, color, bold, italic, underline};
}
}

class TestFontDescription : public QObject
{
    Q_OBJECT

private slots:
    void descriptions_data()
    {
        QTest::addColumn<FontValue>("font");
        QTest::addColumn<QString>("description");
        QTest::newRow("default") << font("Times New Roman", 12, 0x00050000)
                                 << "\"Times New Roman\", 12, [], [$00050000]";
        QTest::newRow("bold italic red") << font("Arial", 10, 0x0000FF, true, true)
                                         << "\"Arial\", 10, [Bold|Italic], [clRed]";
        QTest::newRow("underline alone") << font("Arial", 10, 0, false, false, true)
                                         << "\"Arial\", 10, [Underline], [clBlack]";
        QTest::newRow("all styles") << font("Courier New", 8, 0xFFFFFF, true, true, true)
                                    << "\"Courier New\", 8, [Bold|Italic|Underline], [clWhite]";
        QTest::newRow("colour in no table row") << font("Verdana", 14, 0x00FF0080)
                                                << "\"Verdana\", 14, [], [$00FF0080]";
        QTest::newRow("system colour") << font("Tahoma", 9, qint32(0x8000000F)) << "\"Tahoma\", 9, [], [clBtnFace]";
        QTest::newRow("no colour") << font("Tahoma", 9, 0x1FFFFFFF) << "\"Tahoma\", 9, [], [clNone]";
        QTest::newRow("negative size") << font("Symbol", -13, 0x123456) << "\"Symbol\", -13, [], [$00123456]";
        QTest::newRow("face with spaces and quote-free") << font("Comic Sans MS", 20, 0x800000)
                                                         << "\"Comic Sans MS\", 20, [], [clNavy]";
    }
    void descriptions()
    {
        QFETCH(FontValue, font);
        QFETCH(QString, description);
        QCOMPARE(FontToDescription(font), description);
        FontValue read{QStringLiteral("other"), 99, 1, true, true, true};
        DescriptionToFont(description, read);
        QCOMPARE(read, font);
    }

    void colourTokensAreReadInAnyCaseOrAsNumbers_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<qint32>("color");
        QTest::newRow("lower-case name") << "clred" << qint32(0x0000FF);
        QTest::newRow("mixed-case name") << "CLBLUE" << qint32(0xFF0000);
        QTest::newRow("dollar hex") << "$00050000" << qint32(0x00050000);
        QTest::newRow("0x hex") << "0xFF" << qint32(255);
        QTest::newRow("x hex") << "xff" << qint32(255);
        QTest::newRow("decimal") << "12345" << qint32(12345);
        QTest::newRow("leading blanks and sign") << "  -42" << qint32(-42);
        QTest::newRow("plus sign") << "+7" << qint32(7);
        QTest::newRow("lowest integer") << "-2147483648" << qint32(-2147483647 - 1);
        QTest::newRow("top bit hex") << "$80000001" << qint32(0x80000001);
    }
    void colourTokensAreReadInAnyCaseOrAsNumbers()
    {
        QFETCH(QString, token);
        QFETCH(qint32, color);
        QCOMPARE(StringToColor(token), color);
        FontValue read;
        DescriptionToFont(QStringLiteral("\"A\", 10, [], [%1]").arg(token), read);
        QCOMPARE(read.color, color);
    }

    void notANumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks only") << "   ";
        QTest::newRow("prefix only") << "$";
        QTest::newRow("letters") << "red";
        QTest::newRow("trailing blank") << "12 ";
        QTest::newRow("bad hex digit") << "$12G";
        QTest::newRow("too large") << "2147483648";
        QTest::newRow("hex too large") << "$100000000";
    }
    void notANumber()
    {
        QFETCH(QString, text);
        try {
            StrToInt(text);
            QFAIL("no conversion error");
        } catch (const ConvertError &e) {
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void aFailedConversionKeepsTheFieldsSetBeforeIt()
    {
        FontValue read{QStringLiteral("old"), 1, 2, true, true, true};
        QVERIFY_THROWS_EXCEPTION(ConvertError, DescriptionToFont(QStringLiteral("\"Arial\", 10, [Bold], [nocolour]"), read));
        QCOMPARE(read.name, QStringLiteral("Arial"));
        QCOMPARE(read.size, 10);
        QCOMPARE(read.color, 2);
        // Styles are set last, so they are untouched too.
        QVERIFY(read.bold && read.italic && read.underline);

        read = FontValue{QStringLiteral("old"), 1, 2};
        QVERIFY_THROWS_EXCEPTION(ConvertError, DescriptionToFont(QStringLiteral("\"Arial\", big, [], [clRed]"), read));
        QCOMPARE(read.name, QStringLiteral("Arial"));
        QCOMPARE(read.size, 1);
    }

    void garbageNeverCrashes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("no commas") << "Arial";
        QTest::newRow("one comma") << "\"Arial\", 10";
        QTest::newRow("short") << ",,,";
    }
    void garbageNeverCrashes()
    {
        QFETCH(QString, text);
        FontValue read;
        QVERIFY_THROWS_EXCEPTION(ConvertError, DescriptionToFont(text, read));
    }
};

VENDRIX_TEST(TestFontDescription)
#include "tst_fontdescription.moc"
