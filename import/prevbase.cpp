#include "prevbase.h"

#include "mdbreader.h"

#include "data/dberror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString Text(const char* source)
{
    return QCoreApplication::translate("import", source);
}

QString DamagedSqliteText(const QString& path)
{
    return Text("Файл «%1» повреждён: его не удаётся прочитать как базу SQLite.").arg(Native(path));
}

// One read-only connection for the length of one call; the file is never created or changed.
class CSqliteConnection {
public:
    explicit CSqliteConnection(const QString& path)
    {
        static int counter = 0;
        m_name = QStringLiteral("vidarro-prevbase-%1").arg(++counter);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
        // A URL, not "file:" + path: '#' or '?' in the path would otherwise lose the mode.
        db.setDatabaseName(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
            + QStringLiteral("?mode=ro"));
        m_open = db.open();
    }
    ~CSqliteConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Q_DISABLE_COPY_MOVE(CSqliteConnection)

    bool IsOpen() const { return m_open; }
    QSqlDatabase Database() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
};

QString Quoted(const QString& identifier)
{
    QString quoted = identifier;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString SqliteValueText(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

bool SqliteTableNames(const QString& path, QStringList* names, QString* error)
{
    CSqliteConnection connection(path);
    if (!connection.IsOpen()) {
        *error = Text("Файл «%1» не удаётся открыть как базу SQLite.").arg(Native(path));
        return false;
    }
    QStringList result;
    {
        QSqlQuery query(connection.Database());
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"))) {
            *error = DamagedSqliteText(path);
            return false;
        }
        while (query.next())
            result.append(query.value(0).toString());
        if (query.lastError().isValid()) {
            *error = DamagedSqliteText(path);
            return false;
        }
    }
    *names = result;
    return true;
}

bool SqliteReadTable(
    const QString& path, const QString& table, const QStringList& columns, QList<QStringList>* rows, QString* error)
{
    CSqliteConnection connection(path);
    if (!connection.IsOpen()) {
        *error = Text("Файл «%1» не удаётся открыть как базу SQLite.").arg(Native(path));
        return false;
    }
    QSqlQuery query(connection.Database());
    query.setForwardOnly(true);

    QStringList stored;
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(table)))) {
        *error = DamagedSqliteText(path);
        return false;
    }
    while (query.next())
        stored.append(query.value(1).toString());
    query.finish();
    if (stored.isEmpty()) {
        *error = Text("Файл «%1» повреждён: у таблицы «%2» не удаётся прочитать поля.").arg(Native(path), table);
        return false;
    }

    QStringList selected;
    for (const QString& column : columns) {
        QString match;
        if (stored.contains(column)) {
            match = column;
        } else {
            for (const QString& name : std::as_const(stored)) {
                if (name.compare(column, Qt::CaseInsensitive) == 0) {
                    match = name;
                    break;
                }
            }
        }
        if (match.isEmpty()) {
            *error = Text("В таблице «%2» базы «%1» нет поля «%3».").arg(Native(path), table, column);
            return false;
        }
        selected.append(Quoted(match));
    }
    const QString list = selected.isEmpty() ? QStringLiteral("1") : selected.join(QStringLiteral(", "));
    const QString select = QStringLiteral("SELECT %1 FROM %2").arg(list, Quoted(table));
    // A table WITHOUT ROWID has no rowid to keep the order by; its own key order is all there is.
    if (!query.exec(select + QStringLiteral(" ORDER BY rowid")) && !query.exec(select)) {
        *error = DamagedSqliteText(path);
        return false;
    }
    QList<QStringList> result;
    const int count = int(columns.size());
    while (query.next()) {
        QStringList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row.append(SqliteValueText(query.value(i)));
        result.append(row);
    }
    if (query.lastError().isValid()) {
        *error = DamagedSqliteText(path);
        return false;
    }
    *rows = result;
    return true;
}

} // namespace

namespace import {

BaseKind DetectBaseKind(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? BaseKind::Unknown : BaseKind::Missing;
    // Never open a FIFO or a device: reading one could block for ever.
    if (!info.isFile())
        return BaseKind::Unknown;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return BaseKind::Unknown;
    const QByteArray head = file.read(20);
    static const QByteArray jetMagic("\x00\x01\x00\x00", 4);
    if (head.size() == 20 && head.startsWith(jetMagic)
        && (head.mid(4) == QByteArray("Standard Jet DB\0", 16) || head.mid(4) == QByteArray("Standard ACE DB\0", 16)))
        return BaseKind::Jet;
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return BaseKind::Sqlite;
    return BaseKind::Unknown;
}

void CPrevBase::Open(const QString& path)
{
    m_path = path;
    m_open = false;
    m_tables.clear();
    m_kind = DetectBaseKind(path);

    QString message;
    const QFileInfo info(path);
    switch (m_kind) {
    case BaseKind::Missing:
        message = Text("Файл «%1» не найден.").arg(Native(path));
        break;
    case BaseKind::Unknown:
        if (info.exists() && info.isDir())
            message = Text("«%1» — папка, а не файл базы.").arg(Native(path));
        else if (!info.exists() || !info.isFile())
            message = Text("«%1» не является файлом базы.").arg(Native(path));
        else if (!info.isReadable() || !QFile(path).open(QIODevice::ReadOnly))
            message = Text("Файл «%1» не удаётся прочитать: нет доступа.").arg(Native(path));
        else if (info.size() == 0)
            message = Text("Файл «%1» пуст: это не база данных.").arg(Native(path));
        else
            message = Text("Файл «%1» не является базой данных.").arg(Native(path));
        break;
    case BaseKind::Jet:
        m_open = CMdbReader().ReadTableNames(path, &m_tables, &message);
        break;
    case BaseKind::Sqlite:
        m_open = SqliteTableNames(path, &m_tables, &message);
        break;
    }
    if (!m_open) {
        m_tables.clear();
        throw data::DbError(message);
    }
}

QString FindTable(const QStringList& tables, QLatin1String name)
{
    if (tables.contains(name))
        return name;
    for (const QString& table : tables)
        if (table.compare(name, Qt::CaseInsensitive) == 0)
            return table;
    return {};
}

QStringList CPrevBase::TableNames() const
{
    return m_tables;
}

QList<QStringList> CPrevBase::ReadTable(const QString& table, const QStringList& columns)
{
    QString message;
    QList<QStringList> rows;
    bool ok = false;
    if (!m_open)
        message = Text("База предыдущей версии не открыта.");
    else if (!m_tables.contains(table))
        message = Text("В базе «%1» нет таблицы «%2».").arg(Native(m_path), table);
    else if (m_kind == BaseKind::Jet)
        ok = CMdbReader().ReadRows(m_path, table, columns, &rows, &message);
    else
        ok = SqliteReadTable(m_path, table, columns, &rows, &message);
    if (!ok)
        throw data::DbError(message);
    // A missing value is the empty text, never a null string: written back, a null string is stored as NULL.
    for (QStringList& row : rows)
        for (QString& value : row)
            if (value.isNull())
                value = QLatin1String("");
    return rows;
}

} // namespace import
