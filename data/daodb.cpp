#include "data/daodb.h"

#include "data/backup.h"
#include "data/dberror.h"
#include "data/errortext.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>

namespace data {

namespace {
    QAtomicInt g_connectionCounter;

    // How long a write waits for another process's lock before it fails.
    constexpr int kBusyTimeoutMs = 2000;

} // namespace

CDaoDatabase::CDaoDatabase() = default;

CDaoDatabase::~CDaoDatabase()
{
    Close();
}

void CDaoDatabase::Open(const QString& path)
{
    Close();
    const QFileInfo info(path);
    const QString full = info.absoluteFilePath();
    if (path.isEmpty())
        throw DbError(
            QStringLiteral("Каталог не открыт: при запуске программы файл «%1» не был найден.").arg(kBaseFileName));
    if (!info.exists())
        throw DbError(QStringLiteral("Файл базы «%1» не найден в папке «%2».")
                          .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath())));
    if (!info.isFile())
        throw DbError(QStringLiteral("«%1» не является файлом базы.").arg(full));

    const QString name = QStringLiteral("vidarro-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        // mode=rw: SQLite must never create the file. A URL keeps '#' and '?' in the path harmless.
        db.setDatabaseName(QUrl::fromLocalFile(full).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        if (!db.open()) {
            const QString text = DbErrorMessage(QStringLiteral("Не удалось открыть базу"), full, db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw DbError(text);
        }
        // A file that is not SQLite opens fine and fails only at its first query; an empty file opens as a
        // database without tables.
        QSqlQuery probe(db);
        QString text;
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !probe.next())
            text = DbErrorMessage(QStringLiteral("Не удалось открыть базу"), full, probe.lastError());
        else if (probe.value(0).toInt() == 0)
            text = QStringLiteral("Файл базы «%1» пуст (%2 байт): в нём нет ни одной таблицы.\nВосстановите базу "
                                  "из резервной копии или замените этот файл файлом базы Vidarro.")
                       .arg(QDir::toNativeSeparators(full))
                       .arg(info.size());
        if (!text.isEmpty()) {
            probe = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw DbError(text);
        }
    }
    m_connection = name;
    m_path = full;
    m_written = false;
}

void CDaoDatabase::Close()
{
    if (m_connection.isEmpty())
        return;
    // Closing the database closes whatever record sets are still open on it.
    const auto open = m_recordsets;
    for (CDaoRecordset* rs : open)
        rs->Close();
    m_recordsets.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

QSqlDatabase CDaoDatabase::Connection() const
{
    if (m_connection.isEmpty())
        throw DbError(QStringLiteral("База не открыта."));
    return QSqlDatabase::database(m_connection, false);
}

void CDaoDatabase::Fail(const QString& what, const QSqlError& error) const
{
    throw DbError(DbErrorMessage(what, m_path, error));
}

void CDaoDatabase::BeforeWrite()
{
    if (!m_written && IsOpen()) {
        m_written = true;
        BackupBeforeWrite(m_path);
    }
}

void CDaoDatabase::Execute(const QString& sql)
{
    BeforeWrite();
    QSqlQuery q(Connection());
    if (!q.exec(sql))
        Fail(QStringLiteral("Не удалось сохранить изменения в базе"), q.lastError());
}

void CDaoDatabase::Attach(CDaoRecordset* rs)
{
    m_recordsets.push_back(rs);
}

void CDaoDatabase::Detach(CDaoRecordset* rs)
{
    std::erase(m_recordsets, rs);
}

CDaoDatabase::Transaction::Transaction(CDaoDatabase& db)
    : m_db(db)
{
    // IMMEDIATE takes the write lock at once, so a busy file fails here and not half-way.
    m_db.Execute(QStringLiteral("BEGIN IMMEDIATE"));
}

CDaoDatabase::Transaction::~Transaction()
{
    if (m_open && m_db.IsOpen()) {
        QSqlQuery q(m_db.Connection());
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void CDaoDatabase::Transaction::Commit()
{
    m_db.Execute(QStringLiteral("COMMIT"));
    m_open = false;
}

} // namespace data
