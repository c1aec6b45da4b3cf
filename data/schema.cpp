#include "data/schema.h"

#include "data/daodb.h"
#include "data/dberror.h"
#include "data/errortext.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace data {

std::span<const QLatin1String> FieldsOf(QLatin1String table)
{
    for (const TableDef& def : kCatalogueTables)
        if (def.name == table)
            return def.fields;
    return {};
}

QStringList FieldList(std::span<const QLatin1String> fields)
{
    QStringList list;
    for (QLatin1String f : fields)
        list << f;
    return list;
}

void CreateCatalogue(const QString& filePath)
{
    const QFileInfo info(filePath);
    const QString full = info.absoluteFilePath();
    if (info.exists())
        throw DbError(QStringLiteral("Файл «%1» уже существует; он не будет перезаписан.").arg(full));
    if (!info.absoluteDir().exists())
        throw DbError(QStringLiteral("Папка «%1» не существует.").arg(info.absolutePath()));

    const QString connection = QStringLiteral("vidarro-create");
    bool ok = false;
    QSqlError error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(full);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("BEGIN"));
            for (const TableDef& def : kCatalogueTables) {
                QStringList columns;
                for (QLatin1String f : def.fields)
                    columns << QStringLiteral("%1 TEXT").arg(f);
                ok = ok
                    && q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(def.name, columns.join(QLatin1String(", "))));
            }
            ok = ok && q.exec(QStringLiteral("COMMIT"));
            if (!ok)
                error = q.lastError();
            q = QSqlQuery();
            db.close();
        } else {
            error = db.lastError();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok) {
        QFile::remove(full);
        throw DbError(DbErrorMessage(QStringLiteral("Не удалось создать базу"), full, error));
    }
}

} // namespace data
