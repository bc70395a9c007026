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
std::vector<std::pair<const char *, Child>> &children()
{
    static std::vector<std::pair<const char *, Child>> list;
    return list;
}
}

bool addChild(const char *name, Child child)
{
    children().emplace_back(name, std::move(child));
    return true;
}

int runChild(int &argc, char **argv)
{
    for (const auto &[name, child] : children()) {
        if (argc > 2 && qstrcmp(argv[2], name) == 0)
            return child(argc, argv);
    }
    return 2;
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
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return Bench::runChild(argc, argv);
    QApplication app(argc, argv);
    return Bench::runAll(argc, argv);
}
