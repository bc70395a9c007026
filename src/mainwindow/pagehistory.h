#pragma once

#include <QByteArray>
#include <QString>

#include <deque>

// The undo history of the page, kept as the page's document bytes after each user
// action. A step holds only the run of bytes that the action changed (the page bytes
// before and after share everything outside it), so an edit to one block of a large
// page costs about that block. When the steps outgrow the budget the oldest ones are
// dropped; the newest step is always kept.
class PageHistory
{
public:
    static constexpr qsizetype kDefaultBudget = 64 * 1024 * 1024;

    explicit PageHistory(qsizetype budgetBytes = kDefaultBudget);

    // Starts over at that page. saved: the page is what its document holds.
    void reset(const QByteArray &page, bool saved);

    // Records the action that took the page from its present bytes to page; the rows
    // are the selected pagelette before and after it. Nothing is recorded, and false
    // returned, when the bytes are the same. Steps that could be redone are dropped.
    bool record(const QString &action, const QByteArray &page, int rowBefore, int rowAfter);

    bool canUndo() const { return mApplied > 0; }
    bool canRedo() const { return mApplied < mSteps.size(); }
    // The user's name of the step that undo or redo would take back or repeat.
    QString undoAction() const;
    QString redoAction() const;

    // Takes back the last step (or repeats the next one) and returns the row to select;
    // page() then holds the bytes before (after) that step. Nothing happens, and -1 is
    // returned, when there is no such step.
    int undo();
    int redo();

    // The page's bytes as the history has them now.
    const QByteArray &page() const { return mPage; }

    // The page's document now holds these bytes; isSaved() tells whether the present
    // bytes are the same.
    void markSaved(const QByteArray &saved);
    void forgetSaved() { mSaved.clear(); mHasSaved = false; }
    bool isSaved() const { return mHasSaved && mPage == mSaved; }

    int stepCount() const { return int(mSteps.size()); }
    // Bytes held by the steps (their changed runs, names and bookkeeping).
    qsizetype memoryUsed() const { return mUsed; }

private:
    struct Step
    {
        QString action;
        int rowBefore;
        int rowAfter;
        qsizetype offset;  // where the changed run starts
        QByteArray before; // the run before the action
        QByteArray after;  // the run after it
    };
    static qsizetype cost(const Step &step);
    void dropOldest();

    qsizetype mBudget;
    std::deque<Step> mSteps;
    size_t mApplied = 0; // steps from the start that the present bytes include
    qsizetype mUsed = 0;
    QByteArray mPage;
    QByteArray mSaved;
    bool mHasSaved = false;
};
