#include "benchpages.h"
#include "benchregistry.h"

#include "app/startup.h"
#include "mainwindow/autosaver.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/pagehistory.h"
#include "model/componentstream.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int kBlocks = 1000;

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// The paragraph of item index, changed so that every run makes a new step.
void editParagraph(TPagelette &page, int index, int run)
{
    page.Page().Items(index).TextBlock().Text = QStringLiteral("Edited paragraph, run %1").arg(run);
}

int firstParagraph(TPagelette &page)
{
    for (int i = 0; i < page.Page().Count(); ++i) {
        if (page.Page().Items(i).BlockType == btText)
            return i;
    }
    return -1;
}

// One undo step, one redo and one autosave of a 1,000-block page through the real
// window (production adapters, nothing asked).
void windowSteps(QTextStream &out)
{
    QTemporaryDir scratch;
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath(QStringLiteral("share"))));
    const ProgramFolder folder(scratch.filePath(QStringLiteral("data")));
    folder.seed(ProgramFolder::installedDataFolder(QCoreApplication::applicationDirPath()));
    ProductionServices production(folder, scratch.filePath(QStringLiteral("settings.ini")));
    production.services().settings.writeString(SettingsKeys::tipDay(), QStringLiteral("0"));
    TPagelette source;
    Bench::fillMixedPage(source, kBlocks);
    const QString document = scratch.filePath(QStringLiteral("big.vxf"));
    Documents::SaveDocument(document, source);

    TfrmMain window(production.services());
    window.startUp(document);
    const int paragraph = firstParagraph(window.page());
    const qsizetype pageBytes = ComponentWriter::toBytes(window.page()).size();
    constexpr int kRuns = 15;
    double recordMs = 1e300, undoMs = 1e300, redoMs = 1e300, autosaveMs = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        editParagraph(window.page(), paragraph, run);
        recordMs = qMin(recordMs, Bench::bestMilliseconds(1, [&] { window.pageChanged(QStringLiteral("Edit")); }));
        undoMs = qMin(undoMs, Bench::bestMilliseconds(1, [&] { window.undo(); }));
        redoMs = qMin(redoMs, Bench::bestMilliseconds(1, [&] { window.redo(); }));
        autosaveMs = qMin(autosaveMs, Bench::bestMilliseconds(1, [&] { window.autosaver().saveNow(); }));
    }
    out << QStringLiteral("%1-block page (%2 KB): record a step %3 ms, undo %4 ms, redo %5 ms, autosave %6 ms (best of %7)\n")
               .arg(kBlocks)
               .arg(pageBytes / 1024)
               .arg(recordMs, 0, 'f', 2)
               .arg(undoMs, 0, 'f', 2)
               .arg(redoMs, 0, 'f', 2)
               .arg(autosaveMs, 0, 'f', 2)
               .arg(kRuns);
    window.autosaver().discard();
}

// 1,000 mixed actions on a 1,000-block page: how much the history holds, and whether
// undoing and redoing every step it kept gives back the recorded bytes.
void thousandActions(QTextStream &out)
{
    TPagelette page;
    Bench::fillMixedPage(page, kBlocks);
    PageHistory history;
    history.reset(ComponentWriter::toBytes(page), true);
    QList<QByteArray> recorded{digest(history.page())};
    QRandomGenerator random(42);
    qsizetype peak = 0;
    QElapsedTimer clock;
    clock.start();
    constexpr int kActions = 1000;
    for (int i = 0; i < kActions; ++i) {
        const int count = page.Page().Count();
        const int item = 1 + random.bounded(count - 1);
        switch (i % 4) {
        case 0: page.Page().Items(item).HeadingBlock().Heading = QStringLiteral("Action %1").arg(i); break;
        case 1: page.Page().MoveItem(item, 1 + random.bounded(count - 1)); break;
        case 2: page.Page().remove(item); break;
        default: page.InsertNewItem(item, TBlockType(1 + random.bounded(6))); break;
        }
        const QByteArray bytes = ComponentWriter::toBytes(page);
        // A move onto its own place changes nothing and is no step.
        if (history.record(QStringLiteral("Action %1").arg(i), bytes, item, item))
            recorded.append(digest(bytes));
        peak = qMax(peak, history.memoryUsed());
    }
    const double perAction = clock.nsecsElapsed() / 1e6 / kActions;

    const int steps = int(recorded.size()) - 1;
    const int kept = history.stepCount();
    int mismatches = 0;
    for (int step = steps; step > steps - kept; --step) {
        history.undo();
        mismatches += digest(history.page()) != recorded[step - 1] ? 1 : 0;
    }
    TPagelette oldest;
    const bool readable = Documents::LoadDocumentBytes(history.page(), oldest);
    for (int step = steps - kept + 1; step <= steps; ++step) {
        history.redo();
        mismatches += digest(history.page()) != recorded[step] ? 1 : 0;
    }
    out << QStringLiteral("%1 actions (edit, move, delete, insert in turn; %2 changed the page) on a %3-block page "
                          "of %4 KB: %5 ms each (serialise and record)\n")
               .arg(kActions)
               .arg(steps)
               .arg(kBlocks)
               .arg(history.page().size() / 1024)
               .arg(perAction, 0, 'f', 2);
    out << QStringLiteral("history: %1 steps kept, %2 MB held (peak %3 MB, budget %4 MB); undo and redo of every kept "
                          "step gave the recorded bytes: %5 (%6 mismatches), oldest page readable: %7\n")
               .arg(kept)
               .arg(history.memoryUsed() / 1048576.0, 0, 'f', 1)
               .arg(peak / 1048576.0, 0, 'f', 1)
               .arg(PageHistory::kDefaultBudget / 1048576)
               .arg(mismatches == 0 ? QStringLiteral("yes") : QStringLiteral("no"))
               .arg(mismatches)
               .arg(readable ? QStringLiteral("yes") : QStringLiteral("no"));
}

}

VENDRIX_BENCH("undo: one step and one autosave of a 1,000-block page", windowSteps)
VENDRIX_BENCH("undo: 1,000 actions, memory held by the history", thousandActions)
