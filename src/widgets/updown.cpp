#include "updown.h"

#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mUp = new QToolButton(this);
    mUp->setObjectName(QStringLiteral("upButton"));
    mUp->setArrowType(Qt::UpArrow);
    mUp->setAccessibleName(tr("Up"));
    mDown = new QToolButton(this);
    mDown->setObjectName(QStringLiteral("downButton"));
    mDown->setArrowType(Qt::DownArrow);
    mDown->setAccessibleName(tr("Down"));
    for (QToolButton *button : {mUp, mDown}) {
        button->setFixedSize(16, 11);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    connect(mUp, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(mDown, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setRange(int minimum, int maximum)
{
    mMinimum = minimum;
    mMaximum = qMax(minimum, maximum);
    setPosition(mPosition);
}

void UpDown::setPosition(int position)
{
    mPosition = qBound(mMinimum, position, mMaximum);
}

void UpDown::stepUp()
{
    setPosition(mPosition + mIncrement);
    emit clicked();
}

void UpDown::stepDown()
{
    setPosition(mPosition - mIncrement);
    emit clicked();
}
