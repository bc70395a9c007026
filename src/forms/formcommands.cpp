#include "formcommands.h"

#include "fieldbank.h"
#include "fieldrows.h"
#include "formspanel.h"
#include "frmcommonfields.h"
#include "frmfields.h"
#include "model/pagelette.h"
#include "platform/appservices.h"
#include "platform/busycursor.h"
#include "platform/prompter.h"
#include "widgets/keyboardmenu.h"
#include "widgets/rowdrag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace {

// Replaces the "name=..." entry (the name compared without case) or appends one.
void setNamedEntry(QStringList &strings, const QString &name, const QString &value)
{
    const QString entry = name + u'=' + value;
    for (QString &line : strings) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0) {
            line = entry;
            return;
        }
    }
    strings.append(entry);
}

// A dialog built under the busy cursor; the cursor is back to normal by the time the
// dialog waits for the user.
template <class Dialog>
std::unique_ptr<Dialog> makeDialog(AppServices &services, QWidget &parent)
{
    BusyCursor busy;
    return std::make_unique<Dialog>(services, parent.window());
}

}

FormCommands::FormCommands(FormsPanel &panel, TPagelette &page, AppServices &services, QObject *parent)
    : QObject(parent), mPanel(panel), mPage(page), mServices(services)
{
    QTreeWidget &list = *panel.lvForms;
    connect(panel.btnFormAdd, &QToolButton::clicked, this, &FormCommands::showAddMenu);
    connect(panel.btnFormEdit, &QToolButton::clicked, this, &FormCommands::editField);
    connect(panel.btnFormRemove, &QToolButton::clicked, this, &FormCommands::removeField);
    connect(panel.btnFormUp, &QToolButton::clicked, this, &FormCommands::moveUp);
    connect(panel.btnFormDown, &QToolButton::clicked, this, &FormCommands::moveDown);
    connect(panel.btnFormClear, &QPushButton::clicked, this, &FormCommands::clearAll);
    connect(panel.btnFormBasic, &QPushButton::clicked, this, &FormCommands::loadBasicFields);
    connect(panel.btnFormOptions, &QPushButton::clicked, this, &FormCommands::advancedOptions);
    for (int kind = fkText; kind <= fkDropDown; ++kind)
        connect(panel.mnuFieldKinds[kind], &QAction::triggered, this, [this, kind] { addField(TFieldKind(kind)); });
    connect(panel.mnuFieldEdit, &QAction::triggered, this, &FormCommands::editField);
    connect(panel.mnuFieldDelete, &QAction::triggered, this, &FormCommands::removeField);
    connect(panel.mnuFieldUp, &QAction::triggered, this, &FormCommands::moveUp);
    connect(panel.mnuFieldDown, &QAction::triggered, this, &FormCommands::moveDown);

    connect(&list, &QTreeWidget::customContextMenuRequested, this,
            [this, &list](const QPoint &pos) { showListMenu(list.viewport()->mapToGlobal(pos)); });
    KeyboardMenu::enable(list);
    connect(&list, &QTreeWidget::itemDoubleClicked, this, &FormCommands::editField);
    FieldRows::onKeys(list, [this] { editField(); }, [this] { removeField(); });
    auto *drag = new RowDrag(list);
    connect(drag, &RowDrag::rowDropped, this, [this](int, int target) { dropOn(target); });
}

void FormCommands::showAddMenu()
{
    mPanel.prepareFieldMenu(true);
    mPanel.popForms->popup(mPanel.btnFormAdd->mapToGlobal(QPoint(0, 0)));
}

void FormCommands::showListMenu(const QPoint &globalPos)
{
    mPanel.prepareFieldMenu(false);
    mPanel.popForms->popup(globalPos);
}

void FormCommands::fillField(TFormElement &field, const TfrmFields &editor)
{
    const TFieldKind kind = editor.kind();
    switch (kind) {
    case fkText:
        setNamedEntry(field.Strings, QStringLiteral("Size"), editor.cbSize->currentText());
        break;
    case fkTextArea:
        setNamedEntry(field.Strings, QStringLiteral("Cols"), editor.txtCols->text());
        setNamedEntry(field.Strings, QStringLiteral("Rows"), editor.txtRows->text());
        break;
    case fkRadio:
    case fkCheckBox:
        field.Strings.clear();
        for (FieldOption option : editor.options()) {
            option.mark = FieldOption::markFor(option.selected());
            field.Strings.append(option.line(true));
        }
        break;
    case fkDropDown:
        field.Strings.clear();
        for (const FieldOption &option : editor.options())
            field.Strings.append(option.line(false));
        break;
    case fkButton:
        break;
    }
    field.FieldKind = kind;
    field.Text = editor.pageText();
    field.Name = editor.txtName->text();
    field.Value = editor.txtValue->text();
}

void FormCommands::addField(TFieldKind kind)
{
    const std::unique_ptr<TfrmFields> editor = makeDialog<TfrmFields>(mServices, mPanel);
    editor->setKind(kind);
    if (editor->execute() != QDialog::Accepted)
        return;
    TFormElement &field = mPage.WebForm().AddElement();
    fillField(field, *editor);
    FieldRows::append(*mPanel.lvForms, {field.Name, kind});
    mPanel.updateClearAll();
    emit pageChanged(QStringLiteral("Add Field"));
}

