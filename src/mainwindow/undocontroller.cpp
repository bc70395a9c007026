#include "undocontroller.h"

#include "documentstate.h"
#include "pageeditor.h"

#include "model/componentstream.h"
#include "model/documents.h"

UndoController::UndoController(TPagelette &page, PageEditor &editor, DocumentState &document, QObject *parent)
    : QObject(parent), mPage(page), mEditor(editor), mDocument(document)
{
    connect(&editor, &PageEditor::changeMade, this, &UndoController::record);
    connect(&editor, &PageEditor::panelEdited, this, &UndoController::stateChanged);
}

void UndoController::record(const QString &action, int rowBefore, int rowAfter)
{
    mHistory.record(action, ComponentWriter::toBytes(mPage), rowBefore, rowAfter);
    updateChangedFlag();
    emit stateChanged();
}

void UndoController::reset()
{
    mHistory.reset(ComponentWriter::toBytes(mPage), !mDocument.changed());
    emit stateChanged();
}

void UndoController::markSaved()
{
    mHistory.markSaved(ComponentWriter::toBytes(mPage));
}

void UndoController::undo()
{
    if (mEditor.hasUnstoredEdits())
        mEditor.commitCurrentItem();
    if (mHistory.canUndo())
        restore(mHistory.undo());
}

void UndoController::redo()
{
    // Edits still in the panel are a new step, which leaves nothing to redo.
    if (mEditor.hasUnstoredEdits())
        mEditor.commitCurrentItem();
    if (mHistory.canRedo())
        restore(mHistory.redo());
}

void UndoController::restore(int row)
{
    // The bytes are the writer's own, so reading them back cannot fail; if it ever
    // did, the page would stay as it is and the history start again from it.
    if (!Documents::LoadDocumentBytes(mHistory.page(), mPage)) {
        mHistory.reset(ComponentWriter::toBytes(mPage), false);
        emit stateChanged();
        return;
    }
    mEditor.showRestoredPage(row);
    updateChangedFlag();
    emit stateChanged();
}

void UndoController::updateChangedFlag()
{
    // Edits still in the open panel are changes too, though no step holds them yet.
    mDocument.setChanged(!mHistory.isSaved() || mEditor.hasUnstoredEdits());
}

bool UndoController::canUndo() const
{
    return mHistory.canUndo() || mEditor.hasUnstoredEdits();
}

bool UndoController::canRedo() const
{
    return mHistory.canRedo() && !mEditor.hasUnstoredEdits();
}

QString UndoController::undoAction() const
{
    return mEditor.hasUnstoredEdits() ? mEditor.pendingEditAction() : mHistory.undoAction();
}

QString UndoController::redoAction() const
{
    return canRedo() ? mHistory.redoAction() : QString();
}
