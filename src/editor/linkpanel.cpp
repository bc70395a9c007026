#include "linkpanel.h"

#include "widgets/listboxhrz.h"
#include "widgets/pictures.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

LinkPanel::LinkPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : BlockPanel(btLink, QStringLiteral("pnlLinks"), tr("Link"),
                 tr("Links are a great way to allow visitors to a quick jump to your favorite sites or web pages."),
                 whatsThis, parent)
{
    using B = Pictures::Button;
    QVBoxLayout &layout = *body();

    txtLinkAddress = named(new QLineEdit(this), QStringLiteral("txtLinkAddress"), 29);
    addLabel(layout, tr("Link &Address eg. http://www.mysite.com/page.html"), txtLinkAddress, 29);
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(txtLinkAddress, 1);
    btnLinkBrowse = makeToolButton(QStringLiteral("btnLinkBrowse"), tr("Browse"), Pictures::button(B::Browse));
    btnLinkIE = makeToolButton(QStringLiteral("btnLinkIE"), tr("Favorites"), Pictures::button(B::Favorites));
    btnLinkNetscape = makeToolButton(QStringLiteral("btnLinkNetscape"), tr("Netscape Bookmarks"), Pictures::button(B::Bookmarks));
    addressRow->addWidget(btnLinkBrowse);
    addressRow->addWidget(btnLinkIE);
    addressRow->addWidget(btnLinkNetscape);
    layout.addLayout(addressRow);

    txtLinkText = named(new QLineEdit(this), QStringLiteral("txtLinkText"), 28);
    addLabel(layout, tr("Link &Text eg. Click Here"), txtLinkText, 28);
    layout.addWidget(txtLinkText);

    chkEmail = named(new QCheckBox(tr("Make link an &email address"), this), QStringLiteral("chkEmail"), 27);
    layout.addWidget(chkEmail);
    chkLink = named(new QCheckBox(tr("Use Drop &Box"), this), QStringLiteral("chkLink"), 33);
    layout.addWidget(chkLink);

    auto *listRow = new QHBoxLayout;
    lstLinks = named(new TListBoxHrz(this), QStringLiteral("lstLinks"), 34);
    lstLinks->setTabStops(20);
    lstLinks->setToolTip(tr("Double Click Item to Edit, then press the Apply Edit button."));
    lstLinks->setAccessibleName(tr("Drop Box"));
    listRow->addWidget(lstLinks, 1);
    auto *listButtons = new QVBoxLayout;
    btnLinkAdd = makeToolButton(QStringLiteral("btnLinkAdd"), tr("Add"), Pictures::button(B::Add));
    btnLinkRemove = makeToolButton(QStringLiteral("btnLinkRemove"), tr("Remove"), Pictures::button(B::Remove));
    btnLinkEdit = makeToolButton(QStringLiteral("btnLinkEdit"), tr("Apply Edit"), Pictures::button(B::ApplyEdit));
    for (QToolButton *button : {btnLinkAdd, btnLinkRemove, btnLinkEdit}) {
        button->setEnabled(false);
        listButtons->addWidget(button);
    }
    listButtons->addStretch(1);
    listRow->addLayout(listButtons);
    layout.addLayout(listRow, 1);

    connect(chkLink, &QCheckBox::toggled, this, &LinkPanel::updateDropBoxControls);
    connect(lstLinks, &QListWidget::itemClicked, this, &LinkPanel::listClicked);
    updateDropBoxControls();
}

void LinkPanel::fill(const TPageItem &item)
{
    const TLinkBlock &block = item.LinkBlock();
    txtLinkAddress->setText(block.LinkURL);
    txtLinkText->setText(block.LinkText);
    chkEmail->setChecked(block.Email);
    lstLinks->setJoinedLines(block.DropBoxText);
    chkLink->setChecked(block.UseDropBox);
    updateDropBoxControls();
}

void LinkPanel::store(TPageItem &item) const
{
    TLinkBlock &block = item.LinkBlock();
    block.LinkURL = txtLinkAddress->text();
    block.LinkText = txtLinkText->text();
    block.Email = chkEmail->isChecked();
    block.UseDropBox = chkLink->isChecked();
    block.DropBoxText = lstLinks->joinedLines();
}

void LinkPanel::updateDropBoxControls()
{
    const bool dropBox = chkLink->isChecked();
    btnLinkAdd->setEnabled(dropBox);
    btnLinkRemove->setEnabled(dropBox && lstLinks->count() > 0);
    btnLinkEdit->setEnabled(btnLinkRemove->isEnabled());
    lstLinks->setEnabled(dropBox);
}

void LinkPanel::listClicked()
{
    const bool selected = lstLinks->currentRow() >= 0 && !lstLinks->selectedItems().isEmpty();
    btnLinkEdit->setEnabled(selected);
    btnLinkRemove->setEnabled(selected);
}
