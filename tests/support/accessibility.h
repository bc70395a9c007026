#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QTextEdit>

// The controls below root that tests or a screen reader could not find: buttons,
// boxes and lists without an objectName (tests find controls by it), and buttons
// without text, lists, and text boxes without a label pointing at them that have no
// accessible name (assistive tools find controls by it), and choice boxes without one
// (on Linux their name is otherwise their current choice, even for an editable one). Empty when all can be found.
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
        // On Linux a choice box, editable or not, is otherwise named by its current choice.
        const auto *combo = qobject_cast<const QComboBox *>(widget);
        const QString id = widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                          : widget->objectName();
        if ((button || list || textBox || combo) && widget->objectName().isEmpty())
            unnamed.append(id + QStringLiteral(" without an objectName"));
        if (!widget->accessibleName().isEmpty())
            continue;
        bool named = true;
        if (button)
            named = !button->text().trimmed().isEmpty();
        else if (list || combo)
            named = false;
        else if (textBox)
            named = labelled(widget);
        if (!named)
            unnamed.append(id + QStringLiteral(" without an accessible name"));
    }
    return unnamed;
}

// The Alt keys that more than one control of root shows as it stands (hidden panels
// left out): "Alt+I: &Image, &Image Hint:". Buttons, and labels that lead to a control.
inline QStringList sharedAltKeys(const QWidget &root)
{
    QMap<QChar, QStringList> byKey;
    for (const QWidget *widget : root.findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(&root))
            continue;
        QString text;
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            text = button->text();
        else if (const auto *label = qobject_cast<const QLabel *>(widget); label && label->buddy())
            text = label->text();
        for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'&', i + 2)) {
            if (text[i + 1] != u'&') {
                byKey[text[i + 1].toLower()].append(text);
                break;
            }
        }
    }
    QStringList shared;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        if (it.value().size() > 1)
            shared.append(QStringLiteral("Alt+%1: %2").arg(it.key().toUpper(), it.value().join(QStringLiteral(", "))));
    }
    return shared;
}

// Fails naming every control of root that cannot be found, by its name or by its Alt key.
#define VERIFY_CONTROLS_NAMED(root)                                                                                  \
    do {                                                                                                             \
        const QStringList unnamed = unnamedControls(root) + sharedAltKeys(root);                                     \
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));                                 \
    } while (false)
