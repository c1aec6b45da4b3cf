// Reading previous-version bases: the genuine Jet files value for value, SQLite bases of the same shape,
// the kind told by content, and a helper process that fails. Damaged copies: fuzz_prevbase.cpp.
#include "prevfixtures.h"
#include "testmain.h"

#include "import/mdbreader.h"
#include "import/prevbase.h"

#include <QDir>
#include <QTemporaryDir>

using namespace prev;
using import::BaseKind;
using import::CMdbReader;
using import::CPrevBase;

namespace {
const QStringList kFilmColumns = R(u"NAMEFILM|REZISSER|ROLI|ZANR|REITING|NOSITEL|PRODOL|KOMENTAR");
const QString kLarge = u"prev-large.mdb"_s;
} // namespace

class TestPrevBase : public QObject {
    Q_OBJECT

    // The genuine files are never touched: every test reads its own copy.
    QString Copy(const QString& fixture, const QString& name)
    {
        const QString target = m_dir.filePath(name);
        QFile::remove(target);
        QFile::copy(JetPath(fixture), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init()
    {
        CMdbReader::SetHelperPath({});
        CMdbReader::SetIdleTimeoutMs(15000);
    }

    void jetFixturesReadExactly_data()
    {
        QTest::addColumn<QString>("file");
        for (const STable& table : JetTables())
            if (table.name.startsWith(u"KINVORA"_s))
                QTest::newRow(qPrintable(table.file)) << table.file;
    }
    void jetFixturesReadExactly()
    {
        QFETCH(QString, file);
        // Named unlike a Jet file, with blanks, Cyrillic, '#', '?', quotes and a leading '-'.
        const QString path = Copy(file, u"-база \"#1?\" "_s + file + u".db"_s);
        const QByteArray before = ReadBytes(path);
        QCOMPARE(import::DetectBaseKind(path), BaseKind::Jet);
        CPrevBase base;
        QString error;
        QVERIFY2(base.Open(path, &error), qPrintable(error));
        QStringList names = R(u"MSysObjects|MSysACEs|MSysQueries|MSysRelationships|MSysAccessObjects");
        for (const STable& table : JetTables()) {
            if (table.file != file)
                continue;
            names << table.name;
            const bool metka = table.name == u"DOLGI"_s && file.startsWith(u"current"_s);
            const QStringList columns = table.name.startsWith(u"KINVORA"_s) ? kFilmColumns
                : table.name == u"DOLGI"_s ? R(metka ? u"NAME|NAMEFILM|DATA|METKA" : u"NAME|NAMEFILM|DATA")
                                           : R(u"NAME|PRICHINA");
            Rows rows;
            QVERIFY2(base.ReadTable(table.name, columns, &rows, &error), qPrintable(error));
            if (file == kLarge) {
                // Samples, every film in order, each debtor naming film 4j, and a long memo whole.
                for (auto [n, row] : table.rows.asKeyValueRange())
                    QCOMPARE(rows.value(n - 1), row);
                QCOMPARE(rows.size(), table.name == u"DOLGI"_s ? 5000 : 20000);
                for (int i = 0; i < rows.size(); ++i)
                    QVERIFY(rows[i][table.name == u"DOLGI"_s ? 1 : 0].startsWith(
                        u"Фильм №%1 «"_s.arg(table.name == u"DOLGI"_s ? 4 * i + 4 : i + 1, 5, 10, QChar(u'0'))));
                if (table.name == u"KINVORA"_s)
                    QCOMPARE(rows[4999][7].size(), 6000);
            } else {
                QCOMPARE(rows, table.rows.values());
            }
        }
        QCOMPARE(base.TableNames(), names);
        QCOMPARE(ReadBytes(path), before);
    }

    void columnsAndTablesByName()
    {
        const QString path = Copy(u"prev-nulls-and-numbers.mdb"_s, u"nulls.mdb"_s);
        CPrevBase base;
        QString error;
        Rows rows;
        QVERIFY(!base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error)); // not open yet
        QVERIFY2(base.Open(path, &error), qPrintable(error));
        // Columns as the engine's field lookup finds them: any subset, any order, twice, in another case.
        QVERIFY(base.ReadTable(u"KINVORA"_s, { u"reiting"_s, u"NameFilm"_s, u"REITING"_s }, &rows, &error));
        QCOMPARE(rows, (Rows { R(u"7|Бриллиантовая рука|7"), R(u"10|Девчата|10") }));
        // No columns: one empty row per record, which is how the dialog counts them.
        QVERIFY(base.ReadTable(u"KINVORA"_s, {}, &rows, &error));
        QCOMPARE(rows, (Rows { {}, {} }));
        // Table names are exact, unlike the engine's lookup; what is missing is named with the file.
        for (const auto& [table, column] : { std::pair { u"kinvora"_s, u"NAMEFILM"_s }, { u"BLACKSPISOK"_s, u"NAME"_s },
                 { u"KINVORA"_s, u"ОЦЕНКА"_s } }) {
            QVERIFY(!base.ReadTable(table, { u"NAMEFILM"_s, column }, &rows, &error));
            const bool named = error.contains(table) && (column != u"ОЦЕНКА"_s || error.contains(column));
            QVERIFY2(named && error.contains(u"nulls.mdb"_s), qPrintable(error));
        }
        CMdbReader reader; // the helper itself, too
        QVERIFY(!reader.ReadRows(path, u"Kinvora"_s, kFilmColumns, &rows, &error));
        QVERIFY2(error.contains(u"Kinvora"_s), qPrintable(error));
    }

    void sqliteBaseAndKindByContent()
    {
        // Named like a Jet file, in a folder whose name has blanks, Cyrillic, '#', '?', and with quotes.
        const QString folder = m_dir.filePath(u"Старые базы #1?"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString sqlite = folder + u"/-база \"фильмов\" #2?.mdb"_s;
        QVERIFY(MakeSqliteBase(sqlite, u"KINVORA"_s, 3, 2));
        const QByteArray before = ReadBytes(sqlite);
        QCOMPARE(import::DetectBaseKind(sqlite), BaseKind::Sqlite);
        QCOMPARE(import::DetectBaseKind(folder + u"/нет.mdb"_s), BaseKind::Missing);
        QCOMPARE(import::DetectBaseKind(folder), BaseKind::Unknown);
        CPrevBase base;
        QString error;
        Rows rows;
        QVERIFY2(base.Open(sqlite, &error), qPrintable(error));
        QCOMPARE(base.TableNames(), R(u"DOLGI|sqlite_sequence|KINVORA"));
        QVERIFY(base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error));
        QCOMPARE(rows, Generate(3, SqliteFilm));
        QVERIFY(base.ReadTable(u"DOLGI"_s, R(u"name|NameFilm|DATA"), &rows, &error));
        QCOMPARE(rows, Generate(2, SqliteDebtor));
        QVERIFY(!base.ReadTable(u"kinvora"_s, kFilmColumns, &rows, &error));
        QVERIFY(!base.ReadTable(u"KINVORA"_s, { u"NAMEFILM"_s, u"НЕТ"_s }, &rows, &error));
        QVERIFY2(error.contains(u"НЕТ"_s), qPrintable(error));
        // Nothing is written or created: no journal, and no file for a missing path.
        QVERIFY(!base.Open(folder + u"/нет #4?.mdb"_s, &error));
        QCOMPARE(ReadBytes(sqlite), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }

    void helperFailuresAreErrors()
    {
        const QString path = Copy(u"prev-3films-2debtors.mdb"_s, u"base.mdb"_s);
        const QString helper = m_dir.filePath(u"fake-helper"_s);
        const auto useHelper = [&](const QByteArray& body) {
            CMdbReader::SetHelperPath(helper);
            return WriteBytes(helper, "#!/bin/sh\n" + body + '\n')
                && QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        const QList<std::pair<const char*, QByteArray>> cases { { "hangs", "exec sleep 30" },
            { "crashes", "kill -SEGV $$" }, { "garbage", "printf 'VMDB1\\nS\\377\\377\\377\\377'" },
            { "cut short", "printf 'VMDB1\\nS\\003\\000\\000\\000abc'" },
            { "false end", "printf 'VMDB1\\nS\\003\\000\\000\\000abcE\\001\\000\\000\\0002'" },
            { "silent success", "exit 0" }, { "unknown exit", "exit 42" },
            { "floods", "head -c 200000000 /dev/zero" } };
        CMdbReader::SetIdleTimeoutMs(700);
        CPrevBase base;
        QString error;
        for (const auto& [name, script] : cases) {
            QVERIFY(useHelper(script));
            QVERIFY2(!base.Open(path, &error), name);
            QVERIFY2(error.contains(u"base.mdb"_s), qPrintable(error));
            QVERIFY2(qstrcmp(name, "hangs") != 0 || error.contains(u"прервано"_s), qPrintable(error));
        }
        // Fine for the list of tables, killed on the rows.
        QVERIFY(useHelper(
            "if [ \"$1\" = tables ]; then printf 'VMDB1\\nS\\007\\000\\000\\000KINVORAE\\001\\000\\000\\0001';"
            " exit 0; fi\nkill -KILL $$"));
        QVERIFY2(base.Open(path, &error), qPrintable(error));
        QCOMPARE(base.TableNames(), QStringList { u"KINVORA"_s });
        Rows rows;
        QVERIFY(!base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error));
        QVERIFY2(error.contains(u"base.mdb"_s), qPrintable(error));
        CMdbReader::SetHelperPath(m_dir.filePath(u"no-such-helper"_s));
        QVERIFY(!base.Open(path, &error));
        QVERIFY2(error.contains(u"vidarro-mdbread"_s), qPrintable(error));
    }
};

REGISTER_TEST(TestPrevBase)
#include "test_prevbase.moc"
