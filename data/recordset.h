#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QLatin1String>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

struct sqlite3_stmt;

namespace data {

class CDaoDatabase;
struct RecordRef;

// The records of one catalogue table in record order (rowid order), with a current record.
// Reading walks a forward cursor; positioned access by record position or by rowid costs one lookup.
// Writes are single statements: a new record is one INSERT, a change one UPDATE.
class CDaoRecordset {
public:
    explicit CDaoRecordset(CDaoDatabase& db);
    ~CDaoRecordset();
    CDaoRecordset(const CDaoRecordset&) = delete;
    CDaoRecordset& operator=(const CDaoRecordset&) = delete;

    // Opens the table and moves to its first record (or to the end when it is empty).
    // `columns` limits what is read; empty means every field of the table.
    void Open(QLatin1String table, const QStringList& columns = {});
    bool IsOpen() const { return !m_table.isEmpty(); }
    void Close();

    bool IsEOF() const { return m_rowid < 0; }
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    // Moves to the record at a 0-based position in record order; false (and at end) when there is none.
    bool MoveToPosition(int position);
    // Moves to the record with this rowid; false (and at end) when it no longer exists.
    bool MoveToRowId(qint64 rowid);
    // A record a window knows by its position and, when its list gave one, by its rowid, which wins.
    bool MoveToRecord(int position, qint64 rowid) { return rowid >= 0 ? MoveToRowId(rowid) : MoveToPosition(position); }
    // The same, and its fields must still hold what the window read; false (and at end) when not.
    bool MoveToRecord(const RecordRef& ref);
    // MoveToRecord, or RecordGone.
    void MoveToSameRecord(const RecordRef& ref);
    // Number of records in the table.
    int RecordCount();

    qint64 RowId() const { return m_rowid; }
    QString GetFieldValue(QLatin1String field) const;

    void AddNew();
    void Edit();
    void SetFieldValue(QLatin1String field, const QString& value);
    // Stores the new or changed record; a new record becomes the current one. A change that reaches no
    // record (deleted meanwhile, or a table that ignores writes) throws RecordGone.
    void Update();
    // For appending many records in a row (an import): a stored new record does not become the current
    // one, which saves reading it back; the record set stays at end. Off by default.
    void SetAppendOnly(bool appendOnly) { m_appendOnly = appendOnly; }
    // Appends one record straight from UTF-8 texts of `fields`, in that order, without a QString per value:
    // for copying many records (a conversion). Stored as AddNew, SetFieldValue and Update would in
    // append-only mode; the record set stays at end.
    void AppendUtf8(const QStringList& fields, std::span<const QByteArrayView> values);
    // Deletes the current record; MoveNext then goes on with the record after it. RecordGone when no
    // record was deleted.
    void Delete();

private:
    enum class Pending { None, AddNew, Edit };

    void Select(const QString& whereAndOrder, const QVariantList& values);
    void Fetch();
    void RequireCurrent(const char* operation) const;
    QString SelectList() const;
    [[noreturn]] void Fail(const QString& what) const;
    // Stores the pending new record; its rowid.
    qint64 Insert();
    void PrepareInsert(const QStringList& fields);
    // Runs the bound INSERT unless binding failed (rc); the new rowid.
    qint64 StepInsert(int rc);
    QString InsertFailure() const;
    // The INSERT through QSqlQuery, for a driver on another SQLite; the new rowid.
    qint64 ExecQtInsert(const QStringList& values);
    // Every write starts here: the day's backup, then this set's own read is ended.
    void BeginWrite();
    void EndRead();
    // After an append-only insert: at end, MoveNext going on after the new record.
    void StayAtEnd(qint64 rowid);
    void ResetInsert();

    CDaoDatabase& m_db;
    QLatin1String m_table;
    QStringList m_columns;
    QHash<QString, int> m_index;
    QSqlQuery m_query;
    bool m_streaming = false;
    qint64 m_rowid = -1;
    qint64 m_lastRowid = -1; // where MoveNext goes on after a write or a positioned move
    QStringList m_values;
    QVariantList m_stored; // the current record's values as stored, for a write that leaves them as they were
    Pending m_pending = Pending::None;
    QStringList m_changeOrder; // fields set since AddNew or Edit, in the order first set
    QStringList m_changeValues;
    bool m_appendOnly = false;
    // The last INSERT, prepared once for the records that set the same fields: on SQLite's own handle
    // when that is safe, through QSqlQuery otherwise.
    sqlite3_stmt* m_insertStmt = nullptr;
    QSqlQuery m_insert;
    QStringList m_insertFields;
    bool m_insertPrepared = false;
    std::vector<QByteArray> m_insertUtf8;
};

} // namespace data
