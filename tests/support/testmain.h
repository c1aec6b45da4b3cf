#pragma once

// One test program per area: each file registers its test class with REGISTER_TEST, and main() runs them all.
#include <QTest>

#include <functional>
#include <vector>

std::vector<std::function<int(int, char**)>>& TestClasses();

#define REGISTER_TEST(Class)                                                                                           \
    static const bool Class##Registered = (TestClasses().push_back([](int argc, char** argv) {                         \
        Class test;                                                                                                    \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }),                                                                                                                \
        true);
