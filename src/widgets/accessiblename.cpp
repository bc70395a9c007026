#include "accessiblename.h"

#include <QComboBox>
#include <QWidget>

namespace AccessibleName {

void setHint(QWidget &control, const QString &hint)
{
    control.setToolTip(hint);
    control.setAccessibleName(hint);
}

void setLabelled(QWidget &control, const QString &labelText)
{
    if (!qobject_cast<QComboBox *>(&control) || !control.accessibleName().isEmpty())
        return;
    QString name;
    for (qsizetype i = 0; i < labelText.size(); ++i) {
        if (labelText[i] == u'&' && i + 1 < labelText.size())
            ++i;
        name += labelText[i];
    }
    control.setAccessibleName(name);
}

}
