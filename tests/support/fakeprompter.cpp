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

QStringList FakePrompter::texts() const
{
    QStringList list;
    for (const Box &box : boxes)
        list.append(box.text);
    return list;
}
