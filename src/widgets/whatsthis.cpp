#include "whatsthis.h"

#include "platform/helpengine.h"

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
