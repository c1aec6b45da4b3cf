#include "testmain.h"

#ifdef VIDARRO_CORE_TEST
#include <QCoreApplication>
using Application = QCoreApplication;
#else
#include <QApplication>
using Application = QApplication;
#endif

std::vector<std::function<int(int, char**)>>& TestClasses()
{
    static std::vector<std::function<int(int, char**)>> classes;
    return classes;
}

int main(int argc, char** argv)
{
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    int failed = 0;
    for (const auto& run : TestClasses())
        failed += run(argc, argv) != 0;
    return failed;
}
