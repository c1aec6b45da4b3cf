#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace import {

enum class BaseKind { Missing, Jet, Sqlite, Unknown };

// What the file is, judged by its first bytes, never by its name. Unknown covers folders, devices,
// unreadable and empty files.
BaseKind DetectBaseKind(const QString& path);

// The stored name of a table, as the database engines find one named in a query: exact, else the one that
// differs only in letter case. Empty when there is none.
QString FindTable(const QStringList& tables, QLatin1String name);

// A previous-version base opened for reading only: a Jet (.mdb) file, read through the helper
// program, or an SQLite file. Nothing is ever written to it and no file is ever created.
class CPrevBase {
public:
    // Opens a previous-version base of either kind. Throws data::DbError, a Russian text naming the file,
    // when it is missing, not a database, damaged or unreadable.
    void Open(const QString& path);
    // The file's own order; system tables included; names exactly as stored.
    QStringList TableNames() const;
    // All rows of the table, the named columns only, every value as text (NULL -> ""), in the file's
    // order. `table` is a name exactly as TableNames() gives it; column names are matched ignoring
    // case, as the database engines do. Throws data::DbError when the table or a column is missing or the
    // file is damaged.
    QList<QStringList> ReadTable(const QString& table, const QStringList& columns);

    BaseKind Kind() const { return m_kind; }
    QString Path() const { return m_path; }

private:
    QString m_path;
    BaseKind m_kind = BaseKind::Missing;
    bool m_open = false;
    QStringList m_tables;
};

} // namespace import
