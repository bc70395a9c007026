#pragma once

#include <QFlags>
#include <QString>

// Every message box and the system beep go through this interface, so the core and
// the windows can be driven by a scripted fake in tests.
class Prompter
{
public:
    enum class Kind { Information, Warning, Error, Confirmation };
    enum Button {
        NoButton = 0x0,
        Ok = 0x1,
        Cancel = 0x2,
        Yes = 0x4,
        No = 0x8,
        Help = 0x10,
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    virtual ~Prompter() = default;

    // Shows a modal box and returns the button that closed it (Cancel when the box was
    // closed any other way). A nonzero helpTopic makes the Help button show that topic.
    virtual Button ask(Kind kind, const QString &text, Buttons buttons, int helpTopic = 0) = 0;
    // As ask(), with Enter pressing defaultButton rather than the first button offered
    // (a question whose safe answer is No). A prompter that has no default to choose
    // asks as ask() does.
    virtual Button askWithDefault(Kind kind, const QString &text, Buttons buttons, Button defaultButton)
    {
        Q_UNUSED(defaultButton);
        return ask(kind, text, buttons);
    }
    virtual void beep() = 0;

    void information(const QString &text) { ask(Kind::Information, text, Ok); }
    void warning(const QString &text) { ask(Kind::Warning, text, Ok); }
    void error(const QString &text) { ask(Kind::Error, text, Ok); }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompter::Buttons)
