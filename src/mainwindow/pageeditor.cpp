#include "pageeditor.h"

#include "blocklists.h"
#include "documentstate.h"
#include "editwatcher.h"

#include "editor/alignstrip.h"
#include "forms/formspanel.h"
#include "platform/prompter.h"
#include "themes/themelist.h"
#include "widgets/blockpanel.h"

#include <QScopedValueRollback>
#include <QStackedWidget>

PageEditor::PageEditor(TPagelette &page, DocumentState &document, Prompter &prompter, const Widgets &widgets,
                       QObject *parent)
    : QObject(parent), mPage(page), mDocument(document), mPrompter(prompter), mWidgets(widgets)
{
}

void PageEditor::StoreCurrentItem()
{
    if (mCurrentIndex == -1)
        return;
    try {
        TPageItem &item = mPage.Page().Items(mCurrentIndex);
        item.BlockOnNewLine = mWidgets.align.newLine();
        if (mCurrentIndex != 0)
            item.BlockAlign = mWidgets.align.alignment();
        panelFor(item.BlockType).store(item);
    } catch (const ListIndexError &) {
        // The list and the page are out of step for a moment; nothing to store.
    }
    mUnstoredEdits = false;
}

void PageEditor::commitCurrentItem()
{
    // A panel nobody edited only writes back what it was filled with: no change to
    // report, so looking at rows leaves what could be redone.
    const bool edited = mUnstoredEdits;
    const int current = mCurrentIndex;
    const bool valid = current >= 0 && current < mPage.Page().Count();
    const TBlockType kind = valid ? mPage.Page().Items(current).BlockType : btPageProperties;
    StoreCurrentItem();
    if (edited && valid)
        emit changeMade(editAction(kind), current, current);
}

QString PageEditor::editAction(TBlockType kind)
{
    return tr("Edit %1").arg(BlockTypeCaption(kind));
}

QString PageEditor::pendingEditAction() const
{
    if (!mUnstoredEdits || mCurrentIndex < 0 || mCurrentIndex >= mPage.Page().Count())
        return QString();
    return editAction(mPage.Page().Items(mCurrentIndex).BlockType);
}

void PageEditor::ShowSelectedItem()
{
    const int selected = mWidgets.pagelettes.currentRow();
    const QScopedValueRollback filling(mFilling, mFilling + 1);
    try {
        const TPageItem &item = mPage.Page().Items(selected);
        mWidgets.align.setNewLine(item.BlockOnNewLine);
        mWidgets.align.setAlignment(item.BlockAlign);
        BlockPanel &panel = panelFor(item.BlockType);
        panel.fill(item);
        if (item.BlockType == btPageProperties)
            selectTheme(item.PagePropertiesBlock().ThemeName);
        showPanel(panel);
        if (item.BlockAlign == baNone) {
            mWidgets.align.hide();
        } else {
            mWidgets.align.show();
            mWidgets.align.raise();
        }
    } catch (const ListIndexError &) {
    }
    mUnstoredEdits = false;
    mCurrentIndex = selected;
}

void PageEditor::rebuildLists()
{
    PageletteList &list = mWidgets.pagelettes;
    list.clear();
    // The field list is rebuilt too: a page read from a file brings its own fields.
    mWidgets.forms.clearFieldList();
    for (int i = 0; i < mPage.Page().Count(); ++i)
        list.addBlockRow(mPage.Page().Items(i).BlockType);
    // Once, whatever number of form blocks an altered file holds: the list stands for
    // the page's one form.
    if (mPage.formsItemIndex() >= 0)
        mWidgets.forms.fillFieldList(mPage.WebForm());
}

void PageEditor::FillPageletteList()
{
    rebuildLists();
    mCurrentIndex = -1;
    mWidgets.pagelettes.setCurrentRow(0);
    rowClicked();
    showPanel(panelFor(btPageProperties));
}

void PageEditor::showRestoredPage(int row)
{
    rebuildLists();
    mCurrentIndex = -1;
    PageletteList &list = mWidgets.pagelettes;
    list.setCurrentRow(qBound(0, row, list.count() - 1));
    ShowSelectedItem();
    // The theme may be what changed, whichever row is shown.
    if (mPage.Page().Count() > 0)
        selectTheme(mPage.Page().Items(0).PagePropertiesBlock().ThemeName);
}

void PageEditor::NewPage()
{
    const QScopedValueRollback filling(mFilling, mFilling + 1);
    mPage.NewPage();
    mWidgets.forms.clearFieldList();
    PageletteList &list = mWidgets.pagelettes;
    list.clear();
    for (int i = 0; i < mPage.Page().Count(); ++i) {
        const TPageItem &item = mPage.Page().Items(i);
        list.addBlockRow(item.BlockType);
        // The panels of the new items show their values; the page details panel too, so
        // that storing item 0 before it is shown again cannot bring back the old page's
        // title or meta tags.
        panelFor(item.BlockType).fill(item);
    }
    selectTheme(mPage.Page().Items(0).PagePropertiesBlock().ThemeName);
    list.setCurrentRow(0);
    mCurrentIndex = 0;
    mUnstoredEdits = false;
}

TPageItem &PageEditor::InsertNewItem(int index, TBlockType kind)
{
    TPageItem &item = mPage.InsertNewItem(index, kind);
    const QScopedValueRollback filling(mFilling, mFilling + 1);
    panelFor(kind).fill(item);
    if (kind == btPageProperties)
        selectTheme(item.PagePropertiesBlock().ThemeName);
    return item;
}

