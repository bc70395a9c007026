#include "mainwindowtest.h"
#include "testregistry.h"

#include "editor/pagepropertiespanel.h"
#include "editor/textblockpanel.h"
#include "forms/formspanel.h"
#include "mainwindow/blocklists.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/undocontroller.h"
#include "model/componentstream.h"
#include "model/documents.h"
#include "model/webform.h"
#include "platform/appinfo.h"
#include "widgets/memobox.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

using namespace MainWindowTest;

namespace {

QByteArray bytesOf(TfrmMain &window)
{
    return ComponentWriter::toBytes(window.page());
}

// The pagelette list shows the page's items, one row each.
bool listMatchesPage(TfrmMain &window)
{
    if (window.lstBlocks->count() != window.page().Page().Count())
        return false;
    for (int i = 0; i < window.lstBlocks->count(); ++i) {
        if (BlockListWidget::rowKind(*window.lstBlocks->item(i)) != window.page().Page().Items(i).BlockType)
            return false;
    }
    return true;
}

}

// Undo and redo of the page through the main window, with every seam faked.
class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void mixedActionsStepByStep();
    void undoToTheSavedPageClearsTheMark();
    void menuButtonsAndShortcuts();

private:
    DataHomeSandbox mSandbox;
};

void TestUndo::mixedActionsStepByStep()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    TfrmMain &w = *window;
    struct Step
    {
        QString action;
        int rowBefore;
        int rowAfter;
        QByteArray bytes; // the page after the step
    };
    QList<Step> steps{{QString(), 0, 0, bytesOf(w)}};
    // Each call records the page after the user's action that the history names.
    const auto stepDone = [&](const QString &action, int rowBefore, int rowAfter) {
        steps.append({action, rowBefore, rowAfter, bytesOf(w)});
    };

    dropFromPalette(w, btHeading, 1);
    stepDone("Add Heading", 0, 1);
    QTest::keyClicks(w.pnlHeading->txtHeading, "Welcome");
    clickRow(w, 0);
    stepDone("Edit Heading", 1, 1);
    // The title typed before the move is stored first, as a step of its own.
    QTest::keyClicks(w.pnlPageProp->txtPageTitle, "Cats");
    TPagelette titled;
    QVERIFY(Documents::LoadDocumentBytes(bytesOf(w), titled));
    titled.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("Cats");
    const QByteArray titleStored = ComponentWriter::toBytes(titled);
    w.dropOnPageletteList(BlockDrag::Source::Pagelettes, 1, 3);
    steps.append({"Edit Page Details", 0, 0, titleStored});
    stepDone("Move Heading", 1, 3);
    deleteRow(w, fakes, 2);
    stepDone("Delete Pagelette", 2, 1);
    TPagePropertiesBlock &details = w.page().Page().Items(0).PagePropertiesBlock();
    details.BGColor = 0x112233;
    details.ThemeName = QStringLiteral("Night");
    w.pageChanged("Apply Theme");
    stepDone("Apply Theme", 1, 1);
    dropFromPalette(w, btForms, w.lstBlocks->count());
    stepDone("Add Forms", 1, 4);
    TFormElement &field = w.page().WebForm().AddElement();
    field.Name = QStringLiteral("Your name");
    w.pnlForms->fillFieldList(w.page().WebForm());
    w.pageChanged("Add Field");
    stepDone("Add Field", 4, 4);
    QCOMPARE(w.undoHistory().history().stepCount(), steps.size() - 1);

    // Typing not yet stored is the first thing undo takes back.
    QTest::keyClicks(w.pnlForms->txtFormAddress, "me@example.com");
    QCOMPARE(w.mnuUndo->toolTip(), QStringLiteral("Undo Edit Forms"));
    w.undo();
    QCOMPARE(bytesOf(w), steps.last().bytes);
    QVERIFY(w.pnlForms->txtFormAddress->text().isEmpty());
    QCOMPARE(w.mnuRedo->toolTip(), QStringLiteral("Redo Edit Forms"));
    w.redo();
    QCOMPARE(w.page().Email, QStringLiteral("me@example.com"));
    QCOMPARE(w.pnlForms->txtFormAddress->text(), QStringLiteral("me@example.com"));
    const QByteArray typed = bytesOf(w);
    w.undo();

    for (qsizetype i = steps.size() - 1; i > 0; --i) {
        QCOMPARE(w.mnuUndo->toolTip(), QStringLiteral("Undo ") + steps[i].action);
        w.undo();
        QCOMPARE(bytesOf(w), steps[i - 1].bytes);
        QCOMPARE(w.lstBlocks->currentRow(), steps[i].rowBefore);
        QCOMPARE(w.currentItemIndex(), steps[i].rowBefore);
        QVERIFY(listMatchesPage(w));
        QCOMPARE(w.pnlForms->lvForms->topLevelItemCount(), w.page().WebForm().Count());
    }
    QVERIFY(!w.mnuUndo->isEnabled());
    QCOMPARE(w.pnlHeading->txtHeading->text(), QString());
    // Back at the page of the start, which nothing needs to save.
    QVERIFY(!w.changed());

    for (qsizetype i = 1; i < steps.size(); ++i) {
        QCOMPARE(w.mnuRedo->toolTip(), QStringLiteral("Redo ") + steps[i].action);
        w.redo();
        QCOMPARE(bytesOf(w), steps[i].bytes);
        QCOMPARE(w.lstBlocks->currentRow(), steps[i].rowAfter);
        QVERIFY(listMatchesPage(w));
        QVERIFY(w.changed());
    }
    w.redo();
    QCOMPARE(bytesOf(w), typed);
    QVERIFY(!w.mnuRedo->isEnabled());
}

