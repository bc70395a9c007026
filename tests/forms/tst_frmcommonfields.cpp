#include "accessibility.h"
#include "mainwindowtest.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "forms/fieldbank.h"
#include "forms/frmcommonfields.h"
#include "model/componentstream.h"
#include "model/pagelette.h"
#include "widgets/rowdrag.h"

#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using MainWindowTest::treeTexts;

namespace {

// Runs the dialog in basic fields mode; the handler works the lists and closes it.
int runBasic(TestServices &fakes, const std::function<void(TfrmCommonFields &)> &steps, bool ok)
{
    TfrmCommonFields dialog(fakes.services);
    dialog.setMode(TfrmCommonFields::cmBasicFields);
    fakes.modal.expect([&](QDialog &shown) {
        auto &common = static_cast<TfrmCommonFields &>(shown);
        steps(common);
        (ok ? common.btnOk : common.btnCancel)->click();
        return common.result();
    });
    return dialog.execute();
}

// The drop of a bank row on the common list as the drag helper reports it.
void dragFromBank(TfrmCommonFields &dialog, const QString &name, int target)
{
    RowDrag *drag = dialog.lvForms->findChild<RowDrag *>();
    emit drag->rowDroppedFrom(dialog.lvFieldBank, treeTexts(*dialog.lvFieldBank).indexOf(name), target);
}

}

class TestFrmCommonFields : public QObject
{
    Q_OBJECT

private slots:
    void withoutFileShowsBuiltInRows();
    void bankDropsAddOnce_data();
    void bankDropsAddOnce();
    void bankFieldsAddedByKeyboard();
    void commonRowsMoveAndReturnToTheBank();
    void resetThenCancelKeepsTheFile();
    void gapInFieldNumbers();
    void everyOptionComesBackAsStored();
};

void TestFrmCommonFields::withoutFileShowsBuiltInRows()
{
    TestServices fakes;
    const QString path = fakes.data.folder().fieldsFile();
    QVERIFY(QFile::remove(path));
    int commonRows = 0;
    int bankRows = 0;
    QCOMPARE(runBasic(fakes, [&](TfrmCommonFields &dialog) {
        commonRows = dialog.lvForms->topLevelItemCount();
        bankRows = dialog.lvFieldBank->topLevelItemCount();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Commonly Used Fields"));
        VERIFY_CONTROLS_NAMED(dialog);
        // The focus mark alone, as the list sets it, enables no move.
        dialog.lvForms->setCurrentIndex(dialog.lvForms->model()->index(0, 0));
        dialog.lvForms->clearSelection();
        QVERIFY(!dialog.btnMoveUp->isEnabled());
        QVERIFY(!dialog.btnMoveDown->isEnabled());
        QCOMPARE(dialog.lvFieldBank->topLevelItem(10)->text(1), QStringLiteral("Radio Button"));
    }, true), int(QDialog::Accepted));
    QCOMPARE(commonRows, 6);
    QCOMPARE(bankRows, 13);
    QCOMPARE(readFile(path), QByteArray("[Default Fields]\r\nFIELD0=Name|0\r\nFIELD1=E-Mail|0\r\nFIELD2=Address|0\r\n"
                                        "FIELD3=City|0\r\nFIELD4=State|4\r\nFIELD5=Zip Code/Postal Code|0\r\n"));
}

void TestFrmCommonFields::bankDropsAddOnce_data()
{
    QTest::addColumn<QStringList>("common");
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selected");

    QTest::newRow("added before the row under the pointer")
        << QStringList{"Name", "City"} << "Credit Card Type" << QStringList{"Credit Card Type", "Name", "City"} << 0;
    QTest::newRow("same name in another case")
        << QStringList{"City", "NAME"} << "Name" << QStringList{"City", "NAME"} << 1;
    QTest::newRow("longer names do not count")
        << QStringList{"Names", "Name Suffix"} << "Name" << QStringList{"Name", "Names", "Name Suffix"} << 0;
}

