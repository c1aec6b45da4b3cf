#pragma once

#include <QString>

#include <vector>

class QSqlDatabase;
class QSqlError;

namespace data {

class CDaoRecordset;

// One connection to the catalogue file, open for the length of one command. Several may be open on the
// same file at once. Errors are thrown as DbError.
class CDaoDatabase {
public:
    CDaoDatabase();
    ~CDaoDatabase();
    CDaoDatabase(const CDaoDatabase&) = delete;
    CDaoDatabase& operator=(const CDaoDatabase&) = delete;

    // Opens an existing catalogue read-write; never creates the file. A relative path is resolved against
    // the working directory.
    void Open(const QString& path);
    bool IsOpen() const { return !m_connection.isEmpty(); }
    // The full path of the open file.
    QString GetName() const { return m_path; }
    void Close();

    // Runs one statement, for the few writes that are not a single record (transactions).
    void Execute(const QString& sql);

    QSqlDatabase Connection() const;
    // The user's text for an engine error on this file.
    [[noreturn]] void Fail(const QString& what, const QSqlError& error) const;

    // Several writes that succeed or fail together. Rolls back unless committed.
    class Transaction {
    public:
        explicit Transaction(CDaoDatabase& db);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void Commit();

    private:
        CDaoDatabase& m_db;
        bool m_open = true;
    };

private:
    friend class CDaoRecordset;
    // Every write statement of the connection passes here first: the day's first one backs the file up.
    void BeforeWrite();
    void Attach(CDaoRecordset* rs);
    void Detach(CDaoRecordset* rs);

    QString m_connection;
    QString m_path;
    bool m_written = false;
    std::vector<CDaoRecordset*> m_recordsets;
};

} // namespace data
