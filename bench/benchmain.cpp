#include "benchregistry.h"

#include <QApplication>

#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace Bench {

namespace {
std::vector<std::pair<const char *, Function>> &entries()
{
    static std::vector<std::pair<const char *, Function>> list;
    return list;
}
}

void releaseFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool add(const char *name, Function function)
{
    entries().emplace_back(name, std::move(function));
    return true;
}

int runAll(int argc, char **argv)
{
    const QString filter = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTextStream out(stdout);
    for (const auto &[name, function] : entries()) {
        if (!filter.isEmpty() && !QString::fromLatin1(name).contains(filter))
            continue;
        out << "== " << name << '\n';
        out.flush();
        function(out);
        out.flush();
    }
    return 0;
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return Bench::runAll(argc, argv);
}
