#include "buttonbar.h"

#include "widgets/pictures.h"

#include <QButtonGroup>
#include <QPainter>
#include <QToolButton>

namespace {
constexpr int kBarWidth = 100;
constexpr int kLargeWidth = 80;
constexpr int kLargeHeight = 75;
constexpr int kSmallHeight = 22;
constexpr int kFirstTop = 24;
}

ButtonBar::ButtonBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pbButtons"));
    setFixedWidth(kBarWidth);

    int top = kFirstTop;
    auto large = [this, &top](const QString &name, const QString &caption, const QString &hint, Pictures::Button picture) {
        auto *button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setIcon(QIcon(Pictures::button(picture)));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setGeometry((kBarWidth - kLargeWidth) / 2, top, kLargeWidth, kLargeHeight);
        top += kLargeHeight + 2;
        return button;
    };
    auto small = [this, &top](const QString &name, const QString &caption, const QString &hint) {
        auto *button = new QToolButton(this);
        button->setObjectName(name);
        button->setText(caption);
        button->setToolTip(hint);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        button->setGeometry(0, top, kBarWidth, kSmallHeight);
        top += kSmallHeight;
        return button;
    };

    btnCreate = large(QStringLiteral("btnCreate"), tr("Create Page"), tr("Build your web page piece by piece"),
                      Pictures::Button::CreatePage);
    btnPreview = large(QStringLiteral("btnPreview"), tr("View Page"), tr("Check out the work in progress"),
                       Pictures::Button::ViewPage);
    btnSave = large(QStringLiteral("btnSave"), tr("Save Page"), tr("Save your web page"), Pictures::Button::SavePage);
    btnUpload = large(QStringLiteral("btnUpload"), tr("Send to web"), tr("Put your web page online for everyone to see"),
                      Pictures::Button::SendToWeb);
    top += 8;
    btnAdRemove = small(QStringLiteral("btnAdRemove"), tr("Remove Ads"), tr("Find out how to get an ad free program!"));
    btnHelp = small(QStringLiteral("btnHelp"), tr("Help") + QString(10, u' '), tr("Opens Help"));
    btnHosting = small(QStringLiteral("btnHosting"), tr("Web Hosting"), tr("See what Zandorell can offer you!"));
    btnCustom = small(QStringLiteral("btnCustom"), tr("Power Tools"), tr("Click here for cool programs!"));
    setMinimumHeight(top + 4);

    // Create Page and View Page: one of the two is always down.
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QToolButton *button : {btnCreate, btnPreview}) {
        button->setCheckable(true);
        group->addButton(button);
    }
    btnCreate->setChecked(true);
}

QList<QWidget *> ButtonBar::largeButtons() const
{
    return {btnCreate, btnPreview, btnSave, btnUpload};
}

void ButtonBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int right = width() - 1;
    const int bottom = height() - 1;
    const int slantEnd = btnCreate->y();
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(right, slantEnd, right, bottom);
    painter.drawLine(right, bottom, 0, bottom);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, bottom, 0, 0);
    painter.drawLine(0, 0, right, slantEnd);
}
