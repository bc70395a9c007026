#include "testfiles.h"
#include "testregistry.h"

#include "model/routines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Routines;

class TestRoutines : public QObject
{
    Q_OBJECT

private slots:
    void replaceText_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<QString>("oldText");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("result");
        QTest::newRow("spaces") << "Full Name Here" << "_" << " " << 1 << "Full_Name_Here";
        QTest::newRow("line breaks") << "one\r\ntwo\r\n" << "<BR>" << "\r\n" << 2 << "one<BR>two<BR>";
        QTest::newRow("empty old text") << "abc" << "x" << "" << 0 << "abc";
        QTest::newRow("nothing to replace") << "abc" << "x" << "z" << 1 << "abc";
        QTest::newRow("empty source") << "" << "x" << "a" << 1 << "";
        // Restarting from the beginning lets a replacement form a new occurrence with
        // what stood before it.
        QTest::newRow("cascade") << "abb" << "a" << "ab" << 2 << "a";
        QTest::newRow("cascade through inserted text") << "aab" << "b" << "ab" << 2 << "b";
        QTest::newRow("delete only") << "a--b--c" << "" << "--" << 2 << "abc";
        QTest::newRow("new text holds old text") << "a b" << "  " << " " << 1 << "a  b";
        QTest::newRow("shorter delete count") << "xaay" << "b" << "aa" << 1 << "xbay";
        // Longer runs than the text is long, and loops that never end.
        QTest::newRow("longer delete count, 12 passes") << "bbbaaaaa" << "abb" << "ba" << 3 << "aaabbbbbb";
        QTest::newRow("endless: same text again") << "xaby" << "a" << "ab" << 1 << "xaby";
        QTest::newRow("endless: text keeps growing") << "ab" << "aa" << "ab" << 1 << QString(16 * 2 + 4096, u'a') + u'b';
        QTest::newRow("endless: nothing deleted") << "a-b-" << "+" << "-" << 0 << "a+-b+-";
    }
    void replaceText()
    {
        QFETCH(QString, source);
        QFETCH(QString, newText);
        QFETCH(QString, oldText);
        QFETCH(int, count);
        QFETCH(QString, result);
        QCOMPARE(ReplaceText(source, newText, oldText, count), result);
    }

    void replaceTextMatchesTheRestartingLoopOnRandomInput()
    {
        // The restart-from-the-start definition, written the slow way.
        auto reference = [](QString s, const QString &n, const QString &o) {
            for (qsizetype p = s.indexOf(o); p >= 0; p = s.indexOf(o))
                s.replace(p, o.size(), n);
            return s;
        };
        const QString alphabet = QStringLiteral("ab");
        quint32 seed = 12345;
        auto next = [&] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
        for (int round = 0; round < 2000; ++round) {
            QString source, oldText, newText;
            for (int i = int(next() % 12); i > 0; --i)
                source += alphabet[int(next() % 2)];
            for (int i = 1 + int(next() % 3); i > 0; --i)
                oldText += alphabet[int(next() % 2)];
            for (int i = int(next() % 3); i > 0; --i)
                newText += alphabet[int(next() % 2)];
            if (newText.contains(oldText))
                continue;
            QString expected = reference(source, newText, oldText);
            QCOMPARE(ReplaceText(source, newText, oldText, int(oldText.size())), expected);
        }
    }

    void stripExtensionAndSpaces()
    {
        QCOMPARE(StripExtension(QStringLiteral("my.page.vxf")), QStringLiteral("my.page"));
        QCOMPARE(StripExtension(QStringLiteral("page")), QString());
        QCOMPARE(StripExtension(QStringLiteral(".vxf")), QString());
        QCOMPARE(RemoveSpaces(QStringLiteral(" My Home  Page ")), QStringLiteral("MyHomePage"));
    }

    void bars()
    {
        QCOMPARE(TextBeforeBar(QStringLiteral("red|Red|Yes")), QStringLiteral("red"));
        QCOMPARE(TextAfterBar(QStringLiteral("red|Red|Yes")), QStringLiteral("Red|Yes"));
        QCOMPARE(TextBeforeBar(QStringLiteral("plain")), QString());
        QCOMPARE(TextAfterBar(QStringLiteral("plain")), QStringLiteral("plain"));
        QCOMPARE(TextAfterBar(QStringLiteral("end|")), QString());
    }

    void replaceChar()
    {
        QString text = QStringLiteral("a\\b\\c");
        ReplaceChar(text, u'\\', u'/');
        QCOMPARE(text, QStringLiteral("a/b/c"));
        ReplaceChar(text, u'a', u'a');
        QCOMPARE(text, QStringLiteral("a/b/c"));
    }

    void isNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("digits") << "0123" << true;
        QTest::newRow("inner spaces") << "255 128 0" << true;
        QTest::newRow("spaces only") << "   " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letter") << "12a" << false;
        QTest::newRow("sign") << "-1" << false;
        QTest::newRow("tab") << "1\t2" << false;
    }
    void isNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(IsNumeric(text), numeric);
    }

    void wildcardPos_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("position");
        QTest::newRow("found") << "<a href=\"x\">" << "href" << 1 << 4;
        QTest::newRow("case differs, positive start") << "<a href=\"x\">" << "HREF" << 1 << 0;
        QTest::newRow("case differs, negative start") << "<a href=\"x\">" << "HREF" << -1 << 4;
        QTest::newRow("question mark") << "abcdef" << "c?e" << 1 << 3;
        QTest::newRow("start past the match") << "abcabc" << "abc" << 2 << 4;
        QTest::newRow("start where it no longer fits") << "abcabc" << "abc" << 5 << 0;
        QTest::newRow("start at the last fitting place") << "abcabc" << "abc" << 4 << 4;
        QTest::newRow("start zero") << "abc" << "a" << 0 << 0;
        QTest::newRow("start beyond the text") << "abc" << "c" << 4 << 0;
        QTest::newRow("empty pattern") << "abc" << "" << 1 << 0;
        QTest::newRow("empty text") << "" << "a" << 1 << 0;
        QTest::newRow("no match") << "abc" << "d" << 1 << 0;
        QTest::newRow("one character, from the last place") << "abc" << "c" << 3 << 3;
        // The case rule only flips bit 0x20 of characters from 'A' to 'z'.
        QTest::newRow("backquote matches at sign") << "x`y" << "@" << -1 << 2;
        QTest::newRow("digits never fold") << "a1" << "\x11" << -1 << 0;
    }
    void wildcardPos()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, start);
        QFETCH(int, position);
        QCOMPARE(WildcardPos(text, pattern, start), position);
    }

    // Each call returns the next token and moves pos past its delimiter (0 at the end).
    void nextToken_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiters");
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("splits") << "12,34,56" << "," << 1 << QStringList{"12", "34", "56", ""} << QList<int>{4, 7, 0, 0};
        QTest::newRow("two delimiters in a row") << "a  b" << " " << 1 << QStringList{"a", ""} << QList<int>{3, 4};
        QTest::newRow("no delimiters") << "abc" << "" << 1 << QStringList{""} << QList<int>{0};
        QTest::newRow("start beyond the text") << "abc" << "," << 9 << QStringList{""} << QList<int>{0};
        QTest::newRow("any of several") << "a;b,c" << ",;" << 2 << QStringList{"", "b"} << QList<int>{3, 5};
        // The opening quote is skipped as a delimiter, the closing one is tested.
        QTest::newRow("odd quotes are no delimiters") << "x\"y\"z" << "\"" << 1 << QStringList{"x\"y"} << QList<int>{5};
        QTest::newRow("quotes do not group") << "\"a,b\",c" << "," << 1 << QStringList{"\"a"} << QList<int>{4};
    }
    void nextToken()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiters);
        QFETCH(int, start);
        QFETCH(QStringList, tokens);
        QFETCH(QList<int>, positions);
        int pos = start;
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            QCOMPARE(NextToken(text, delimiters, pos), tokens.at(i));
            QCOMPARE(pos, positions.at(i));
        }
    }

    void shellCopyIntoAFolder()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.gif");
        const QString b = dir.filePath("b.jpg");
        writeFile(a, "A");
        writeFile(b, "B");
        const QString target = dir.filePath("images");
        QVERIFY(ShellFileOperation(a + u',' + b, target, FO_COPY, 0));
        QCOMPARE(readFile(target + "/a.gif"), QByteArray("A"));
        QCOMPARE(readFile(target + "/b.jpg"), QByteArray("B"));
        QVERIFY(QFile::exists(a));
    }

    void shellCopyNeverReplacesSilently()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.gif");
        writeFile(a, "new");
        QDir().mkpath(dir.filePath("images"));
        writeFile(dir.filePath("images/a.gif"), "old");
        QVERIFY(!ShellFileOperation(a, dir.filePath("images"), FO_COPY, 0));
        QCOMPARE(readFile(dir.filePath("images/a.gif")), QByteArray("old"));
        QVERIFY(ShellFileOperation(a, dir.filePath("images"), FO_COPY, FOF_RENAMEONCOLLISION));
        QCOMPARE(readFile(dir.filePath("images/a (2).gif")), QByteArray("new"));
        QVERIFY(ShellFileOperation(a, dir.filePath("images"), FO_COPY, FOF_NOCONFIRMATION));
        QCOMPARE(readFile(dir.filePath("images/a.gif")), QByteArray("new"));
    }

    void shellMoveRenameDelete()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("one.txt"), "1");
        writeFile(dir.filePath("two.txt"), "2");
        writeFile(dir.filePath("keep.dat"), "k");
        QVERIFY(ShellFileOperation(dir.filePath("one.txt"), dir.filePath("renamed.txt"), FO_RENAME, 0));
        QCOMPARE(readFile(dir.filePath("renamed.txt")), QByteArray("1"));
        QVERIFY(!QFile::exists(dir.filePath("one.txt")));
        QVERIFY(ShellFileOperation(dir.filePath("*.txt"), dir.filePath("moved"), FO_MOVE, 0));
        QCOMPARE(readFile(dir.filePath("moved/renamed.txt")), QByteArray("1"));
        QCOMPARE(readFile(dir.filePath("moved/two.txt")), QByteArray("2"));
        QVERIFY(!QFile::exists(dir.filePath("two.txt")));
        QVERIFY(ShellFileOperation(dir.filePath("moved/*.txt") + ",,,", QString(), FO_DELETE, 0));
        QVERIFY(QDir(dir.filePath("moved")).isEmpty());
        QCOMPARE(readFile(dir.filePath("keep.dat")), QByteArray("k"));
    }

    void shellRefusals()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a"), "a");
        QVERIFY(!ShellFileOperation(dir.filePath("a"), dir.filePath("b"), 5, 0));
        QVERIFY(!ShellFileOperation(dir.filePath("a"), dir.filePath("b"), 0, 0));
        QVERIFY(!ShellFileOperation(QString(), dir.filePath("b"), FO_COPY, 0));
        QVERIFY(!ShellFileOperation(dir.filePath("missing"), dir.filePath("b"), FO_COPY, 0));
        QVERIFY(!ShellFileOperation(dir.filePath("missing"), QString(), FO_DELETE, 0));
        // The list is split at commas, so a path holding one names two files.
        writeFile(dir.filePath("x,y.gif"), "xy");
        QVERIFY(!ShellFileOperation(dir.filePath("x,y.gif"), dir.filePath("out"), FO_COPY, 0));
        QVERIFY(!QFile::exists(dir.filePath("out/x,y.gif")));
    }
};

VENDRIX_TEST(TestRoutines)
#include "tst_routines.moc"
