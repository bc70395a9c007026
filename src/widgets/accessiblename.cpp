#include "accessiblename.h"

#include <QWidget>

namespace AccessibleName {

void setHint(QWidget &control, const QString &hint)
{
    control.setToolTip(hint);
    control.setAccessibleName(hint);
}

}
