#pragma once

// Previous-version bases (the Jet fixtures as jet/MANIFEST.md lists them, NULL as ""; SQLite ones), file helpers.
#include "data/dberror.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <functional>

namespace prev {

using namespace Qt::StringLiterals;
using Rows = QList<QStringList>;

// One row (or list) written as its values separated by '|'.
inline QStringList R(QStringView values)
{
    return values.toString().split(u'|');
}

inline Rows Generate(int count, QStringList (*rule)(int))
{
    Rows rows;
    for (int i = 1; i <= count; ++i)
        rows << rule(i);
    return rows;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QString JetPath(const QString& file)
{
    return QStringLiteral(VIDARRO_FIXTURES_DIR "/jet/") + file;
}

struct STable {
    QString file, name;
    QStringList columns;
    int count = 0;
    QMap<int, QStringList> rows; // by number; samples only for the large file
};

// Every table the manifest lists, a file's tables in its own order.
inline const QList<STable>& JetTables()
{
    static const QList<STable> tables = [] {
        QList<STable> all;
        QString file;
        for (const QString& line : QString::fromUtf8(ReadBytes(JetPath(u"MANIFEST.md"_s))).split(u'\n')) {
            if (line.startsWith(u"### `"_s)) {
                file = line.section(u'`', 1, 1);
            } else if (line.startsWith(u"- `"_s) && line.contains(u"columns"_s)) {
                all.append({ file, line.section(u'`', 1, 1), line.section(u" — "_s, 1, 1).mid(8).split(u", "_s),
                    line.section(u"**"_s, 1, 1).section(u' ', 0, 0).toInt(), {} });
            } else if (const qsizetype colon = line.indexOf(u": ["_s); colon > 0 && !all.isEmpty()) {
                const QJsonDocument row = QJsonDocument::fromJson(line.mid(colon + 2).toUtf8());
                QStringList values;
                for (const QJsonValue& v : row.array())
                    values << (v.isDouble() ? QString::number(v.toInt()) : v.toString());
                if (row.isArray()) // a row shortened in the text is no valid array
                    all.last().rows.insert(line.trimmed().section(u':', 0, 0).toInt(), values);
            }
        }
        return all;
    }();
    return tables;
}

// The rows of one table of a small fixture; none when the file has no such table.
inline Rows TableRows(const QString& file, const QString& table)
{
    for (const STable& t : JetTables())
        if (t.file == file && t.name == table)
            return t.rows.values();
    return {};
}

// What MakeSqliteBase's film i and debtor j read back as.
inline QStringList SqliteFilm(int i)
{
    return { u"Фильм %1"_s.arg(i), i % 3 == 2 ? QString() : u"Режиссёр"_s, u"Роли\r\nвторая строка"_s, u"Драма"_s,
        QString::number(i % 11), u"DVD"_s, QString(), i % 3 == 0 ? u"%1.5"_s.arg(i) : u"n/d"_s };
}

inline QStringList SqliteDebtor(int j)
{
    return { u"Должник %1"_s.arg(j), u"Фильм %1"_s.arg(j), j % 2 ? u"01.02.2003"_s : QString() };
}

// Made anew: DOLGI first (with an AUTOINCREMENT key), so the file's order is not alphabetical.
inline bool MakeSqliteBase(const QString& path, const QString& filmTable, int films, int debtors)
{
    QFile::remove(path);
    const QString numbers
        = u"WITH RECURSIVE n(i) AS (SELECT 1 WHERE %1 > 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "_s;
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"make-prev-sqlite"_s);
    db.setDatabaseName(path);
    QSqlQuery q(db);
    const bool ok = db.open()
        && q.exec(u"CREATE TABLE DOLGI (id INTEGER PRIMARY KEY AUTOINCREMENT, NAME TEXT, NAMEFILM TEXT, DATA TEXT)"_s)
        && q.exec(u"CREATE TABLE \"%1\" (NAMEFILM TEXT, REZISSER TEXT, ROLI TEXT, ZANR TEXT, REITING INTEGER, "
                  "NOSITEL TEXT, PRODOL TEXT, KOMENTAR TEXT)"_s.arg(filmTable))
        && q.exec(numbers.arg(films)
            + u"INSERT INTO \"%1\" SELECT 'Фильм ' || i, CASE i % 3 WHEN 2 THEN NULL ELSE 'Режиссёр' END, "
              "'Роли' || char(13, 10) || 'вторая строка', 'Драма', i % 11, 'DVD', '', "
              "CASE i % 3 WHEN 0 THEN i + 0.5 ELSE 'n/d' END FROM n"_s.arg(filmTable))
        && q.exec(numbers.arg(debtors)
            + u"INSERT INTO DOLGI (NAME, NAMEFILM, DATA) SELECT 'Должник ' || i, 'Фильм ' || i, "
              "CASE i % 2 WHEN 1 THEN '01.02.2003' END FROM n"_s);
    q = QSqlQuery();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"make-prev-sqlite"_s);
    return ok;
}

// The message a call throws; empty when it succeeds.
inline QString ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const data::DbError& e) {
        return e.Text();
    }
    return {};
}

} // namespace prev
