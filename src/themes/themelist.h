#pragma once

#include <QString>
#include <QStringList>

class TListBoxHrz;

// The theme lists of the main window and the theme editor: one line per theme of the
// store, by name. A page names its theme in any letter case.
namespace ThemeList {

QStringList names(const TListBoxHrz &list);

// Makes the line of that theme current and selected, or no line when the list lacks
// it. Returns the theme's row, -1 for none.
int select(TListBoxHrz &list, const QString &themeName);

}
