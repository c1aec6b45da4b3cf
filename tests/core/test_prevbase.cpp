// Reading previous-version bases: the genuine Jet files value for value, SQLite bases of the same shape,
// the kind told by content, damaged files, and a helper process that fails.
#include "../import/prevfixtures.h"
#include "data/dberror.h"
#include "import/mdbreader.h"
#include "import/prevbase.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace prev;
using import::BaseKind;
using import::CMdbReader;
using import::CPrevBase;

namespace {
const QStringList kFilmColumns = R(u"NAMEFILM|REZISSER|ROLI|ZANR|REITING|NOSITEL|PRODOL|KOMENTAR");

// The message a step throws; empty when it succeeds.
QString Thrown(const std::function<void()>& step)
{
    try {
        step();
    } catch (const data::DbError& e) {
        return e.Text();
    }
    return {};
}

// The columns a table is read with; DOLGI of the current format has METKA too.
QStringList ColumnsOf(const QString& table, bool current = false)
{
    if (table.startsWith(u"KINVORA"_s))
        return kFilmColumns;
    if (table == u"DOLGI"_s)
        return R(current ? u"NAME|NAMEFILM|DATA|METKA" : u"NAME|NAMEFILM|DATA");
    if (table == u"BLACKSPISOK"_s)
        return R(u"NAME|PRICHINA");
    return table == u"MSysObjects"_s ? R(u"Name") : QStringList();
}

// prev-large.mdb: film i of 20000 and debtor j of 5000.
QString LargeFilmName(int i)
{
    static const QStringList kT
        = R(u"Ёжик в тумане|Тёмная ночь|Зимняя вишня|Осенний марафон|Берёзовая роща|"
            u"Летучий корабль|Жёлтый дом|Щит и меч|Семнадцать мгновений|Юность Петра|Чёрная кошка");
    return QStringLiteral("Фильм №%1 «%2»").arg(i, 5, 10, QLatin1Char('0')).arg(kT[i % 11]);
}

QStringList LargeFilm(int i)
{
    static const QStringList kD = R(u"Андрей Тарковский|Георгий Данелия|Эльдар Рязанов|Леонид Гайдай|Никита Михалков|"
                                    u"Алексей Герман|Сергей Бондарчук");
    static const QStringList kA = R(u"Олег Янковский|Евгений Леонов|Андрей Миронов|Людмила Гурченко|Анатолий Папанов|"
                                    u"Фёдор Бондарчук|Инна Чурикова|Юрий Никулин|Татьяна Самойлова");
    static const QStringList kG = R(u"Комедия|Боевик|Ужасы|Фантастика|Мультфильм|Клипы|Караоке|Драма|Триллер|"
                                    u"Документальный фильм|Мелодрама|Эротика|Порнография");
    static const QStringList kM = R(u"DVD|CD|VCD|Super VCD|VHS|Flash|Черный ящик");
    QString comment = QStringLiteral("Комментарий к фильму №%1").arg(i);
    if (i == 5000 || i == 10000 || i == 15000) {
        comment = QStringLiteral("Длинный комментарий №%1:").arg(i);
        while (comment.size() < 6000)
            comment += QStringLiteral(" Ёлочка");
        comment.truncate(6000);
    } else if (i % 10 == 0) {
        comment += QStringLiteral("\r\nВторая строка.");
    }
    return { LargeFilmName(i), kD[i % 7], kA[i % 9] + QStringLiteral(", ") + kA[(7 * i + 4) % 9], kG[i % 13],
        QString::number(i % 11), kM[i % 7], QStringLiteral("%1 мин").arg(80 + i % 100), comment };
}

QStringList LargeDebtor(int j)
{
    static const QStringList kS = R(u"Иванов|Петров|Сидоров|Ёлкин|Смирнов|Кузнецов|Попов|Соколов|Лебедев");
    static const QStringList kN = R(u"Петр|Алексей|Фёдор|Семён|Олег|Артём|Игорь");
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return { QStringLiteral("%1 %2 (должник %3)").arg(kS[j % 9], kN[j % 7]).arg(j, 4, 10, QLatin1Char('0')),
        LargeFilmName(4 * j), two(1 + j % 28) + u'.' + two(1 + j % 12) + u'.' + QString::number(2005 + j % 5) };
}

QString JetPath(const QString& file)
{
    return QStringLiteral(VIDARRO_FIXTURES_DIR "/jet/") + file;
}
} // namespace

class TestPrevBase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void jetFixturesReadExactly_data();
    void jetFixturesReadExactly();
    void largeBaseFollowsItsRules();
    void columnsAndTablesByName();
    void sqliteBaseAndKindByContent();
    void helperFailuresAreErrors();
    void damagedCopiesNeverHangOrCrash();

private:
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
};

void TestPrevBase::init()
{
    QVERIFY(m_dir.isValid());
    CMdbReader::SetHelperPath({});
    CMdbReader::SetIdleTimeoutMs(15000);
}

