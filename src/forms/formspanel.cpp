#include "formspanel.h"

#include "fieldrows.h"

#include "model/webform.h"
#include "widgets/pictures.h"
#include "widgets/whatsthis.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A forms item keeps its data in its page's form settings.
TPagelette &owningPage(const TPageItem &item)
{
    return static_cast<TPageCollection *>(item.Collection())->Owner();
}

}

FormsPanel::FormsPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : BlockPanel(btForms, QStringLiteral("pnlForms"), tr("Forms"),
                 tr("Use forms to allow visitors to send inquires. All information entered by the visitor will be sent via e-mail."),
                 whatsThis, parent)
{
    using B = Pictures::Button;
    QVBoxLayout &layout = *body();

    txtFormAddress = named(new QLineEdit(this), QStringLiteral("txtFormAddress"), 200);
    addLabel(layout, tr("Your E-mail &Address"), txtFormAddress, 200);
    layout.addWidget(txtFormAddress);
    txtFormSubject = named(new QLineEdit(this), QStringLiteral("txtFormSubject"), 200);
    addLabel(layout, tr("E-Mail &Subject"), txtFormSubject, 200);
    layout.addWidget(txtFormSubject);
    txtFormURL = named(new QLineEdit(this), QStringLiteral("txtFormURL"), 200);
    addLabel(layout, tr("Redirect &URL (usually your main URL)"), txtFormURL, 200);
    layout.addWidget(txtFormURL);

    btnFormOptions = named(new QPushButton(tr("A&dvanced Options"), this), QStringLiteral("btnFormOptions"), 202);
    layout.addWidget(btnFormOptions, 0, Qt::AlignLeft);

    auto *frame = new QGroupBox(tr("Form Fields"), this);
    auto *frameLayout = new QHBoxLayout(frame);
    // The list's right-click menu is the field menu; its topic serves the help key.
    lvForms = named(new QTreeWidget(frame), QStringLiteral("lvForms"));
    HelpContext::set(*lvForms, 200);
    FieldRows::setUpList(*lvForms, {tr("Name"), tr("Type")}, {175, 90});
    lvForms->setContextMenuPolicy(Qt::CustomContextMenu);
    lvForms->setAccessibleName(tr("Form Fields"));
    connect(lvForms, &QTreeWidget::itemSelectionChanged, this, &FormsPanel::updateFieldButtons);
    connect(lvForms, &QTreeWidget::currentItemChanged, this, &FormsPanel::updateFieldButtons);
    frameLayout->addWidget(lvForms, 1);

    auto *fieldButtons = new QVBoxLayout;
    btnFormUp = makeToolButton(QStringLiteral("btnFormUp"), tr("Move Up"), Pictures::button(B::MoveUp));
    btnFormDown = makeToolButton(QStringLiteral("btnFormDown"), tr("Move Down"), Pictures::button(B::MoveDown));
    btnFormAdd = makeToolButton(QStringLiteral("btnFormAdd"), tr("Add Field"), Pictures::button(B::Add));
    btnFormRemove = makeToolButton(QStringLiteral("btnFormRemove"), tr("Remove Field"), Pictures::button(B::Remove));
    btnFormEdit = makeToolButton(QStringLiteral("btnFormEdit"), tr("Edit Field"), Pictures::button(B::ApplyEdit));
    for (QToolButton *button : {btnFormUp, btnFormDown, btnFormAdd, btnFormRemove, btnFormEdit}) {
        button->setParent(frame);
        fieldButtons->addWidget(button);
    }
    fieldButtons->addStretch(1);
    frameLayout->addLayout(fieldButtons);
    layout.addWidget(frame, 1);

    auto *bottom = new QHBoxLayout;
    btnFormBasic = named(new QPushButton(tr("Load &Basic Fields"), this), QStringLiteral("btnFormBasic"), 203);
    btnFormClear = named(new QPushButton(tr("&Clear All"), this), QStringLiteral("btnFormClear"));
    bottom->addWidget(btnFormBasic);
    bottom->addWidget(btnFormClear);
    bottom->addStretch(1);
    layout.addLayout(bottom);

    buildFieldMenu();
    clearFieldList();
    btnFormClear->setEnabled(false);
}

