// Vidarro: a catalogue of films and discs, the people they were lent to, and a black list.
#include "app/vidarrodlg.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidarro"));
    QApplication::setApplicationVersion(QStringLiteral("1.12"));

    // Qt's own dialogs and context menus speak Russian too.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    CVidarroDlg dlg;
    dlg.DoModal();
    return 0;
}
