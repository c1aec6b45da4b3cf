// The record layer: record order, appends, changes and deletes, transactions, errors that change nothing.
#include "prevfixtures.h"
#include "testmain.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"

#include <QTemporaryDir>

#include <memory>

using namespace data;
using namespace data::field;
using namespace Qt::StringLiterals;
using prev::ErrorOf;

static void Append(CDaoRecordset& rs, const QList<std::pair<QLatin1String, QString>>& fields)
{
    rs.AddNew();
    for (const auto& [field, value] : fields)
        rs.SetFieldValue(field, value);
    rs.Update();
}

// One column in record order, NULL as "<NULL>", read as another program would.
static QStringList Column(const QString& path, const QString& what = u"NAMEFILM FROM KINVORA11"_s)
{
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(path);
        for (QSqlQuery q(db.open() ? u"SELECT %1 ORDER BY rowid"_s.arg(what) : QString(), db); q.next();)
            values << (q.value(0).isNull() ? u"<NULL>"_s : q.value(0).toString());
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    return values;
}

static QStringList g_warnings;

class TestRecordLayer : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_base;
    CDaoDatabase m_db;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        CreateCatalogue(m_base = m_dir->filePath(u"BaseFilm.mdb"_s));
        m_db.Open(m_base);
        g_warnings.clear(); // a statement or connection left in use shows as a QtSql warning
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg || type == QtCriticalMsg)
                g_warnings << text;
        });
    }
    void cleanup()
    {
        m_db.Close();
        qunsetenv("VIDARRO_QTSQL_INSERT");
        qInstallMessageHandler(nullptr);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u"; "_s)));
    }

    void walksChangesAndDeletesInRecordOrder()
    {
        CDaoRecordset rs(m_db);
        rs.Open(table::Films);
        QVERIFY(rs.IsEOF() && !rs.MoveToPosition(0));
        QVERIFY(!ErrorOf([&] { rs.GetFieldValue(NameFilm); }).isEmpty() && !ErrorOf([&] { rs.Edit(); }).isEmpty());
        for (const QString& t : u"A B A C D"_s.split(u' '))
            Append(rs, { { NameFilm, t } });
        QVERIFY(rs.MoveToPosition(2)); // the second "A"
        rs.Edit();
        rs.SetFieldValue(NameFilm, u"A2"_s);
        rs.Update();
        QCOMPARE(Column(m_base), u"A B A2 C D"_s.split(u' '));
        // After a delete the next record follows and later positions move down.
        QVERIFY(rs.MoveToPosition(1));
        rs.Delete();
        rs.MoveNext();
        QCOMPARE(rs.GetFieldValue(NameFilm), u"A2"_s);
        QVERIFY(rs.MoveToPosition(2));
        QCOMPARE(rs.GetFieldValue(NameFilm), u"C"_s);
        QVERIFY(!rs.MoveToPosition(4) && !rs.MoveToPosition(-1));
        // A rowid that is gone is no record; the walk goes on after it.
        QVERIFY(rs.MoveToRowId(4) && !rs.MoveToRowId(2) && rs.IsEOF());
        rs.MoveNext();
        QCOMPARE(rs.GetFieldValue(NameFilm), u"A2"_s);
        // After the last record is deleted, an append is still last.
        rs.MoveLast();
        rs.Delete();
        Append(rs, { { NameFilm, u"Сталкер"_s } });
        QCOMPARE(Column(m_base), u"A A2 C Сталкер"_s.split(u' '));
        m_db.Close(); // closes its record sets
        QVERIFY(!rs.IsOpen() && !ErrorOf([&] { rs.MoveFirst(); }).isEmpty());
    }

    void writeThatChangesNoRowIsAGoneRecord()
    {
        // A table that ignores writes (a view with a trigger, say): nothing saved must not pass for saved.
        m_db.Execute(u"INSERT INTO KINVORA11 (NAMEFILM) VALUES ('Один')"_s);
        m_db.Execute(u"CREATE TRIGGER keep BEFORE UPDATE ON KINVORA11 BEGIN SELECT RAISE(IGNORE); END"_s);
        m_db.Execute(u"CREATE TRIGGER stay BEFORE DELETE ON KINVORA11 BEGIN SELECT RAISE(IGNORE); END"_s);
        CDaoRecordset rs(m_db);
        rs.Open(table::Films);
        rs.Edit();
        rs.SetFieldValue(NameFilm, u"Два"_s);
        QVERIFY(ErrorOf([&] { rs.Update(); }).contains(u"удалена или изменена другой программой"_s));
        QVERIFY(ErrorOf([&] { rs.Delete(); }).contains(u"удалена или изменена другой программой"_s));
        QCOMPARE(Column(m_base), QStringList { u"Один"_s });
    }

    void eachAppendGetsItsOwnFields_data()
    {
        QTest::addColumn<bool>("native");
        QTest::newRow("on SQLite's handle") << true;
        QTest::newRow("through QSqlQuery") << false;
    }
    void eachAppendGetsItsOwnFields()
    {
        QFETCH(bool, native);
        if (!native)
            qputenv("VIDARRO_QTSQL_INSERT", "1");
        m_db.Execute(u"CREATE TRIGGER no_x BEFORE INSERT ON DOLGI WHEN NEW.METKA = 'X' "
                     "BEGIN SELECT RAISE(ABORT, 'метка X запрещена'); END"_s);
        CDaoRecordset rs(m_db);
        rs.Open(table::Debtors);
        // Fewer fields, another order, a field set twice (first place, last value); a null text is NULL.
        Append(rs, { { Name, u"Иванов"_s }, { NameFilm, u"Брат"_s }, { Data, u""_s }, { Metka, u"N"_s } });
        Append(rs, { { Name, u"Петров"_s } });
        Append(rs, { { Metka, u"B"_s }, { Name, u"Сидоров"_s } });
        Append(rs, { { Name, u"Ёлкин"_s }, { Data, QString() }, { Name, u"Ёлкин Семён"_s } });
        Append(rs, {});
        // The stored record is the current one and can be edited at once.
        rs.Edit();
        rs.SetFieldValue(Metka, u"C"_s);
        rs.Update();
        QCOMPARE(rs.GetFieldValue(Metka), u"C"_s);
        // Append-only: the set stays at its end; a refused record names the cause, the next is stored.
        rs.SetAppendOnly(true);
        for (const QString& mark : { u"N"_s, u"X"_s, u"B"_s }) {
            const QString error = ErrorOf([&] { Append(rs, { { Name, mark }, { Metka, mark } }); });
            QVERIFY2(rs.IsEOF() && error.contains(u"метка X запрещена"_s) == (mark == u"X"_s), qPrintable(error));
        }
        // Straight from UTF-8: an empty text stays "", however it comes.
        using Texts = std::array<QByteArrayView, 3>;
        const QStringList fields { Name, Metka, Data };
        rs.AppendUtf8(fields, Texts { "Юрьев", "N", QByteArrayView() });
        QVERIFY(ErrorOf([&] { rs.AppendUtf8(fields, Texts { "Яшин", "X", "" }); }).contains(u"метка X запрещена"_s));
        m_db.Close();
        QCOMPARE(Column(m_base, u"quote(NAME) || quote(NAMEFILM) || quote(DATA) || quote(METKA) FROM DOLGI"_s),
            QStringList({ u"'Иванов''Брат''''N'"_s, u"'Петров'NULLNULLNULL"_s, u"'Сидоров'NULLNULL'B'"_s,
                u"'Ёлкин Семён'NULLNULLNULL"_s, u"NULLNULLNULL'C'"_s, u"'N'NULLNULL'N'"_s, u"'B'NULLNULL'B'"_s,
                u"'Юрьев'NULL'''N'"_s }));
    }

    void failedTransactionLeavesNothing()
    {
        CDaoRecordset debtors(m_db);
        debtors.Open(table::Debtors);
        QVERIFY(!ErrorOf([&] {
            CDaoDatabase::Transaction tx(m_db);
            Append(debtors, { { Name, u"Иванов"_s } });
            m_db.Execute(u"INSERT INTO NOSUCH VALUES (1)"_s);
            tx.Commit();
        }).isEmpty());
        debtors.MoveFirst();
        QVERIFY(debtors.IsEOF()); // rolled back on this connection too
        CDaoDatabase::Transaction tx(m_db);
        Append(debtors, { { Name, u"Петров"_s } });
        tx.Commit();
        QCOMPARE(Column(m_base, u"NAME FROM DOLGI"_s), QStringList { u"Петров"_s });
    }

    void errorsNameTheFileAndChangeNothing()
    {
        const QByteArray before = prev::ReadBytes(m_base);
        QVERIFY(ErrorOf([&] { CreateCatalogue(m_base); }).contains(m_base) && prev::ReadBytes(m_base) == before);
        QVERIFY(!ErrorOf([&] { CreateCatalogue(m_dir->filePath(u"no/such/BaseFilm.mdb"_s)); }).isEmpty());
        m_db.Execute(u"DROP TABLE DOLGI"_s);
        m_db.Execute(u"ALTER TABLE BLACKSPISOK DROP COLUMN PRICHINA"_s);
        CDaoRecordset rs(m_db);
        QVERIFY(ErrorOf([&] { rs.Open(table::Debtors); }).contains(u"нет таблицы DOLGI"_s));
        QVERIFY(ErrorOf([&] { rs.Open(table::BlackList); }).contains(u"нет поля PRICHINA"_s));
        rs.Open(table::Films); // the rest still works
        // Another program holds the write lock: a write waits briefly, then fails clearly.
        CDaoDatabase holder;
        holder.Open(m_base);
        holder.Execute(u"BEGIN EXCLUSIVE"_s);
        QVERIFY(ErrorOf([&] { Append(rs, { { NameFilm, u"Два"_s } }); }).contains(u"занята"_s));
    }

    void untouchedNonTextValuesKeepTheirBytes()
    {
        // A file from elsewhere may hold a column without a type.
        m_db.Execute(u"DROP TABLE KINVORA11"_s);
        m_db.Execute(u"CREATE TABLE KINVORA11 (NAMEFILM, REZISSER, ROLI, ZANR, REITING, NOSITEL, PRODOL, KOMENTAR)"_s);
        m_db.Execute(u"INSERT INTO KINVORA11 (NAMEFILM, REITING, KOMENTAR, ROLI, ZANR, NOSITEL) "
                     "VALUES ('Один', 5, x'00FF10', '', ' ', '  ')"_s);
        CDaoRecordset rs(m_db);
        rs.Open(table::Films);
        rs.Edit(); // as the edit form saves: every field, the n/d rule applied, the title changed
        for (QLatin1String f : kFilmFields)
            rs.SetFieldValue(f, f == NameFilm ? u"Два"_s : NdRule(rs.GetFieldValue(f)));
        rs.Update();
        QCOMPARE(
            Column(m_base,
                u"NAMEFILM || typeof(REITING) || hex(KOMENTAR) || ROLI || REZISSER || ZANR || NOSITEL FROM KINVORA11"_s),
            QStringList { u"Дваinteger00FF10n/dn/dn/d  "_s });
    }
};

REGISTER_TEST(TestRecordLayer)
#include "test_recordlayer.moc"
