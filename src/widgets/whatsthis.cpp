#include "whatsthis.h"

#include "keyboardmenu.h"

#include "platform/helpengine.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace {
const char kTopicProperty[] = "vendrixHelpTopic";
}

namespace HelpContext {

void set(QWidget &widget, int topic)
{
    widget.setProperty(kTopicProperty, topic);
}

int of(const QWidget &widget)
{
    return widget.property(kTopicProperty).toInt();
}

int forFocus(const QWidget &widget)
{
    const QList<QLabel *> labels = widget.window()->findChildren<QLabel *>();
    for (const QWidget *w = &widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (const int topic = of(*w))
            return topic;
        for (const QLabel *label : labels) {
            if (label->buddy() == w && of(*label))
                return of(*label);
        }
    }
    return 0;
}

}

HelpKey::HelpKey(HelpEngine &help, QObject *parent)
    : QObject(parent), mHelp(help)
{
}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !watched->isWidgetType())
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Taken from the window's shortcuts (the main window's Contents), so the key
        // reaches the focused control and this filter with it.
        event->accept();
        return false;
    }
    const QWidget *focused = QApplication::focusWidget();
    if (!focused)
        focused = static_cast<QWidget *>(watched);
    if (const int topic = HelpContext::forFocus(*focused))
        mHelp.showPopup(topic, focused->mapToGlobal(QPoint(0, focused->height())));
    else
        mHelp.showContents();
    return true;
}

WhatsThisMenu::WhatsThisMenu(HelpEngine &help, QWidget *parent)
    : QObject(parent), mHelp(help)
{
    popWhatsThis = new QMenu(parent);
    popWhatsThis->setObjectName(QStringLiteral("popWhatsThis"));
    mnuWhatsThis = popWhatsThis->addAction(tr("&What's This?"));
    mnuWhatsThis->setObjectName(QStringLiteral("mnuWhatsThis"));
    connect(mnuWhatsThis, &QAction::triggered, this, &WhatsThisMenu::showTopic);
}

void WhatsThisMenu::attach(QWidget &widget, int topic)
{
    HelpContext::set(widget, topic);
    widget.setContextMenuPolicy(Qt::CustomContextMenu);
    QWidget *target = &widget;
    connect(&widget, &QWidget::customContextMenuRequested, this,
            [this, target](const QPoint &pos) { openFor(*target, target->mapToGlobal(pos)); });
    if (auto *list = qobject_cast<QAbstractItemView *>(&widget))
        KeyboardMenu::enable(*list);
}

void WhatsThisMenu::openFor(const QWidget &widget, const QPoint &globalPos)
{
    mTopic = HelpContext::of(widget);
    mPosition = globalPos;
    popWhatsThis->popup(globalPos);
}

void WhatsThisMenu::showTopic()
{
    mHelp.showPopup(mTopic, mPosition);
    mTopic = 0;
}
