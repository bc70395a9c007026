#include "accessibility.h"
#include "mainwindowtest.h"
#include "testregistry.h"
#include "uifakes.h"

#include "forms/frmfields.h"
#include "widgets/memobox.h"
#include "widgets/rowdrag.h"
#include "widgets/whatsthis.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QPlainTextEdit>
#include <QTreeWidget>

using namespace MainWindowTest;

namespace {

QStringList rowsOf(const QTreeWidget &list)
{
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = list.topLevelItem(i);
        rows.append(row->text(0) + u'|' + row->text(1) + u'|' + row->text(2));
    }
    return rows;
}

QStringList sampleEntries(const QComboBox &box)
{
    QStringList entries;
    for (int i = 0; i < box.count(); ++i)
        entries.append(box.itemText(i));
    return entries;
}

// The editor for a field of that kind, filled from the field when there is one, after
// its modal run (which the fake ends at once): as the user sees it.
std::unique_ptr<TfrmFields> opened(TestServices &fakes, TFieldKind kind, const TFormElement *field = nullptr)
{
    auto dialog = std::make_unique<TfrmFields>(fakes.services);
    dialog->setKind(kind);
    if (field)
        dialog->fillFrom(*field);
    fakes.modal.expect([](QDialog &) { return int(QDialog::Rejected); });
    dialog->execute();
    return dialog;
}

}

class TestFrmFields : public QObject
{
    Q_OBJECT

private slots:
    void newFieldLayout_data();
    void newFieldLayout();
    void fillFromField();
    void nameIsRequired();
    void optionEditor();
    void dropDownSample();
    void sampleAreaTakesNoTabOrEnter();
    void radioOptionsAndDeleteRules();
};

void TestFrmFields::newFieldLayout_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");   // the kind's own controls
    QTest::addColumn<QString>("third");   // third column caption
    QTest::addColumn<int>("topic");

    QTest::newRow("text box") << int(fkText) << "Form Field (Text Box) - Untitled" << "cbSize txtSampleText" << "" << 204;
    QTest::newRow("text area") << int(fkTextArea) << "Form Field (Text Area) - Untitled" << "pnlRowsCols txtSampleArea" << "" << 205;
    QTest::newRow("radio") << int(fkRadio) << "Form Field (Radio Button) - Untitled" << "lvDropDown rbSample chkCheck"
                           << "Selected" << 206;
    QTest::newRow("check box") << int(fkCheckBox) << "Form Field (Check Box) - Untitled" << "lvDropDown chkSample chkCheck"
                               << "Checked" << 207;
    QTest::newRow("drop-down") << int(fkDropDown) << "Form Field (Drop Down) - Untitled" << "lvDropDown cbSample" << "" << 208;
    QTest::newRow("button") << int(fkButton) << "Form Field (Button) - Untitled" << "" << "" << 209;
}

void TestFrmFields::newFieldLayout()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QFETCH(QString, third);
    QFETCH(int, topic);
    TestServices fakes;
    auto dialog = opened(fakes, TFieldKind(kind));

    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(dialog->txtName->text(), QStringLiteral("Untitled"));
    QCOMPARE(dialog->cbSize->currentText(), QStringLiteral("30"));
    QCOMPARE(dialog->txtRows->text(), QStringLiteral("15"));
    QCOMPARE(dialog->txtCols->text(), QStringLiteral("30"));
    QCOMPARE(dialog->lblSample->text(), QStringLiteral("Here is a sample of a %1").arg(FieldDisplayName(TFieldKind(kind))));
    const QStringList kindControls{"cbSize", "pnlRowsCols", "lvDropDown", "chkCheck", "txtSampleText", "txtSampleArea",
                                   "rbSample", "chkSample", "cbSample"};
    for (const QString &name : kindControls) {
        QWidget *control = dialog->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(!control->isHidden(), shown.split(u' ').contains(name));
    }
    QCOMPARE(dialog->lvDropDown->headerItem()->text(2), third);
    QCOMPARE(dialog->txtValue->isEnabled(), kind != fkTextArea);
    QCOMPARE(HelpContext::of(*dialog->txtName), topic);
    QCOMPARE(HelpContext::of(*dialog->cbSize), 204);
    QVERIFY(dialog->pnlDropText->isHidden());
    QVERIFY(!dialog->btnDelete->isEnabled());
    QVERIFY(!dialog->btnEdit->isEnabled());
    VERIFY_CONTROLS_NAMED(*dialog);
}

