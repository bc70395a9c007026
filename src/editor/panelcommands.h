#pragma once

#include "themes/palette.h"

#include <QObject>
#include <QPoint>

class BulletPanel;
class FontedTextPanel;
class HeadingPanel;
class ImagePanel;
class LinkPanel;
class MemoBox;
class PagePropertiesPanel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QToolButton;
class TextPanel;
struct AppServices;

// Add, Remove and Edit of the page's meta tag list ("Name<TAB>Content" lines), through
// the small dialog's meta tag task. A double click on a line edits it.
class MetaTagCommands : public QObject
{
    Q_OBJECT
public:
    MetaTagCommands(PagePropertiesPanel &panel, AppServices &services, PaletteTable &palette);

    void add();
    void remove();
    // Edits the selected line; a name the dialog does not offer opens with no name
    // selected, and OK without a name leaves the line as it was.
    void edit();

private:
    void updateButtons();

    PagePropertiesPanel &mPanel;
    AppServices &mServices;
    PaletteTable &mPalette;
};

// The heading's and the paragraph's font button: the small dialog's font task edits
// the box's font and colour; OK marks the font as chosen.
class FontCommand : public QObject
{
    Q_OBJECT
public:
    FontCommand(FontedTextPanel &panel, MemoBox &box, QToolButton &button, AppServices &services,
                PaletteTable &palette);

    void run();

private:
    FontedTextPanel &mPanel;
    MemoBox &mBox;
    AppServices &mServices;
    PaletteTable &mPalette;
};

// The link panel's drop box: Add after the selected entry, Remove the selected entry
// (the last one when none is selected), double click to load an entry into the boxes
// and Apply Edit to put it back, and reordering by dragging one entry onto another.
class LinkDropBox : public QObject
{
    Q_OBJECT
public:
    explicit LinkDropBox(LinkPanel &panel);

    void add();
    void remove();
    void loadEntry(int row);
    void applyEdit();
    // The selected entry and the entry at row change places; a row outside the list
    // does nothing.
    void dropOn(int row);

    // "mailto:" (for an e-mail address) + address + tab + text.
    static QString makeEntry(const QString &address, const QString &text, bool email);

private:
    int selectedRow() const;
    QString entryFromBoxes() const;
    void clearBoxes();

    LinkPanel &mPanel;
    QListWidget &mList;
};

// Fill an address box from a file (Browse), a browser favourite (Favorites) or the
// browser's bookmark file (Netscape Bookmarks).
class AddressCommands : public QObject
{
    Q_OBJECT
public:
    AddressCommands(QLineEdit &target, QToolButton &browse, QToolButton &favorites, QToolButton &bookmarks,
                    AppServices &services, PaletteTable &palette);

    void browse();
    void favorites();
    void bookmarks();

private:
    QLineEdit &mTarget;
    AppServices &mServices;
    PaletteTable &mPalette;
};

// Import Text File: a text file's lines, each followed by a line break, typed into
// the box at the caret in place of the selection.
class TextImportCommand : public QObject
{
    Q_OBJECT
public:
    TextImportCommand(QPlainTextEdit &box, QToolButton &button, AppServices &services);

    void run();

private:
    QPlainTextEdit &mBox;
    AppServices &mServices;
};

// The image panel's picture button: choose a picture, show it with its size and keep
// a copy in the images folder, where the page looks for it.
class PictureCommand : public QObject
{
    Q_OBJECT
public:
    PictureCommand(ImagePanel &panel, AppServices &services);

    void run();

private:
    ImagePanel &mPanel;
    AppServices &mServices;
};

// Every command of the block panels, connected to the panels' buttons. The main
// window creates one after its panels; it owns the palette table that the colour
// pickers share for the program's run.
class PanelCommands : public QObject
{
    Q_OBJECT
public:
    struct Panels
    {
        PagePropertiesPanel &pageProperties;
        HeadingPanel &heading;
        TextPanel &text;
        BulletPanel &bullets;
        LinkPanel &links;
        ImagePanel &images;
    };

    PanelCommands(AppServices &services, const Panels &panels, QObject *parent = nullptr);
    ~PanelCommands() override;

    PaletteTable &palette() { return mPalette; }

private:
    PaletteTable mPalette;
};
