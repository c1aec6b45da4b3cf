// The record layer: order, appends, changes and deletes at a position, and every error path with the
// file left as it was.
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace data;

namespace {

QByteArray Digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "missing";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void RawExec(const QString& path, const QString& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY2(q.exec(sql), qPrintable(sql));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

void AppendFilm(const QString& path, const QString& title, const QString& genre = QStringLiteral("Драма"))
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    rs.Open(table::Films);
    rs.AddNew();
    const QStringList values { title, QStringLiteral("Режиссёр"), QStringLiteral("Роли"), genre, QStringLiteral("5"),
        QStringLiteral("DVD"), QStringLiteral("90 мин"), QStringLiteral("Строка 1\r\nСтрока 2") };
    for (size_t i = 0; i < kFilmFields.size(); ++i)
        rs.SetFieldValue(kFilmFields[i], values[int(i)]);
    rs.Update();
}

QStringList Titles(const QString& path)
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    rs.Open(table::Films);
    QStringList titles;
    while (!rs.IsEOF()) {
        titles << rs.GetFieldValue(field::NameFilm);
        rs.MoveNext();
    }
    return titles;
}

QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DbError& e) {
        return e.Text();
    }
    return {};
}

} // namespace

class TestRecordLayer : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_base;

private Q_SLOTS:
    void init()
    {
        m_base
            = m_dir.filePath(QStringLiteral("BaseFilm-%1.mdb").arg(QString::fromLatin1(QTest::currentTestFunction())));
        QFile::remove(m_base);
        CreateCatalogue(m_base);
    }

    void createRefusesAnExistingFile()
    {
        const QByteArray before = Digest(m_base);
        QVERIFY(ErrorOf([&] { CreateCatalogue(m_base); }).contains(m_base));
        QCOMPARE(Digest(m_base), before);
        QVERIFY(!ErrorOf([&] {
            CreateCatalogue(m_dir.filePath(QStringLiteral("no/such/folder/BaseFilm.mdb")));
        }).isEmpty());
    }

    void appendsStayInRecordOrder()
    {
        AppendFilm(m_base, QStringLiteral("Брат"));
        AppendFilm(m_base, QStringLiteral("Ёлки"));
        AppendFilm(m_base, QStringLiteral("Брат"));
        QCOMPARE(
            Titles(m_base), (QStringList { QStringLiteral("Брат"), QStringLiteral("Ёлки"), QStringLiteral("Брат") }));

        // A deleted last record: the next append is still last.
        {
            CDaoDatabase db;
            db.Open(m_base);
            CDaoRecordset rs(db);
            rs.Open(table::Films);
            rs.MoveLast();
            rs.Delete();
        }
        AppendFilm(m_base, QStringLiteral("Сталкер"));
        QCOMPARE(Titles(m_base).last(), QStringLiteral("Сталкер"));

        // Text comes back exactly, line breaks and all.
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Films);
        QCOMPARE(rs.GetFieldValue(field::Komentar), QStringLiteral("Строка 1\r\nСтрока 2"));
        QCOMPARE(rs.RecordCount(), 3);
    }

    void changeAndDeleteAtAPosition()
    {
        for (const char* t : { "A", "B", "A", "C" })
            AppendFilm(m_base, QString::fromLatin1(t));
        {
            CDaoDatabase db;
            db.Open(m_base);
            CDaoRecordset rs(db);
            rs.Open(table::Films);
            QVERIFY(rs.MoveToPosition(2)); // the second "A"
            rs.Edit();
            rs.SetFieldValue(field::NameFilm, QStringLiteral("A2"));
            rs.Update();
            QCOMPARE(rs.GetFieldValue(field::NameFilm), QStringLiteral("A2"));
        }
        QCOMPARE(Titles(m_base),
            (QStringList { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A2"), QStringLiteral("C") }));
        {
            // Delete in the middle of a walk; the walk goes on with the next record.
            CDaoDatabase db;
            db.Open(m_base);
            CDaoRecordset rs(db);
            rs.Open(table::Films);
            QStringList seen;
            for (int i = 0; !rs.IsEOF(); ++i) {
                if (i == 1)
                    rs.Delete();
                else
                    seen << rs.GetFieldValue(field::NameFilm);
                rs.MoveNext();
            }
            QCOMPARE(seen, (QStringList { QStringLiteral("A"), QStringLiteral("A2"), QStringLiteral("C") }));
        }
        QCOMPARE(Titles(m_base), (QStringList { QStringLiteral("A"), QStringLiteral("A2"), QStringLiteral("C") }));
        // Later positions moved down by one.
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Films);
        QVERIFY(rs.MoveToPosition(2));
        QCOMPARE(rs.GetFieldValue(field::NameFilm), QStringLiteral("C"));
        const qint64 rowid = rs.RowId();
        QVERIFY(rs.MoveToPosition(0));
        QVERIFY(rs.MoveToRowId(rowid));
        QCOMPARE(rs.GetFieldValue(field::NameFilm), QStringLiteral("C"));
    }

    void missingPositionsAreNoRecord()
    {
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Films);
        QVERIFY(rs.IsEOF()); // empty table
        QVERIFY(!rs.MoveToPosition(0));
        QVERIFY(!rs.MoveToPosition(-1));
        QVERIFY(!rs.MoveToRowId(42));
        QVERIFY(rs.IsEOF());
        rs.MoveNext(); // stays at the end
        QVERIFY(rs.IsEOF());
        QVERIFY(!ErrorOf([&] { rs.GetFieldValue(field::NameFilm); }).isEmpty());
        QVERIFY(!ErrorOf([&] { rs.Edit(); }).isEmpty());
    }

    void failedAppendLeavesNothing()
    {
        AppendFilm(m_base, QStringLiteral("Первый"));
        RawExec(m_base,
            QStringLiteral("CREATE TRIGGER no_more BEFORE INSERT ON KINVORA11 "
                           "BEGIN SELECT RAISE(ABORT, 'полка полна'); END"));
        const QString error = ErrorOf([&] { AppendFilm(m_base, QStringLiteral("Второй")); });
        QVERIFY(error.contains(QStringLiteral("полка полна")));
        QVERIFY(error.contains(m_base));
        QCOMPARE(Titles(m_base), QStringList { QStringLiteral("Первый") });
    }

    void transactionIsAllOrNothing()
    {
        RawExec(m_base,
            QStringLiteral("CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK "
                           "BEGIN SELECT RAISE(ABORT, 'нет'); END"));
        const QString error = ErrorOf([&] {
            CDaoDatabase db;
            db.Open(m_base);
            CDaoDatabase::Transaction tx(db);
            CDaoRecordset debtors(db);
            debtors.Open(table::Debtors);
            debtors.AddNew();
            debtors.SetFieldValue(field::Name, QStringLiteral("Иванов"));
            debtors.Update();
            CDaoRecordset black(db);
            black.Open(table::BlackList);
            black.AddNew();
            black.SetFieldValue(field::Name, QStringLiteral("Иванов"));
            black.Update();
            tx.Commit();
        });
        QVERIFY(!error.isEmpty());
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Debtors);
        QCOMPARE(rs.RecordCount(), 0);
    }

    void missingFileIsNeverCreated()
    {
        for (const QString& name : { QStringLiteral("absent.mdb"), QStringLiteral("a#b?c.mdb") }) {
            const QString path = m_dir.filePath(name);
            const QString error = ErrorOf([&] {
                CDaoDatabase db;
                db.Open(path);
            });
            QVERIFY2(error.contains(QStringLiteral("не найден в папке")), qPrintable(error));
            QVERIFY2(error.contains(name) && error.contains(m_dir.path()), qPrintable(error));
            QVERIFY(!QFile::exists(path));
        }
        QVERIFY(!ErrorOf([] {
            CDaoDatabase db;
            db.Open(QString());
        }).isEmpty());
        QVERIFY(QDir(m_dir.path()).entryList({ QStringLiteral("a*") }, QDir::Files).isEmpty());
    }

    void missingTableOrField()
    {
        RawExec(m_base, QStringLiteral("DROP TABLE BLACKSPISOK"));
        RawExec(m_base, QStringLiteral("CREATE TABLE BLACKSPISOK (NAME TEXT)"));
        RawExec(m_base, QStringLiteral("DROP TABLE DOLGI"));
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        QVERIFY(ErrorOf([&] { rs.Open(table::Debtors); }).contains(QStringLiteral("нет таблицы DOLGI")));
        QVERIFY(ErrorOf([&] { rs.Open(table::BlackList); }).contains(QStringLiteral("нет поля PRICHINA")));
        rs.Open(table::Films); // the rest of the base still works
        QVERIFY(rs.IsEOF());
    }

    void severalConnectionsAndALockedFile()
    {
        AppendFilm(m_base, QStringLiteral("Один"));
        // An idle connection beside a writer, as at start-up.
        CDaoDatabase startup;
        startup.Open(m_base);
        AppendFilm(m_base, QStringLiteral("Два"));
        QCOMPARE(Titles(m_base).size(), 2);

        // Another program holds the write lock: the write waits briefly, then fails clearly.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(m_base);
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const QString error = ErrorOf([&] { AppendFilm(m_base, QStringLiteral("Три")); });
        QVERIFY2(error.contains(QStringLiteral("занята")), qPrintable(error));
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        lock = QSqlQuery();
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QCOMPARE(Titles(m_base).size(), 2);
    }

    void closingTheDatabaseClosesItsRecordSets()
    {
        AppendFilm(m_base, QStringLiteral("Один"));
        CDaoDatabase db;
        db.Open(m_base);
        CDaoRecordset rs(db);
        rs.Open(table::Films);
        db.Close();
        QVERIFY(!rs.IsOpen());
        QVERIFY(!ErrorOf([&] { rs.MoveFirst(); }).isEmpty());
    }

    void untouchedNonTextValuesKeepTheirBytes()
    {
        // A file from elsewhere may hold a column without a type.
        RawExec(m_base, QStringLiteral("DROP TABLE KINVORA11"));
        RawExec(m_base,
            QStringLiteral(
                "CREATE TABLE KINVORA11 (NAMEFILM, REZISSER, ROLI, ZANR, REITING, NOSITEL, PRODOL, KOMENTAR)"));
        RawExec(m_base,
            QStringLiteral("INSERT INTO KINVORA11 (NAMEFILM, REITING, KOMENTAR, ROLI) "
                           "VALUES ('Один', 5, x'00FF10', '')"));
        {
            CDaoDatabase db;
            db.Open(m_base);
            CDaoRecordset rs(db);
            rs.Open(table::Films);
            rs.Edit(); // as the edit form saves: every field, the n/d rule applied, the title changed
            for (QLatin1String f : kFilmFields)
                rs.SetFieldValue(f, f == field::NameFilm ? QStringLiteral("Два") : NdRule(rs.GetFieldValue(f)));
            rs.Update();
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(m_base);
        QVERIFY(db.open());
        QSqlQuery q(QStringLiteral("SELECT NAMEFILM || typeof(REITING) || hex(KOMENTAR) || ROLI || REZISSER "
                                   "FROM KINVORA11"),
            db);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Дваinteger00FF10n/dn/d"));
    }

    void textRules()
    {
        QCOMPARE(NdRule(QString()), QStringLiteral("n/d"));
        QCOMPARE(NdRule(QStringLiteral(" ")), QStringLiteral("n/d"));
        QCOMPARE(NdRule(QStringLiteral("  ")), QStringLiteral("  "));
        QCOMPARE(NdRule(QStringLiteral(" a ")), QStringLiteral(" a "));
        QCOMPARE(LeadingInt(QStringLiteral(" 2abc")), 2);
        QCOMPARE(LeadingInt(QStringLiteral("n/d")), 0);
        QCOMPARE(LeadingInt(QStringLiteral("-1")), -1);
        QCOMPARE(LeadingInt(QStringLiteral("+7")), 7);
        QCOMPARE(LeadingInt(QStringLiteral("99999999999")), 2147483647);
        QCOMPARE(FoldCase(QStringLiteral("ЁЛКИ Elki")), FoldCase(QStringLiteral("ёлки ELKI")));
        QVERIFY(FoldCase(QStringLiteral("Ёлки")) != FoldCase(QStringLiteral("Елки")));
    }
};

QTEST_GUILESS_MAIN(TestRecordLayer)
#include "test_recordlayer.moc"
