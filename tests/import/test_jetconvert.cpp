// Converting a Windows-version catalogue: every value, the report, the original kept, failures changing nothing.
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "import/convertprompt.h"
#include "import/jetconvert.h"
#include "import/mdbreader.h"
#include "prevfixtures.h"
#include "scripted.h"
#include "testmain.h"

#include <QProcess>
#include <QScopeGuard>

using namespace prev;
using namespace import;

namespace {

const QString kBase = u"BaseFilm.mdb"_s;
const QString kKept = u"BaseFilm-access.mdb"_s;
const QString kNoBlack = u"В файле нет черного списка (BLACKSPISOK): создан пустой."_s;

// The catalogue's films, debtors and black list.
QList<Rows> Tables(const QString& path)
{
    data::CDaoDatabase db;
    db.Open(path);
    data::CDaoRecordset rs(db);
    QList<Rows> tables;
    for (QLatin1String table : { data::table::Films, data::table::Debtors, data::table::BlackList })
        for (tables << Rows(), rs.Open(table); !rs.IsEOF(); rs.MoveNext()) {
            tables.last() << QStringList();
            for (QLatin1String field : data::FieldsOf(table))
                tables.last().last() << rs.GetFieldValue(field);
        }
    return tables;
}

// Name and bytes of every file in the folder, hidden ones included.
QMap<QString, QByteArray> Folder(const QString& path)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(path).entryList(QDir::Files | QDir::Hidden))
        files[name] = ReadBytes(QDir(path).filePath(name));
    return files;
}