void FormsPanel::buildFieldMenu()
{
    popForms = new QMenu(this);
    popForms->setObjectName(QStringLiteral("popForms"));
    auto add = [this](const QString &name, const QString &text) {
        QAction *action = popForms->addAction(text);
        action->setObjectName(name);
        return action;
    };
    const struct
    {
        const char *name;
        QString text;
    } kinds[] = {{"mnuFieldText", tr("Text &Box")},
                 {"mnuFieldTextArea", tr("Text &Area")},
                 {"mnuFieldRadio", tr("&Radio Button")},
                 {"mnuFieldCheckBox", tr("&Check Box")},
                 {"mnuFieldDropDown", tr("&Drop Down List")}};
    for (int kind = fkText; kind <= fkDropDown; ++kind) {
        mnuFieldKinds[kind] = add(QLatin1StringView(kinds[kind].name), kinds[kind].text);
        mnuFieldKinds[kind]->setIcon(QIcon(Pictures::fieldKind(TFieldKind(kind))));
    }
    mnuFieldEdit = add(QStringLiteral("mnuFieldEdit"), tr("&Edit Field"));
    mnuFieldSeparator = popForms->addSeparator();
    mnuFieldDelete = add(QStringLiteral("mnuFieldDelete"), tr("&Delete Field"));
    mnuFieldUp = add(QStringLiteral("mnuFieldUp"), tr("Move Field &Up"));
    mnuFieldDown = add(QStringLiteral("mnuFieldDown"), tr("Move Field Do&wn"));
}

void FormsPanel::prepareFieldMenu(bool kinds)
{
    for (QAction *action : mnuFieldKinds)
        action->setVisible(kinds);
    const struct
    {
        QAction *item;
        const QToolButton *button;
    } commands[] = {{mnuFieldEdit, btnFormEdit}, {mnuFieldDelete, btnFormRemove}, {mnuFieldUp, btnFormUp},
                    {mnuFieldDown, btnFormDown}};
    for (const auto &command : commands) {
        command.item->setVisible(!kinds);
        command.item->setEnabled(command.button->isEnabled());
    }
    mnuFieldSeparator->setVisible(!kinds);
}

void FormsPanel::updateFieldButtons()
{
    // The list's focus mark alone (as the list sets it when it gets the focus) offers
    // no command: a row has to be selected.
    const int selected = FieldRows::selectedRow(*lvForms);
    const int count = lvForms->topLevelItemCount();
    btnFormUp->setEnabled(selected > 0);
    btnFormDown->setEnabled(selected >= 0 && selected < count - 1);
    btnFormRemove->setEnabled(selected >= 0);
    btnFormEdit->setEnabled(selected >= 0);
}

void FormsPanel::updateClearAll()
{
    btnFormClear->setEnabled(lvForms->topLevelItemCount() > 0);
}

void FormsPanel::fill(const TPageItem &item)
{
    const TPagelette &page = owningPage(item);
    txtFormAddress->setText(page.Email);
    txtFormSubject->setText(page.Subject);
    txtFormURL->setText(page.Redirect);
    btnFormClear->setEnabled(page.WebForm().Count() > 0);
}

void FormsPanel::store(TPageItem &item) const
{
    TPagelette &page = owningPage(item);
    page.Email = txtFormAddress->text();
    page.Redirect = txtFormURL->text();
    page.Subject = txtFormSubject->text();
}

void FormsPanel::fillFieldList(const TWebForm &form)
{
    for (int i = 0; i < form.Count(); ++i) {
        const TFormElement &field = form.Items(i);
        FieldRows::append(*lvForms, {field.Name, field.FieldKind});
    }
}

void FormsPanel::clearFieldList()
{
    lvForms->clear();
    btnFormUp->setEnabled(false);
    btnFormDown->setEnabled(false);
    btnFormRemove->setEnabled(false);
    btnFormEdit->setEnabled(false);
}
