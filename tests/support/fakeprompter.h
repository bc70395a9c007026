#pragma once

#include "platform/prompter.h"

#include <QList>
#include <QQueue>

// Records every box and answers from a script. Without a scripted answer it presses
// the first of Ok, Yes, No, Cancel that the box offers.
class FakePrompter : public Prompter
{
public:
    struct Box
    {
        Kind kind;
        QString text;
        Buttons buttons;
        int helpTopic;
        Button defaultButton = NoButton; // as askWithDefault() was given it
    };

    Button ask(Kind kind, const QString &text, Buttons buttons, int helpTopic = 0) override;
    Button askWithDefault(Kind kind, const QString &text, Buttons buttons, Button defaultButton) override;
    void beep() override { ++beeps; }

    void answer(Button button) { script.enqueue(button); }

    QList<Box> boxes;
    QQueue<Button> script;
    int beeps = 0;

    QStringList texts() const;
};
