#pragma once

#include "blockdrag.h"
#include "model/pagelette.h"

#include <QObject>

#include <array>

class AlignStrip;
class BlockPanel;
class DocumentState;
class EditWatcher;
class FormsPanel;
class PageletteList;
class PaletteList;
class Prompter;
class QStackedWidget;
class TListBoxHrz;
class TrashBin;

// The selection protocol of the building area: which page item the editor panels
// hold, moving values between that item and its panel, and the pagelette list's
// drops and deletions. Row i of the pagelette list always stands for page item i.
class PageEditor : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        PaletteList &palette;
        PageletteList &pagelettes;
        QStackedWidget &panels;
        AlignStrip &align;
        TrashBin &trash;
        TListBoxHrz &themes;
        FormsPanel &forms;
        std::array<BlockPanel *, 8> panelByKind; // indexed by TBlockType
    };

    PageEditor(TPagelette &page, DocumentState &document, Prompter &prompter, const Widgets &widgets,
               QObject *parent = nullptr);

    // Writes the panel of the current item back into it; does nothing without a
    // current item. The changed flag follows the undo history (commitCurrentItem()).
    void StoreCurrentItem();
    // StoreCurrentItem(), then reports the edits it stored as one change ("Edit Heading").
    void commitCurrentItem();
    // Fills the selected row's panel from its item, brings the panel to the front and
    // makes that item the current one.
    void ShowSelectedItem();
    // Rebuilds the pagelette list and the form field list from the page, then shows
    // the page details.
    void FillPageletteList();
    // Empties the page and builds the default new one; the page details row becomes
    // selected and current. No panel is brought to the front.
    void NewPage();
    // Inserts an item of that kind with its creation defaults and fills its panel.
    TPageItem &InsertNewItem(int index, TBlockType kind);

    // A click on a row: store the current item, then show the selected one.
    void rowClicked();
    // A block dropped on the pagelette list at targetIndex (the row count for a drop
    // below the last row).
    void dropOnPageletteList(const BlockDrag &drag, int targetIndex);
    // Deletes the selected pagelette after asking; row 0 is refused.
    void DeletePagelette();
    // Moves the selected pagelette one row up (by -1) or down (by 1), as dragging it
    // there would; nothing when it cannot go there (the page details stay first).
    void moveSelectedBlock(int by);
    bool canMoveSelectedBlock(int by) const;

    // Shows a page whose contents were replaced from the history: the lists are built
    // again, the row (or the nearest that exists) is selected and shown.
    void showRestoredPage(int row);

    // Selects the theme of that name in the theme list (none when it is not there).
    void selectTheme(const QString &themeName);

    // From now on a change the user makes in a panel or the alignment strip sets the
    // changed flag at once and emits panelEdited(). Controls in ignored hold nothing
    // of the page. Stop before the panels are destroyed.
    void watchEdits(const QList<const QWidget *> &ignored);
    void stopWatchingEdits();
    // True while the open panel holds changes not yet stored into its item.
    bool hasUnstoredEdits() const { return mUnstoredEdits; }
    // The name the open panel's unstored changes get once stored ("Edit Heading");
    // empty when there are none.
    QString pendingEditAction() const;

    int currentItemIndex() const { return mCurrentIndex; }
    BlockPanel &panelFor(TBlockType kind) const { return *mWidgets.panelByKind[kind]; }
    TPagelette &page() const { return mPage; }

signals:
    void panelEdited();
    // The page was changed by the user's action (a block added, moved, deleted, or a
    // panel's edits stored); the rows are the selected pagelette before and after.
    void changeMade(const QString &action, int rowBefore, int rowAfter);

private:
    void showPanel(BlockPanel &panel);
    void controlEdited();
    void rebuildLists();
    static QString editAction(TBlockType kind);

    TPagelette &mPage;
    DocumentState &mDocument;
    Prompter &mPrompter;
    Widgets mWidgets;
    int mCurrentIndex = -1;
    QList<EditWatcher *> mWatchers;
    // Nonzero while the panels are filled from the page: what they report is no edit.
    int mFilling = 0;
    bool mUnstoredEdits = false;
};
