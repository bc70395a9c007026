#include "fakeprompter.h"

Prompter::Button FakePrompter::ask(Kind kind, const QString &text, Buttons buttons, int helpTopic)
{
    boxes.append({kind, text, buttons, helpTopic});
    if (!script.isEmpty())
        return script.dequeue();
    for (Button b : {Ok, Yes, No, Cancel}) {
        if (buttons.testFlag(b))
            return b;
    }
    return Cancel;
}

Prompter::Button FakePrompter::askWithDefault(Kind kind, const QString &text, Buttons buttons, Button defaultButton)
{
    const Button answer = ask(kind, text, buttons);
    boxes.last().defaultButton = defaultButton;
    return answer;
}

QStringList FakePrompter::texts() const
{
    QStringList list;
    for (const Box &box : boxes)
        list.append(box.text);
    return list;
}
