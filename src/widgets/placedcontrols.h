#pragma once

#include <QLabel>
#include <QRect>
#include <QString>

// The controls of the fixed-layout field dialogs: each named after its component and
// placed at its position.
template <class W>
W *placed(W *control, const QString &objectName, const QRect &geometry)
{
    control->setObjectName(objectName);
    control->setGeometry(geometry);
    return control;
}

// A label, its mnemonic bound to buddy when there is one.
inline QLabel *placedLabel(QWidget *parent, const QString &objectName, const QString &text, const QRect &geometry,
                           QWidget *buddy = nullptr)
{
    auto *label = placed(new QLabel(text, parent), objectName, geometry);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}
