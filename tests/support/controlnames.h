#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

// The controls below root that tools and screen readers cannot find: buttons, boxes,
// labels and lists without an objectName, and buttons showing no text without an
// accessible name. Empty when every control can be found.
inline QStringList unfindableControls(const QWidget &root)
{
    QStringList unfindable;
    const QList<QWidget *> widgets = root.findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        const auto *button = qobject_cast<const QAbstractButton *>(widget);
        const bool control = button || qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QLabel *>(widget)
                             || qobject_cast<const QAbstractItemView *>(widget);
        if (control && widget->objectName().isEmpty())
            unfindable.append(QString::fromLatin1(widget->metaObject()->className()) + QStringLiteral(" without a name"));
        if (button && button->text().isEmpty() && button->accessibleName().isEmpty())
            unfindable.append(button->objectName() + QStringLiteral(" without an accessible name"));
    }
    return unfindable;
}
