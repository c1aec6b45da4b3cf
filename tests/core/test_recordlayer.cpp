// The record layer: order, appends (each with exactly its own fields), changes and deletes at a position,
// transactions, and every error path with the file left as it was; the text rules.
#include "testmain.h"

#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace data;
using namespace Qt::StringLiterals;

namespace {

QByteArray Digest(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : "none";
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

void Append(CDaoRecordset& rs, const QList<std::pair<QLatin1String, QString>>& fields)
{
    rs.AddNew();
    for (const auto& [field, value] : fields)
        rs.SetFieldValue(field, value);
    rs.Update();
}

void AppendFilm(const QString& path, const QString& title)
{
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(db);
    rs.Open(table::Films);
    Append(rs, { { field::NameFilm, title }, { field::Komentar, u"Строка 1\r\nСтрока 2"_s } });
}

// One column of a table in record order, a NULL as "<NULL>", read as another program would.
QStringList Column(const QString& path, const QString& table, const QString& column)
{
    QStringList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (!db.open() || !q.exec(u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(column, table)))
            qFatal("cannot read %s", qPrintable(table));
        while (q.next())
            values << (q.value(0).isNull() ? u"<NULL>"_s : q.value(0).toString());
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    return values;
}

// A prepared statement left in use, or a connection removed while in use, shows as a warning of QtSql.
QStringList g_warnings;
void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << text;
}

QStringList Titles(const QString& path)
{
    return Column(path, u"KINVORA11"_s, u"NAMEFILM"_s);
}

// The walk from the current record to the end.
QStringList WalkOn(CDaoRecordset& rs)
{
    QStringList seen;
    for (; !rs.IsEOF(); rs.MoveNext())
        seen << rs.GetFieldValue(field::NameFilm);
    return seen;
}

} // namespace

class TestRecordLayer : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_base;
    CDaoDatabase m_db;

