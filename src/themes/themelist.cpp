#include "themelist.h"

#include "themestore.h"

#include "widgets/listboxhrz.h"

namespace ThemeList {

QStringList names(const TListBoxHrz &list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        lines.append(list.item(i)->text());
    return lines;
}

int select(TListBoxHrz &list, const QString &themeName)
{
    const int row = ThemeStore::findTheme(names(list), themeName);
    list.setCurrentRow(row);
    if (row < 0)
        list.clearSelection();
    return row;
}

}
