#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

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
    // The same, each row handed to `sink` as it arrives, as UTF-8 texts that live until the call returns:
    // a large table is never held whole, and the caller works while the helper reads. The stream is
    // checked at its end only, so after a failure the rows already handed over are not to be trusted. An
    // exception from the sink stops the helper and passes through.
    using RowSink = std::function<void(std::span<const QByteArrayView> values)>;
    bool ReadRows(
        const QString& path, const QString& table, const QStringList& columns, const RowSink& sink, QString* error);

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
    // Runs the helper; `columns` strings follow each row mark of its stream (< 0: bare strings, each a
    // row of its own).
    Outcome Run(const QString& path, const QStringList& arguments, quint64 limit, int columns, const RowSink& sink,
        QString* detail, QString* error);
    QString m_missingColumn;
};

} // namespace import
