#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

// The controls below root that tests or a screen reader could not find: buttons,
// boxes and lists without an objectName (tests find controls by it), and buttons
// without text, lists, and text boxes without a label pointing at them that have no
// accessible name (assistive tools find controls by it), and choice boxes without one
// (on Linux their name is otherwise their current choice). Empty when all can be found.
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
        if (partOfComposite(widget))
            continue;
        const auto *button = qobject_cast<const QAbstractButton *>(widget);
        const bool list = qobject_cast<const QAbstractItemView *>(widget);
        const bool textBox = qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)
                             || qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QTextEdit *>(widget);
        const auto *combo = qobject_cast<const QComboBox *>(widget);
        const bool choiceBox = combo && !combo->isEditable();
        const QString id = widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                          : widget->objectName();
        if ((button || list || textBox || combo) && widget->objectName().isEmpty())
            unnamed.append(id + QStringLiteral(" without an objectName"));
        if (!widget->accessibleName().isEmpty())
            continue;
        bool named = true;
        if (button)
            named = !button->text().trimmed().isEmpty();
        else if (list || choiceBox)
            named = false;
        else if (textBox)
            named = labelled(widget);
        if (!named)
            unnamed.append(id + QStringLiteral(" without an accessible name"));
    }
    return unnamed;
}

// Fails naming every control of root that cannot be found.
#define VERIFY_CONTROLS_NAMED(root)                                                                                  \
    do {                                                                                                             \
        const QStringList unnamed = unnamedControls(root);                                                           \
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));                                 \
    } while (false)
