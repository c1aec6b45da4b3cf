// Converting a catalogue of the Windows version: every value of the genuine Jet files arrives in order, the
// original stays byte for byte under its kept name, and any failure leaves the folder as it was.
#include "data/daodb.h"
#include "data/filenames.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "import/jetconvert.h"
#include "import/mdbreader.h"
#include "prevfixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace prev;
using namespace import;

namespace {

const QString kBase = u"BaseFilm.mdb"_s;
const QString kKept = u"BaseFilm-access.mdb"_s;
const QString kNoDebtors = u"В файле нет таблицы должников (DOLGI): создана пустая."_s;
const QString kNoBlack = u"В файле нет черного списка (BLACKSPISOK): создан пустой."_s;

Rows Table(const QString& path, QLatin1String table)
{
    data::CDaoDatabase db;
    db.Open(path);
    data::CDaoRecordset rs(db);
    rs.Open(table);
    Rows rows;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        QStringList row;
        for (QLatin1String field : data::FieldsOf(table))
            row << rs.GetFieldValue(field);
        rows << row;
    }
    return rows;
}

QByteArray Fixture(const QString& name)
{
    return ReadBytes(QStringLiteral(VIDARRO_FIXTURES_DIR "/jet/") + name);
}

// Name and bytes of every file in the folder, hidden ones included.
QMap<QString, QByteArray> Folder(const QString& path)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(path).entryList(QDir::Files | QDir::Hidden))
        files[name] = ReadBytes(QDir(path).filePath(name));
    return files;
}

bool Convert(const QString& file, ConversionResult* result, QString* error)
{
    JetFile jet;
    return InspectJetFile(file, &jet, error) && ConvertInPlace(jet, result, error);
}

} // namespace

