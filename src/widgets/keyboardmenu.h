#pragma once

class QAbstractItemView;

namespace KeyboardMenu {

// Lets the list open its right-click menu from the keyboard, beside its selected row
// (at its top when none is selected): Shift+F10 and the Menu key, and a context-menu
// request that comes without a mouse (the platform's Menu key, assistive tools), which
// Qt would place at a text cursor a list does not have. The menu opens as for a right
// click there: the list's viewport gets the context-menu event.
void enable(QAbstractItemView &list);

}
