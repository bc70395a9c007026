#pragma once

#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

// Each benchmark file registers functions that measure one thing and print their
// figures; `bench` runs them all (or those whose name contains the first argument).
namespace Bench {

using Function = std::function<void(QTextStream &out)>;
bool add(const char *name, Function function);
int runAll(int argc, char **argv);

// A benchmark that measures whole processes starts the bench executable again as
// "--child NAME ...": the child registered under NAME runs then instead of the
// benchmarks, before any application object exists, and returns the exit code.
using Child = std::function<int(int &argc, char **argv)>;
bool addChild(const char *name, Child child);
// Runs the child named in argv[2]; 2 when there is none of that name.
int runChild(int &argc, char **argv);

// Hands the allocator's spare memory back to the system, so a run that follows pays
// for the memory it touches as a fresh program would. Without it, the allocator's
// adaptive trimming keeps the memory of a small run warm but not that of a larger
// one, and sizes are no longer compared like with like.
void releaseFreeMemory();

// The best wall time of `runs` calls, in milliseconds.
template <class F>
double bestMilliseconds(int runs, F &&f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

}

#define VENDRIX_BENCH(name, function) static const bool benchRegistered_##function = Bench::add(name, function);