void TestUndo::undoToTheSavedPageClearsTheMark()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    TfrmMain &w = *window;
    dropFromPalette(w, btHeading, 1);
    fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/kept.vxf"));
    QVERIFY(w.save());
    fakes.prompter.boxes.clear(); // the note that the upload copy was written
    const QString saved = QStringLiteral("kept.vxf - ") + AppInfo::applicationTitle();
    const QString marked = QStringLiteral("kept.vxf* - ") + AppInfo::applicationTitle();
    QCOMPARE(shownTitle(w), saved);

    dropFromPalette(w, btHR, 2);
    QCOMPARE(shownTitle(w), marked);
    w.undo();
    QVERIFY(!w.changed());
    QCOMPARE(shownTitle(w), saved);
    w.undo();
    QVERIFY(w.changed());
    QCOMPARE(shownTitle(w), marked);
    w.redo();
    QCOMPARE(shownTitle(w), saved);

    // Typing into the saved page, stored by a row click, and taking it back leaves the
    // page as saved: New asks nothing.
    QTest::keyClicks(w.pnlHeading->txtHeading, "x");
    QCOMPARE(shownTitle(w), marked);
    clickRow(w, 0);
    QCOMPARE(shownTitle(w), marked);
    w.undo();
    QCOMPARE(shownTitle(w), saved);
    QVERIFY(w.newDocument());
    QVERIFY(fakes.prompter.boxes.isEmpty());
}

void TestUndo::menuButtonsAndShortcuts()
{
    TestServices fakes;
    auto window = startWindow(fakes);
    TfrmMain &w = *window;
    QVERIFY(w.popBlocks->actions().contains(w.mnuUndo));
    QCOMPARE(w.mnuUndo->text(), QStringLiteral("&Undo"));
    QCOMPARE(w.mnuRedo->text(), QStringLiteral("&Redo"));
    QCOMPARE(w.mnuUndo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(w.mnuRedo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                          QKeySequence(QStringLiteral("Ctrl+Y"))}));
    QVERIFY(!w.btnUndo->isEnabled());
    QCOMPARE(w.btnUndo->toolTip(), QStringLiteral("Undo"));

    deleteRow(w, fakes, 2);
    QVERIFY(w.btnUndo->isEnabled());
    QCOMPARE(w.btnUndo->toolTip(), QStringLiteral("Undo Delete Pagelette"));
    QCOMPARE(w.btnUndo->accessibleName(), QStringLiteral("Undo"));

    clickRow(w, 0);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // An edit box undoes its own typing; elsewhere the keys undo the page.
    w.pnlPageProp->txtPageTitle->setFocus();
    QTest::keyClicks(w.pnlPageProp->txtPageTitle, "ab");
    QTest::keyClick(w.pnlPageProp->txtPageTitle, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w.pnlPageProp->txtPageTitle->text() != QStringLiteral("ab"));
    QCOMPARE(w.lstBlocks->count(), 3);
    QTest::keyClicks(w.pnlPageProp->txtPageTitle, "cd");
    w.lstBlocks->setFocus();
    QTest::keyClick(w.lstBlocks, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.lstBlocks->count(), 3);
    QVERIFY(w.pnlPageProp->txtPageTitle->text().isEmpty());
    QTest::keyClick(w.lstBlocks, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.lstBlocks->count(), 4);
    QTest::keyClick(w.lstBlocks, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.lstBlocks->count(), 3);
}

VENDRIX_TEST(TestUndo)
#include "tst_undo.moc"
