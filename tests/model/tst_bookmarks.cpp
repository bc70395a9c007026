#include "model/bookmarks.h"
#include "editor/textimport.h"
#include "platform/settings.h"
#include "testfiles.h"
#include "testregistry.h"

#include <QTemporaryDir>
#include <QTest>

class TestBookmarkReaders : public QObject
{
    Q_OBJECT

private slots:
    void markers_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("addresses");

        QTest::newRow("one") << R"(<DT><A HREF="http://a.example/" ADD_DATE="1">A</A>)" << QStringList{"http://a.example/"};
        QTest::newRow("several in order")
            << R"(<A HREF="http://one/">1</A> <a href="http://two/">2</a><A HREF="http://three/">3</A>)"
            << QStringList{"http://one/", "http://two/", "http://three/"};
        QTest::newRow("mixed case") << R"(<a HrEf="http://mixed/">m</a>)" << QStringList{"http://mixed/"};
        QTest::newRow("no closing quote ends at blank")
            << R"(<A HREF="http://open/page ADD_DATE=1>x)" << QStringList{"http://open/page"};
        QTest::newRow("neither quote nor blank") << R"(<A HREF="http://cut/)" << QStringList{""};
        QTest::newRow("empty address kept") << R"(<A HREF="">x</A><A HREF="b">y</A>)" << QStringList{"", "b"};
        QTest::newRow("blank inside quotes kept") << R"(<A HREF="file name.html">x</A>)" << QStringList{"file name.html"};
        QTest::newRow("no marker") << "<DT><H3>Folder</H3>" << QStringList{};
        QTest::newRow("single quotes are no marker") << "<A HREF='http://x/'>x</A>" << QStringList{};
        QTest::newRow("space before quote is no marker") << R"(<A HREF= "http://x/">x</A>)" << QStringList{};
    }

    void markers()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, addresses);
        QStringList found{QStringLiteral("kept")};
        Bookmarks::appendAddresses(line, found);
        QCOMPARE(found, QStringList{QStringLiteral("kept")} + addresses);
    }

    void exportedBookmarkFile()
    {
        QStringList addresses;
        QString error;
        QVERIFY(Bookmarks::readFile(QStringLiteral(VENDRIX_TEST_DATA "/bookmarks/export.html"), addresses, &error));
        const QStringList expected{
            QStringLiteral("https://www.example.org/"),
            QStringLiteral("https://news.example.com/world?page=2&amp;sort=new"),
            QStringLiteral("http://cooking.example.net/bread/sourdough.html"),
            QStringLiteral("http://cooking.example.net/soup/"),
            QStringLiteral("mailto:friend@example.com"),
            QStringLiteral("ftp://files.example.org/pub/"),
            QStringLiteral("https://www.example.org/"),
            QStringLiteral("https://caf%C3%A9.example.fr/menu"),
        };
        QCOMPARE(addresses, expected);
    }

    void missingFile()
    {
        QStringList addresses{QStringLiteral("before")};
        QString error;
        QVERIFY(!Bookmarks::readFile(mDir.filePath(QStringLiteral("none.htm")), addresses, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(addresses, QStringList{QStringLiteral("before")});
        QVERIFY(!Bookmarks::readFile(mDir.path(), addresses));
    }

    void location_data()
    {
        QTest::addColumn<QString>("fileLocation");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("install");
        QTest::addColumn<QString>("path");

        QTest::newRow("file location wins") << "/home/a/bookmarks.html" << "joe" << "/opt/browser/" << "/home/a/bookmarks.html";
        QTest::newRow("install folder cut at Communicator")
            << "" << "joe" << "/opt/Browser/Communicator/Program" << "/opt/Browser/Users/joe/bookmark.htm";
        QTest::newRow("install folder as is") << "" << "ann" << "/opt/browser/" << "/opt/browser/Users/ann/bookmark.htm";
        QTest::newRow("word is case sensitive") << "" << "ann" << "/opt/communicator/" << "/opt/communicator/Users/ann/bookmark.htm";
        QTest::newRow("nothing known") << "" << "" << "" << "";
    }

    void location()
    {
        QFETCH(QString, fileLocation);
        QFETCH(QString, user);
        QFETCH(QString, install);
        QFETCH(QString, path);
        QCOMPARE((Bookmarks::Location{fileLocation, user, install}.bookmarkFile()), path);
    }

    void locationFromSettings()
    {
        Settings settings(mDir.filePath(QStringLiteral("settings.ini")));
        settings.writeString(Bookmarks::Location::currentUserKey(), QStringLiteral("joe"));
        settings.writeString(Bookmarks::Location::installDirectoryKey(), QStringLiteral("/opt/b/Communicator"));
        const Bookmarks::Location location = Bookmarks::Location::read(settings);
        QCOMPARE(location.fileLocation, QString());
        QCOMPARE(location.bookmarkFile(), QStringLiteral("/opt/b/Users/joe/bookmark.htm"));
    }

    void internetShortcut_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("url");

        QTest::newRow("usual") << QByteArray("[InternetShortcut]\r\nURL=http://www.example.com/a,b?x=%20\r\n")
                               << "http://www.example.com/a,b?x=%20";
        QTest::newRow("other sections first")
            << QByteArray("[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,2\r\nURL=http://wrong/\r\n"
                          "[InternetShortcut]\r\nIDList=\r\nurl = http://right/\r\nIconIndex=0\r\n")
            << "http://right/";
        QTest::newRow("section in lower case") << QByteArray("[internetshortcut]\nURL=http://lower/\n") << "http://lower/";
        QTest::newRow("no URL value") << QByteArray("[InternetShortcut]\r\nIconIndex=0\r\n") << "";
        QTest::newRow("URL outside the section") << QByteArray("URL=http://nowhere/\r\n[Other]\r\n") << "";
        QTest::newRow("empty value") << QByteArray("[InternetShortcut]\r\nURL=\r\n") << "";
    }

    void internetShortcut()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, url);
        QCOMPARE(Bookmarks::readInternetShortcut(writeFile(mDir.filePath(QStringLiteral("link.url")), content)), url);
    }

    void textImport_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");

        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << "one\r\ntwo\r\n";
        QTest::newRow("LF, no final break") << QByteArray("one\ntwo") << "one\r\ntwo\r\n";
        QTest::newRow("blank line kept") << QByteArray("a\n\nb\n") << "a\r\n\r\nb\r\n";
        QTest::newRow("Windows-1252") << QByteArray("caf\xe9\r\n") << QString::fromUtf8("caf\xc3\xa9\r\n");
        QTest::newRow("empty file") << QByteArray() << "";
    }

    void textImport()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QString imported = QStringLiteral("untouched");
        QVERIFY(TextImport::readText(writeFile(mDir.filePath(QStringLiteral("import.txt")), content), imported));
        QCOMPARE(imported, text);

        QString unread = QStringLiteral("untouched");
        QVERIFY(!TextImport::readText(mDir.filePath(QStringLiteral("missing.txt")), unread));
        QCOMPARE(unread, QStringLiteral("untouched"));
    }

private:
    QTemporaryDir mDir;
};

VENDRIX_TEST(TestBookmarkReaders)
#include "tst_bookmarks.moc"
