// Appending many records through the record layer, as the import does: the INSERT prepared once and run on
// SQLite's own handle, the append-only mode, and what a failed append leaves behind.
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace data;
using namespace Qt::StringLiterals;

namespace {

// Every debtor in record order, a NULL shown as "<NULL>".
QList<QStringList> Debtors(const QString& path)
{
    QList<QStringList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        if (!db.open())
            return rows;
        QSqlQuery q(db);
        q.exec(u"SELECT NAME, NAMEFILM, DATA, METKA FROM DOLGI ORDER BY rowid"_s);
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < 4; ++i)
                row << (q.value(i).isNull() ? u"<NULL>"_s : q.value(i).toString());
            rows << row;
        }
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return rows;
}

bool RawExec(const QString& path, const QString& sql)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(path);
        ok = db.open() && QSqlQuery(db).exec(sql);
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    return ok;
}

QStringList g_warnings;
void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << text;
}

} // namespace

class TestBulkAppend : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void fieldSetsMayChangeBetweenRecords();
    void appendOnlyLeavesTheRecordSetAtEnd();
    void failedAppendKeepsTheRecordSetUsable();
    void editStillChangesTheCurrentRecord();
    void closingReleasesTheFile();

private:
    QTemporaryDir m_dir;
    QString m_base;
};

void TestBulkAppend::init()
{
    m_base = m_dir.filePath(u"BaseFilm-%1.mdb"_s.arg(QString::fromLatin1(QTest::currentTestFunction())));
    QString error;
    QVERIFY2(CreateCatalogue(m_base, &error), qPrintable(error));
    g_warnings.clear();
    qInstallMessageHandler(CollectWarnings);
}

void TestBulkAppend::cleanup()
{
    qInstallMessageHandler(nullptr);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u"; "_s)));
}

void TestBulkAppend::fieldSetsMayChangeBetweenRecords()
{
    {
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Debtors);
        const auto append = [&](const QList<std::pair<QLatin1String, QString>>& fields) {
            rs.AddNew();
            for (const auto& [field, value] : fields)
                rs.SetFieldValue(field, value);
            rs.Update();
        };
        append({ { field::Name, u"Иванов"_s }, { field::NameFilm, u"Брат"_s }, { field::Data, u""_s },
            { field::Metka, u"N"_s } });
        // Fewer fields, then another order: each record gets exactly its own values.
        append({ { field::Name, u"Петров"_s } });
        append({ { field::Metka, u"B"_s }, { field::Name, u"Сидоров"_s } });
        // A field set twice keeps its first place and its last value; a null text is no value at all.
        append({ { field::Name, u"Ёлкин"_s }, { field::Data, QString() }, { field::Name, u"Ёлкин Семён"_s } });
        append({ { field::Name, u"Громов"_s }, { field::NameFilm, u"Сталкер"_s }, { field::Data, u"1 марта"_s },
            { field::Metka, u"C"_s } });
        append({});
    }
    QCOMPARE(Debtors(m_base),
        (QList<QStringList> { { u"Иванов"_s, u"Брат"_s, u""_s, u"N"_s },
            { u"Петров"_s, u"<NULL>"_s, u"<NULL>"_s, u"<NULL>"_s }, { u"Сидоров"_s, u"<NULL>"_s, u"<NULL>"_s, u"B"_s },
            { u"Ёлкин Семён"_s, u"<NULL>"_s, u"<NULL>"_s, u"<NULL>"_s },
            { u"Громов"_s, u"Сталкер"_s, u"1 марта"_s, u"C"_s },
            { u"<NULL>"_s, u"<NULL>"_s, u"<NULL>"_s, u"<NULL>"_s } }));
}

