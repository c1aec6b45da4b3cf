// vidarro-newbase FOLDER: creates an empty catalogue "BaseFilm.mdb" in FOLDER.
#include "data/dberror.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        err << "Использование: vidarro-newbase ПАПКА\n"
               "Создаёт в папке пустой каталог «BaseFilm.mdb». Существующий файл не перезаписывается.\n";
        return args.size() == 2 ? 0 : 2;
    }
    const QString path = QDir(args[1]).filePath(data::kBaseFileName);
    try {
        data::CreateCatalogue(path);
    } catch (const data::DbError& e) {
        err << e.Text() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Создан пустой каталог: "
                        << QDir::cleanPath(QDir(args[1]).absoluteFilePath(data::kBaseFileName)) << '\n';
    return 0;
}
