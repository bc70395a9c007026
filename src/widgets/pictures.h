#pragma once

#include "model/pagelette.h"
#include "model/webform.h"

#include <QCursor>
#include <QPixmap>

// The pictures of the main window and its panels, drawn in code so they stay readable
// and editable as source. Each call draws afresh; callers keep what they show.
namespace Pictures {

// The 16 x 16 picture of a block kind: the header picture of its panel and the picture
// of its rows in the palette and the pagelette list.
QPixmap kind(TBlockType kind);

// The 16 x 16 picture of a form field kind: the picture of its rows in the field
// lists and of its item in the Add Field menu.
QPixmap fieldKind(TFieldKind kind);

// The trash (148 x 38) with nothing in it and with something in it.
QPixmap trashEmpty();
QPixmap trashFull();
// The trash as the window shows it before the first deletion.
QPixmap trashDesign();

// The cursor shown while a block is dragged from the palette or within the link list.
QCursor newDragCursor();

enum class Button {
    CreatePage,
    ViewPage,
    SavePage,
    SendToWeb,
    New,
    Open,
    SaveAsTemplate,
    AlignLeft,
    AlignCenter,
    AlignRight,
    NewLine,
    Font,
    Import,
    Add,
    Remove,
    ApplyEdit,
    Browse,
    Favorites,
    Bookmarks,
    Theme,
    MoveUp,
    MoveDown,
    Undo,
    Redo,
    Servers,
    Exit,
};

// Button pictures: 32 x 32 for the button bar's large buttons and the left pane's
// buttons, 16 x 16 for the rest.
QPixmap button(Button which);

// The window's shared list of 32 x 32 images, by index: what the template browser
// shows for templates and saved pages, and the upload wizard for server profiles.
enum LargeImage { liTemplate = 0, liPageDocument = 1, liServerProfile = 2 };
QPixmap largeImage(LargeImage which);

// The picture at the top of the upload wizard (64 x 64): a page on its way from the
// computer to the web.
QPixmap uploadWizard();

}
