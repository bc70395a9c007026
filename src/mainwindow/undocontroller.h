#pragma once

#include "pagehistory.h"

#include <QObject>

class DocumentState;
class PageEditor;
class TPagelette;

// Undo and redo of every change to the page: one step per user action, holding the
// page's document bytes, with the selected pagelette restored. The open panel is
// stored before a step is taken back, so nothing typed is skipped.
class UndoController : public QObject
{
    Q_OBJECT
public:
    UndoController(TPagelette &page, PageEditor &editor, DocumentState &document, QObject *parent = nullptr);

    // Records the page as it is now as the step of that action; nothing is recorded
    // when the page is as the last step left it. The changed flag then tells whether
    // the page differs from what its document holds (or was opened from).
    void record(const QString &action, int rowBefore, int rowAfter);
    // Starts a new history at the page as it is now (after New, Open or recovery);
    // while the changed flag is clear the page counts as its document's content.
    void reset();
    // The page's document now holds the page as it is.
    void markSaved();

    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    // The action undo or redo would take back or repeat ("Delete Pagelette").
    QString undoAction() const;
    QString redoAction() const;

    const PageHistory &history() const { return mHistory; }

signals:
    // What undo and redo offer may have changed.
    void stateChanged();

private:
    void restore(int row);
    void updateChangedFlag();

    TPagelette &mPage;
    PageEditor &mEditor;
    DocumentState &mDocument;
    PageHistory mHistory;
};