void TestPrevBase::jetFixturesReadExactly_data()
{
    QTest::addColumn<QString>("file");
    for (const STable& table : kJetTables)
        if (table.name.startsWith(u"KINVORA"_s))
            QTest::newRow(qPrintable(table.file)) << table.file;
}

void TestPrevBase::jetFixturesReadExactly()
{
    QFETCH(QString, file);
    // Named unlike a Jet file, with blanks, Cyrillic, '#', '?', quotes and a leading '-'.
    const QString path = Copy(file, u"-база \"#1?\" "_s + file + u".db"_s);
    const QByteArray before = ReadBytes(path);
    QCOMPARE(import::DetectBaseKind(path), BaseKind::Jet);
    CPrevBase base;
    base.Open(path);
    QCOMPARE(base.Kind(), BaseKind::Jet);
    QStringList names = R(u"MSysObjects|MSysACEs|MSysQueries|MSysRelationships|MSysAccessObjects");
    for (const STable& table : kJetTables) {
        if (table.file != file)
            continue;
        names << table.name;
        QCOMPARE(base.ReadTable(table.name, ColumnsOf(table.name, file.startsWith(u"current"_s))), table.rows);
    }
    QCOMPARE(base.TableNames(), names);
    QCOMPARE(ReadBytes(path), before);
}

void TestPrevBase::largeBaseFollowsItsRules()
{
    const QString path = Copy(u"prev-large.mdb"_s, u"prev-large.mdb"_s);
    CPrevBase base;
    base.Open(path);
    const Rows films = base.ReadTable(u"KINVORA"_s, kFilmColumns);
    const Rows debtors = base.ReadTable(u"DOLGI"_s, ColumnsOf(u"DOLGI"_s));
    QCOMPARE(films, Generate(20000, LargeFilm));
    QCOMPARE(films[4999][7].size(), 6000); // a long memo arrives whole
    QCOMPARE(debtors, Generate(5000, LargeDebtor));
}

void TestPrevBase::columnsAndTablesByName()
{
    const QString path = Copy(u"prev-nulls-and-numbers.mdb"_s, u"nulls.mdb"_s);
    CPrevBase base;
    QVERIFY(!Thrown([&] { base.ReadTable(u"KINVORA"_s, kFilmColumns); }).isEmpty()); // not open yet
    base.Open(path);
    // Columns as the engine's field lookup finds them: any subset, any order, twice, in another case.
    QCOMPARE(base.ReadTable(u"KINVORA"_s, { u"reiting"_s, u"NameFilm"_s, u"REITING"_s }),
        (Rows { R(u"7|Бриллиантовая рука|7"), R(u"10|Девчата|10") }));
    // No columns: one empty row per record, which is how the dialog counts them.
    QCOMPARE(base.ReadTable(u"KINVORA"_s, {}), (Rows { {}, {} }));

    // Table names are exact, unlike the engine's lookup; what is missing is named with the file.
    const QList<std::pair<QString, QString>> missing { { u"kinvora"_s, u"NAMEFILM"_s }, { u"BLACKSPISOK"_s, u"NAME"_s },
        { u"KINVORA"_s, u"ОЦЕНКА"_s } };
    for (const auto& [table, column] : missing) {
        const QString error = Thrown([&] { base.ReadTable(table, { u"NAMEFILM"_s, column }); });
        const bool named = error.contains(table) && (column != u"ОЦЕНКА"_s || error.contains(column));
        QVERIFY2(named && error.contains(u"nulls.mdb"_s), qPrintable(error));
    }
    CMdbReader reader; // the helper itself, too
    Rows rows;
    QString error;
    QVERIFY(!reader.ReadRows(path, u"Kinvora"_s, kFilmColumns, &rows, &error));
    QVERIFY2(error.contains(u"Kinvora"_s), qPrintable(error));
}

void TestPrevBase::sqliteBaseAndKindByContent()
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
    base.Open(sqlite);
    QCOMPARE(base.Kind(), BaseKind::Sqlite);
    QCOMPARE(base.TableNames(), R(u"DOLGI|sqlite_sequence|KINVORA"));
    QCOMPARE(base.ReadTable(u"KINVORA"_s, kFilmColumns), Generate(3, SqliteFilm));
    QCOMPARE(base.ReadTable(u"DOLGI"_s, R(u"name|NameFilm|DATA")), Generate(2, SqliteDebtor));
    QVERIFY(!Thrown([&] { base.ReadTable(u"kinvora"_s, kFilmColumns); }).isEmpty());
    const QString error = Thrown([&] { base.ReadTable(u"KINVORA"_s, { u"NAMEFILM"_s, u"НЕТ"_s }); });
    QVERIFY2(error.contains(u"НЕТ"_s), qPrintable(error));

    // Nothing is written or created: no journal, and no file for a missing path.
    QVERIFY(!Thrown([&] { base.Open(folder + u"/нет #4?.mdb"_s); }).isEmpty());
    QCOMPARE(ReadBytes(sqlite), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
}