QString Report(qsizetype films, qsizetype debtors, qsizetype black, const QStringList& notes, const QString& kept)
{
    return (QStringList { u"Каталог переведён в новый формат."_s, u"Фильмов: %1"_s.arg(films),
                u"Должников: %1"_s.arg(debtors), u"В черном списке: %1"_s.arg(black) }
        + notes + QStringList { u"Исходный файл сохранён как «%1»."_s.arg(kept) })
        .join(u'\n');
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
        const auto row = [](const QString& fixture, const QString& name, const QString& taken, const QString& notes) {
            QTest::newRow(qPrintable(fixture)) << fixture << name << (taken.isEmpty() ? QStringList() : R(taken))
                                               << (notes.isEmpty() ? QStringList() : R(notes));
        };
        row(u"current-base-jet.mdb"_s, kBase, {}, {});
        row(u"current-format-only.mdb"_s, u"BASEFILM.MDB"_s, u"basefilm-ACCESS.mdb"_s, {});
        row(u"prev-3films-2debtors.mdb"_s, kBase, kKept, kNoBlack);
        row(u"prev-empty-films.mdb"_s, kBase, kKept + u"|BaseFilm-access-2.mdb"_s, kNoBlack);
        row(u"prev-no-debtors-table.mdb"_s, u"basefilm.mdb"_s, {},
            u"В файле нет таблицы должников (DOLGI): создана пустая.|"_s + kNoBlack);
        row(u"prev-nulls-and-numbers.mdb"_s, kBase, {}, kNoBlack);
    }
    void everyValueArrives()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, name);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, notes);
        QTemporaryDir dir;
        const QString file = dir.filePath(name);
        const QString kept = taken.isEmpty() ? kKept : u"BaseFilm-access-%1.mdb"_s.arg(taken.size() + 1);
        // Left by a conversion killed half-way: the temporary file and a second copy of the base go first.
        for (const QString& f : QStringList { name, u".BaseFilm-convert-x1.tmp"_s, u"BaseFilm-access-9.mdb"_s })
            QVERIFY(WriteBytes(dir.filePath(f), ReadBytes(JetPath(fixture))));
        QMap<QString, QByteArray> expected { { kept, ReadBytes(JetPath(fixture)) } }; // beside the new catalogue
        for (const QString& t : taken)
            QVERIFY(WriteBytes(dir.filePath(t), expected[t] = t.toUtf8()));
        RemoveConversionLeftovers(dir.path());
        Rows debtors = TableRows(fixture, u"DOLGI"_s);
        for (QStringList& d : debtors)
            d.resize(4, u"N"_s); // a previous-version debtor: "Отменина"
        const Rows films = TableRows(fixture, fixture.startsWith(u"current") ? u"KINVORA11"_s : u"KINVORA"_s);
        const Rows black = TableRows(fixture, u"BLACKSPISOK"_s);

        ScriptedUi ui;
        ui.ExpectMessage(u"Файл «%1» — каталог Windows-версии программы (база Microsoft Access). Перевести его в "
                         u"новый формат? Исходный файл сохранится рядом под именем «%2»."_s.arg(name, kept));
        ui.ExpectMessage(Report(films.size(), debtors.size(), black.size(), notes, kept));
        QVERIFY(OfferJetConversion(nullptr, file));
        VERIFY_SCRIPT(ui);
        QCOMPARE(Tables(file), (QList<Rows> { films, debtors, black }));

        RemoveLeftovers(dir.path()); // the original is no Jet "BaseFilm.mdb" any more: nothing goes
        auto files = Folder(dir.path());
        QVERIFY(files.remove(name));
        QCOMPARE(files, expected);
    }

    void failuresLeaveTheOriginal_data()
    {
        QTest::addColumn<int>("step"); // the one that fails, or -1
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why"); // none: the question is answered "Отмена"
        QTest::addColumn<bool>("cut"); // the reader's stream ends part-way through the films
        const QByteArray good = ReadBytes(JetPath(u"prev-large.mdb"_s));
        for (ConvertStep step : { ConvertStep::Records, ConvertStep::Flush, ConvertStep::Keep, ConvertStep::Replace })
            QTest::newRow(qPrintable(u"fault at step %1"_s.arg(int(step)))) << int(step) << good << u"диск"_s << false;
        QTest::newRow("header only") << -1 << good.left(4096) << u"Access"_s << false;
        QTest::newRow("SQLite") << -1 << QByteArray("SQLite format 3\0", 16) << u"не является базой Microsoft Access"_s
                                << false;
        QTest::newRow("Отмена") << -1 << good << QString() << false;
        QTest::newRow("stream cut short") << -1 << good << u"повреждён"_s << true;
    }
    void failuresLeaveTheOriginal()
    {
        QFETCH(int, step);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QFETCH(bool, cut);
        QTemporaryDir dir, helperDir;
        QVERIFY(WriteBytes(dir.filePath(kBase), bytes));
        const auto before = Folder(dir.path());
        SetConvertFaultHook([step](ConvertStep s) { return int(s) != step; });
        const auto restore = qScopeGuard([] { CMdbReader::SetHelperPath({}); });
        if (cut) {
            // Thousands of films are already in the new file when the stream breaks off.
            const QString helper = helperDir.filePath(u"cut-helper"_s);
            QVERIFY(WriteBytes(helper,
                "#!/bin/sh\n[ \"$1\" = tables ] && exec '" + CMdbReader::HelperPath().toUtf8() + "' \"$@\"\n'"
                    + CMdbReader::HelperPath().toUtf8() + "' \"$@\" | head -c 1000000\n"));
            QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            CMdbReader::SetHelperPath(helper);
        }
        ScriptedUi ui;
        if (why.isEmpty() || step >= 0 || cut)
            ui.ExpectMessageContaining(
                u"«BaseFilm.mdb» — каталог Windows-версии"_s, why.isEmpty() ? app::IDCANCEL : app::IDOK);
        if (!why.isEmpty())
            ui.ExpectMessageContaining(why);
        QVERIFY(!OfferJetConversion(nullptr, dir.filePath(kBase)));
        VERIFY_SCRIPT(ui);
        QCOMPARE(Folder(dir.path()), before);
    }

    // The disk fills up while the films stream in: the reader is stopped and the folder is as it was.
    void fullDiskMidStream()
    {
        QTemporaryDir dir;
        const QByteArray good = ReadBytes(JetPath(u"prev-large.mdb"_s));
        const QString size = u"size=%1"_s.arg(good.size() + (1 << 20));
        if (QProcess::execute(u"mount"_s, { u"-t"_s, u"tmpfs"_s, u"-o"_s, size, u"tmpfs"_s, dir.path() }) != 0)
            QSKIP("no tmpfs can be mounted here (needs root)");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, { dir.path() }); });
        QVERIFY(WriteBytes(dir.filePath(kBase), good));
        const auto before = Folder(dir.path());
        ScriptedUi ui;
        ui.ExpectMessageContaining(u"«BaseFilm.mdb» — каталог Windows-версии"_s, app::IDOK);
        ui.ExpectMessageContaining(u"на диске не хватает места для нового каталога"_s);
        QVERIFY(!OfferJetConversion(nullptr, dir.filePath(kBase)));
        VERIFY_SCRIPT(ui);
        QCOMPARE(Folder(dir.path()), before);
    }

    // Access 97 keeps text in the file's code page, here windows-1251.
    void jet3TextIsWindows1251()
    {
        const QString shared = QStringLiteral(VIDARRO_JET3_FIXTURE);
        if (!QFileInfo::exists(shared))
            QSKIP("the Jet 3 sample is not on this machine");
        QTemporaryDir dir;
        const QString file = dir.filePath(kBase);
        Rows rows;
        QVERIFY(QFile::copy(shared, file)
            && CMdbReader().ReadRows(file, u"Shippers"_s, { u"shipperid"_s, u"CompanyName"_s }, &rows, nullptr));
        QCOMPARE(rows, (Rows { R(u"1|Быстрый Курьер"), R(u"2|Фёдор и Семён!"), R(u"3|Доставка «Ёжик».") }));
        ScriptedUi ui;
        ui.ExpectMessage(
            u"Файл «BaseFilm.mdb» — база Microsoft Access, но не каталог фильмов: в ней нет таблицы KINVORA11."_s);
        QVERIFY(!OfferJetConversion(nullptr, file));
        VERIFY_SCRIPT(ui);
    }

    // The chosen file is only read; its copy beside the new catalogue is what gets converted.
    void chosenFileIsOnlyRead()
    {
        QTemporaryDir stick, dir;
        const QString chosen = stick.filePath(u"BASEFILM.MDB"_s);
        const QByteArray jet = ReadBytes(JetPath(u"prev-3films-2debtors.mdb"_s));
        WriteBytes(chosen, jet);
        ScriptedUi ui;
        ui.ExpectMessage(Report(3, 2, 0, { kNoBlack }, kKept));
        QVERIFY(ConvertChosenFile(nullptr, chosen, dir.path()));
        ui.ExpectMessageContaining(u"уже есть каталог «BaseFilm.mdb». Исходный файл не изменён."_s);
        QVERIFY(!ConvertChosenFile(nullptr, chosen, dir.path()));
        VERIFY_SCRIPT(ui);
        QCOMPARE(Folder(dir.path()).keys(), (QStringList { kKept, kBase }));
        QCOMPARE(ReadBytes(dir.filePath(kKept)), jet);
        QCOMPARE(ReadBytes(chosen), jet);
        // From the command line: the same catalogue, nothing kept beside it; never over an existing one.
        QTemporaryDir other;
        for (int exitCode : { 0, 1 }) {
            QProcess p;
            p.start(QStringLiteral(VIDARRO_NEWBASE), { u"--from"_s, chosen, other.path() });
            QVERIFY(p.waitForFinished(30000));
            const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
            QCOMPARE(p.exitCode(), exitCode);
            QVERIFY2(
                out.contains(exitCode ? u"запустите Vidarro в этой папке"_s : u"Должников: 2\n"_s), qPrintable(out));
        }
        QCOMPARE(Tables(other.filePath(kBase)), Tables(dir.filePath(kBase)));
        QCOMPARE(Folder(other.path()).keys(), QStringList { kBase });
        QCOMPARE(ReadBytes(chosen), jet);
    }
};

REGISTER_TEST(TestJetConvert)
#include "test_jetconvert.moc"
