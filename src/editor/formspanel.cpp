#include "formspanel.h"

#include "model/webform.h"
#include "pictures.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    lvForms = named(new QTreeWidget(frame), QStringLiteral("lvForms"), 200);
    lvForms->setAccessibleName(tr("Form Fields"));
    lvForms->setColumnCount(2);
    lvForms->setHeaderLabels({tr("Name"), tr("Type")});
    lvForms->setColumnWidth(0, 175);
    lvForms->setColumnWidth(1, 90);
    lvForms->setRootIsDecorated(false);
    lvForms->setSelectionMode(QAbstractItemView::SingleSelection);
    lvForms->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvForms->setEditTriggers(QAbstractItemView::NoEditTriggers);
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

    clearFieldList();
    btnFormClear->setEnabled(false);
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
        auto *row = new QTreeWidgetItem(lvForms, {field.Name, FieldDisplayName(field.FieldKind)});
        row->setData(0, Qt::UserRole, int(field.FieldKind));
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