void TestPrevBase::helperFailuresAreErrors()
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
        { "silent success", "exit 0" }, { "unknown exit", "exit 42" }, { "floods", "head -c 200000000 /dev/zero" } };
    CMdbReader::SetIdleTimeoutMs(700);
    CPrevBase base;
    QString error;
    for (const auto& [name, script] : cases) {
        QVERIFY(useHelper(script));
        error = Thrown([&] { base.Open(path); });
        QVERIFY2(error.contains(u"base.mdb"_s), qPrintable(error));
        if (qstrcmp(name, "hangs") == 0)
            QVERIFY2(error.contains(u"прервано"_s), qPrintable(error));
    }

    // Fine for the list of tables, killed on the rows.
    QVERIFY(
        useHelper("if [ \"$1\" = tables ]; then printf 'VMDB1\\nS\\007\\000\\000\\000KINVORAE\\001\\000\\000\\0001';"
                  " exit 0; fi\nkill -KILL $$"));
    base.Open(path);
    QCOMPARE(base.TableNames(), QStringList { u"KINVORA"_s });
    error = Thrown([&] { base.ReadTable(u"KINVORA"_s, kFilmColumns); });
    QVERIFY2(error.contains(u"base.mdb"_s), qPrintable(error));

    CMdbReader::SetHelperPath(m_dir.filePath(u"no-such-helper"_s));
    error = Thrown([&] { base.Open(path); });
    QVERIFY2(error.contains(u"vidarro-mdbread"_s), qPrintable(error));
}

void TestPrevBase::damagedCopiesNeverHangOrCrash()
{
    // Truncations, random bytes in any page or in a table definition or data page (where libmdb trusts
    // offsets most), and whole pages zeroed or noise, from a fixed seed, of the small Jet fixtures and of an
    // SQLite base (read in this process). Each copy reads cleanly or fails with a message naming it; the
    // caller never crashes and a hung helper is killed.
    CMdbReader::SetIdleTimeoutMs(2000);
    QList<QByteArray> sources;
    for (const QString& file : R(u"prev-3films-2debtors.mdb|prev-nulls-and-numbers.mdb|current-base-jet.mdb|"
                                 u"prev-empty-films.mdb"))
        sources << ReadBytes(JetPath(file));
    QVERIFY(MakeSqliteBase(m_dir.filePath(u"source.db"_s), u"KINVORA"_s, 40, 20));
    sources << ReadBytes(m_dir.filePath(u"source.db"_s));
    QRandomGenerator random(0x5EED1234);
    const QString path = m_dir.filePath(u"damaged.mdb"_s);
    int rejected = 0, tablesRead = 0, tablesRefused = 0, hung = 0, crashed = 0;
    const auto failed = [&](const QString& error) {
        hung += error.contains(u"прервано"_s) ? 1 : 0;
        crashed += error.contains(u"аварийно"_s) ? 1 : 0;
        return error.contains(u"damaged.mdb"_s);
    };
    constexpr int kCopies = 400;
    for (int n = 0; n < kCopies; ++n) {
        QByteArray bytes = sources[n % sources.size()];
        const int pages = int(bytes.size() / 4096);
        const int kind = n / int(sources.size()) % 4;
        int page = random.bounded(pages);
        if (kind == 0) {
            bytes.truncate(random.bounded(int(bytes.size())));
        } else if (kind == 3) {
            for (int i = 0; i < 4096; ++i)
                bytes[page * 4096 + i] = (n % 2) ? char(random.bounded(256)) : '\0';
        } else {
            QList<int> structured;
            for (int p = 1; p < pages; ++p)
                if (bytes.at(p * 4096) == 1 || bytes.at(p * 4096) == 2)
                    structured.append(p);
            if (kind == 2 && !structured.isEmpty())
                page = structured[random.bounded(int(structured.size()))];
            for (int k = random.bounded(1, kind == 1 ? 24 : 8); k > 0; --k)
                bytes[page * 4096 + random.bounded(4096)] = char(random.bounded(256));
        }
        QVERIFY(WriteBytes(path, bytes));
        const auto unchanged = qScopeGuard([&] { QCOMPARE(ReadBytes(path), bytes); });

        CPrevBase base;
        QString error = Thrown([&] { base.Open(path); });
        if (!error.isEmpty()) {
            QVERIFY2(failed(error), qPrintable(error));
            ++rejected;
            continue;
        }
        for (const QString& table : base.TableNames()) {
            const QStringList columns = ColumnsOf(table);
            Rows rows;
            error = Thrown([&] { rows = base.ReadTable(table, columns); });
            if (error.isEmpty()) {
                ++tablesRead;
                for (const QStringList& row : std::as_const(rows))
                    QCOMPARE(row.size(), columns.size());
            } else {
                ++tablesRefused;
                QVERIFY2(failed(error), qPrintable(error));
            }
        }
    }
    qInfo("%d damaged copies: %d rejected at opening; tables read %d, refused %d; helper hung %d, crashed %d", kCopies,
        rejected, tablesRead, tablesRefused, hung, crashed);
}

QTEST_GUILESS_MAIN(TestPrevBase)
#include "test_prevbase.moc"
