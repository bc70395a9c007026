#include "testregistry.h"

#include "platform/cp1252.h"
#include "platform/textfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestEncoding : public QObject
{
    Q_OBJECT

private slots:
    void cp1252RoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QVERIFY(Cp1252::canEncode(text));
        QCOMPARE(Cp1252::encode(text), all);
    }

    void cp1252MapsTheHighControlRange()
    {
        QCOMPARE(Cp1252::decode("\x80\x99\x9F"), QStringLiteral("\u20AC\u2122\u0178"));
        QCOMPARE(Cp1252::encode(u"\u20AC \u00E9"), QByteArray("\x80 \xE9"));
    }

    void charactersOutsideTheCodePage()
    {
        const QString text = QStringLiteral("a\u0416b\U0001F600c");
        QVERIFY(!Cp1252::canEncode(text));
        QCOMPARE(Cp1252::encode(text), QByteArray("a?b??c"));
    }

    // The mark some editors put before UTF-8 text is no part of the first line, whether
    // the file is read by lines or decoded whole, and whatever the rest turns out to be.
    void byteOrderMarkIsNoText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9\r\nsecond\r\n") << QStringList{"caf\u00E9", "second"};
        QTest::newRow("Windows-1252 after the mark") << QByteArray("\xEF\xBB\xBF" "caf\xE9\nsecond") << QStringList{"caf\u00E9", "second"};
    }
    void byteOrderMarkIsNoText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("marked.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QStringList read;
        QVERIFY(TextFile::readLines(path, read));
        QCOMPARE(read, lines);
        QCOMPARE(TextFile::splitLines(TextFile::decode(bytes)), lines);
    }

    void linesSplitAtEveryKindOfLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lf") << QStringLiteral("a\nb") << QStringList{"a", "b"};
        QTest::newRow("cr") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("mixed with blank lines") << QStringLiteral("a\r\n\nb\r\rc") << QStringList{"a", "", "b", "", "c"};
        QTest::newRow("lf cr is two breaks") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("only a break") << QStringLiteral("\r\n") << QStringList{""};
    }
    void linesSplitAtEveryKindOfLineEnd()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFile::splitLines(text), lines);
    }
};

VENDRIX_TEST(TestEncoding)
#include "tst_encoding.moc"
