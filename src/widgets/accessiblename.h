#pragma once

class QString;
class QWidget;

// Screen readers and accessibility tools find a control by its name. A control that
// shows no text of its own (a button with only a picture, a list, an unlabelled box)
// is named here.
namespace AccessibleName {
// The control's hint (tool tip), which also becomes its name.
void setHint(QWidget &control, const QString &hint);
}
