#include "testregistry.h"

#include <QTest>

#include <memory>
#include <vector>

namespace TestRegistry {

namespace {
std::vector<std::pair<const char *, std::function<QObject *()>>> &entries()
{
    static std::vector<std::pair<const char *, std::function<QObject *()>>> list;
    return list;
}
}

bool add(const char *name, std::function<QObject *()> factory)
{
    entries().emplace_back(name, std::move(factory));
    return true;
}

int runAll(int argc, char **argv)
{
    const QByteArray only = qgetenv("VENDRIX_TEST_CLASS");
    int failures = 0;
    for (const auto &[name, factory] : entries()) {
        if (!only.isEmpty() && only != name)
            continue;
        std::unique_ptr<QObject> test(factory());
        // QTest reports an exception that escapes a test function and then throws it
        // again; left to terminate(), it ends in an endless stream of signal reports.
        try {
            failures += QTest::qExec(test.get(), argc, argv);
        } catch (...) {
            ++failures;
        }
    }
    return failures;
}

}
