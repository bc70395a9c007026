#pragma once

class QString;
class QWidget;

// Screen readers and accessibility tools find a control by its name. A control that
// shows no text of its own (a button with only a picture, a list, an unlabelled box)
// is named here.
namespace AccessibleName {
// The control's hint (tool tip), which also becomes its name.
void setHint(QWidget &control, const QString &hint);
// A choice box on Linux reports its current choice as its name, so the name its label
// gives (without the mnemonic) is set as well; other controls take it from the label.
void setLabelled(QWidget &control, const QString &labelText);
}
