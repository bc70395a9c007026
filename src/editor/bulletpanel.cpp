#include "bulletpanel.h"

#include "fontconvert.h"

#include "widgets/memobox.h"
#include "widgets/pictures.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

BulletPanel::BulletPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : BlockPanel(btBullet, QStringLiteral("pnlBullets"), tr("Bullet List"),
                 tr("If you have a list of related items you would like to put in a bullet list Vendrix makes it simple."),
                 whatsThis, parent)
{
    QVBoxLayout &layout = *body();
    auto *row = new QHBoxLayout;
    cbBullets = named(new QComboBox(this), QStringLiteral("cbBullets"), 48);
    cbBullets->addItems({QStringLiteral("Disc"), QStringLiteral("Circle"), QStringLiteral("Square"), QStringLiteral("A"),
                         QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("I"), QStringLiteral("i")});
    cbBullets->setCurrentIndex(0);
    addLabel(*row, tr("&Style:"), cbBullets, 48);
    row->addWidget(cbBullets);
    row->addStretch(1);
    btnBulletImport = makeToolButton(QStringLiteral("btnBulletImport"), tr("Import Text File"), Pictures::button(Pictures::Button::Import));
    row->addWidget(btnBulletImport);
    layout.addLayout(row);

    txtBullets = named(new MemoBox(this), QStringLiteral("txtBullets"), 49);
    txtBullets->setWantTabs(true);
    FontValue font;
    font.name = QStringLiteral("Times New Roman");
    font.size = 12;
    FontConvert::setBoxFont(*txtBullets, font);
    addLabel(layout, tr("Type one list item on each line."), txtBullets, 49);
    layout.addWidget(txtBullets, 1);
}

void BulletPanel::fill(const TPageItem &item)
{
    const TBulletBlock &block = item.BulletBlock();
    txtBullets->setText(block.Bullets);
    cbBullets->setCurrentIndex(block.Style);
}

void BulletPanel::store(TPageItem &item) const
{
    TBulletBlock &block = item.BulletBlock();
    block.Bullets = txtBullets->text();
    if (cbBullets->currentIndex() >= 0)
        block.Style = TListStyle(cbBullets->currentIndex());
}
