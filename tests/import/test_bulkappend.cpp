// Appending many records through the record layer, as the import does: each record gets exactly the fields
// set for it, the append-only mode, and what a failed append leaves behind.
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "prevfixtures.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace data;
using namespace prev;

namespace {

// Every debtor in record order, a NULL shown as "<NULL>", read on a connection of its own.
Rows Debtors(const QString& path)
{
    CDaoDatabase db;
    db.Open(path);
    Rows rows;
    QSqlQuery q(db.Connection());
    q.exec(u"SELECT NAME, NAMEFILM, DATA, METKA FROM DOLGI ORDER BY rowid"_s);
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < 4; ++i)
            row << (q.value(i).isNull() ? u"<NULL>"_s : q.value(i).toString());
        rows << row;
    }
    return rows;
}

// A prepared statement left in use shows up as a warning of QtSql.
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
    void init()
    {
        m_base = m_dir.filePath(u"BaseFilm-%1.mdb"_s.arg(QString::fromLatin1(QTest::currentTestFunction())));
        CreateCatalogue(m_base);
        g_warnings.clear();
        qInstallMessageHandler(CollectWarnings);
    }
    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u"; "_s)));
    }
    void eachRecordGetsItsOwnFields();

private:
    QTemporaryDir m_dir;
    QString m_base;
};

void TestBulkAppend::eachRecordGetsItsOwnFields()
{
    CDaoDatabase db;
    db.Open(m_base);
    db.Execute(u"CREATE TRIGGER no_x BEFORE INSERT ON DOLGI WHEN NEW.METKA = 'X' "
               "BEGIN SELECT RAISE(ABORT, 'метка X запрещена'); END"_s);
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
    // A field set twice keeps its first place and its last value; a null text is no value at all, an empty
    // one is an empty text.
    append({ { field::Name, u"Ёлкин"_s }, { field::Data, QString() }, { field::Name, u"Ёлкин Семён"_s } });
    append({});
    // By default the stored record is the current one, and editing it still works, a field set twice too.
    rs.Edit();
    rs.SetFieldValue(field::Metka, u"B"_s);
    rs.SetFieldValue(field::Data, u"n/d"_s);
    rs.SetFieldValue(field::Metka, u"C"_s);
    rs.Update();
    QCOMPARE(rs.GetFieldValue(field::Metka), u"C"_s);

    // Append-only: each stored record leaves the record set at its end; a refused one leaves it usable.
    rs.SetAppendOnly(true);
    for (const QString& mark : { u"N"_s, u"X"_s, u"B"_s }) {
        rs.AddNew();
        rs.SetFieldValue(field::Name, mark);
        rs.SetFieldValue(field::Metka, mark);
        try {
            rs.Update();
            QVERIFY(mark != u"X"_s && rs.IsEOF());
            QVERIFY_THROWS_EXCEPTION(DbError, rs.GetFieldValue(field::Name));
        } catch (const DbError& e) {
            QVERIFY2(mark == u"X"_s && e.Text().contains(u"метка X запрещена"_s) && e.Text().contains(u"DOLGI"_s)
                    && e.Text().contains(m_base),
                qPrintable(e.Text()));
        }
    }
    // Walking on from the end finds nothing after the last append; from the start, everything in order.
    rs.MoveNext();
    QVERIFY(rs.IsEOF());
    QStringList names;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        names << rs.GetFieldValue(field::Name);
    QCOMPARE(names, R(u"Иванов|Петров|Сидоров|Ёлкин Семён||N|B"));
    db.Close();
    QCOMPARE(Debtors(m_base),
        (Rows { R(u"Иванов|Брат||N"), R(u"Петров|<NULL>|<NULL>|<NULL>"), R(u"Сидоров|<NULL>|<NULL>|B"),
            R(u"Ёлкин Семён|<NULL>|<NULL>|<NULL>"), R(u"<NULL>|<NULL>|n/d|C"), R(u"N|<NULL>|<NULL>|N"),
            R(u"B|<NULL>|<NULL>|B") }));
}

QTEST_GUILESS_MAIN(TestBulkAppend)
#include "test_bulkappend.moc"