void TestFrmCommonFields::bankDropsAddOnce()
{
    QFETCH(QStringList, common);
    QFETCH(QString, dragged);
    QFETCH(QStringList, after);
    QFETCH(int, selected);
    TestServices fakes;
    QByteArray file("[Default Fields]\r\n");
    for (int i = 0; i < common.size(); ++i)
        file += "FIELD" + QByteArray::number(i) + '=' + common[i].toUtf8() + "|0\r\n";
    writeFile(fakes.data.folder().fieldsFile(), file);

    QStringList rows;
    runBasic(fakes, [&](TfrmCommonFields &dialog) {
        dragFromBank(dialog, dragged, 0);
        rows = treeTexts(*dialog.lvForms);
        QCOMPARE(dialog.lvForms->currentItem(), dialog.lvForms->topLevelItem(selected));
        QVERIFY(dialog.lvForms->currentItem()->isSelected());
        // The second drop of the same field only selects it.
        dragFromBank(dialog, dragged, -1);
        QCOMPARE(treeTexts(*dialog.lvForms), rows);
    }, false);
    QCOMPARE(rows, after);
}

// Enter on a bank row, a double click and Add each add it at the end of the common list.
void TestFrmCommonFields::bankFieldsAddedByKeyboard()
{
    TestServices fakes;
    writeFile(fakes.data.folder().fieldsFile(), "[Default Fields]\r\nFIELD0=Name|0\r\n");
    QStringList rows;
    runBasic(fakes, [&](TfrmCommonFields &dialog) {
        QTreeWidget &bank = *dialog.lvFieldBank;
        const auto bankRow = [&bank](const QString &name) { return bank.findItems(name, Qt::MatchExactly).value(0); };
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        bank.setFocus();
        bank.setCurrentItem(bankRow(QStringLiteral("City")));
        QTest::keyClick(&bank, Qt::Key_Return);
        bank.setCurrentItem(bankRow(QStringLiteral("E-Mail")));
        // A double click as the mouse makes it: a click, then the second press.
        const QPoint middle = bank.visualItemRect(bank.currentItem()).center();
        QTest::mouseClick(bank.viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseDClick(bank.viewport(), Qt::LeftButton, {}, middle);
        bank.setCurrentItem(bankRow(QStringLiteral("State")));
        dialog.btnAdd->click();
        // The dialog stays open: Enter on the bank is no OK.
        QVERIFY(dialog.isVisible());
        rows = treeTexts(*dialog.lvForms);
    }, false);
    QCOMPARE(rows, (QStringList{"Name", "City", "E-Mail", "State"}));
}

void TestFrmCommonFields::commonRowsMoveAndReturnToTheBank()
{
    TestServices fakes;
    const QString path = fakes.data.folder().fieldsFile();
    runBasic(fakes, [](TfrmCommonFields &dialog) {
        QTreeWidget &common = *dialog.lvForms;
        common.setCurrentItem(common.topLevelItem(0));
        QVERIFY(!dialog.btnMoveUp->isEnabled());
        QVERIFY(dialog.btnMoveDown->isEnabled());
        dialog.btnMoveDown->click();
        QCOMPARE(treeTexts(common).mid(0, 2), (QStringList{"E-Mail", "Name"}));
        QCOMPARE(common.currentItem(), common.topLevelItem(1));
        QVERIFY(dialog.btnMoveUp->isEnabled());

        // Dragged back to the bank (or deleted with the Delete key) until one is left.
        RowDrag *bankDrag = dialog.lvFieldBank->findChild<RowDrag *>();
        while (common.topLevelItemCount() > 1) {
            common.setCurrentItem(common.topLevelItem(0));
            emit bankDrag->rowDroppedFrom(&common, 0, 3);
        }
        QTest::keyClick(&common, Qt::Key_Delete);
        QCOMPARE(treeTexts(common), QStringList{"Zip Code/Postal Code"});
    }, true);
    QVERIFY(fakes.prompter.texts().contains(QStringLiteral("There must be at least one form field.")));
    IniFile file;
    FieldBank::readFile(path, file);
    QCOMPARE(*FieldBank::readFields(file, FieldBank::defaultFieldsSection()), (QList<BankField>{{"Zip Code/Postal Code", fkText}}));
    // The rest of the shipped file is still there.
    QCOMPARE(FieldBank::readOptions(file, QStringLiteral("State"), false).size(), 51);
}

void TestFrmCommonFields::resetThenCancelKeepsTheFile()
{
    TestServices fakes;
    // Written as no rewrite would write it, so any write shows.
    const QByteArray original("[Default Fields]\nfield0 = Only|1\nfield1 = Next|1\n");
    const QString path = writeFile(fakes.data.folder().fieldsFile(), original);
    runBasic(fakes, [](TfrmCommonFields &dialog) {
        dialog.btnReset->click();
        QCOMPARE(dialog.lvForms->topLevelItemCount(), 6);
    }, false);
    QCOMPARE(readFile(path), original);

    // OK without a change writes nothing either.
    QCOMPARE(runBasic(fakes, [](TfrmCommonFields &dialog) { QCOMPARE(treeTexts(*dialog.lvForms), (QStringList{"Only", "Next"})); }, true),
             int(QDialog::Accepted));
    QCOMPARE(readFile(path), original);

    // A move alone is a change that OK writes.
    runBasic(fakes, [](TfrmCommonFields &dialog) {
        dialog.lvForms->setCurrentItem(dialog.lvForms->topLevelItem(1));
        dialog.btnMoveUp->click();
    }, true);
    IniFile file;
    FieldBank::readFile(path, file);
    QCOMPARE(*FieldBank::readFields(file, FieldBank::defaultFieldsSection()), (QList<BankField>{{"Next", fkTextArea}, {"Only", fkTextArea}}));
}

void TestFrmCommonFields::gapInFieldNumbers()
{
    TestServices fakes;
    writeFile(fakes.data.folder().fieldsFile(), "[Field Bank]\nFIELD0=A|0\nFIELD1=B|9\nFIELD3=D|3\nFIELD4=E|4\n");
    runBasic(fakes, [](TfrmCommonFields &dialog) {
        QCOMPARE(treeTexts(*dialog.lvFieldBank), (QStringList{"A", "D"}));
        QCOMPARE(dialog.lvFieldBank->topLevelItem(1)->text(1), QStringLiteral("Check Box"));
        // The missing basic fields stand in and count as a change.
        QCOMPARE(dialog.lvForms->topLevelItemCount(), 6);
        QVERIFY(dialog.changed());
    }, false);
}

// Each box shows its own setting and gives it back, so reopening the dialog and
// pressing OK changes nothing.
void TestFrmCommonFields::everyOptionComesBackAsStored()
{
    TestServices fakes;
    TfrmCommonFields dialog(fakes.services);
    dialog.setMode(TfrmCommonFields::cmOptions);
    for (bool TPagelette::*option : {&TPagelette::FormFooter, &TPagelette::Border, &TPagelette::EmailAddress, &TPagelette::EmailSubject,
                                     &TPagelette::EnvReport, &TPagelette::HostName, &TPagelette::BrowserUsed, &TPagelette::BlankFields,
                                     &TPagelette::AlphaSort}) {
        TPagelette page;
        page.*option = true;
        page.FormTitle = QStringLiteral("Contact");
        dialog.loadOptions(page);
        TPagelette stored;
        dialog.storeOptions(stored);
        QCOMPARE(dumpProperties(stored), dumpProperties(page));
    }
}

VENDRIX_TEST(TestFrmCommonFields)
#include "tst_frmcommonfields.moc"
