#include "data/recordset.h"

#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordref.h"
#include "data/schema.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

namespace data {

namespace {
    QString Quoted(const QString& name)
    {
        return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    }

    // The connection's own SQLite handle, for appends without the per-value cost of QSqlQuery's binding:
    // only when Qt's driver runs on the very SQLite this program links (same build), else null. Tests set
    // VIDARRO_QTSQL_INSERT to take the QSqlQuery path that other builds take.
    sqlite3* NativeHandle(const QSqlDatabase& db)
    {
        const QVariant handle = db.driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0
            || qEnvironmentVariableIsSet("VIDARRO_QTSQL_INSERT"))
            return nullptr;
        static int sameLibrary = -1;
        if (sameLibrary < 0) {
            QSqlQuery q(db);
            sameLibrary = q.exec(QStringLiteral("SELECT sqlite_source_id()")) && q.next()
                && q.value(0).toString() == QLatin1String(sqlite3_sourceid());
        }
        return sameLibrary ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    }

    // The same text, a null text (NULL) and an empty one told apart.
    bool AsRead(const QString& value, const QString& read)
    {
        return value == read && value.isNull() == read.isNull();
    }

    QSqlError NativeError(sqlite3* handle)
    {
        return QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(handle)), QSqlError::StatementError,
            QString::number(sqlite3_errcode(handle)));
    }
} // namespace

CDaoRecordset::CDaoRecordset(CDaoDatabase& db)
    : m_db(db)
{
}

CDaoRecordset::~CDaoRecordset()
{
    Close();
}

void CDaoRecordset::Open(QLatin1String table, const QStringList& columns)
{
    Close();
    QSqlQuery info(m_db.Connection());
    if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(table))))
        m_db.Fail(QStringLiteral("Не удалось прочитать таблицу %1 базы").arg(table), info.lastError());
    QStringList present;
    while (info.next())
        present << info.value(1).toString().toUpper();
    if (present.isEmpty())
        throw DbError(QStringLiteral("В базе «%1» нет таблицы %2.").arg(m_db.GetName(), table));

    QStringList wanted = columns.isEmpty() ? FieldList(FieldsOf(table)) : columns;
    if (wanted.isEmpty())
        wanted = present;
    QStringList required = wanted;
    for (QLatin1String f : FieldsOf(table))
        if (!required.contains(f))
            required << f;
    for (const QString& f : required)
        if (!present.contains(f.toUpper()))
            throw DbError(QStringLiteral("В таблице %1 базы «%2» нет поля %3.").arg(table, m_db.GetName(), f));

    m_table = table;
    m_columns = wanted;
    m_index.clear();
    for (int i = 0; i < m_columns.size(); ++i)
        m_index.insert(m_columns[i], i + 1);
    m_db.Attach(this);
    MoveFirst();
}

void CDaoRecordset::Close()
{
    if (m_table.isEmpty())
        return;
    m_query = QSqlQuery();
    ResetInsert();
    m_streaming = false;
    m_rowid = -1;
    m_lastRowid = -1;
    m_values.clear();
    m_pending = Pending::None;
    m_db.Detach(this);
    m_table = QLatin1String();
}

QString CDaoRecordset::SelectList() const
{
    QString list = QStringLiteral("rowid");
    for (const QString& c : m_columns)
        list += QLatin1String(", ") + Quoted(c);
    return list;
}

void CDaoRecordset::Select(const QString& whereAndOrder, const QVariantList& values)
{
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Набор записей не открыт."));
    m_query = QSqlQuery(m_db.Connection());
    m_query.setForwardOnly(true);
    if (!m_query.prepare(QStringLiteral("SELECT %1 FROM %2 %3").arg(SelectList(), Quoted(m_table), whereAndOrder)))
        m_db.Fail(QStringLiteral("Не удалось прочитать таблицу %1 базы").arg(m_table), m_query.lastError());
    for (const QVariant& v : values)
        m_query.addBindValue(v);
    if (!m_query.exec())
        m_db.Fail(QStringLiteral("Не удалось прочитать таблицу %1 базы").arg(m_table), m_query.lastError());
    m_streaming = true;
    Fetch();
}

