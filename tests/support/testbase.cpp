#include "testbase.h"

#include "data/schema.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {
// Runs one statement on its own connection, so the program's connections see a finished write.
template <class F> void WithConnection(const QString& path, F&& f)
{
    const QString name = QStringLiteral("test-direct");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qUtf8Printable(path));
        f(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
} // namespace

void TempCatalogue::Insert(const QString& table, const QStringList& fields) const
{
    WithConnection(BasePath(), [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        QStringList names;
        for (int i = 0; i < fields.size(); ++i)
            names << db.record(table).fieldName(i);
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, names.join(u", "), QStringList(fields.size(), QStringLiteral("?")).join(u", ")));
        for (const QString& v : fields)
            q.addBindValue(v);
        if (!q.exec())
            qFatal("insert failed: %s", qUtf8Printable(q.lastError().text()));
    });
}

TempCatalogue::TempCatalogue()
{
    m_ok = m_dir.isValid();
    if (m_ok)
        data::CreateCatalogue(BasePath()); // a failure ends the test with its message
}

TempCatalogue::~TempCatalogue()
{
    if (!m_oldCwd.isEmpty())
        QDir::setCurrent(m_oldCwd);
}

void TempCatalogue::AddFilm(const QString& title, const QString& genre, const QString& director)
{
    AddFilm({ title, director, QStringLiteral("Актёры ") + title, genre, QStringLiteral("5"), QStringLiteral("DVD"),
        QStringLiteral("90 мин"), QStringLiteral("Комментарий ") + title });
}

QList<QStringList> TempCatalogue::Rows(const QString& table) const
{
    QList<QStringList> rows;
    WithConnection(BasePath(), [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)))
            qFatal("select failed: %s", qUtf8Printable(q.lastError().text()));
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << (q.value(i).isNull() ? QStringLiteral("<NULL>") : q.value(i).toString());
            rows << row;
        }
    });
    return rows;
}

void TempCatalogue::Execute(const QString& sql) const
{
    WithConnection(BasePath(), [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            qFatal("statement failed: %s", qUtf8Printable(q.lastError().text()));
    });
}

void TempCatalogue::WriteIni(const QByteArray& text) const
{
    QFile f(IniPath());
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        qFatal("cannot write the settings file");
}

QByteArray TempCatalogue::FileBytes() const
{
    QFile f(BasePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempCatalogue::EnterDir()
{
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
}

QString FixturePath(const QString& name)
{
    return QStringLiteral(VIDARRO_FIXTURES_DIR "/") + name;
}
