#pragma once

#include <QObject>

#include <functional>

// One test executable per source folder: each test class registers itself and the
// shared main() runs them all (or only the one named by VENDRIX_TEST_CLASS).
namespace TestRegistry {
bool add(const char *name, std::function<QObject *()> factory);
int runAll(int argc, char **argv);
}

#define VENDRIX_TEST(Class) \
    static const bool Class##Registered = TestRegistry::add(#Class, [] { return new Class; });
