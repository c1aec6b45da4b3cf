// Vidarro: a catalogue of films and discs, the people they were lent to, and a black list.
#include "app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(app::kUsage, stdout);
            return 0;
        }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidarro"));
    QApplication::setApplicationVersion(QStringLiteral("1.12"));
    // Ties the windows to the menu entry and its icon on Wayland.
    QApplication::setDesktopFileName(QStringLiteral("org.vidarro.Vidarro"));

    // Qt's own dialogs and context menus speak Russian too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    return app::Run(QApplication::arguments());
}
