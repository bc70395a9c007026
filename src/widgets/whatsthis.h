#pragma once

#include <QObject>
#include <QPoint>

class HelpEngine;
class QAction;
class QMenu;
class QWidget;

// Help topics of controls: every control whose topic is set shows it on "What's
// This?" and is what the help key opens for it.
namespace HelpContext {
void set(QWidget &widget, int topic);
// The control's topic; 0 when it has none.
int of(const QWidget &widget);
// The topic the help key opens for a focused control: its own, else its label's (the
// label whose buddy it is), else the nearest enclosing panel's; 0 when none has one.
int forFocus(const QWidget &widget);
}

// The help key (F1), for every window of the application once installed on it: shows
// the topic of the focused control as a pop-up beside it, or the contents when the
// control has none. A pop-up rather than the contents window, so it can be read and
// closed while a modal dialog holds the rest of the program.
class HelpKey : public QObject
{
    Q_OBJECT
public:
    explicit HelpKey(HelpEngine &help, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HelpEngine &mHelp;
};

// The small pop-up menu "&What's This?" that labels, lists and pictures carry. Opening
// it remembers the topic of the control it was opened on; its command shows that topic
// as a pop-up and forgets it again.
class WhatsThisMenu : public QObject
{
    Q_OBJECT
public:
    WhatsThisMenu(HelpEngine &help, QWidget *parent);

    // Gives the control its topic and this menu as its context menu.
    void attach(QWidget &widget, int topic);

    // Opens the menu for the control at a global position (what a right click does).
    void openFor(const QWidget &widget, const QPoint &globalPos);
    int rememberedTopic() const { return mTopic; }

    QMenu *popWhatsThis = nullptr;
    QAction *mnuWhatsThis = nullptr;

private:
    void showTopic();

    HelpEngine &mHelp;
    int mTopic = 0;
    QPoint mPosition;
};