class TestJetConvert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { SetConvertFaultHook({}); }

    void everyValueArrives_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("name"); // what the file is called in the folder
        QTest::addColumn<QStringList>("taken"); // kept names already in use, left alone
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("current") << u"current-base-jet.mdb"_s << kBase << QStringList() << QStringList();
        QTest::newRow("current, compressed, name in capitals")
            << u"current-format-only.mdb"_s << u"BASEFILM.MDB"_s << QStringList { u"basefilm-ACCESS.mdb"_s }
            << QStringList();
        QTest::newRow("previous") << u"prev-3films-2debtors.mdb"_s << kBase << QStringList { kKept }
                                  << QStringList { kNoBlack };
        QTest::newRow("previous, no films")
            << u"prev-empty-films.mdb"_s << kBase << QStringList { kKept, u"BaseFilm-access-2.mdb"_s }
            << QStringList { kNoBlack };
        QTest::newRow("previous, no debtors") << u"prev-no-debtors-table.mdb"_s << u"basefilm.mdb"_s << QStringList()
                                              << QStringList { kNoDebtors, kNoBlack };
        QTest::newRow("NULLs and a numeric rating")
            << u"prev-nulls-and-numbers.mdb"_s << kBase << QStringList() << QStringList { kNoBlack };
    }
    void everyValueArrives()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, name);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, notes);
        QTemporaryDir dir;
        const QString file = dir.filePath(name);
        QVERIFY(WriteBytes(file, Fixture(fixture)));
        for (const QString& t : taken)
            QVERIFY(WriteBytes(dir.filePath(t), t.toUtf8()));
        QCOMPARE(data::FindFileIgnoringCase(dir.path(), kBase).path, file);

        const QString keptName = KeptCopyName(dir.path());
        ConversionResult result;
        QString error;
        QVERIFY2(Convert(file, &result, &error), qPrintable(error));

        const bool current = fixture.startsWith(u"current");
        Rows debtors = TableRows(fixture, u"DOLGI"_s);
        if (!current)
            for (QStringList& d : debtors)
                d << u"N"_s;
        const Rows films = TableRows(fixture, current ? u"KINVORA11"_s : u"KINVORA"_s);
        const Rows black = TableRows(fixture, u"BLACKSPISOK"_s);
        QCOMPARE(Table(file, data::table::Films), films);
        QCOMPARE(Table(file, data::table::Debtors), debtors);
        QCOMPARE(Table(file, data::table::BlackList), black);
        QCOMPARE(QFileInfo(result.keptPath).fileName(), keptName);
        QCOMPARE(ConversionReport(result),
            QStringList({ u"Каталог переведён в новый формат."_s, u"Фильмов: %1"_s.arg(films.size()),
                            u"Должников: %1"_s.arg(debtors.size()), u"В черном списке: %1"_s.arg(black.size()) })
                    .join(u'\n')
                + (notes.isEmpty() ? QString() : u'\n' + notes.join(u'\n'))
                + u"\nИсходный файл сохранён как «%1»."_s.arg(keptName));

        // The folder: the new catalogue, the original under the kept name, the other files as they were.
        const auto files = Folder(dir.path());
        QCOMPARE(files.value(keptName), Fixture(fixture));
        for (const QString& t : taken)
            QCOMPARE(files.value(t), t.toUtf8());
        QCOMPARE(files.size(), taken.size() + 2);
        RemoveLeftovers(dir.path()); // the original is no Jet "BaseFilm.mdb" any more: nothing goes
        QCOMPARE(Folder(dir.path()), files);
    }

    void failuresLeaveTheOriginal_data()
    {
        QTest::addColumn<int>("step"); // -1: none, the file is damaged
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QByteArray good = Fixture(u"prev-large.mdb"_s);
        for (ConvertStep step : { ConvertStep::Records, ConvertStep::Flush, ConvertStep::Keep, ConvertStep::Replace })
            QTest::newRow(qPrintable(u"fault at step %1"_s.arg(int(step)))) << int(step) << good << u"диск"_s;
        QTest::newRow("cut short") << -1 << good.left(good.size() / 2) << u"Access"_s;
        QTest::newRow("header only") << -1 << good.left(4096) << u"Access"_s;
        QByteArray holed = good;
        holed.replace(8192, 65536, QByteArray(65536, '\xff'));
        QTest::newRow("pages overwritten") << -1 << holed << u"Access"_s;
        QTest::newRow("empty") << -1 << QByteArray() << u"пуст"_s;
        QTest::newRow("SQLite") << -1 << QByteArray("SQLite format 3\0", 16) << u"не является базой Microsoft Access"_s;
    }
    void failuresLeaveTheOriginal()
    {
        QFETCH(int, step);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath(kBase), bytes));
        const auto before = Folder(dir.path());
        SetConvertFaultHook([step](ConvertStep s) { return int(s) != step; });
        ConversionResult result;
        QString error;
        QVERIFY(!Convert(dir.filePath(kBase), &result, &error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QCOMPARE(Folder(dir.path()), before);
    }

    // Killed half-way: the next start removes the temporary file and a kept copy that is the base itself.
    void leftoversAreRemoved()
    {
        QTemporaryDir dir;
        const QByteArray jet = Fixture(u"current-format-only.mdb"_s);
        QVERIFY(WriteBytes(dir.filePath(kBase), jet));
        QVERIFY(WriteBytes(dir.filePath(u".BaseFilm-convert-x1.tmp"_s), "half"));
        QVERIFY(WriteBytes(dir.filePath(kKept), jet));
        QVERIFY(WriteBytes(dir.filePath(u"BaseFilm-access-2.mdb"_s), jet + "x"));
        RemoveLeftovers(dir.path());
        QCOMPARE(Folder(dir.path()).keys(), (QStringList { u"BaseFilm-access-2.mdb"_s, kBase }));
    }

    void fileNamesIgnoringCase()
    {
        QTemporaryDir dir;
        QCOMPARE(data::FindFileIgnoringCase(dir.path(), u"Korvel.ini"_s).path, QString());
        WriteBytes(dir.filePath(u"KORVEL.INI"_s), "");
        QCOMPARE(data::FindFileIgnoringCase(dir.path(), u"Korvel.ini"_s).path, dir.filePath(u"KORVEL.INI"_s));
        WriteBytes(dir.filePath(u"korvel.ini"_s), "");
        const data::FoundFile two = data::FindFileIgnoringCase(dir.path(), u"Korvel.ini"_s);
        QVERIFY(two.path.isEmpty());
        QCOMPARE(two.ambiguous.size(), 2);
        WriteBytes(dir.filePath(u"Korvel.ini"_s), "");
        QCOMPARE(data::FindFileIgnoringCase(dir.path(), u"Korvel.ini"_s).path, dir.filePath(u"Korvel.ini"_s));
    }

    // Access 97 keeps text in the file's code page: windows-1251 for Russian text. No catalogue in it.
    void jet3TextIsWindows1251()
    {
        const QString shared = QStringLiteral(VIDARRO_JET3_FIXTURE);
        if (!QFileInfo::exists(shared))
            QSKIP("the Jet 3 sample is not on this machine");
        QTemporaryDir dir;
        const QString file = dir.filePath(kBase);
        QVERIFY(QFile::copy(shared, file));
        Rows rows;
        QString error;
        QVERIFY2(CMdbReader().ReadRows(file, u"Shippers"_s, { u"shipperid"_s, u"CompanyName"_s }, &rows, &error),
            qPrintable(error));
        QCOMPARE(rows, (Rows { R(u"1|Быстрый Курьер"), R(u"2|Фёдор и Семён!"), R(u"3|Доставка «Ёжик».") }));
        JetFile jet;
        QVERIFY(InspectJetFile(file, &jet, &error));
        QCOMPARE(jet.kind, JetCatalogueKind::None);
    }

    void newbaseFrom()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(u"old.mdb"_s);
        QVERIFY(WriteBytes(old, Fixture(u"current-base-jet.mdb"_s)));
        const auto run = [&](const QStringList& args, QString* out) {
            QProcess p;
            p.start(QStringLiteral(VIDARRO_NEWBASE), QStringList { u"--from"_s, old } + args);
            p.waitForFinished(30000);
            *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
            return p.exitCode();
        };
        QString out;
        QCOMPARE(run({ dir.path() }, &out), 0);
        QVERIFY2(out.contains(u"Фильмов: 5\nДолжников: 4\nВ черном списке: 2\nИсходный файл «"_s), qPrintable(out));
        QCOMPARE(Table(dir.filePath(kBase), data::table::Debtors), TableRows(u"current-base-jet.mdb"_s, u"DOLGI"_s));
        QCOMPARE(run({ dir.path() }, &out), 1); // a catalogue is there now
        QVERIFY2(out.contains(u"запустите Vidarro в этой папке"_s), qPrintable(out));
        QCOMPARE(ReadBytes(old), Fixture(u"current-base-jet.mdb"_s));
        QCOMPARE(Folder(dir.path()).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestJetConvert)
#include "test_jetconvert.moc"