void CDaoRecordset::Fetch()
{
    if (m_query.next()) {
        m_rowid = m_query.value(0).toLongLong();
        m_lastRowid = m_rowid;
        m_values.resize(m_columns.size());
        m_stored.resize(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i) {
            m_stored[i] = m_query.value(i + 1);
            m_values[i] = m_stored[i].toString();
        }
        return;
    }
    const QSqlError error = m_query.lastError();
    EndRead();
    m_rowid = -1;
    m_values.clear();
    if (error.isValid())
        m_db.Fail(QStringLiteral("Не удалось прочитать таблицу %1 базы").arg(m_table), error);
}

void CDaoRecordset::MoveFirst()
{
    m_lastRowid = -1;
    Select(QStringLiteral("ORDER BY rowid"), {});
}

void CDaoRecordset::MoveNext()
{
    if (m_streaming) {
        Fetch();
        return;
    }
    Select(QStringLiteral("WHERE rowid > ? ORDER BY rowid"), { m_lastRowid });
}

void CDaoRecordset::MoveLast()
{
    Select(QStringLiteral("ORDER BY rowid DESC LIMIT 1"), {});
    EndRead();
}

bool CDaoRecordset::MoveToPosition(int position)
{
    if (position < 0) {
        EndRead();
        m_rowid = -1;
        m_values.clear();
        return false;
    }
    Select(QStringLiteral("ORDER BY rowid LIMIT 1 OFFSET ?"), { position });
    EndRead();
    return !IsEOF();
}

bool CDaoRecordset::MoveToRowId(qint64 rowid)
{
    Select(QStringLiteral("WHERE rowid = ?"), { rowid });
    EndRead();
    if (IsEOF())
        m_lastRowid = rowid;
    return !IsEOF();
}

bool CDaoRecordset::MoveToRecord(const RecordRef& ref)
{
    if (!MoveToRecord(ref.position, ref.rowid))
        return false;
    for (size_t i = 0; i < ref.fields.size() && i < size_t(ref.values.size()); ++i) {
        if (GetFieldValue(ref.fields[i]) != ref.values[qsizetype(i)]) {
            m_rowid = -1;
            m_values.clear();
            return false;
        }
    }
    return true;
}

void CDaoRecordset::MoveToSameRecord(const RecordRef& ref)
{
    if (!MoveToRecord(ref))
        throw RecordGone();
}

int CDaoRecordset::RecordCount()
{
    QSqlQuery q(m_db.Connection());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(Quoted(m_table))) || !q.next())
        m_db.Fail(QStringLiteral("Не удалось прочитать таблицу %1 базы").arg(m_table), q.lastError());
    return q.value(0).toInt();
}

void CDaoRecordset::RequireCurrent(const char* operation) const
{
    if (IsEOF())
        throw DbError(QStringLiteral("Нет текущей записи (%1, таблица %2 базы «%3»).")
                          .arg(QString::fromUtf8(operation), m_table, m_db.GetName()));
}

QString CDaoRecordset::GetFieldValue(QLatin1String field) const
{
    RequireCurrent("чтение поля");
    // Called for every field of every row: comparing with the few names costs less than hashing a
    // converted copy of the name each time.
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        if (m_columns[i] == field)
            return m_values.at(i);
    throw DbError(QStringLiteral("В таблице %1 базы «%2» нет поля %3.").arg(m_table, m_db.GetName(), field));
}

void CDaoRecordset::AddNew()
{
    m_pending = Pending::AddNew;
    m_changeOrder.clear();
    m_changeValues.clear();
}

void CDaoRecordset::Edit()
{
    RequireCurrent("изменение");
    m_pending = Pending::Edit;
    m_changeOrder.clear();
    m_changeValues.clear();
}

