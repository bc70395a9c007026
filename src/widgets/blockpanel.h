#pragma once

#include "model/pagelette.h"

#include <QWidget>

class QBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;
class WhatsThisMenu;

// One editor panel of the building area: a header (the kind's picture, a bold title,
// a descriptive text and a separator line) above the panel's own controls. The main
// window fills a panel from the selected page item and stores it back into that item.
class BlockPanel : public QWidget
{
    Q_OBJECT
public:
    BlockPanel(TBlockType kind, const QString &objectName, const QString &title, const QString &description,
               WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    TBlockType kind() const { return mKind; }

    // Shows the item's values in the controls.
    virtual void fill(const TPageItem &item) = 0;
    // Copies the controls into the item.
    virtual void store(TPageItem &item) const = 0;

    QLabel *headerPicture() const { return mPicture; }
    QLabel *headerTitle() const { return mTitle; }
    QLabel *headerText() const { return mText; }

signals:
    // A change to the panel's values that its controls do not show (a font chosen).
    void edited();

protected:
    QVBoxLayout *body() const { return mBody; }
    WhatsThisMenu &whatsThis() const { return mWhatsThis; }

    // A label for a control, with its mnemonic bound to it; topic is the help topic of
    // both (0 for none).
    QLabel *addLabel(QBoxLayout &layout, const QString &text, QWidget *buddy, int topic = 0);
    // A small flat button with a picture and a hint.
    QToolButton *makeToolButton(const QString &objectName, const QString &hint, const QPixmap &picture);
    // Gives a control its name and help topic.
    template <class W>
    W *named(W *widget, const QString &objectName, int topic = 0)
    {
        widget->setObjectName(objectName);
        if (topic)
            attachHelp(*widget, topic);
        return widget;
    }
    void attachHelp(QWidget &widget, int topic);

private:
    TBlockType mKind;
    WhatsThisMenu &mWhatsThis;
    QLabel *mPicture = nullptr;
    QLabel *mTitle = nullptr;
    QLabel *mText = nullptr;
    QVBoxLayout *mBody = nullptr;
};