void TestFrmFields::fillFromField()
{
    TestServices fakes;
    TFormElement field;
    field.Name = QStringLiteral("Colours");
    field.Text = QStringLiteral("Pick\r\nsome\r\n");
    field.Strings = {"r|Red|Yes", "no bar", "g|Green"};
    auto dialog = opened(fakes, fkCheckBox, &field);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Form Field (Check Box) - Colours"));
    // A line without "|" is skipped; a line with one has no text and the rest as its mark.
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"r|Red|Yes", "g||Green"}));
    QCOMPARE(dialog->pageText(), QStringLiteral("Pick\r\nsome\r\n"));

    TFormElement drop;
    drop.Strings = {"ca|California", "Texas"};
    drop.Value = QStringLiteral("v");
    auto dropDialog = opened(fakes, fkDropDown, &drop);
    QCOMPARE(rowsOf(*dropDialog->lvDropDown), (QStringList{"ca|California|", "|Texas|"}));
    QCOMPARE(sampleEntries(*dropDialog->cbSample), (QStringList{"California", "Texas"}));

    TFormElement text;
    text.Strings = {"Maxlength=100", "SIZE=45"};
    text.Value = QStringLiteral("typed");
    auto textDialog = opened(fakes, fkText, &text);
    QCOMPARE(textDialog->cbSize->currentText(), QStringLiteral("45"));
    QCOMPARE(textDialog->txtSampleText->text(), QStringLiteral("typed"));
    textDialog->txtValue->setText(QStringLiteral("new"));
    QCOMPARE(textDialog->txtSampleText->text(), QStringLiteral("new"));
}

void TestFrmFields::nameIsRequired()
{
    TestServices fakes;
    auto dialog = opened(fakes, fkText);
    dialog->txtName->setText(QStringLiteral("Email"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Form Field (Text Box) - Email"));

    const QString message = QStringLiteral("The Name field is a required field. Please include a unique name for the field.");
    dialog->txtName->clear();
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(dialog->txtName, &leave);
    QCOMPARE(fakes.prompter.texts(), QStringList{message});
    QCOMPARE(dialog->txtName->text(), QStringLiteral("Untitled"));

    // OK with an empty name (Enter leaves the box without a focus change) is refused too.
    dialog->txtName->clear();
    dialog->btnOK->click();
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(fakes.prompter.texts(), (QStringList{message, message}));
    QCOMPARE(dialog->txtName->text(), QStringLiteral("Untitled"));
    dialog->btnOK->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

// The text area's sample is for trying: Tab moves on and Enter is the window's.
void TestFrmFields::sampleAreaTakesNoTabOrEnter()
{
    TestServices fakes;
    auto dialog = opened(fakes, fkTextArea);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QPlainTextEdit *sample = dialog->txtSampleArea;
    sample->setFocus();
    QTest::keyClicks(sample, QStringLiteral("ab"));
    QTest::keyClick(sample, Qt::Key_Tab);
    QVERIFY(!sample->hasFocus());
    QTest::keyClick(sample, Qt::Key_Return);
    QCOMPARE(sample->toPlainText(), QStringLiteral("ab"));
}

void TestFrmFields::optionEditor()
{
    TestServices fakes;
    auto dialog = opened(fakes, fkCheckBox);

    dialog->btnAdd->click();
    QVERIFY(!dialog->pnlDropText->isHidden());
    QVERIFY(!dialog->btnDropApply->isEnabled());
    // Apply follows the box changed last, so an option may lack its value.
    dialog->txtDropText->setText(QStringLiteral("Cats"));
    QVERIFY(dialog->btnDropApply->isEnabled());
    dialog->txtDropValue->setText(QStringLiteral("x"));
    dialog->txtDropValue->clear();
    QVERIFY(!dialog->btnDropApply->isEnabled());
    dialog->txtDropText->setText(QStringLiteral("Cats!"));
    dialog->chkCheck->setChecked(true);
    dialog->btnDropApply->click();
    QVERIFY(dialog->pnlDropText->isHidden());
    QVERIFY(dialog->txtDropText->text().isEmpty());
    QVERIFY(!dialog->chkCheck->isChecked());

    // Check boxes may all be checked.
    addOption(*dialog, QStringLiteral("d"), QStringLiteral("Dogs"), true);
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"|Cats!|Yes", "d|Dogs|Yes"}));

    // Edit loads the row; Cancel changes nothing.
    selectRow(*dialog->lvDropDown, 1);
    QVERIFY(dialog->btnEdit->isEnabled());
    dialog->btnEdit->click();
    QCOMPARE(dialog->txtDropValue->text(), QStringLiteral("d"));
    QCOMPARE(dialog->txtDropText->text(), QStringLiteral("Dogs"));
    QVERIFY(dialog->chkCheck->isChecked());
    dialog->txtDropText->setText(QStringLiteral("Wolves"));
    dialog->btnDropCancel->click();
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"|Cats!|Yes", "d|Dogs|Yes"}));

    // Enter in the list edits; Apply writes the selected row.
    QTest::keyClick(dialog->lvDropDown, Qt::Key_Return);
    QVERIFY(!dialog->pnlDropText->isHidden());
    // Meanwhile the list and its buttons wait, so no other row can become the one written.
    for (QWidget *locked : std::initializer_list<QWidget *>{dialog->lvDropDown, dialog->btnAdd, dialog->btnEdit, dialog->btnDelete})
        QVERIFY2(!locked->isEnabled(), qPrintable(locked->objectName()));
    dialog->txtDropText->setText(QStringLiteral("Wolves"));
    dialog->chkCheck->setChecked(false);
    dialog->btnDropApply->click();
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"|Cats!|Yes", "d|Wolves|No"}));
    QVERIFY(dialog->lvDropDown->isEnabled());
    QVERIFY(dialog->btnEdit->isEnabled());

    // While an option is edited, Enter applies it and Escape gives it up; the window stays.
    dialog->show();
    QSignalSpy closed(dialog.get(), &QDialog::finished);
    dialog->btnAdd->click();
    dialog->txtDropText->setText(QStringLiteral("Birds"));
    QTest::keyClick(dialog->txtDropText, Qt::Key_Return);
    dialog->btnAdd->click();
    dialog->txtDropText->setText(QStringLiteral("Fish"));
    QTest::keyClick(dialog->txtDropText, Qt::Key_Escape);
    QVERIFY(dialog->pnlDropText->isHidden());
    QCOMPARE(rowsOf(*dialog->lvDropDown).last(), QStringLiteral("|Birds|No"));
    QCOMPARE(closed.count(), 0);
    QTest::keyClick(dialog->lvDropDown, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
}

