#include "alignstrip.h"

#include "widgets/accessiblename.h"
#include "widgets/pictures.h"
#include "widgets/whatsthis.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

AlignStrip::AlignStrip(WhatsThisMenu &whatsThis, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlAlign"));
    setFixedSize(101, 22);
    setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    mGroup = new QButtonGroup(this);
    mGroup->setExclusive(true);

    auto make = [&](const QString &name, const QString &hint, Pictures::Button picture, int topic) {
        auto *button = new QToolButton(this);
        button->setObjectName(name);
        AccessibleName::setHint(*button, hint);
        button->setIcon(QIcon(Pictures::button(picture)));
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setFixedSize(24, 22);
        whatsThis.attach(*button, topic);
        layout->addWidget(button);
        return button;
    };
    btnLeft = make(QStringLiteral("btnLeft"), tr("Left Align"), Pictures::Button::AlignLeft, 103);
    btnCenter = make(QStringLiteral("btnCenter"), tr("Center Align"), Pictures::Button::AlignCenter, 104);
    btnRight = make(QStringLiteral("btnRight"), tr("Right Align"), Pictures::Button::AlignRight, 105);
    btnParagraph = make(QStringLiteral("btnParagraph"), tr("New Line (Paragraph)"), Pictures::Button::NewLine, 22);
    mGroup->addButton(btnLeft);
    mGroup->addButton(btnCenter);
    mGroup->addButton(btnRight);
    btnLeft->setChecked(true);
    btnParagraph->setChecked(true);
}

TBlockAlignment AlignStrip::alignment() const
{
    if (btnLeft->isChecked())
        return baLeft;
    if (btnCenter->isChecked())
        return baCenter;
    return baRight;
}

void AlignStrip::setAlignment(TBlockAlignment alignment)
{
    switch (alignment) {
    case baLeft:
        btnLeft->setChecked(true);
        break;
    case baCenter:
        btnCenter->setChecked(true);
        break;
    case baRight:
        btnRight->setChecked(true);
        break;
    case baNone:
        break;
    }
}

bool AlignStrip::newLine() const
{
    return btnParagraph->isChecked();
}

void AlignStrip::setNewLine(bool on)
{
    btnParagraph->setChecked(on);
}
