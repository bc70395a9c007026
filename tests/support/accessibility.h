#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

// The controls below root that a screen reader (or the accessibility test rig) could
// not name: buttons without text or name, lists without a name, and text boxes with
// neither a name nor a label that points at them. Listed by object name (or class).
inline QStringList unnamedControls(const QWidget &root)
{
    const QList<QLabel *> labels = root.findChildren<QLabel *>();
    auto labelled = [&](const QWidget *widget) {
        return std::any_of(labels.begin(), labels.end(), [widget](const QLabel *label) { return label->buddy() == widget; });
    };
    // Parts of a composite control (a spin box's text, a combo box's list) are named by it.
    auto partOfComposite = [&](const QWidget *widget) {
        for (const QWidget *up = widget->parentWidget(); up && up != &root; up = up->parentWidget())
            if (qobject_cast<const QAbstractSpinBox *>(up) || qobject_cast<const QComboBox *>(up)
                || qobject_cast<const QAbstractItemView *>(up))
                return true;
        return false;
    };
    QStringList unnamed;
    for (const QWidget *widget : root.findChildren<QWidget *>()) {
        if (partOfComposite(widget) || !widget->accessibleName().isEmpty())
            continue;
        bool named = true;
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            named = !button->text().trimmed().isEmpty();
        else if (qobject_cast<const QAbstractItemView *>(widget))
            named = false;
        else if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)
                 || qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QTextEdit *>(widget))
            named = labelled(widget);
        if (!named)
            unnamed.append(widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                          : widget->objectName());
    }
    return unnamed;
}