void TestFrmFields::dropDownSample()
{
    TestServices fakes;
    auto dialog = opened(fakes, fkDropDown);
    QCOMPARE(sampleEntries(*dialog->cbSample), (QStringList{"One Selection", "Two Selection"}));
    QVERIFY(dialog->chkCheck->isHidden());
    addOption(*dialog, QStringLiteral("ca"), QStringLiteral("California"), false);
    addOption(*dialog, QStringLiteral("tx"), QStringLiteral("Texas"), false);
    QCOMPARE(sampleEntries(*dialog->cbSample), (QStringList{"California", "Texas"}));
    QCOMPARE(dialog->cbSample->currentIndex(), 0);

    selectRow(*dialog->lvDropDown, 0);
    dialog->dropOn(1);
    QCOMPARE(sampleEntries(*dialog->cbSample), (QStringList{"Texas", "California"}));
    fakes.prompter.answer(Prompter::Yes);
    QTest::keyClick(dialog->lvDropDown, Qt::Key_Delete);
    QCOMPARE(sampleEntries(*dialog->cbSample), (QStringList{"Texas"}));
}

void TestFrmFields::radioOptionsAndDeleteRules()
{
    TestServices fakes;
    auto dialog = opened(fakes, fkRadio);
    QCOMPARE(dialog->chkCheck->text(), QStringLiteral("Selected"));
    addOption(*dialog, QStringLiteral("s"), QStringLiteral("Small"), true);
    addOption(*dialog, QStringLiteral("m"), QStringLiteral("Medium"), false);
    addOption(*dialog, QStringLiteral("l"), QStringLiteral("Large"), true);
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"s|Small|No", "m|Medium|No", "l|Large|Yes"}));

    // Nothing selected: nothing asked.
    dialog->deleteItem();
    QVERIFY(fakes.prompter.boxes.isEmpty());

    // A drag exchanges whole options, each keeping its own mark.
    selectRow(*dialog->lvDropDown, 2);
    RowDrag *drag = dialog->lvDropDown->findChild<RowDrag *>();
    QVERIFY(drag);
    emit drag->rowDropped(2, 0);
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"l|Large|Yes", "m|Medium|No", "s|Small|No"}));
    QCOMPARE(dialog->lvDropDown->currentItem(), dialog->lvDropDown->topLevelItem(0));
    QVERIFY(dialog->lvDropDown->currentItem()->isSelected());

    selectRow(*dialog->lvDropDown, 1);
    fakes.prompter.answer(Prompter::No);
    dialog->btnDelete->click();
    QCOMPARE(fakes.prompter.boxes.last().text, QStringLiteral("Do you want to delete the seleted item?"));
    QCOMPARE(fakes.prompter.boxes.last().buttons, Prompter::Buttons(Prompter::Yes | Prompter::No | Prompter::Cancel));
    QCOMPARE(dialog->lvDropDown->topLevelItemCount(), 3);

    fakes.prompter.answer(Prompter::Yes);
    dialog->btnDelete->click();
    QCOMPARE(rowsOf(*dialog->lvDropDown), (QStringList{"l|Large|Yes", "s|Small|No"}));
    // The row that takes the focus mark is selected.
    QVERIFY(dialog->lvDropDown->currentItem()->isSelected());

    fakes.prompter.answer(Prompter::Yes);
    dialog->btnDelete->click();
    fakes.prompter.answer(Prompter::Yes);
    dialog->btnDelete->click();
    QCOMPARE(dialog->lvDropDown->topLevelItemCount(), 1);
    // The message is "There must be at least one %s." with the item's text, full stop included.
    QCOMPARE(fakes.prompter.boxes.last().text, QStringLiteral("There must be at least one item in the drop down box.."));
    QCOMPARE(fakes.prompter.boxes.last().kind, Prompter::Kind::Information);
}

VENDRIX_TEST(TestFrmFields)
#include "tst_frmfields.moc"
