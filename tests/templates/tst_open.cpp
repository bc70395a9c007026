#include "listtexts.h"
#include "testregistry.h"
#include "uifakes.h"

#include "mainwindow/blocklists.h"
#include "mainwindow/frmmain.h"
#include "model/documents.h"
#include "platform/appinfo.h"
#include "templates/frmtemplates.h"

#include <QAction>
#include <QGuiApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

namespace {

const QStringList kNewPageRows{"Page Details", "Image", "Link", "Paragraph"};

}

// Open: New first, then the template browser, then the chosen document.
class TestOpen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // File-type registration writes below the user's data folder: keep it in a sandbox.
        QVERIFY(mXdgHome.isValid());
        qputenv("XDG_DATA_HOME", mXdgHome.path().toLocal8Bit());
    }

    void open_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("caption"); // the item picked; empty: the browser is cancelled
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("shipped template, button") << "btnChooseTemplate" << "Small Business" << "Untitled"
            << QStringList{"Page Details", "Heading", "Paragraph", "Image", "Heading", "Paragraph", "Heading", "Bullet List",
                           "Line", "Heading", "Paragraph", "Forms", "Line", "Paragraph"};
        QTest::newRow("page document, menu") << "mnuOpen" << "Letter" << "Letter.vxf"
                                             << QStringList{"Page Details", "Heading"};
        QTest::newRow("cancelled, Ctrl+O") << "Ctrl+O" << "" << "Untitled" << kNewPageRows;
    }

    void open()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        QFETCH(QStringList, rows);

        TestServices fakes;
        {
            TPagelette letter;
            letter.NewPage();
            while (letter.Page().Count() > 1)
                letter.Page().remove(1);
            letter.InsertNewItem(1, btHeading).HeadingBlock().Heading = QStringLiteral("Dear friend");
            QCOMPARE(Documents::SaveDocument(fakes.data.folder().documentsFolder() + "Letter.vxf", letter),
                     Documents::SaveResult::Saved);
        }
        fakes.settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
        fakes.settings.writeString(SettingsKeys::windowState(), QStringLiteral("Normal"));
        TfrmMain window(fakes.services);
        window.startUp(QString());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // A page other than the new one, unchanged, so New asks nothing.
        window.InsertNewItem(1, btHR);
        window.FillPageletteList();
        QVERIFY(!window.changed());

        bool busyWhilePicking = true;
        fakes.modal.expect([&](QDialog &dialog) {
            busyWhilePicking = QGuiApplication::overrideCursor() != nullptr;
            auto &browser = static_cast<TfrmTemplates &>(dialog);
            if (caption.isEmpty())
                return int(QDialog::Rejected);
            const QList<QListWidgetItem *> found = browser.lvTemplates->findItems(caption, Qt::MatchExactly);
            if (found.isEmpty())
                return int(QDialog::Rejected);
            browser.lvTemplates->setCurrentItem(found.first());
            return int(QDialog::Accepted);
        });
        if (trigger == "Ctrl+O")
            QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
        else if (trigger == "mnuOpen")
            window.mnuOpen->trigger();
        else
            window.btnChooseTemplate->click();

        QCOMPARE(fakes.modal.shownClasses, QStringList{"TfrmTemplates"});
        QVERIFY(!busyWhilePicking);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(listTexts(*window.lstBlocks), rows);
        QCOMPARE(window.windowHandle()->title(), title + " - " + AppInfo::applicationTitle());
        QVERIFY(!window.changed());
        QCOMPARE(window.document().isUntitled(), title == "Untitled");
        QVERIFY(fakes.prompter.boxes.isEmpty());
        if (caption == "Letter")
            QCOMPARE(window.page().Page().Items(1).HeadingBlock().Heading, QStringLiteral("Dear friend"));
    }

    void cancelledNewShowsNoBrowser()
    {
        TestServices fakes;
        fakes.settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
        TfrmMain window(fakes.services);
        window.startUp(QString());
        window.InsertNewItem(1, btHR);
        window.pageChanged(QStringLiteral("Add Line"));
        fakes.prompter.answer(Prompter::Cancel);
        window.openDocument();
        QCOMPARE(fakes.prompter.texts(), QStringList{"Would you like to save changes to Untitled?"});
        QVERIFY(fakes.modal.shownClasses.isEmpty());
        QVERIFY(window.changed());
    }

private:
    QTemporaryDir mXdgHome;
};

VENDRIX_TEST(TestOpen)
#include "tst_open.moc"
