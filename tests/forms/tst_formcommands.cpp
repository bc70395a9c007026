#include "mainwindowtest.h"
#include "testfiles.h"
#include "testregistry.h"
#include "uifakes.h"

#include "forms/formcommands.h"
#include "forms/formspanel.h"
#include "forms/frmcommonfields.h"
#include "forms/frmfields.h"
#include "mainwindow/frmmain.h"
#include "widgets/memobox.h"
#include "widgets/rowdrag.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace MainWindowTest;

namespace {

QStringList fieldNames(const TWebForm &form)
{
    QStringList names;
    for (int i = 0; i < form.Count(); ++i)
        names.append(form.Items(i).Name);
    return names;
}

// The field editor, worked by the test's steps and closed with OK (or Cancel).
ScriptedModalRunner::Handler fieldEditor(std::function<void(TfrmFields &)> steps, bool ok = true)
{
    return [steps = std::move(steps), ok](QDialog &shown) {
        auto &editor = static_cast<TfrmFields &>(shown);
        steps(editor);
        (ok ? editor.btnOK : editor.btnCancel)->click();
        return editor.result();
    };
}

ScriptedModalRunner::Handler commonFields(std::function<void(TfrmCommonFields &)> steps = {})
{
    return [steps = std::move(steps)](QDialog &shown) {
        auto &dialog = static_cast<TfrmCommonFields &>(shown);
        if (steps)
            steps(dialog);
        dialog.btnOk->click();
        return dialog.result();
    };
}

}

// The forms panel's commands driven through the main window, with every seam faked.
class TestFormCommands : public QObject
{
    Q_OBJECT

private slots:
    void menusNeverMix();
    void loadBasicFields();
    void dragExchangeSurvivesSaveAndReopen();
    void clearAllAndRemove();
    void builtFormGivesItsHtml();

private:
    // A started window with a Forms block on its page, its panel in front.
    std::unique_ptr<TfrmMain> startWithForm(TestServices &fakes)
    {
        auto window = startWindow(fakes);
        dropFromPalette(*window, btForms, window->page().Page().Count());
        return window;
    }

    // Adds a field of that kind through the Add Field menu and the editor (closed with OK, or Cancel).
    void addField(TfrmMain &window, TestServices &fakes, TFieldKind kind, const QString &name,
                  std::function<void(TfrmFields &)> more = {}, bool ok = true)
    {
        fakes.modal.expect(fieldEditor([name, more](TfrmFields &editor) {
            editor.txtName->setText(name);
            if (more)
                more(editor);
        }, ok));
        window.pnlForms->btnFormAdd->click();
        window.pnlForms->mnuFieldKinds[kind]->trigger();
        window.pnlForms->popForms->close();
    }

    DataHomeSandbox mSandbox;
};

void TestFormCommands::menusNeverMix()
{
    TestServices fakes;
    auto window = startWithForm(fakes);
    FormsPanel &panel = *window->pnlForms;
    addField(*window, fakes, fkText, QStringLiteral("One"));
    addField(*window, fakes, fkText, QStringLiteral("Two"));
    selectRow(*panel.lvForms, 1);
    QVERIFY(panel.btnFormUp->isEnabled());
    QVERIFY(!panel.btnFormDown->isEnabled());

    auto visibleItems = [&panel] {
        QStringList shown;
        for (QAction *action : panel.popForms->actions()) {
            if (action->isVisible() && !action->isSeparator())
                shown.append(action->objectName() + (action->isEnabled() ? QString() : QStringLiteral("(off)")));
        }
        return shown;
    };
    panel.btnFormAdd->click();
    QVERIFY(panel.popForms->isVisible());
    QCOMPARE(visibleItems(), (QStringList{"mnuFieldText", "mnuFieldTextArea", "mnuFieldRadio", "mnuFieldCheckBox",
                                          "mnuFieldDropDown"}));
    panel.popForms->close();
    emit panel.lvForms->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(visibleItems(), (QStringList{"mnuFieldEdit", "mnuFieldDelete", "mnuFieldUp", "mnuFieldDown(off)"}));
    panel.popForms->close();
    panel.btnFormAdd->click();
    QCOMPARE(visibleItems().size(), 5);
    panel.popForms->close();
}