void PageEditor::rowClicked()
{
    commitCurrentItem();
    ShowSelectedItem();
}

void PageEditor::dropOnPageletteList(const BlockDrag &drag, int targetIndex)
{
    PageletteList &list = mWidgets.pagelettes;
    list.hideMarker();
    if (targetIndex < 0)
        return;
    const int rowBefore = mCurrentIndex;
    QString action;
    try {
        if (drag.source == BlockDrag::Source::Palette) {
            const auto kind = TBlockType(drag.row + 1);
            if (kind < btHeading || kind > btForms)
                return;
            if (kind == btForms && mPage.formsItemIndex() >= 0) {
                // Refused before anything moves, so the panel being edited stays as it is.
                mPrompter.information(tr("Sorry, only one E-mail form per page is allowed."));
                return;
            }
            if (targetIndex == 0)
                targetIndex = 1;
            targetIndex = qMin(targetIndex, list.count());
            commitCurrentItem();
            list.insertBlockRow(targetIndex, kind);
            InsertNewItem(targetIndex, kind);
            action = tr("Add %1").arg(BlockTypeCaption(kind));
        } else if (drag.source == BlockDrag::Source::Pagelettes) {
            const int from = drag.row;
            if (targetIndex != list.count() && targetIndex != 0 && targetIndex != from) {
                // The open panel is stored first: the row shown after the move may
                // stand for another item.
                commitCurrentItem();
                const TBlockType kind = mPage.Page().Items(from).BlockType;
                mPage.Page().MoveItem(from, targetIndex);
                QListWidgetItem *row = list.takeItem(from);
                list.insertItem(targetIndex, row);
                action = tr("Move %1").arg(BlockTypeCaption(kind));
            }
        } else {
            return;
        }
    } catch (const ListIndexError &) {
        return;
    }
    if (targetIndex < list.count()) {
        list.setCurrentRow(targetIndex);
        ShowSelectedItem();
    } else {
        list.setCurrentRow(-1);
        list.clearSelection();
    }
    if (!action.isEmpty())
        emit changeMade(action, drag.source == BlockDrag::Source::Pagelettes ? drag.row : rowBefore, targetIndex);
}

void PageEditor::DeletePagelette()
{
    PageletteList &list = mWidgets.pagelettes;
    const int row = list.currentRow();
    if (row == 0) {
        mPrompter.information(tr("The Page Settings Block cannot be deleted."));
        return;
    }
    if (row < 0 || row >= mPage.Page().Count())
        return;
    mPrompter.beep();
    if (mPrompter.ask(Prompter::Kind::Confirmation, tr("Do you want to delete the selected Pagelette item?"),
                      Prompter::Yes | Prompter::No) != Prompter::Yes)
        return;
    // What was typed into the item's panel comes back with it when the deletion is undone.
    commitCurrentItem();

    delete list.takeItem(row);
    if (mPage.Page().Items(row).BlockType == btForms) {
        mPage.Clear(false);
        mWidgets.forms.clearFieldList();
    }
    mPage.Page().remove(row);

    list.setCurrentRow(row - 1);
    mCurrentIndex = -1;
    ShowSelectedItem();

    TrashBin &trash = mWidgets.trash;
    if (trash.state() != TrashBin::State::Full)
        trash.setState(TrashBin::State::Full);
    if (list.count() == 1) {
        mWidgets.align.hide();
        trash.setState(TrashBin::State::Empty);
    }
    emit changeMade(tr("Delete Pagelette"), row, row - 1);
}

bool PageEditor::canMoveSelectedBlock(int by) const
{
    const int row = mWidgets.pagelettes.currentRow();
    const int target = row + by;
    return row >= 1 && target >= 1 && target < mWidgets.pagelettes.count();
}

void PageEditor::moveSelectedBlock(int by)
{
    if (canMoveSelectedBlock(by)) {
        const int row = mWidgets.pagelettes.currentRow();
        dropOnPageletteList(BlockDrag{BlockDrag::Source::Pagelettes, row}, row + by);
    }
}

void PageEditor::selectTheme(const QString &themeName)
{
    ThemeList::select(mWidgets.themes, themeName);
}

void PageEditor::watchEdits(const QList<const QWidget *> &ignored)
{
    QList<QWidget *> watched{&mWidgets.align};
    for (BlockPanel *panel : mWidgets.panelByKind) {
        if (!watched.contains(panel)) {
            watched.append(panel);
            connect(panel, &BlockPanel::edited, this, &PageEditor::controlEdited);
        }
    }
    for (QWidget *root : watched) {
        auto *watcher = new EditWatcher(*root, ignored, this);
        connect(watcher, &EditWatcher::edited, this, &PageEditor::controlEdited);
        mWatchers.append(watcher);
    }
}

void PageEditor::stopWatchingEdits()
{
    qDeleteAll(mWatchers);
    mWatchers.clear();
    for (BlockPanel *panel : mWidgets.panelByKind)
        disconnect(panel, &BlockPanel::edited, this, &PageEditor::controlEdited);
}

void PageEditor::controlEdited()
{
    if (mFilling > 0)
        return;
    mUnstoredEdits = true;
    mDocument.setChanged(true);
    emit panelEdited();
}

void PageEditor::showPanel(BlockPanel &panel)
{
    mWidgets.panels.setCurrentWidget(&panel);
    panel.show();
}
