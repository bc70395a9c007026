#pragma once

#include "model/pagelette.h"

#include <QWidget>

class QButtonGroup;
class QToolButton;
class WhatsThisMenu;

// The strip at the top right of the editor area: three alignment buttons of which one
// is down, and the New Line toggle. It lies over the panels of items that have an
// alignment and behind the page details.
class AlignStrip : public QWidget
{
    Q_OBJECT
public:
    explicit AlignStrip(WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    // baLeft when Left is down, else baCenter when Center is down, else baRight.
    TBlockAlignment alignment() const;
    // Presses the button of baLeft, baCenter or baRight; baNone changes nothing.
    void setAlignment(TBlockAlignment alignment);

    bool newLine() const;
    void setNewLine(bool on);

    QToolButton *btnLeft = nullptr;
    QToolButton *btnCenter = nullptr;
    QToolButton *btnRight = nullptr;
    QToolButton *btnParagraph = nullptr;

private:
    QButtonGroup *mGroup = nullptr;
};
