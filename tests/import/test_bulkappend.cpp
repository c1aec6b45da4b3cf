// Appending many records through the record layer, as the import does: each record gets exactly the fields
// set for it, the append-only mode, and what a failed append leaves behind.
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace data;
using namespace Qt::StringLiterals;

namespace {

// Every debtor in record order, a NULL shown as "<NULL>", read on a connection of its own.
QList<QStringList> Debtors(const QString& path)
{
    CDaoDatabase db;
    db.Open(path);
    QList<QStringList> rows;
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
        QString error;
        QVERIFY2(CreateCatalogue(m_base, &error), qPrintable(error));
        g_warnings.clear();
        qInstallMessageHandler(CollectWarnings);
    }
    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(u"; "_s)));
    }
    void eachRecordGetsItsOwnFields();
    void appendOnlyAndAFailedAppend();

private:
    QTemporaryDir m_dir;
    QString m_base;
};

void TestBulkAppend::eachRecordGetsItsOwnFields()
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
    // A field set twice keeps its first place and its last value; a null text is no value at all, an empty
    // one is an empty text.
    append({ { field::Name, u"Ёлкин"_s }, { field::Data, QString() }, { field::Name, u"Ёлкин Семён"_s } });
    append({});
    // Editing the record just stored still changes that record, a field set twice included.
    rs.Edit();
    rs.SetFieldValue(field::Metka, u"C"_s);
    rs.SetFieldValue(field::Data, u"n/d"_s);
    rs.SetFieldValue(field::Metka, u"X"_s);
    rs.Update();
    QCOMPARE(rs.GetFieldValue(field::Metka), u"X"_s);
    db.Close();
    QCOMPARE(Debtors(m_base),
        (QList<QStringList> { { u"Иванов"_s, u"Брат"_s, u""_s, u"N"_s },
            { u"Петров"_s, u"<NULL>"_s, u"<NULL>"_s, u"<NULL>"_s }, { u"Сидоров"_s, u"<NULL>"_s, u"<NULL>"_s, u"B"_s },
            { u"Ёлкин Семён"_s, u"<NULL>"_s, u"<NULL>"_s, u"<NULL>"_s },
            { u"<NULL>"_s, u"<NULL>"_s, u"n/d"_s, u"X"_s } }));
}

void TestBulkAppend::appendOnlyAndAFailedAppend()
{
    CDaoDatabase db;
    db.Open(m_base);
    db.Execute(u"CREATE TRIGGER no_x BEFORE INSERT ON DOLGI WHEN NEW.METKA = 'X' "
               "BEGIN SELECT RAISE(ABORT, 'метка X запрещена'); END"_s);
    CDaoRecordset rs(db);
    rs.Open(table::Debtors);
    rs.SetAppendOnly(true);
    // Each stored record leaves the record set at its end; a refused one leaves it usable for the next.
    for (const QString& mark : { u"N"_s, u"X"_s, u"B"_s }) {
        rs.AddNew();
        rs.SetFieldValue(field::Name, mark);
        rs.SetFieldValue(field::Metka, mark);
        const QString error = mark == u"X"_s ? u"метка X запрещена"_s : QString();
        try {
            rs.Update();
            QVERIFY(error.isEmpty());
            QVERIFY(rs.IsEOF());
            QVERIFY_THROWS_EXCEPTION(DbError, rs.GetFieldValue(field::Name));
        } catch (const DbError& e) {
            QVERIFY2(!error.isEmpty() && e.Text().contains(error) && e.Text().contains(u"DOLGI"_s)
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
    QCOMPARE(names, (QStringList { u"N"_s, u"B"_s }));
    db.Close();
    QCOMPARE(Debtors(m_base),
        (QList<QStringList> {
            { u"N"_s, u"<NULL>"_s, u"<NULL>"_s, u"N"_s }, { u"B"_s, u"<NULL>"_s, u"<NULL>"_s, u"B"_s } }));
}

QTEST_GUILESS_MAIN(TestBulkAppend)
#include "test_bulkappend.moc"
