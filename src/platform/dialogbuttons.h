#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QPushButton;

// The OK and Cancel buttons of the fixed-layout dialogs: placed, named after their
// component, the OK one the default button that accepts, the Cancel one rejecting.
QPushButton *addOkButton(QDialog &dialog, const QString &objectName, const QRect &geometry);
QPushButton *addCancelButton(QDialog &dialog, const QRect &geometry);