private Q_SLOTS:
    void init()
    {
        m_base = m_dir.filePath(u"BaseFilm-%1-%2.mdb"_s.arg(
            QString::fromLatin1(QTest::currentTestFunction()), QString::fromLatin1(QTest::currentDataTag())));
        QFile::remove(m_base);
        QString error;
        QVERIFY2(CreateCatalogue(m_base, &error), qPrintable(error));
        m_db.Open(m_base);
        g_warnings.clear();
        qInstallMessageHandler(CollectWarnings);
    }
    void cleanup()
    {
        m_db.Close();
        qunsetenv("VIDARRO_QTSQL_INSERT");
        qInstallMessageHandler(nullptr);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u"; "_s)));
    }

    void createRefusesAnExistingFile()
    {
        const QByteArray before = Digest(m_base);
        QString error;
        QVERIFY(!CreateCatalogue(m_base, &error));
        QVERIFY(error.contains(m_base));
        QCOMPARE(Digest(m_base), before);
        QVERIFY(!CreateCatalogue(m_dir.filePath(u"no/such/folder/BaseFilm.mdb"_s), &error));
    }

    void walksChangesAndDeletesInRecordOrder()
    {
        CDaoRecordset rs(m_db);
        rs.Open(table::Films);
        QVERIFY(rs.IsEOF()); // empty table
        QVERIFY(!rs.MoveToPosition(0));
        QVERIFY(!ErrorOf([&] { rs.GetFieldValue(field::NameFilm); }).isEmpty());
        QVERIFY(!ErrorOf([&] { rs.Edit(); }).isEmpty());
        for (const QString& t : u"A B A C D"_s.split(u' '))
            Append(rs, { { field::NameFilm, t } });
        QCOMPARE(rs.GetFieldValue(field::NameFilm), u"D"_s); // a new record is the current one
        QVERIFY(rs.MoveToPosition(2)); // the second "A"
        rs.Edit();
        rs.SetFieldValue(field::NameFilm, u"A2"_s);
        rs.Update();
        QCOMPARE(rs.GetFieldValue(field::NameFilm), u"A2"_s);
        QCOMPARE(Titles(m_base), u"A B A2 C D"_s.split(u' '));
        // Delete in the middle of a walk; the walk goes on with the next record, later positions move down.
        rs.MoveFirst();
        rs.MoveNext();
        rs.Delete();
        rs.MoveNext();
        QCOMPARE(WalkOn(rs), u"A2 C D"_s.split(u' '));
        QVERIFY(rs.MoveToPosition(2));
        QCOMPARE(rs.GetFieldValue(field::NameFilm), u"C"_s);
        QVERIFY(!rs.MoveToPosition(4));
        QVERIFY(!rs.MoveToPosition(-1));
        // A rowid that is gone is no record; the walk goes on after it.
        QVERIFY(rs.MoveToRowId(4));
        QVERIFY(!rs.MoveToRowId(2));
        QVERIFY(rs.IsEOF());
        rs.MoveNext();
        QCOMPARE(WalkOn(rs), u"A2 C D"_s.split(u' '));
        // A deleted last record: the next append is still last, its text exactly as given.
        rs.MoveLast();
        rs.Delete();
        rs.Close();
        AppendFilm(m_base, u"Сталкер"_s);
        QCOMPARE(Titles(m_base), u"A A2 C Сталкер"_s.split(u' '));
        QCOMPARE(Column(m_base, u"KINVORA11"_s, u"KOMENTAR"_s).last(), u"Строка 1\r\nСтрока 2"_s);
        rs.Open(table::Films);
        QCOMPARE(rs.RecordCount(), 4);
        // Closing the database closes its record sets.
        m_db.Close();
        QVERIFY(!rs.IsOpen());
        QVERIFY(!ErrorOf([&] { rs.MoveFirst(); }).isEmpty());
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
        Append(rs,
            { { field::Name, u"Иванов"_s }, { field::NameFilm, u"Брат"_s }, { field::Data, u""_s },
                { field::Metka, u"N"_s } });
        // Fewer fields, then another order: each record gets exactly its own values. A field set twice keeps
        // its first place and its last value; a null text is no value at all, an empty one an empty text.
        Append(rs, { { field::Name, u"Петров"_s } });
        Append(rs, { { field::Metka, u"B"_s }, { field::Name, u"Сидоров"_s } });
        Append(rs, { { field::Name, u"Ёлкин"_s }, { field::Data, QString() }, { field::Name, u"Ёлкин Семён"_s } });
        Append(rs, {});
        // The stored record is the current one, and editing it still works, a field set twice too.
        rs.Edit();
        rs.SetFieldValue(field::Metka, u"B"_s);
        rs.SetFieldValue(field::Data, u"n/d"_s);
        rs.SetFieldValue(field::Metka, u"C"_s);
        rs.Update();
        QCOMPARE(rs.GetFieldValue(field::Metka), u"C"_s);
        // Append-only: each stored record leaves the record set at its end; a refused one leaves it usable.
        rs.SetAppendOnly(true);
        for (const QString& mark : { u"N"_s, u"X"_s, u"B"_s }) {
            const QString error = ErrorOf([&] { Append(rs, { { field::Name, mark }, { field::Metka, mark } }); });
            QVERIFY(rs.IsEOF());
            QCOMPARE(error.isEmpty(), mark != u"X"_s);
            QVERIFY2(error.isEmpty() || (error.contains(u"метка X запрещена"_s) && error.contains(m_base)),
                qPrintable(error));
        }
        rs.MoveNext();
        QVERIFY(rs.IsEOF());
        m_db.Close();
        QCOMPARE(Column(m_base, u"DOLGI"_s, u"quote(NAME) || quote(NAMEFILM) || quote(DATA) || quote(METKA)"_s),
            QStringList({ u"'Иванов''Брат''''N'"_s, u"'Петров'NULLNULLNULL"_s, u"'Сидоров'NULLNULL'B'"_s,
                u"'Ёлкин Семён'NULLNULLNULL"_s, u"NULLNULL'n/d''C'"_s, u"'N'NULLNULL'N'"_s, u"'B'NULLNULL'B'"_s }));
    }

    void failedWritesLeaveNothing()
    {
        AppendFilm(m_base, u"Первый"_s);
        m_db.Execute(u"CREATE TRIGGER no_more BEFORE INSERT ON KINVORA11 WHEN NEW.NAMEFILM = 'Второй' "
                     "BEGIN SELECT RAISE(ABORT, 'полка полна'); END"_s);
        m_db.Execute(u"CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK BEGIN SELECT RAISE(ABORT, 'нет'); END"_s);
        const QString error = ErrorOf([&] { AppendFilm(m_base, u"Второй"_s); });
        QVERIFY(error.contains(u"полка полна"_s) && error.contains(m_base));
        QCOMPARE(Titles(m_base), QStringList { u"Первый"_s });
        // Two writes in a transaction: the second fails, the first is rolled back when the transaction goes
        // out of scope, and this connection goes on without it.
        QVERIFY(!ErrorOf([&] {
            CDaoDatabase::Transaction tx(m_db);
            CDaoRecordset debtors(m_db);
            debtors.Open(table::Debtors);
            Append(debtors, { { field::Name, u"Иванов"_s } });
            CDaoRecordset black(m_db);
            black.Open(table::BlackList);
            Append(black, { { field::Name, u"Иванов"_s } });
            tx.Commit();
        }).isEmpty());
        CDaoRecordset debtors(m_db);
        debtors.Open(table::Debtors);
        QCOMPARE(debtors.RecordCount(), 0);
        CDaoDatabase::Transaction tx(m_db); // a new one starts
        Append(debtors, { { field::Name, u"Петров"_s } });
        tx.Commit();
        QCOMPARE(Column(m_base, u"DOLGI"_s, u"NAME"_s), QStringList { u"Петров"_s });
    }

    void openErrorsNameTheFileAndChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("random bytes") << QByteArray(5000, '\x5a') << u"damaged.mdb"_s << u"не является базой"_s;
        QFile jet(QStringLiteral(VIDARRO_FIXTURES_DIR "/jet/prev-3films-2debtors.mdb"));
        QVERIFY(jet.open(QIODevice::ReadOnly));
        QTest::newRow("an Access file") << jet.readAll() << u"jet.mdb"_s << u"не является базой данных"_s;
        QTest::newRow("empty file") << QByteArray("") << u"empty.mdb"_s << u"нет таблицы KINVORA11"_s;
        QTest::newRow("missing") << QByteArray() << u"absent.mdb"_s << u"не найден в папке"_s;
        QTest::newRow("missing, # and ?") << QByteArray() << u"a#b?c.mdb"_s << u"не найден в папке"_s;
    }
    void openErrorsNameTheFileAndChangeNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString path = m_dir.filePath(name);
        QFile f(path);
        QVERIFY(content.isNull() || (f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) >= 0));
        f.close();
        const QByteArray before = Digest(path);
        const QString error = ErrorOf([&] {
            CDaoDatabase db;
            db.Open(path);
            CDaoRecordset rs(db);
            rs.Open(table::Films);
        });
        QVERIFY2(error.contains(expected) && error.contains(name) && error.contains(m_dir.path()), qPrintable(error));
        QCOMPARE(Digest(path), before); // and a missing file is never created
        QVERIFY(!content.isNull() || QDir(m_dir.path()).entryList({ u"a*"_s }, QDir::Files).isEmpty());
        QVERIFY(!ErrorOf([] { CDaoDatabase().Open(QString()); }).isEmpty());
    }

    void missingTableOrField()
    {
        m_db.Execute(u"DROP TABLE BLACKSPISOK"_s);
        m_db.Execute(u"CREATE TABLE BLACKSPISOK (NAME TEXT)"_s);
        m_db.Execute(u"DROP TABLE DOLGI"_s);
        CDaoRecordset rs(m_db);
        QVERIFY(ErrorOf([&] { rs.Open(table::Debtors); }).contains(u"нет таблицы DOLGI"_s));
        QVERIFY(ErrorOf([&] { rs.Open(table::BlackList); }).contains(u"нет поля PRICHINA"_s));
        rs.Open(table::Films); // the rest of the base still works
        QVERIFY(rs.IsEOF());
    }

    void lockedOrReadOnlyFileFailsClearly()
    {
        // An idle connection (m_db) beside a writer, as at start-up.
        AppendFilm(m_base, u"Один"_s);
        // Another program holds the write lock: the write waits briefly, then fails clearly.
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            other.setDatabaseName(m_base);
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec(u"BEGIN EXCLUSIVE"_s));
            const QString error = ErrorOf([&] { AppendFilm(m_base, u"Два"_s); });
            QVERIFY2(error.contains(u"занята"_s), qPrintable(error));
            QVERIFY(lock.exec(u"ROLLBACK"_s));
        }
        QSqlDatabase::removeDatabase(u"other"_s);
        // Tests run as root, where file modes do not stop a write; the immutable flag does.
        if (QProcess::execute(u"chattr"_s, { u"+i"_s, m_base }) != 0)
            QSKIP("chattr +i is not available here");
        const QByteArray before = Digest(m_base);
        const QString error = ErrorOf([&] { AppendFilm(m_base, u"Два"_s); });
        QProcess::execute(u"chattr"_s, { u"-i"_s, m_base });
        QVERIFY2(error.contains(u"только для чтения"_s) && error.contains(m_base), qPrintable(error));
        QCOMPARE(Digest(m_base), before);
        QCOMPARE(Titles(m_base), QStringList { u"Один"_s });
    }

    void textRules()
    {
        const QList<std::pair<QString, QString>> nd { { {}, u"n/d"_s }, { u" "_s, u"n/d"_s }, { u"  "_s, u"  "_s },
            { u" a "_s, u" a "_s } };
        for (const auto& [input, stored] : nd)
            QCOMPARE(NdRule(input), stored);
        const QList<std::pair<QString, int>> numbers { { u" 2abc"_s, 2 }, { u"n/d"_s, 0 }, { u"-1"_s, -1 },
            { u"+7"_s, 7 }, { u"99999999999"_s, 2147483647 } };
        for (const auto& [text, number] : numbers)
            QCOMPARE(LeadingInt(text), number);
        QCOMPARE(FoldCase(u"ЁЛКИ Elki"_s), FoldCase(u"ёлки ELKI"_s));
        QVERIFY(FoldCase(u"Ёлки"_s) != FoldCase(u"Елки"_s));
    }
};

REGISTER_TEST(TestRecordLayer)
#include "test_recordlayer.moc"
