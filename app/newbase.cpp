// vidarro-newbase FOLDER: creates an empty catalogue "BaseFilm.mdb" in FOLDER.
// vidarro-newbase --from OLD.mdb FOLDER: converts a catalogue of the Windows version into one.
#include "data/dberror.h"
#include "data/filenames.h"
#include "data/schema.h"
#include "import/jetconvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int ConvertFrom(const QString& oldFile, const QString& folder)
{
    QTextStream err(stderr);
    const data::FoundFile existing = data::FindFileIgnoringCase(folder, data::kBaseFileName);
    if (!existing.path.isEmpty() || !existing.ambiguous.isEmpty()) {
        const QString name
            = existing.path.isEmpty() ? existing.ambiguous.first() : QDir(folder).relativeFilePath(existing.path);
        err << QStringLiteral("В папке «%1» уже есть каталог «%2»; он не будет перезаписан. Чтобы открыть его, "
                              "запустите Vidarro в этой папке.\n")
                   .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()), name);
        return 1;
    }
    import::ConversionResult result;
    try {
        const import::JetFile file = import::InspectJetFile(oldFile);
        if (file.kind == import::JetCatalogueKind::None) {
            err << QStringLiteral(
                "Файл «%1» — база Microsoft Access, но не каталог фильмов: в ней нет таблицы KINVORA11.\n")
                       .arg(QDir::toNativeSeparators(oldFile));
            return 1;
        }
        result = import::ConvertInto(file, folder);
    } catch (const data::DbError& e) {
        err << import::ConversionFailure(e.Text()) << '\n';
        return 1;
    }
    QTextStream(stdout) << import::ConversionReport(result) << '\n'
                        << QStringLiteral("Исходный файл «%1» не изменён.\n").arg(QDir::toNativeSeparators(oldFile));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--from"))
        return ConvertFrom(args[2], args[3]);
    if (args.size() != 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        err << "Использование: vidarro-newbase ПАПКА\n"
               "       vidarro-newbase --from СТАРЫЙ.mdb ПАПКА\n"
               "Создаёт в папке пустой каталог «BaseFilm.mdb» или, с --from, переводит в него каталог\n"
               "Windows-версии программы (база Microsoft Access). Существующий файл не перезаписывается.\n";
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