void TestFormCommands::loadBasicFields()
{
    TestServices fakes;
    auto window = startWithForm(fakes);
    FormsPanel &panel = *window->pnlForms;
    const TWebForm &form = window->page().WebForm();
    addField(*window, fakes, fkTextArea, QStringLiteral("Mine"));

    // Asked before clearing; No keeps the field and loads nothing.
    fakes.modal.expect(commonFields());
    fakes.prompter.answer(Prompter::No);
    panel.btnFormBasic->click();
    QCOMPARE(fakes.prompter.boxes.last().text, QStringLiteral("Do you want to clear ALL the forms fields?"));
    QCOMPARE(fieldNames(form), QStringList{"Mine"});
    QVERIFY(panel.btnFormBasic->isEnabled());

    // Yes: the basic fields of the shipped file, plus the bank's radio field dropped in.
    fakes.modal.expect(commonFields([](TfrmCommonFields &dialog) {
        RowDrag *drag = dialog.lvForms->findChild<RowDrag *>();
        emit drag->rowDroppedFrom(dialog.lvFieldBank, treeTexts(*dialog.lvFieldBank).indexOf("Credit Card Type"), -1);
    }));
    fakes.prompter.answer(Prompter::Yes);
    QSignalSpy changes(window->findChild<FormCommands *>(), &FormCommands::pageChanged);
    panel.btnFormBasic->click();
    const QStringList basic{"Name", "E-Mail", "Address", "City", "State", "Zip Code/Postal Code", "Credit Card Type"};
    QCOMPARE(fieldNames(form), basic);
    QCOMPARE(treeTexts(*panel.lvForms), basic);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().first().toString(), QStringLiteral("Load Basic Fields"));
    QVERIFY(window->changed());
    QVERIFY(panel.btnFormClear->isEnabled());
    const TFormElement &name = form.Items(0);
    QCOMPARE(name.Text, QStringLiteral("Name"));
    QCOMPARE(name.Strings, (QStringList{"Size=30", "Maxlength=100"}));
    QCOMPARE(form.Items(4).Strings.size(), 51);
    QCOMPARE(form.Items(4).Strings.first(), QStringLiteral("AL|Alabama"));
    QCOMPARE(form.Items(6).FieldKind, fkRadio);
    QCOMPARE(form.Items(6).Strings.first(), QStringLiteral("VISA|Visa|No"));

    // A later edit changes the size only.
    fakes.modal.expect(fieldEditor([](TfrmFields &editor) {
        QCOMPARE(editor.cbSize->currentText(), QStringLiteral("30"));
        editor.cbSize->setCurrentText(QStringLiteral("50"));
        editor.txtName->setText(QStringLiteral("Full Name"));
    }));
    selectRow(*panel.lvForms, 0);
    QTest::keyClick(panel.lvForms, Qt::Key_Return);
    QCOMPARE(name.Strings, (QStringList{"Size=50", "Maxlength=100"}));
    QCOMPARE(panel.lvForms->topLevelItem(0)->text(0), QStringLiteral("Full Name"));
}

void TestFormCommands::dragExchangeSurvivesSaveAndReopen()
{
    TestServices fakes;
    auto window = startWithForm(fakes);
    FormsPanel &panel = *window->pnlForms;
    for (const char *name : {"First", "Second", "Third"})
        addField(*window, fakes, fkText, QString::fromLatin1(name));
    selectRow(*panel.lvForms, 2);
    emit panel.lvForms->findChild<RowDrag *>()->rowDropped(2, 0);
    const QStringList exchanged{"Third", "Second", "First"};
    QCOMPARE(treeTexts(*panel.lvForms), exchanged);
    QCOMPARE(fieldNames(window->page().WebForm()), exchanged);
    QCOMPARE(panel.lvForms->currentItem(), panel.lvForms->topLevelItem(0));
    // The pictures and Type texts travel with their fields.
    QCOMPARE(panel.lvForms->topLevelItem(0)->text(1), QStringLiteral("Text Box"));

    const QString path = fakes.data.path() + QStringLiteral("VendrixFiles/form.vxf");
    fakes.saveDialog.choose(path);
    QVERIFY(window->save());
    window->loadDocument(path);
    QCOMPARE(treeTexts(*panel.lvForms), exchanged);
    QCOMPARE(fieldNames(window->page().WebForm()), exchanged);
}

void TestFormCommands::clearAllAndRemove()
{
    TestServices fakes;
    auto window = startWithForm(fakes);
    FormsPanel &panel = *window->pnlForms;
    const TWebForm &form = window->page().WebForm();
    for (const char *name : {"A", "B"})
        addField(*window, fakes, fkText, QString::fromLatin1(name));
    addField(*window, fakes, fkTextArea, QStringLiteral("C"));
    QCOMPARE(treeTexts(*panel.lvForms, 1), (QStringList{"Text Box", "Text Box", "Text Area"}));

    fakes.saveDialog.choose(fakes.data.path() + QStringLiteral("VendrixFiles/fields.vxf"));
    QVERIFY(window->save());

    selectRow(*panel.lvForms, 1);
    fakes.prompter.answer(Prompter::Cancel);
    panel.btnFormRemove->click();
    QCOMPARE(fakes.prompter.boxes.last().text, QStringLiteral("Do you want to delete the selected field?"));
    QCOMPARE(fieldNames(form), (QStringList{"A", "B", "C"}));
    QVERIFY(!window->changed());
    fakes.prompter.answer(Prompter::Yes);
    QTest::keyClick(panel.lvForms, Qt::Key_Delete);
    QCOMPARE(fieldNames(form), (QStringList{"A", "C"}));
    QCOMPARE(treeTexts(*panel.lvForms), (QStringList{"A", "C"}));
    // A removal is a change of its own that closing asks about, and undo brings the field back.
    QVERIFY(window->changed());
    window->undo();
    QCOMPARE(treeTexts(*panel.lvForms), (QStringList{"A", "B", "C"}));
    window->redo();
    QCOMPARE(fieldNames(form), (QStringList{"A", "C"}));
    for (int i = 0; i < 2; ++i) {
        selectRow(*panel.lvForms, 0);
        fakes.prompter.answer(Prompter::Yes);
        panel.btnFormRemove->click();
    }
    QCOMPARE(fieldNames(form), QStringList{"C"});
    QCOMPARE(fakes.prompter.boxes.last().text, QStringLiteral("There must be at least one form field."));

    fakes.prompter.answer(Prompter::No);
    panel.btnFormClear->click();
    QCOMPARE(form.Count(), 1);
    fakes.prompter.answer(Prompter::Yes);
    panel.btnFormClear->click();
    QCOMPARE(form.Count(), 0);
    QCOMPARE(panel.lvForms->topLevelItemCount(), 0);
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{panel.btnFormClear, panel.btnFormUp, panel.btnFormDown,
                                                                            panel.btnFormRemove, panel.btnFormEdit})
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    QVERIFY(panel.btnFormAdd->isEnabled());
}

