#include "blockpanel.h"

#include "accessiblename.h"
#include "pictures.h"
#include "whatsthis.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

BlockPanel::BlockPanel(TBlockType kind, const QString &objectName, const QString &title, const QString &description,
                       WhatsThisMenu &whatsThis, QWidget *parent)
    : QWidget(parent), mKind(kind), mWhatsThis(whatsThis)
{
    setObjectName(objectName);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->setSpacing(4);

    auto *header = new QHBoxLayout;
    header->setSpacing(6);
    mPicture = new QLabel(this);
    mPicture->setPixmap(Pictures::kind(kind));
    mPicture->setFixedSize(16, 16);
    mTitle = new QLabel(title, this);
    QFont bold = mTitle->font();
    bold.setBold(true);
    mTitle->setFont(bold);
    header->addWidget(mPicture, 0, Qt::AlignTop);
    header->addWidget(mTitle, 1);
    outer->addLayout(header);

    mText = new QLabel(description, this);
    mText->setWordWrap(true);
    // Leaves room on the right for the alignment strip that lies over the panel.
    mText->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(mText);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    outer->addWidget(line);

    mBody = new QVBoxLayout;
    mBody->setSpacing(4);
    outer->addLayout(mBody, 1);
}

QLabel *BlockPanel::addLabel(QBoxLayout &layout, const QString &text, QWidget *buddy, int topic)
{
    auto *label = new QLabel(text, this);
    if (buddy) {
        label->setBuddy(buddy);
        AccessibleName::setLabelled(*buddy, text);
    }
    if (topic)
        attachHelp(*label, topic);
    layout.addWidget(label);
    return label;
}

QToolButton *BlockPanel::makeToolButton(const QString &objectName, const QString &hint, const QPixmap &picture)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    AccessibleName::setHint(*button, hint);
    button->setIcon(QIcon(picture));
    button->setAutoRaise(true);
    button->setFixedSize(25, 25);
    return button;
}

void BlockPanel::attachHelp(QWidget &widget, int topic)
{
    // Edit boxes keep their own editing menu; the topic still serves the help key.
    if (qobject_cast<QLineEdit *>(&widget) || qobject_cast<QPlainTextEdit *>(&widget))
        HelpContext::set(widget, topic);
    else
        mWhatsThis.attach(widget, topic);
}
