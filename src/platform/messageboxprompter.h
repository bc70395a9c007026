#pragma once

#include "prompter.h"

class HelpEngine;

// The production message boxes: a QMessageBox centred on the screen with the
// standard caption of its kind. A box with a help topic gets a Help button that
// shows the topic without closing the box.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(HelpEngine &help);

    Button ask(Kind kind, const QString &text, Buttons buttons, int helpTopic = 0) override;
    Button askWithDefault(Kind kind, const QString &text, Buttons buttons, Button defaultButton) override;
    void beep() override;

    // The caption every box of the kind carries: "Information", "Warning", "Error", "Confirm".
    static QString caption(Kind kind);

private:
    Button show(Kind kind, const QString &text, Buttons buttons, int helpTopic, Button defaultButton);

    HelpEngine &mHelp;
};