void FormCommands::editField()
{
    QTreeWidget &list = *mPanel.lvForms;
    const int row = FieldRows::selectedRow(list);
    if (row < 0)
        return;
    TFormElement &field = mPage.WebForm().Items(row);
    const std::unique_ptr<TfrmFields> editor = makeDialog<TfrmFields>(mServices, mPanel);
    editor->setKind(FieldRows::fieldOf(*list.topLevelItem(row)).kind);
    editor->fillFrom(field);
    if (editor->execute() != QDialog::Accepted)
        return;
    fillField(field, *editor);
    list.topLevelItem(row)->setText(0, field.Name);
    emit pageChanged(QStringLiteral("Edit Field"));
}

void FormCommands::removeField()
{
    QTreeWidget &list = *mPanel.lvForms;
    const int row = FieldRows::selectedRow(list);
    if (row < 0)
        return;
    if (mServices.prompter.ask(Prompter::Kind::Confirmation, QStringLiteral("Do you want to delete the selected field?"),
                               Prompter::Yes | Prompter::No | Prompter::Cancel)
        != Prompter::Yes)
        return;
    if (!DeleteSelectedRow(list, QStringLiteral("form field"), mServices.prompter))
        return;
    mPage.WebForm().DeleteElement(row);
    mPanel.updateClearAll();
    emit pageChanged(QStringLiteral("Remove Field"));
}

void FormCommands::exchangeFields(int first, int second)
{
    TWebForm &form = mPage.WebForm();
    if (first > second)
        std::swap(first, second);
    form.MoveElement(first, second);
    form.MoveElement(second - 1, first);
}

void FormCommands::moveBy(int step, const QString &action)
{
    QTreeWidget &list = *mPanel.lvForms;
    const int row = FieldRows::focusedRow(list);
    if (row < 0)
        return;
    FieldRows::selectRow(list, row);
    if (!ExchangeRows(list, row + step))
        return;
    exchangeFields(row, row + step);
    emit pageChanged(action);
}

void FormCommands::moveUp()
{
    moveBy(-1, QStringLiteral("Move Field Up"));
}

void FormCommands::moveDown()
{
    moveBy(1, QStringLiteral("Move Field Down"));
}

void FormCommands::dropOn(int targetRow)
{
    const int dragged = FieldRows::selectedRow(*mPanel.lvForms);
    if (!ExchangeRows(*mPanel.lvForms, targetRow))
        return;
    exchangeFields(dragged, targetRow);
    emit pageChanged(QStringLiteral("Move Field"));
}

bool FormCommands::clearFields(bool &removed)
{
    removed = false;
    if (mPanel.lvForms->topLevelItemCount() == 0)
        return true;
    if (mServices.prompter.ask(Prompter::Kind::Confirmation, QStringLiteral("Do you want to clear ALL the forms fields?"),
                               Prompter::Yes | Prompter::No | Prompter::Cancel)
        != Prompter::Yes)
        return false;
    mPage.WebForm().clear();
    mPanel.clearFieldList();
    mPanel.updateClearAll();
    removed = true;
    return true;
}

bool FormCommands::clearAll()
{
    bool removed = false;
    const bool empty = clearFields(removed);
    if (removed)
        emit pageChanged(QStringLiteral("Clear All"));
    return empty;
}

void FormCommands::loadBasicFields()
{
    const std::unique_ptr<TfrmCommonFields> dialog = makeDialog<TfrmCommonFields>(mServices, mPanel);
    dialog->setMode(TfrmCommonFields::cmBasicFields);
    if (dialog->execute() != QDialog::Accepted)
        return;

    mPanel.btnFormBasic->setEnabled(false);
    // The file is read before the fields are cleared, so a file that cannot be read
    // leaves the form as it was.
    IniFile file;
    QString error;
    const QString path = mServices.programFolder.fieldsFile();
    FieldBank::ReadResult read = FieldBank::ReadResult::Missing;
    {
        BusyCursor busy;
        read = FieldBank::readFile(path, file, &error);
    }
    bool changed = false;
    if (read == FieldBank::ReadResult::Failed) {
        mServices.prompter.error(QStringLiteral("Cannot read the field bank %1: %2").arg(QDir::toNativeSeparators(path), error));
    } else if (clearFields(changed)) {
        BusyCursor busy;
        QList<BankField> fields;
        if (LoadFieldSection(file, FieldBank::defaultFieldsSection(), *mPanel.lvForms, &fields)) {
            for (const BankField &bankField : std::as_const(fields)) {
                TFormElement &field = mPage.WebForm().AddElement();
                field.FieldKind = bankField.kind;
                field.Name = bankField.name;
                field.Text = bankField.name;
                field.Strings = FieldBank::basicFieldStrings(file, bankField);
            }
            changed = changed || !fields.isEmpty();
        }
    }
    mPanel.btnFormBasic->setEnabled(true);
    mPanel.updateClearAll();
    if (changed)
        emit pageChanged(QStringLiteral("Load Basic Fields"));
}

void FormCommands::advancedOptions()
{
    const std::unique_ptr<TfrmCommonFields> dialog = makeDialog<TfrmCommonFields>(mServices, mPanel);
    dialog->setMode(TfrmCommonFields::cmOptions);
    dialog->loadOptions(mPage);
    if (dialog->execute() != QDialog::Accepted)
        return;
    dialog->storeOptions(mPage);
    emit pageChanged(QStringLiteral("Advanced Options"));
}