void CDaoRecordset::SetFieldValue(QLatin1String field, const QString& value)
{
    if (m_pending == Pending::None)
        throw DbError(QStringLiteral("Запись не редактируется (таблица %1).").arg(m_table));
    bool known = FieldsOf(m_table).empty();
    for (QLatin1String f : FieldsOf(m_table))
        known = known || f == field;
    if (!known)
        throw DbError(QStringLiteral("В таблице %1 базы «%2» нет поля %3.").arg(m_table, m_db.GetName(), field));
    // A field set twice keeps its place and takes the last value.
    for (qsizetype i = 0; i < m_changeOrder.size(); ++i) {
        if (m_changeOrder[i] == field) {
            m_changeValues[i] = value;
            return;
        }
    }
    m_changeOrder << field;
    m_changeValues << value;
}

void CDaoRecordset::ResetInsert()
{
    if (m_insertStmt) {
        sqlite3_finalize(m_insertStmt);
        m_insertStmt = nullptr;
    }
    m_insert = QSqlQuery();
    m_insertFields.clear();
    m_insertPrepared = false;
}

void CDaoRecordset::PrepareInsert(const QStringList& fields)
{
    if (m_insertPrepared && m_insertFields == fields)
        return;
    ResetInsert();
    const QSqlDatabase db = m_db.Connection();
    sqlite3* handle = NativeHandle(db);
    QStringList names;
    QStringList marks;
    for (const QString& f : fields) {
        names << Quoted(f);
        marks << QStringLiteral("?");
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quoted(m_table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(Quoted(m_table), names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    if (handle) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(handle, utf8.constData(), int(utf8.size()), &m_insertStmt, nullptr) != SQLITE_OK) {
            const QSqlError error = NativeError(handle);
            ResetInsert();
            m_db.Fail(InsertFailure(), error);
        }
    } else {
        m_insert = QSqlQuery(db);
        if (!m_insert.prepare(sql))
            m_db.Fail(InsertFailure(), m_insert.lastError());
    }
    m_insertFields = fields;
    m_insertPrepared = true;
}

QString CDaoRecordset::InsertFailure() const
{
    return QStringLiteral("Не удалось добавить запись в таблицу %1 базы").arg(m_table);
}

qint64 CDaoRecordset::Insert()
{
    PrepareInsert(m_changeOrder);
    if (!m_insertStmt)
        return ExecQtInsert(m_changeValues);

    // The texts stay alive until the statement has run; a null text is stored as NULL, as QtSql does.
    m_insertUtf8.resize(m_changeValues.size());
    int rc = SQLITE_OK;
    for (int i = 0; i < m_changeValues.size() && rc == SQLITE_OK; ++i) {
        if (m_changeValues[i].isNull()) {
            rc = sqlite3_bind_null(m_insertStmt, i + 1);
            continue;
        }
        m_insertUtf8[i] = m_changeValues[i].toUtf8();
        rc = sqlite3_bind_text(
            m_insertStmt, i + 1, m_insertUtf8[i].constData(), int(m_insertUtf8[i].size()), SQLITE_STATIC);
    }
    return StepInsert(rc);
}

qint64 CDaoRecordset::StepInsert(int rc)
{
    sqlite3* handle = sqlite3_db_handle(m_insertStmt);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(m_insertStmt);
    const QSqlError error = rc == SQLITE_DONE ? QSqlError() : NativeError(handle);
    sqlite3_reset(m_insertStmt);
    if (rc != SQLITE_DONE)
        m_db.Fail(InsertFailure(), error);
    return sqlite3_last_insert_rowid(handle);
}

qint64 CDaoRecordset::ExecQtInsert(const QStringList& values)
{
    for (int i = 0; i < values.size(); ++i)
        m_insert.bindValue(i, values[i]);
    if (!m_insert.exec())
        m_db.Fail(InsertFailure(), m_insert.lastError());
    return m_insert.lastInsertId().toLongLong();
}

void CDaoRecordset::AppendUtf8(const QStringList& fields, std::span<const QByteArrayView> values)
{
    if (qsizetype(values.size()) != fields.size())
        throw DbError(QStringLiteral("Неверное число полей новой записи (таблица %1).").arg(m_table));
    BeginWrite();
    PrepareInsert(fields);
    if (!m_insertStmt) {
        QStringList texts;
        for (const QByteArrayView value : values)
            texts << (value.isEmpty() ? QLatin1String("") : QString::fromUtf8(value)); // a null text would be NULL
        StayAtEnd(ExecQtInsert(texts));
        return;
    }
    // Never a null pointer: that would store NULL where the text is empty.
    int rc = SQLITE_OK;
    for (size_t i = 0; i < values.size() && rc == SQLITE_OK; ++i)
        rc = sqlite3_bind_text(m_insertStmt, int(i) + 1, values[i].isEmpty() ? "" : values[i].data(),
            int(values[i].size()), SQLITE_STATIC);
    StayAtEnd(StepInsert(rc));
}

void CDaoRecordset::BeginWrite()
{
    m_db.BeforeWrite();
    EndRead(); // a write must not meet this connection's own unfinished read
}

void CDaoRecordset::EndRead()
{
    m_query.finish();
    m_streaming = false;
}

void CDaoRecordset::StayAtEnd(qint64 rowid)
{
    m_rowid = -1;
    m_lastRowid = rowid;
    m_values.clear();
}

void CDaoRecordset::Update()
{
    const Pending pending = m_pending;
    m_pending = Pending::None;
    if (pending == Pending::None)
        throw DbError(QStringLiteral("Нет новой или изменённой записи (таблица %1).").arg(m_table));
    BeginWrite();

    if (pending == Pending::AddNew) {
        const qint64 rowid = Insert();
        if (m_appendOnly)
            StayAtEnd(rowid);
        else
            MoveToRowId(rowid);
        return;
    }

    QSqlQuery q(m_db.Connection());
    if (m_changeOrder.isEmpty())
        return;
    QStringList sets;
    for (const QString& f : m_changeOrder)
        sets << Quoted(f) + QStringLiteral(" = ?");
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(Quoted(m_table), sets.join(QLatin1String(", "))));
    // A value given back as it was read keeps its stored type and bytes: a blob or a number shown as text
    // must not turn into that text.
    for (qsizetype i = 0; i < m_changeOrder.size(); ++i) {
        const QString& v = m_changeValues[i];
        const int at = m_index.value(m_changeOrder[i]) - 1;
        q.addBindValue(at >= 0 && AsRead(v, m_values[at]) ? m_stored[at] : QVariant(v));
    }
    q.addBindValue(m_rowid);
    if (!q.exec())
        m_db.Fail(QStringLiteral("Не удалось изменить запись в таблице %1 базы").arg(m_table), q.lastError());
    if (q.numRowsAffected() != 1)
        throw RecordGone();
    for (qsizetype i = 0; i < m_changeOrder.size(); ++i) {
        const auto it = m_index.constFind(m_changeOrder[i]);
        if (it != m_index.cend() && !AsRead(m_changeValues[i], m_values[it.value() - 1])) {
            m_values[it.value() - 1] = m_changeValues[i];
            m_stored[it.value() - 1] = m_changeValues[i];
        }
    }
}

void CDaoRecordset::Delete()
{
    RequireCurrent("удаление");
    BeginWrite();
    QSqlQuery q(m_db.Connection());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(Quoted(m_table)));
    q.addBindValue(m_rowid);
    if (!q.exec())
        m_db.Fail(QStringLiteral("Не удалось удалить запись из таблицы %1 базы").arg(m_table), q.lastError());
    if (q.numRowsAffected() != 1)
        throw RecordGone();
    m_lastRowid = m_rowid;
    m_rowid = -1;
    m_values.clear();
}

} // namespace data
