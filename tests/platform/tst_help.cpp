#include "platform/helptopics.h"
#include "platform/helpwindow.h"
#include "testdatafolder.h"
#include "testregistry.h"

#include <QDialog>
#include <QTest>
#include <QTextBrowser>

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void parsesNumbersChaptersAndMarkup()
    {
        HelpTopics topics;
        topics.parse(QStringLiteral("Welcome to the help.\n"
                                    "# The main window\n"
                                    "## 54 The pagelette list\n"
                                    "Drag a block <here>.\n"
                                    "Second line of the paragraph.\n"
                                    "\n"
                                    "- first item\n"
                                    "  goes on\n"
                                    "- **bold** item\n"
                                    "## 13, 14 Meta tags\n"
                                    "Name and content.\n"
                                    "# Extras\n"
                                    "## Getting started\n"
                                    "Read this first.\n"));
        QCOMPARE(topics.numbers(), (QList<int>{13, 14, 54}));
        QCOMPARE(topics.title(54), QStringLiteral("The pagelette list"));
        QCOMPARE(topics.title(13), topics.title(14));
        QVERIFY(!topics.contains(15));

        const QString list = topics.topicHtml(54);
        QVERIFY(list.startsWith(QStringLiteral("<h3>The pagelette list</h3>")));
        QVERIFY(list.contains(QStringLiteral("<p>Drag a block &lt;here&gt;. Second line of the paragraph.</p>")));
        QVERIFY(list.contains(QStringLiteral("<ul><li>first item goes on</li><li><b>bold</b> item</li></ul>")));
        QVERIFY(topics.topicHtml(15).contains(QStringLiteral("no help")));

        const QString contents = topics.contentsHtml();
        QVERIFY(contents.contains(QStringLiteral("Welcome to the help.")));
        QVERIFY(contents.indexOf(QStringLiteral("<h3>The main window</h3>")) < contents.indexOf(QStringLiteral("<h3>Extras</h3>")));
        // Topics are linked by their place in the file, numbered or not.
        QVERIFY(contents.contains(QStringLiteral("<a href=\"help:2\">Getting started</a>")));
        QVERIFY(topics.pageHtml(QStringLiteral("help:2")).contains(QStringLiteral("Read this first.")));
        QVERIFY(topics.pageHtml(QStringLiteral("help:99")).contains(QStringLiteral("<h2>Contents</h2>")));
        QVERIFY(topics.pageHtml(HelpTopics::contentsLink()).contains(QStringLiteral("<h2>Contents</h2>")));
    }

    // Every number a control, message or dialog of the program uses as its help topic.
    void shippedHelpCoversEveryNumber()
    {
        HelpTopics topics;
        QString error;
        QVERIFY2(topics.load(buildDataFolder() + QStringLiteral("/help/") + HelpWindow::helpFileName(), &error),
                 qPrintable(error));
        const QList<int> used = {10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  26,  27,  28,  29,
                                 31,  33,  34,  35,  36,  37,  38,  39,  48,  49,  50,  51,  54,  55,  57,  58,  59,
                                 60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,  75,  76,
                                 103, 104, 105, 171, 190, 200, 202, 203, 204, 205, 206, 207, 208, 209};
        QStringList missing;
        for (int n : used) {
            if (!topics.contains(n))
                missing.append(QString::number(n));
            else if (topics.topicHtml(n).count(QStringLiteral("<p>")) + topics.topicHtml(n).count(QStringLiteral("<li>")) == 0)
                missing.append(QString::number(n) + QStringLiteral(" (no text)"));
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u' ')));
    }

    void contentsWindowFollowsLinks()
    {
        TestDataFolder data;
        QVERIFY(data.isValid());
        const QString file = data.writeFile(QStringLiteral("help/topics.txt"),
                                            "Intro.\n# Saving\n## 171 The Uploads folder\nYour page is copied there.\n");
        HelpWindow help(file);
        QVERIFY(!help.window());
        help.showContents();
        QDialog *window = help.window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->objectName(), QStringLiteral("frmHelp"));
        auto *browser = window->findChild<QTextBrowser *>(QStringLiteral("txtHelp"));
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("The Uploads folder")));
        QVERIFY(!browser->toPlainText().contains(QStringLiteral("Your page is copied there.")));

        emit browser->anchorClicked(QUrl(QStringLiteral("help:0")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Your page is copied there.")));
        emit browser->anchorClicked(QUrl(HelpTopics::contentsLink()));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Intro.")));

        help.showTopic(171);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Your page is copied there.")));
        help.close();
        QVERIFY(!window->isVisible());
    }

    void missingHelpFileSaysSo()
    {
        HelpWindow help(QStringLiteral("/nonexistent/help/topics.txt"));
        help.showContents();
        auto *browser = help.window()->findChild<QTextBrowser *>(QStringLiteral("txtHelp"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("/nonexistent/help/topics.txt could not be read")));
        help.close();
    }
};

VENDRIX_TEST(TestHelp)
#include "tst_help.moc"