void TestFormCommands::builtFormGivesItsHtml()
{
    TestServices fakes;
    auto window = startWithForm(fakes);
    FormsPanel &panel = *window->pnlForms;
    QSignalSpy changes(window->findChild<FormCommands *>(), &FormCommands::pageChanged);
    panel.txtFormAddress->setText(QStringLiteral("me@example.com"));
    panel.txtFormSubject->setText(QStringLiteral("Hello"));
    panel.txtFormURL->setText(QStringLiteral("http://example.com/thanks.html"));

    addField(*window, fakes, fkText, QStringLiteral("Full Name"),
             [](TfrmFields &editor) { editor.txtText->setText(QStringLiteral("Your Name")); });
    addField(*window, fakes, fkTextArea, QStringLiteral("Comments"), [](TfrmFields &editor) {
        editor.txtText->setText(QStringLiteral("Tell us\nmore\n"));
        editor.txtRows->setText(QStringLiteral("5"));
        editor.txtCols->setText(QStringLiteral("40"));
    });
    addField(*window, fakes, fkRadio, QStringLiteral("Contact By"), [](TfrmFields &editor) {
        editor.txtText->setText(QStringLiteral("Reply by"));
        addOption(editor, QStringLiteral("e"), QStringLiteral("E-Mail"), true);
        addOption(editor, QStringLiteral("p"), QStringLiteral("Phone"), false);
    });
    addField(*window, fakes, fkCheckBox, QStringLiteral("Colors"), [](TfrmFields &editor) {
        editor.txtText->setText(QStringLiteral("Colors"));
        addOption(editor, QStringLiteral("r"), QStringLiteral("Red"), false);
        addOption(editor, QStringLiteral("b"), QStringLiteral("Light Blue"), true);
    });
    addField(*window, fakes, fkDropDown, QStringLiteral("Size"), [](TfrmFields &editor) {
        addOption(editor, QStringLiteral("l"), QStringLiteral("Large"), false);
        addOption(editor, QStringLiteral("s"), QStringLiteral("Small"), false);
        // Reordered by dragging Small onto Large.
        editor.lvDropDown->setCurrentItem(editor.lvDropDown->topLevelItem(1));
        emit editor.lvDropDown->findChild<RowDrag *>()->rowDropped(1, 0);
    });
    // A cancelled editor adds nothing.
    addField(*window, fakes, fkText, QStringLiteral("Dropped"), {}, false);
    QCOMPARE(window->page().WebForm().Count(), 5);

    fakes.modal.expect([](QDialog &shown) {
        auto &dialog = static_cast<TfrmCommonFields &>(shown);
        [&] {
            QCOMPARE(dialog.Mode(), TfrmCommonFields::cmOptions);
            QCOMPARE(dialog.windowTitle(), QStringLiteral("E-mail Form Advanced Options"));
            QVERIFY(dialog.btnReset->isHidden());
        }();
        dialog.txtFormTitle->setText(QStringLiteral("Contact Us"));
        for (QCheckBox *box : {dialog.chkFooter, dialog.chkUseBorder, dialog.chkAddress, dialog.chkIP, dialog.chkBrowser, dialog.chkSort})
            box->setChecked(true);
        dialog.btnOk->click();
        return dialog.result();
    });
    panel.btnFormOptions->click();

    QCOMPARE(changes.count(), 6);
    QCOMPARE(changes.first().first().toString(), QStringLiteral("Add Field"));
    QCOMPARE(changes.last().first().toString(), QStringLiteral("Advanced Options"));

    const QString path = fakes.data.path() + QStringLiteral("VendrixFiles/contact.vxf");
    fakes.saveDialog.choose(path);
    QVERIFY(window->save());
    const QByteArray html = readFile(fakes.data.path() + QStringLiteral("Upload/contact.html"));
    const QByteArray expected = readFile(QStringLiteral(VENDRIX_TEST_DATA "/forms/expected.html"));
    QVERIFY2(html.contains(expected), html.constData());
}

VENDRIX_TEST(TestFormCommands)
#include "tst_formcommands.moc"
