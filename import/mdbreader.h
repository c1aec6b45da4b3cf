#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace import {

// Reads a Jet (.mdb) file through the helper program vidarro-mdbread, which runs libmdb in a process
// of its own: a damaged file that crashes libmdb or makes it loop costs the helper, never the
// caller. A helper that stays silent for the idle timeout is killed. Error texts are Russian and
// name the file. Low level, so false plus a text: CPrevBase and the conversion turn it into data::DbError.
class CMdbReader {
public:
    // The catalogue's table names in the file's own order, system tables included.
    bool ReadTableNames(const QString& path, QStringList* names, QString* error);
    // Every row of the table (its exact stored name), the named columns only, every value as text.
    bool ReadRows(const QString& path, const QString& table, const QStringList& columns, QList<QStringList>* rows,
        QString* error);

    // The column a failed ReadRows() found missing, as asked for; empty after any other outcome.
    const QString& LastMissingColumn() const { return m_missingColumn; }

    // The helper: an explicit path if set, else the one beside the running program, else the one in
    // the build tree. Empty when none exists.
    static QString HelperPath();
    static void SetHelperPath(const QString& path);
    // How long the helper may go without writing anything before it counts as hung.
    static int IdleTimeoutMs();
    static void SetIdleTimeoutMs(int ms);

private:
    enum class Outcome { Ok, NoTable, NoColumn, BinaryColumn, Failed };
    Outcome Run(const QString& path, const QStringList& arguments, quint64 limit, QByteArray* output, QString* detail,
        QString* error);
    QString m_missingColumn;
};

} // namespace import
