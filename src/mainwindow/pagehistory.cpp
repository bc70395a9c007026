#include "pagehistory.h"

#include <algorithm>

PageHistory::PageHistory(qsizetype budgetBytes)
    : mBudget(budgetBytes)
{
}

void PageHistory::reset(const QByteArray &page, bool saved)
{
    mSteps.clear();
    mApplied = 0;
    mUsed = 0;
    mPage = page;
    if (saved)
        markSaved(page);
    else
        forgetSaved();
}

bool PageHistory::record(const QString &action, const QByteArray &page, int rowBefore, int rowAfter)
{
    if (page == mPage)
        return false;
    while (mSteps.size() > mApplied) {
        mUsed -= cost(mSteps.back());
        mSteps.pop_back();
    }
    // The changed run: what lies between the longest common start and end.
    const qsizetype shorter = qMin(mPage.size(), page.size());
    const auto [oldStart, newStart] = std::mismatch(mPage.cbegin(), mPage.cbegin() + shorter, page.cbegin());
    const qsizetype prefix = oldStart - mPage.cbegin();
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && mPage.at(mPage.size() - 1 - suffix) == page.at(page.size() - 1 - suffix))
        ++suffix;
    Step step{action, rowBefore, rowAfter, prefix, mPage.mid(prefix, mPage.size() - prefix - suffix),
              page.mid(prefix, page.size() - prefix - suffix)};
    mUsed += cost(step);
    mSteps.push_back(std::move(step));
    mApplied = mSteps.size();
    mPage = page;
    while (mUsed > mBudget && mSteps.size() > 1)
        dropOldest();
    return true;
}

QString PageHistory::undoAction() const
{
    return canUndo() ? mSteps[mApplied - 1].action : QString();
}

QString PageHistory::redoAction() const
{
    return canRedo() ? mSteps[mApplied].action : QString();
}

int PageHistory::undo()
{
    if (!canUndo())
        return -1;
    const Step &step = mSteps[--mApplied];
    mPage.replace(step.offset, step.after.size(), step.before);
    return step.rowBefore;
}

int PageHistory::redo()
{
    if (!canRedo())
        return -1;
    const Step &step = mSteps[mApplied++];
    mPage.replace(step.offset, step.before.size(), step.after);
    return step.rowAfter;
}

void PageHistory::markSaved(const QByteArray &saved)
{
    // Shared with the present bytes when they are the same, so no second copy is kept.
    mSaved = saved == mPage ? mPage : saved;
    mHasSaved = true;
}

qsizetype PageHistory::cost(const Step &step)
{
    return qsizetype(sizeof(Step)) + step.action.size() * qsizetype(sizeof(QChar)) + step.before.size() + step.after.size();
}

void PageHistory::dropOldest()
{
    mUsed -= cost(mSteps.front());
    mSteps.pop_front();
    --mApplied;
}
