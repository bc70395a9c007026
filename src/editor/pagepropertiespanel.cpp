#include "pagepropertiespanel.h"

#include "widgets/listboxhrz.h"
#include "widgets/pictures.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

PagePropertiesPanel::PagePropertiesPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : BlockPanel(btPageProperties, QStringLiteral("pnlPageProp"), tr("Web Page Details"),
                 tr("Here you will see some of the special details about your web page."), whatsThis, parent)
{
    QVBoxLayout &layout = *body();

    txtPageTitle = named(new QLineEdit(this), QStringLiteral("txtPageTitle"), 10);
    addLabel(layout, tr("&Page Title (appears in the browser title bar)"), txtPageTitle, 10);
    layout.addWidget(txtPageTitle);

    chkLinkUnderline = named(new QCheckBox(tr("Do not &Underline Links"), this), QStringLiteral("chkLinkUnderline"), 11);
    layout.addWidget(chkLinkUnderline);

    lstMeta = named(new TListBoxHrz(this), QStringLiteral("lstMeta"), 12);
    lstMeta->setTabStops(30);
    lstMeta->setAccessibleName(tr("Meta Tags"));
    addLabel(layout, tr("&Meta Tags"), lstMeta, 12);
    auto *columns = new QHBoxLayout;
    addLabel(*columns, tr("Name"), nullptr, 13)->setMinimumWidth(lstMeta->tabWidth());
    addLabel(*columns, tr("Content"), nullptr, 14);
    columns->addStretch(1);
    layout.addLayout(columns);

    auto *metaRow = new QHBoxLayout;
    metaRow->addWidget(lstMeta, 1);
    auto *metaButtons = new QVBoxLayout;
    btnMetaAdd = makeToolButton(QStringLiteral("btnMetaAdd"), tr("Add Meta Tag"), Pictures::button(Pictures::Button::Add));
    btnMetaRemove = makeToolButton(QStringLiteral("btnMetaRemove"), tr("Remove Meta Tag"), Pictures::button(Pictures::Button::Remove));
    btnMetaEdit = makeToolButton(QStringLiteral("btnMetaEdit"), tr("Edit Meta Tag"), Pictures::button(Pictures::Button::ApplyEdit));
    btnMetaRemove->setEnabled(false);
    btnMetaEdit->setEnabled(false);
    metaButtons->addWidget(btnMetaAdd);
    metaButtons->addWidget(btnMetaRemove);
    metaButtons->addWidget(btnMetaEdit);
    metaButtons->addStretch(1);
    metaRow->addLayout(metaButtons);
    layout.addLayout(metaRow, 1);

    chkZandorellLogo = named(new QCheckBox(tr("&Show Zandorell Logo on page"), this), QStringLiteral("chkZandorellLogo"));
    layout.addWidget(chkZandorellLogo);

    btnTheme = named(new QPushButton(tr("Choose Page Theme (Colors, etc..)"), this), QStringLiteral("btnTheme"));
    btnTheme->setIcon(QIcon(Pictures::button(Pictures::Button::Theme)));
    layout.addWidget(btnTheme, 0, Qt::AlignLeft);
}

void PagePropertiesPanel::fill(const TPageItem &item)
{
    const TPagePropertiesBlock &block = item.PagePropertiesBlock();
    txtPageTitle->setText(block.PageTitle);
    chkLinkUnderline->setChecked(block.Underline);
    lstMeta->setJoinedLines(block.MetaText);
    // A refilled list has no selection, so there is nothing to remove or edit.
    btnMetaRemove->setEnabled(false);
    btnMetaEdit->setEnabled(false);
}

void PagePropertiesPanel::store(TPageItem &item) const
{
    TPagePropertiesBlock &block = item.PagePropertiesBlock();
    block.PageTitle = txtPageTitle->text();
    block.Underline = chkLinkUnderline->isChecked();
    block.MetaText = lstMeta->joinedLines();
}
