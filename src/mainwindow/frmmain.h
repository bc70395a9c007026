#pragma once

#include "blockdrag.h"
#include "checks/pagechecker.h"
#include "documentstate.h"
#include "html/pagehtml.h"
#include "model/pagelette.h"

#include <QMainWindow>

#include <memory>
#include <optional>

struct AppServices;
class AlignStrip;
class Autosaver;
class BannerHost;
class BlockPanel;
class BulletPanel;
class ButtonBar;
class FormsPanel;
class HRPanel;
class HeadingPanel;
class ImagePanel;
class LinkPanel;
class PageEditor;
class PageletteList;
class PaletteTable;
class PanelCommands;
class PagePropertiesPanel;
class PaletteList;
class PreviewPane;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;
class QToolButton;
class TListBoxHrz;
class TWebTheme;
class TextPanel;
class TrashBin;
class UndoController;
class WhatsThisMenu;

// The main window: palette, pagelette list, block panels, preview and button bar. It
// owns the one page and the one theme store for the life of the process.
class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(AppServices &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The creation steps that follow building the widgets, in order: start the banner,
    // read the settings, new page, themes, palette and lists, document name, the
    // command-line document (when not empty), and the tip of the day when it is on.
    // (Start-up registers the file types once the window has appeared.)
    void startUp(const QString &commandLineDocument);

    // The selection protocol (see PageEditor). StoreCurrentItem() also records what it
    // stored of the open panel's edits as one undo step ("Edit Heading").
    void StoreCurrentItem();
    void ShowSelectedItem();
    void FillPageletteList();
    void NewPage();
    TPageItem &InsertNewItem(int index, TBlockType kind);
    void DeletePagelette();
    // A block dropped on the pagelette list at targetIndex (the row count below the
    // last row, -1 outside the list).
    void dropOnPageletteList(BlockDrag::Source source, int draggedRow, int targetIndex);

    // The page as HTML. Stores the open panel first (its edits become an undo step),
    // selects the page's theme in the theme list and shows the busy cursor. A
    // list-index error is reported as "Error Creating Web Page" and leaves in lines
    // what was built; other errors reach the caller.
    void buildPageHTML(QStringList &lines, THTMLMode mode);

    // The commands. New and Save return whether they went through (Save: the document
    // was written; New: the page was replaced).
    bool newDocument();
    bool save();
    bool saveAsTemplate();
    // New (with its question), then the template browser; after OK the document it
    // chose is loaded. Nothing more when New was cancelled.
    void openDocument();
    // Send to web: a changed page is saved first (nothing more happens when it is
    // not), then the upload wizard runs with the page's files in its list and the
    // page check's findings above them; a finding chosen there selects its block.
    void sendToWeb();
    // Check Page: shows what the page check finds in the page as it stands (edits in
    // the open panel included); a finding chosen there selects its block.
    void checkPage();
    // The page check of the page as it stands, pictures looked for in the program folder.
    QList<PageCheck::Finding> checkFindings();
    // Brings the building area to the front with that row selected and shown, as a
    // click on it would; nothing for a row that is not there.
    void selectBlock(int row);
    // Reads a page document or template into the page; an unreadable file gives a new
    // untitled page after the invalid-document message.
    void loadDocument(const QString &path);
    void showBuildingArea();
    // Brings the preview area to the front (View Page down).
    void showPreviewArea();
    void showTipOfTheDay();
    void showAbout();
    void showHelpContents();
    // Opens one of the maker's pages in the default browser.
    void openWebAddress(const QString &address);

    void ReadSettings();
    void WriteSettings();

    // The one call for a change to the page made outside the open panel's own controls
    // (a theme applied, form fields edited in a dialog, a picture chosen): call it once
    // after the change, naming the user's action ("Apply Theme"). It records the page
    // as it is now as one undo step and sets the changed flag (and so the caption's
    // mark and the autosave) when the page differs from its saved document: undo then
    // brings back the page as the previous step left it, with the same row selected,
    // and the menu offers "Undo Apply Theme". Nothing is recorded when the page's
    // bytes did not change. Edits still in the open panel are not part of the step;
    // they become a step of their own when the panel is stored. A change to values the open panel shows must call StoreCurrentItem()
    // before it and ShowSelectedItem() after it.
    void pageChanged(const QString &action);

    // Takes back (or repeats) the last change to the page. Undo stores the open panel
    // first, so its edits are the first thing taken back.
    void undo();
    void redo();
    UndoController &undoHistory() const { return *mUndo; }
    Autosaver &autosaver() const { return *mAutosaver; }
    // At start-up: offers the page of each earlier run that did not close properly,
    // until one is taken. True when a page was recovered.
    bool offerRecovery();

    TPagelette &page() { return mPage; }
    const TWebTheme &themes() const { return *mThemes; }
    TWebTheme &themes() { return *mThemes; }
    DocumentState &document() { return mDocument; }
    bool changed() const { return mDocument.changed(); }
    int currentItemIndex() const;
    int tipDay() const { return mTipDay; }
    BlockPanel &panelFor(TBlockType kind) const;
    PageEditor &editor() const { return *mEditor; }
    WhatsThisMenu &whatsThis() const { return *mWhatsThis; }
    AppServices &services() const { return mServices; }
    // The colours the colour pickers share for the program's run.
    PaletteTable &palette() const;

    // Regions and controls, named as their components.
    QWidget *pnlTop = nullptr;
    QWidget *imgadarea1 = nullptr;
    ButtonBar *pbButtons = nullptr;
    QStackedWidget *pnlWork = nullptr;
    QWidget *pnlCreate = nullptr;
    PreviewPane *pnlPreview = nullptr;
    QSplitter *splPagelette = nullptr;
    QWidget *pnlPagelette = nullptr;
    QToolButton *btnNew = nullptr;
    QToolButton *btnChooseTemplate = nullptr;
    QToolButton *btnTemplate = nullptr;
    QToolButton *btnUndo = nullptr;
    QToolButton *btnRedo = nullptr;
    PaletteList *lstPalette = nullptr;
    PageletteList *lstBlocks = nullptr;
    QWidget *imgMarker = nullptr;
    TrashBin *imgTrash = nullptr;
    QStackedWidget *pnlPanels = nullptr;
    AlignStrip *pnlAlign = nullptr;
    TListBoxHrz *lstThemes = nullptr;

    PagePropertiesPanel *pnlPageProp = nullptr;
    HeadingPanel *pnlHeading = nullptr;
    ImagePanel *pnlImages = nullptr;
    LinkPanel *pnlLinks = nullptr;
    TextPanel *pnlText = nullptr;
    BulletPanel *pnlBullets = nullptr;
    HRPanel *pnlHR = nullptr;
    FormsPanel *pnlForms = nullptr;

    QMenu *popBlocks = nullptr;
    QAction *mnuDelete = nullptr;
    QAction *mnuMoveUp = nullptr;
    QAction *mnuMoveDown = nullptr;
    QAction *mnuDeleteSeparator = nullptr;
    QAction *mnuUndo = nullptr;
    QAction *mnuRedo = nullptr;
    QAction *mnuNew = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuTemplate = nullptr;
    QAction *mnuCheck = nullptr;
    QAction *mnuContents = nullptr;
    QAction *mnuTips = nullptr;
    QAction *mnuSoftware = nullptr;
    QAction *mnuHosting = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuCancel = nullptr;

    // Opens popBlocks at a global position; onPagelettes tells whether it was opened
    // on the pagelette list (which alone offers Delete Pagelette).
    void openBlocksMenu(const QPoint &globalPos, bool onPagelettes);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    QWidget *buildTopStrip();
    QWidget *buildPageletteArea();
    QWidget *buildEditorArea();
    QWidget *buildPreviewArea();
    void buildMenu();
    void connectCommands();
    void placeBanner();
    void placeMarker();
    void updateCaption();
    void updateUndoActions();
    void updateMoveActions();
    void refreshPreview();
    void setPaneWidth(int width);
    void applyPaneWidth();
    int paneWidth() const;
    void loadThemes();
    void startBanner();
    void shutdownBanner();
    struct WrittenDocument
    {
        QString path;
        bool created = false; // false: the file could not be created ("Unable to create file.")
    };
    // Runs the save dialog set up for one kind of file, stores the open panel and
    // writes the page. Nothing when the user cancelled or the write failed (reported).
    std::optional<WrittenDocument> writeChosenDocument(const QString &extension, const QString &filter,
                                                       const QString &folder, const QString &proposedPath = QString());
    // The HTML copies of a saved document: the local one beside the documents and the
    // upload copy. Write failures are ignored; build errors reach the caller.
    void writeHtmlCopies(const QString &documentPath);

    AppServices &mServices;
    TPagelette mPage;
    std::unique_ptr<TWebTheme> mThemes;
    DocumentState mDocument;
    WhatsThisMenu *mWhatsThis = nullptr;
    PageEditor *mEditor = nullptr;
    PanelCommands *mPanelCommands = nullptr;
    UndoController *mUndo = nullptr;
    Autosaver *mAutosaver = nullptr;
    std::unique_ptr<BannerHost> mBanner;
    int mTipDay = 1;
    int mWantedPaneWidth = 0;
};