void TestBulkAppend::appendOnlyLeavesTheRecordSetAtEnd()
{
    CDaoDatabase db;
    db.Open(m_base);
    CDaoRecordset rs(db);
    rs.Open(table::Debtors);
    // By default a stored new record is the current one.
    rs.AddNew();
    rs.SetFieldValue(field::Name, u"Первый"_s);
    rs.Update();
    QVERIFY(!rs.IsEOF());
    QCOMPARE(rs.GetFieldValue(field::Name), u"Первый"_s);

    rs.SetAppendOnly(true);
    for (int i = 2; i <= 3; ++i) {
        rs.AddNew();
        rs.SetFieldValue(field::Name, u"Запись %1"_s.arg(i));
        rs.Update();
        QVERIFY(rs.IsEOF());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.GetFieldValue(field::Name));
    }
    // Walking on from the end finds nothing after the last append; from the start, everything in order.
    rs.MoveNext();
    QVERIFY(rs.IsEOF());
    rs.MoveFirst();
    QStringList names;
    for (; !rs.IsEOF(); rs.MoveNext())
        names << rs.GetFieldValue(field::Name);
    QCOMPARE(names, (QStringList { u"Первый"_s, u"Запись 2"_s, u"Запись 3"_s }));
}

void TestBulkAppend::failedAppendKeepsTheRecordSetUsable()
{
    QVERIFY(RawExec(m_base,
        u"CREATE TRIGGER no_x BEFORE INSERT ON DOLGI WHEN NEW.METKA = 'X' "
        "BEGIN SELECT RAISE(ABORT, 'метка X запрещена'); END"_s));
    {
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Debtors);
        rs.SetAppendOnly(true);
        for (const QString& mark : { u"N"_s, u"X"_s, u"B"_s }) {
            rs.AddNew();
            rs.SetFieldValue(field::Name, mark);
            rs.SetFieldValue(field::Metka, mark);
            try {
                rs.Update();
                QVERIFY(mark != u"X"_s);
            } catch (const DbError& e) {
                QCOMPARE(mark, u"X"_s);
                QVERIFY2(e.Text().contains(u"метка X запрещена"_s) && e.Text().contains(u"DOLGI"_s)
                        && e.Text().contains(m_base),
                    qPrintable(e.Text()));
            }
        }
    }
    QCOMPARE(Debtors(m_base),
        (QList<QStringList> {
            { u"N"_s, u"<NULL>"_s, u"<NULL>"_s, u"N"_s }, { u"B"_s, u"<NULL>"_s, u"<NULL>"_s, u"B"_s } }));
}

void TestBulkAppend::editStillChangesTheCurrentRecord()
{
    CDaoDatabase db;
    db.Open(m_base);
    CDaoRecordset rs(db);
    rs.Open(table::Debtors);
    rs.AddNew();
    rs.SetFieldValue(field::Name, u"Иванов"_s);
    rs.SetFieldValue(field::Metka, u"N"_s);
    rs.Update();
    rs.Edit();
    rs.SetFieldValue(field::Metka, u"C"_s);
    rs.SetFieldValue(field::Data, u"n/d"_s);
    rs.SetFieldValue(field::Metka, u"B"_s);
    rs.Update();
    QCOMPARE(rs.GetFieldValue(field::Metka), u"B"_s);
    QCOMPARE(rs.GetFieldValue(field::Data), u"n/d"_s);
    db.Close();
    QCOMPARE(Debtors(m_base), (QList<QStringList> { { u"Иванов"_s, u"<NULL>"_s, u"n/d"_s, u"B"_s } }));
}

void TestBulkAppend::closingReleasesTheFile()
{
    // A prepared append must neither keep the connection in use nor hold the file after closing.
    CDaoDatabase db;
    db.Open(m_base);
    CDaoRecordset rs(db);
    rs.Open(table::Debtors);
    {
        CDaoDatabase::Transaction tx(db);
        rs.AddNew();
        rs.SetFieldValue(field::Name, u"Иванов"_s);
        rs.Update();
        tx.Commit();
    }
    QVERIFY(RawExec(m_base, u"BEGIN IMMEDIATE"_s));
    db.Close();
    QVERIFY(!rs.IsOpen());
    QVERIFY(RawExec(m_base, u"DELETE FROM DOLGI"_s));
    QVERIFY(Debtors(m_base).isEmpty());
}

QTEST_GUILESS_MAIN(TestBulkAppend)
#include "test_bulkappend.moc"
