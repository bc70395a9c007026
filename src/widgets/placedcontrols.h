#pragma once

#include "widgets/accessiblename.h"

#include <QLabel>
#include <QRect>
#include <QString>

// The controls of the windows built in code: each named after its component, and in
// the fixed-layout dialogs placed at its position.
template <class W>
W *named(W *control, const QString &objectName)
{
    control->setObjectName(objectName);
    return control;
}

template <class W>
W *placed(W *control, const QString &objectName, const QRect &geometry)
{
    named(control, objectName)->setGeometry(geometry);
    return control;
}

inline QLabel *namedLabel(QWidget *parent, const QString &objectName, const QString &text)
{
    return named(new QLabel(text, parent), objectName);
}

// A label, its mnemonic bound to buddy when there is one, which is named after it.
inline QLabel *placedLabel(QWidget *parent, const QString &objectName, const QString &text, const QRect &geometry,
                           QWidget *buddy = nullptr)
{
    auto *label = placed(new QLabel(text, parent), objectName, geometry);
    if (buddy) {
        label->setBuddy(buddy);
        AccessibleName::setLabelled(*buddy, text);
    }
    return label;
}
