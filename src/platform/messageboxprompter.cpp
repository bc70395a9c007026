#include "messageboxprompter.h"

#include "helpengine.h"
#include "screencentre.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

QMessageBox::Icon iconOf(Prompter::Kind kind)
{
    switch (kind) {
    case Prompter::Kind::Information: return QMessageBox::Information;
    case Prompter::Kind::Warning: return QMessageBox::Warning;
    case Prompter::Kind::Error: return QMessageBox::Critical;
    case Prompter::Kind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}


}

MessageBoxPrompter::MessageBoxPrompter(HelpEngine &help)
    : mHelp(help)
{
}

QString MessageBoxPrompter::caption(Kind kind)
{
    switch (kind) {
    case Kind::Information: return QStringLiteral("Information");
    case Kind::Warning: return QStringLiteral("Warning");
    case Kind::Error: return QStringLiteral("Error");
    case Kind::Confirmation: return QStringLiteral("Confirm");
    }
    return QString();
}

Prompter::Button MessageBoxPrompter::ask(Kind kind, const QString &text, Buttons buttons, int helpTopic)
{
    return show(kind, text, buttons, helpTopic, NoButton);
}

Prompter::Button MessageBoxPrompter::askWithDefault(Kind kind, const QString &text, Buttons buttons, Button defaultButton)
{
    return show(kind, text, buttons, 0, defaultButton);
}

Prompter::Button MessageBoxPrompter::show(Kind kind, const QString &text, Buttons buttons, int helpTopic, Button defaultButton)
{
    QMessageBox box;
    box.setIcon(iconOf(kind));
    box.setWindowTitle(caption(kind));
    box.setText(text);
    box.setTextFormat(Qt::PlainText);

    static const std::pair<Button, QMessageBox::StandardButton> order[] = {
        {Yes, QMessageBox::Yes}, {No, QMessageBox::No}, {Ok, QMessageBox::Ok}, {Cancel, QMessageBox::Cancel}};
    QList<std::pair<QAbstractButton *, Button>> map;
    for (const auto &[ours, theirs] : order) {
        if (buttons.testFlag(ours))
            map.append({box.addButton(theirs), ours});
    }
    if (map.isEmpty())
        map.append({box.addButton(QMessageBox::Ok), Ok});
    if (helpTopic != 0 || buttons.testFlag(Help)) {
        // QMessageBox closes on every button; Help shows the topic and keeps the question open.
        QPushButton *help = box.addButton(QMessageBox::Help);
        QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
        QObject::connect(help, &QAbstractButton::clicked, &box, [this, help, helpTopic] {
            mHelp.showPopup(helpTopic, help->mapToGlobal(help->rect().bottomLeft()));
        });
    }
    QAbstractButton *preferred = map.first().first;
    for (const auto &[button, ours] : std::as_const(map)) {
        if (ours == defaultButton)
            preferred = button;
    }
    box.setDefaultButton(static_cast<QPushButton *>(preferred));

    centreOnScreen(box);
    box.exec();
    for (const auto &[button, ours] : std::as_const(map)) {
        if (box.clickedButton() == button)
            return ours;
    }
    return Cancel;
}

void MessageBoxPrompter::beep()
{
    QApplication::beep();
}
