#include "import/mdbreader.h"
#include "import/prevbase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using import::BaseKind;
using import::CMdbReader;
using import::CPrevBase;

namespace {

struct STable {
    QString name;
    QStringList columns;
    QList<QStringList> rows;
};

struct SFixture {
    QString file;
    QList<STable> tables;
};

const QStringList kSystemTables
    = { u"MSysObjects"_s, u"MSysACEs"_s, u"MSysQueries"_s, u"MSysRelationships"_s, u"MSysAccessObjects"_s };
const QStringList kFilmColumns
    = { u"NAMEFILM"_s, u"REZISSER"_s, u"ROLI"_s, u"ZANR"_s, u"REITING"_s, u"NOSITEL"_s, u"PRODOL"_s, u"KOMENTAR"_s };
const QStringList kDebtorColumns = { u"NAME"_s, u"NAMEFILM"_s, u"DATA"_s };
const QStringList kCurrentDebtorColumns = { u"NAME"_s, u"NAMEFILM"_s, u"DATA"_s, u"METKA"_s };
const QStringList kBlackColumns = { u"NAME"_s, u"PRICHINA"_s };

// Every value of the genuine Jet files, as their manifest lists them (NULL read as "").
QList<SFixture> Fixtures()
{
    return {
        { u"prev-3films-2debtors.mdb"_s,
            { { u"KINVORA"_s, kFilmColumns,
                  { { u"Брат"_s, u"Алексей Балабанов"_s,
                        u"Сергей Бодров-младший, Виктор Сухоруков, Светлана Письмиченко"_s, u"Драма"_s, u"9"_s,
                        u"DVD"_s, u"96 мин"_s, u"Классика девяностых.\r\nДиск в коробке №3.\r\nВзял у Фёдора."_s },
                      { u"Ёлки"_s, u"Тимур Бекмамбетов"_s, u"Иван Ургант, Сергей Светлаков, Вера Брежнева"_s,
                          u"Комедия"_s, u"n/d"_s, u"Flash"_s, u"90 мин"_s, u""_s },
                      { u"Покровские ворота"_s, u"Михаил Козаков"_s,
                          u"Олег Меньшиков, Инна Ульянова, Леонид Броневой"_s, u"Мелодрама"_s, u"10"_s, u"VHS"_s,
                          u"  137 мин  "_s, u"Подарок от Семёна"_s } } },
                { u"DOLGI"_s, kDebtorColumns,
                    { { u"Иванов Петр"_s, u"Брат"_s, u"12.03.2007"_s },
                        { u"Семёнова Алёна"_s, u"Покровские ворота"_s, u"1 марта"_s } } } } },
        { u"prev-empty-films.mdb"_s,
            { { u"KINVORA"_s, kFilmColumns, {} },
                { u"DOLGI"_s, kDebtorColumns,
                    { { u"Кузнецов Олег"_s, u"Сталкер"_s, u"05.11.2008"_s },
                        { u"Ёжиков Артём"_s, u"Кин-дза-дза!"_s, u"28 февраля"_s } } } } },
        { u"current-format-only.mdb"_s,
            { { u"KINVORA11"_s, kFilmColumns,
                  { { u"Москва слезам не верит"_s, u"Владимир Меньшов"_s,
                        u"Вера Алентова, Алексей Баталов, Ирина Муравьёва"_s, u"Мелодрама"_s, u"8"_s, u"DVD"_s,
                        u"150 мин"_s, u"Оскар 1981 года"_s },
                      { u"Белое солнце пустыни"_s, u"Владимир Мотыль"_s,
                          u"Анатолий Кузнецов, Павел Луспекаев, Спартак Мишулин"_s, u"Боевик"_s, u"10"_s, u"CD"_s,
                          u"84 мин"_s, u"n/d"_s } } },
                { u"DOLGI"_s, kCurrentDebtorColumns,
                    { { u"Петров Андрей"_s, u"Белое солнце пустыни"_s, u"03.04.2009"_s, u"N"_s },
                        { u"Смирнова Наталья"_s, u"Москва слезам не верит"_s, u"15 мая"_s, u"B"_s } } },
                { u"BLACKSPISOK"_s, kBlackColumns, { { u"Сидоров Фёдор"_s, u"Вернул диск поцарапанным"_s } } } } },
        { u"prev-no-debtors-table.mdb"_s,
            { { u"KINVORA"_s, kFilmColumns,
                { { u"Служебный роман"_s, u"Эльдар Рязанов"_s, u"Андрей Мягков, Алиса Фрейндлих, Олег Басилашвили"_s,
                      u"Комедия"_s, u"9"_s, u"DVD"_s, u"159 мин"_s, u"Две серии на одном диске"_s },
                    { u"Ирония судьбы, или С лёгким паром!"_s, u"Эльдар Рязанов"_s,
                        u"Андрей Мягков, Барбара Брыльска, Юрий Яковлев"_s, u"Мелодрама"_s, u"10"_s, u"VHS"_s,
                        u"184 мин"_s, u"Смотреть 31 декабря"_s } } } } },
        { u"prev-nulls-and-numbers.mdb"_s,
            { { u"KINVORA"_s, kFilmColumns,
                  { { u"Бриллиантовая рука"_s, u"Леонид Гайдай"_s, u""_s, u"Комедия"_s, u"7"_s, u""_s, u"94 мин"_s,
                        u"Шедевр Гайдая"_s },
                      { u"Девчата"_s, u""_s, u"Надежда Румянцева, Николай Рыбников"_s, u""_s, u"10"_s, u"DVD"_s, u""_s,
                          u""_s } } },
                { u"DOLGI"_s, kDebtorColumns, { { u"Васильев Игорь"_s, u"Девчата"_s, u""_s } } } } },
        { u"current-base-jet.mdb"_s,
            { { u"KINVORA11"_s, kFilmColumns,
                  { { u"Кавказская пленница, или Новые приключения Шурика"_s, u"Леонид Гайдай"_s,
                        u"Александр Демьяненко, Наталья Варлей, Юрий Никулин, Георгий Вицин, Евгений Моргунов"_s,
                        u"Комедия"_s, u"10"_s, u"DVD"_s, u"82 мин"_s,
                        u"Любимый фильм всей семьи.\r\nНе давать Ёлкину!"_s },
                      { u"Солярис"_s, u"Андрей Тарковский"_s, u"Наталья Бондарчук, Донатас Банионис"_s, u"Фантастика"_s,
                          u"8"_s, u"VHS"_s, u"169 мин"_s, u"n/d"_s },
                      { u"Ёжик в тумане"_s, u"Юрий Норштейн"_s, u"n/d"_s, u"Мультфильм"_s, u"10"_s, u"CD"_s,
                          u"10 мин"_s, u""_s },
                      { u"Сибирский цирюльник"_s, u"Никита Михалков"_s, u"Олег Меньшиков, Джулия Ормонд"_s, u"Драма"_s,
                          u"n/d"_s, u"Super VCD"_s, u" 180 мин "_s, u"Две кассеты"_s },
                      { u"Ночной дозор"_s, u"Тимур Бекмамбетов"_s, u"Константин Хабенский, Владимир Меньшов"_s,
                          u"Другой жанр"_s, u"6"_s, u"Черный ящик"_s, u"114 мин"_s, u"Копия с лицензии"_s } } },
                { u"DOLGI"_s, kCurrentDebtorColumns,
                    { { u"Иванов Петр"_s, u"Солярис"_s, u"12.03.2007"_s, u"N"_s },
                        { u"Ёлкин Семён"_s, u"Кавказская пленница, или Новые приключения Шурика"_s, u"1 марта"_s,
                            u"B"_s },
                        { u"Громов Артём"_s, u"Ночной дозор"_s, u"n/d"_s, u"C"_s },
                        { u"Лебедева Ольга"_s, u"Ёжик в тумане"_s, u"20.09.2008"_s, u"X"_s } } },
                { u"BLACKSPISOK"_s, kBlackColumns,
                    { { u"Громов Артём"_s, u"Не вернул «Ночной дозор»"_s },
                        { u"Фёдоров Кирилл"_s, u"Потерял кассету.\r\nНа звонки не отвечает."_s } } } } },
    };
}

QString FixturePath(const QString& file)
{
    return QStringLiteral(VIDARRO_FIXTURES_DIR "/jet/") + file;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool WriteScript(const QString& path, const QByteArray& body)
{
    if (!WriteBytes(path, "#!/bin/sh\n" + body + '\n'))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// prev-large.mdb: every value follows these rules.
const QStringList kT = { u"Ёжик в тумане"_s, u"Тёмная ночь"_s, u"Зимняя вишня"_s, u"Осенний марафон"_s,
    u"Берёзовая роща"_s, u"Летучий корабль"_s, u"Жёлтый дом"_s, u"Щит и меч"_s, u"Семнадцать мгновений"_s,
    u"Юность Петра"_s, u"Чёрная кошка"_s };
const QStringList kD = { u"Андрей Тарковский"_s, u"Георгий Данелия"_s, u"Эльдар Рязанов"_s, u"Леонид Гайдай"_s,
    u"Никита Михалков"_s, u"Алексей Герман"_s, u"Сергей Бондарчук"_s };
const QStringList kA = { u"Олег Янковский"_s, u"Евгений Леонов"_s, u"Андрей Миронов"_s, u"Людмила Гурченко"_s,
    u"Анатолий Папанов"_s, u"Фёдор Бондарчук"_s, u"Инна Чурикова"_s, u"Юрий Никулин"_s, u"Татьяна Самойлова"_s };
const QStringList kG = { u"Комедия"_s, u"Боевик"_s, u"Ужасы"_s, u"Фантастика"_s, u"Мультфильм"_s, u"Клипы"_s,
    u"Караоке"_s, u"Драма"_s, u"Триллер"_s, u"Документальный фильм"_s, u"Мелодрама"_s, u"Эротика"_s, u"Порнография"_s };
const QStringList kM = { u"DVD"_s, u"CD"_s, u"VCD"_s, u"Super VCD"_s, u"VHS"_s, u"Flash"_s, u"Черный ящик"_s };
const QStringList kS = { u"Иванов"_s, u"Петров"_s, u"Сидоров"_s, u"Ёлкин"_s, u"Смирнов"_s, u"Кузнецов"_s, u"Попов"_s,
    u"Соколов"_s, u"Лебедев"_s };
const QStringList kN = { u"Петр"_s, u"Алексей"_s, u"Фёдор"_s, u"Семён"_s, u"Олег"_s, u"Артём"_s, u"Игорь"_s };

QString LargeFilmName(int i)
{
    return u"Фильм №"_s + QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')) + u" «"_s + kT[i % 11] + u"»"_s;
}

QStringList LargeFilm(int i)
{
    QString comment;
    if (i == 5000 || i == 10000 || i == 15000) {
        comment = u"Длинный комментарий №"_s + QString::number(i) + u":"_s;
        while (comment.size() < 6000)
            comment += u" Ёлочка"_s;
        comment.truncate(6000);
    } else {
        comment = u"Комментарий к фильму №"_s + QString::number(i);
        if (i % 10 == 0)
            comment += u"\r\nВторая строка."_s;
    }
    return { LargeFilmName(i), kD[i % 7], kA[i % 9] + u", "_s + kA[(7 * i + 4) % 9], kG[i % 13],
        QString::number(i % 11), kM[i % 7], QString::number(80 + i % 100) + u" мин"_s, comment };
}

QStringList LargeDebtor(int j)
{
    const QString date = QStringLiteral("%1.%2.%3")
                             .arg(1 + j % 28, 2, 10, QLatin1Char('0'))
                             .arg(1 + j % 12, 2, 10, QLatin1Char('0'))
                             .arg(2005 + j % 5);
    return { kS[j % 9] + u" "_s + kN[j % 7] + u" (должник "_s + QStringLiteral("%1").arg(j, 4, 10, QLatin1Char('0'))
            + u")"_s,
        LargeFilmName(4 * j), date };
}

// Creates an SQLite base shaped like a previous-version one; DOLGI first, so that creation order
// and alphabetical order differ.
bool MakeSqliteBase(const QString& path)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"make-sqlite"_s);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        const QStringList statements = {
            u"CREATE TABLE DOLGI (id INTEGER PRIMARY KEY AUTOINCREMENT, NAME TEXT, NAMEFILM TEXT, DATA TEXT)"_s,
            u"CREATE TABLE KINVORA (NAMEFILM TEXT, REZISSER TEXT, ROLI TEXT, ZANR TEXT, REITING INTEGER,"
            " NOSITEL TEXT, PRODOL TEXT, KOMENTAR TEXT)"_s,
            u"CREATE TABLE Empty (X TEXT)"_s,
        };
        for (const QString& statement : statements)
            ok = ok && q.exec(statement);
        ok = ok && q.prepare(u"INSERT INTO KINVORA VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_s);
        const QList<QVariantList> films = {
            { u"Брат"_s, u"Алексей Балабанов"_s, u"Сергей Бодров-младший"_s, u"Драма"_s, 9, u"DVD"_s, u"96 мин"_s,
                u"Классика девяностых.\r\nВзял у Фёдора."_s },
            { u"Ёлки"_s, QVariant(), u""_s, u"Комедия"_s, QVariant(), u"Flash"_s, u"  90 мин  "_s, u""_s },
            { u"Покровские ворота"_s, u"Михаил Козаков"_s, u"n/d"_s, u"Мелодрама"_s, 10, u"VHS"_s, u"137 мин"_s, 2.5 },
        };
        for (const QVariantList& film : films) {
            for (int i = 0; i < film.size(); ++i)
                q.bindValue(i, film[i]);
            ok = ok && q.exec();
        }
        ok = ok && q.prepare(u"INSERT INTO DOLGI (NAME, NAMEFILM, DATA) VALUES (?, ?, ?)"_s);
        q.bindValue(0, u"Иванов Петр"_s);
        q.bindValue(1, u"Брат"_s);
        q.bindValue(2, u"12.03.2007"_s);
        ok = ok && q.exec();
        q.bindValue(0, u"Семёнова Алёна"_s);
        q.bindValue(1, u"Покровские ворота"_s);
        q.bindValue(2, QVariant());
        ok = ok && q.exec();
        // A deleted first film: what remains keeps its order.
        ok = ok && q.exec(u"INSERT INTO KINVORA (NAMEFILM) VALUES ('Удалённый')"_s);
        ok = ok && q.exec(u"DELETE FROM KINVORA WHERE NAMEFILM = 'Удалённый'"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(u"make-sqlite"_s);
    return ok;
}

const QList<QStringList> kSqliteFilms = {
    { u"Брат"_s, u"Алексей Балабанов"_s, u"Сергей Бодров-младший"_s, u"Драма"_s, u"9"_s, u"DVD"_s, u"96 мин"_s,
        u"Классика девяностых.\r\nВзял у Фёдора."_s },
    { u"Ёлки"_s, u""_s, u""_s, u"Комедия"_s, u""_s, u"Flash"_s, u"  90 мин  "_s, u""_s },
    { u"Покровские ворота"_s, u"Михаил Козаков"_s, u"n/d"_s, u"Мелодрама"_s, u"10"_s, u"VHS"_s, u"137 мин"_s,
        u"2.5"_s },
};

} // namespace

class TestPrevBase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void jetFixturesReadExactly_data();
    void jetFixturesReadExactly();
    void largeBaseFollowsItsRules();
    void columnsByChoiceAndCase();
    void missingTableOrColumn();
    void sqliteBaseReadTheSameWay();
    void kindByContentNotName();
    void awkwardPaths();
    void unusableFiles();
    void helperFailuresAreErrors();
    void libmdbLoopIsCutOff();
    void damagedCopiesNeverHangOrCrash();

private:
    QString Copy(const QString& fixture, const QString& name);
    QTemporaryDir m_dir;
};

void TestPrevBase::init()
{
    QVERIFY(m_dir.isValid());
    CMdbReader::SetHelperPath({});
    CMdbReader::SetIdleTimeoutMs(15000);
}

void TestPrevBase::cleanup()
{
    CMdbReader::SetHelperPath({});
    CMdbReader::SetIdleTimeoutMs(15000);
}

QString TestPrevBase::Copy(const QString& fixture, const QString& name)
{
    const QString target = m_dir.filePath(name);
    QFile::remove(target);
    if (!QFile::copy(FixturePath(fixture), target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

void TestPrevBase::jetFixturesReadExactly_data()
{
    QTest::addColumn<int>("index");
    const QList<SFixture> fixtures = Fixtures();
    for (int i = 0; i < fixtures.size(); ++i)
        QTest::newRow(fixtures[i].file.toUtf8().constData()) << i;
}

void TestPrevBase::jetFixturesReadExactly()
{
    QFETCH(int, index);
    const SFixture fixture = Fixtures().at(index);
    const QString path = Copy(fixture.file, fixture.file);
    QVERIFY(!path.isEmpty());
    const QByteArray before = FileBytes(path);

    QCOMPARE(import::DetectBaseKind(path), BaseKind::Jet);
    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(path, &error), qPrintable(error));
    QCOMPARE(base.Kind(), BaseKind::Jet);

    QStringList names = kSystemTables;
    for (const STable& table : fixture.tables)
        names.append(table.name);
    QCOMPARE(base.TableNames(), names);

    for (const STable& table : fixture.tables) {
        QList<QStringList> rows;
        QVERIFY2(base.ReadTable(table.name, table.columns, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), table.rows.size());
        for (int r = 0; r < rows.size(); ++r)
            QCOMPARE(rows[r], table.rows[r]);
    }
    // Reading leaves the file as it was.
    QCOMPARE(FileBytes(path), before);
}

void TestPrevBase::largeBaseFollowsItsRules()
{
    const QString path = Copy(u"prev-large.mdb"_s, u"prev-large.mdb"_s);
    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(path, &error), qPrintable(error));

    QList<QStringList> films;
    QVERIFY2(base.ReadTable(u"KINVORA"_s, kFilmColumns, &films, &error), qPrintable(error));
    QCOMPARE(films.size(), 20000);
    for (int i = 1; i <= films.size(); ++i) {
        if (films[i - 1] != LargeFilm(i))
            QCOMPARE(films[i - 1], LargeFilm(i)); // only prints on a mismatch
    }
    QCOMPARE(films[4999][7].size(), 6000); // a long memo arrives whole

    QList<QStringList> debtors;
    QVERIFY2(base.ReadTable(u"DOLGI"_s, kDebtorColumns, &debtors, &error), qPrintable(error));
    QCOMPARE(debtors.size(), 5000);
    for (int j = 1; j <= debtors.size(); ++j) {
        if (debtors[j - 1] != LargeDebtor(j))
            QCOMPARE(debtors[j - 1], LargeDebtor(j));
    }
    QCOMPARE(debtors.last()[0], u"Кузнецов Фёдор (должник 5000)"_s);
}

void TestPrevBase::columnsByChoiceAndCase()
{
    const QString path = Copy(u"prev-nulls-and-numbers.mdb"_s, u"nulls.mdb"_s);
    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(path, &error), qPrintable(error));
    QList<QStringList> rows;
    // Any subset, any order, a column twice, names in another case: as the engine's field lookup.
    QVERIFY2(
        base.ReadTable(u"KINVORA"_s, { u"reiting"_s, u"NameFilm"_s, u"REITING"_s }, &rows, &error), qPrintable(error));
    QCOMPARE(
        rows, (QList<QStringList> { { u"7"_s, u"Бриллиантовая рука"_s, u"7"_s }, { u"10"_s, u"Девчата"_s, u"10"_s } }));
    // No columns at all still gives one (empty) row per record.
    QVERIFY2(base.ReadTable(u"KINVORA"_s, {}, &rows, &error), qPrintable(error));
    QCOMPARE(rows, (QList<QStringList> { {}, {} }));
    // System tables can be read like any other.
    QVERIFY2(base.ReadTable(u"MSysObjects"_s, { u"Name"_s }, &rows, &error), qPrintable(error));
    QVERIFY(rows.contains(QStringList { u"KINVORA"_s }));
}

void TestPrevBase::missingTableOrColumn()
{
    const QString path = Copy(u"prev-no-debtors-table.mdb"_s, u"nodolgi.mdb"_s);
    CPrevBase base;
    QString error;
    QList<QStringList> rows;
    QVERIFY(!base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error)); // not open yet
    QVERIFY(!error.isEmpty());

    QVERIFY2(base.Open(path, &error), qPrintable(error));
    QVERIFY(!base.TableNames().contains(u"DOLGI"_s));

    error.clear();
    QVERIFY(!base.ReadTable(u"DOLGI"_s, kDebtorColumns, &rows, &error));
    QVERIFY2(error.contains(u"DOLGI"_s) && error.contains(u"nodolgi.mdb"_s), qPrintable(error));

    // Names are exact: the case-blind lookup of the engine is not used for tables.
    error.clear();
    QVERIFY(!base.ReadTable(u"kinvora"_s, kFilmColumns, &rows, &error));
    QVERIFY2(error.contains(u"kinvora"_s), qPrintable(error));

    error.clear();
    QVERIFY(!base.ReadTable(u"KINVORA"_s, { u"NAMEFILM"_s, u"ОЦЕНКА"_s }, &rows, &error));
    QVERIFY2(error.contains(u"ОЦЕНКА"_s) && error.contains(u"KINVORA"_s), qPrintable(error));
    QVERIFY(rows.isEmpty());

    // The helper itself refuses a table whose name matches only without case.
    CMdbReader reader;
    error.clear();
    QVERIFY(!reader.ReadRows(path, u"Kinvora"_s, kFilmColumns, &rows, &error));
    QVERIFY2(error.contains(u"Kinvora"_s), qPrintable(error));
}

void TestPrevBase::sqliteBaseReadTheSameWay()
{
    const QString path = m_dir.filePath(u"old.sqlite"_s);
    QVERIFY(MakeSqliteBase(path));
    const QByteArray before = FileBytes(path);

    QCOMPARE(import::DetectBaseKind(path), BaseKind::Sqlite);
    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(path, &error), qPrintable(error));
    QCOMPARE(base.Kind(), BaseKind::Sqlite);
    QCOMPARE(base.TableNames(), (QStringList { u"DOLGI"_s, u"sqlite_sequence"_s, u"KINVORA"_s, u"Empty"_s }));

    QList<QStringList> rows;
    QVERIFY2(base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error), qPrintable(error));
    QCOMPARE(rows, kSqliteFilms);
    QVERIFY2(base.ReadTable(u"DOLGI"_s, { u"name"_s, u"NAMEFILM"_s, u"DATA"_s }, &rows, &error), qPrintable(error));
    QCOMPARE(rows,
        (QList<QStringList> { { u"Иванов Петр"_s, u"Брат"_s, u"12.03.2007"_s },
            { u"Семёнова Алёна"_s, u"Покровские ворота"_s, u""_s } }));
    QVERIFY2(base.ReadTable(u"Empty"_s, { u"X"_s }, &rows, &error), qPrintable(error));
    QVERIFY(rows.isEmpty());

    error.clear();
    QVERIFY(!base.ReadTable(u"KINVORA"_s, { u"NAMEFILM"_s, u"НЕТ"_s }, &rows, &error));
    QVERIFY2(error.contains(u"НЕТ"_s), qPrintable(error));
    error.clear();
    QVERIFY(!base.ReadTable(u"kinvora"_s, kFilmColumns, &rows, &error));
    QVERIFY(!error.isEmpty());

    QCOMPARE(FileBytes(path), before);
    QVERIFY(!QFile::exists(path + u"-journal"_s));
    QVERIFY(!QFile::exists(path + u"-wal"_s));
}

void TestPrevBase::kindByContentNotName()
{
    // An SQLite base named like a Jet file, and a Jet file named like an SQLite one.
    const QString sqliteAsMdb = m_dir.filePath(u"really-sqlite.mdb"_s);
    QVERIFY(MakeSqliteBase(sqliteAsMdb));
    const QString jetAsDb = Copy(u"prev-3films-2debtors.mdb"_s, u"really-jet.db"_s);
    const QString jetNoSuffix = Copy(u"prev-3films-2debtors.mdb"_s, u"BASE"_s);

    QCOMPARE(import::DetectBaseKind(sqliteAsMdb), BaseKind::Sqlite);
    QCOMPARE(import::DetectBaseKind(jetAsDb), BaseKind::Jet);
    QCOMPARE(import::DetectBaseKind(jetNoSuffix), BaseKind::Jet);
    QCOMPARE(import::DetectBaseKind(m_dir.filePath(u"nothing-here.mdb"_s)), BaseKind::Missing);
    QCOMPARE(import::DetectBaseKind(m_dir.path()), BaseKind::Unknown);

    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(sqliteAsMdb, &error), qPrintable(error));
    QList<QStringList> rows;
    QVERIFY2(base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error), qPrintable(error));
    QCOMPARE(rows, kSqliteFilms);

    QVERIFY2(base.Open(jetAsDb, &error), qPrintable(error));
    QCOMPARE(base.Kind(), BaseKind::Jet);
    QVERIFY2(base.ReadTable(u"DOLGI"_s, kDebtorColumns, &rows, &error), qPrintable(error));
    QCOMPARE(rows, Fixtures().at(0).tables.at(1).rows);
}

void TestPrevBase::awkwardPaths()
{
    // Blanks, Cyrillic, '#', '?', a leading '-' and quotes must reach both readers unchanged.
    const QString folder = m_dir.filePath(u"Старые базы #1?"_s);
    QVERIFY(QDir().mkpath(folder));
    const QString jet = folder + u"/-база \"фильмов\" #2?.mdb"_s;
    QVERIFY(QFile::copy(FixturePath(u"prev-3films-2debtors.mdb"_s), jet));
    const QString sqlite = folder + u"/база #3?.db"_s;
    QVERIFY(MakeSqliteBase(sqlite));

    CPrevBase base;
    QString error;
    QList<QStringList> rows;
    QVERIFY2(base.Open(jet, &error), qPrintable(error));
    QVERIFY2(base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 3);
    QVERIFY2(base.Open(sqlite, &error), qPrintable(error));
    QVERIFY2(base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error), qPrintable(error));
    QCOMPARE(rows, kSqliteFilms);

    // A missing SQLite path is never created by trying to open it.
    const QString ghost = folder + u"/нет #4?.mdb"_s;
    QVERIFY(!base.Open(ghost, &error));
    QVERIFY(!QFile::exists(ghost));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
}

void TestPrevBase::unusableFiles()
{
    struct SCase {
        const char* name;
        QByteArray bytes;
    };
    const QByteArray jet = FileBytes(FixturePath(u"prev-3films-2debtors.mdb"_s));
    QRandomGenerator random(20240601);
    QByteArray noise(100000, '\0');
    for (char& c : noise)
        c = char(random.bounded(256));
    QByteArray sqliteHeaderOnly("SQLite format 3\0", 16);
    sqliteHeaderOnly += noise.left(5000);
    const QList<SCase> cases = {
        { "empty.mdb", {} },
        { "noise.mdb", noise },
        { "text.mdb", "Это не база данных.\r\n" },
        { "jet-header-only.mdb", jet.left(20) },
        { "jet-first-page.mdb", jet.left(4096) },
        { "jet-two-pages.mdb", jet.left(8192) },
        { "jet-odd-cut.mdb", jet.left(10000) },
        { "sqlite-garbage.mdb", sqliteHeaderOnly },
    };
    for (const SCase& c : cases) {
        const QString path = m_dir.filePath(QString::fromLatin1(c.name));
        QVERIFY(WriteBytes(path, c.bytes));
        CPrevBase base;
        QString error;
        QVERIFY2(!base.Open(path, &error), c.name);
        QVERIFY2(error.contains(QString::fromLatin1(c.name)), qPrintable(error));
        QVERIFY(base.TableNames().isEmpty());
        QCOMPARE(FileBytes(path), c.bytes);
    }

    CPrevBase base;
    QString error;
    QVERIFY(!base.Open(m_dir.filePath(u"missing.mdb"_s), &error));
    QVERIFY2(error.contains(u"missing.mdb"_s) && error.contains(u"не найден"_s), qPrintable(error));
    QVERIFY(!base.Open(m_dir.path(), &error));
    QVERIFY2(error.contains(u"папка"_s), qPrintable(error));

    // A truncated base whose catalogue survived still reads cleanly or fails cleanly, table by table.
    for (const int size : { jet.size() / 2, jet.size() - 4096, jet.size() - 1 }) {
        const QString path = m_dir.filePath(u"cut.mdb"_s);
        QVERIFY(WriteBytes(path, jet.left(size)));
        if (!base.Open(path, &error)) {
            QVERIFY(!error.isEmpty());
            continue;
        }
        QList<QStringList> rows;
        error.clear();
        if (!base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error))
            QVERIFY(!error.isEmpty());
    }
}

void TestPrevBase::helperFailuresAreErrors()
{
    const QString path = Copy(u"prev-3films-2debtors.mdb"_s, u"base.mdb"_s);
    struct SCase {
        const char* name;
        QByteArray script;
    };
    const QList<SCase> cases = {
        { "hangs", "exec sleep 30" },
        { "crashes", "kill -SEGV $$" },
        { "garbage", "printf 'VMDB1\\nS\\377\\377\\377\\377'" },
        { "cut short", "printf 'VMDB1\\nS\\003\\000\\000\\000abc'" },
        { "false end", "printf 'VMDB1\\nS\\003\\000\\000\\000abcE\\001\\000\\000\\0002'" },
        { "silent success", "exit 0" },
        { "unknown exit", "exit 42" },
        { "floods", "head -c 200000000 /dev/zero" },
    };
    CMdbReader::SetIdleTimeoutMs(700);
    for (const SCase& c : cases) {
        const QString helper = m_dir.filePath(u"fake-helper"_s);
        QVERIFY(WriteScript(helper, c.script));
        CMdbReader::SetHelperPath(helper);
        CPrevBase base;
        QString error;
        QVERIFY2(!base.Open(path, &error), c.name);
        QVERIFY2(error.contains(u"base.mdb"_s), qPrintable(error));
        if (qstrcmp(c.name, "hangs") == 0)
            QVERIFY2(error.contains(u"прервано"_s), qPrintable(error));
    }

    // A helper that is fine for the list but dies on the rows.
    const QString helper = m_dir.filePath(u"fake-helper"_s);
    QVERIFY(WriteScript(helper,
        "if [ \"$1\" = tables ]; then printf 'VMDB1\\nS\\007\\000\\000\\000KINVORAE\\001\\000\\000\\0001'; exit 0; fi\n"
        "kill -KILL $$"));
    CMdbReader::SetHelperPath(helper);
    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(path, &error), qPrintable(error));
    QCOMPARE(base.TableNames(), QStringList { u"KINVORA"_s });
    QList<QStringList> rows;
    QVERIFY(!base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error));
    QVERIFY2(error.contains(u"base.mdb"_s), qPrintable(error));

    // No helper at all.
    CMdbReader::SetHelperPath(m_dir.filePath(u"no-such-helper"_s));
    QVERIFY(!base.Open(path, &error));
    QVERIFY2(error.contains(u"vidarro-mdbread"_s), qPrintable(error));
}

void TestPrevBase::libmdbLoopIsCutOff()
{
    // libmdb follows a long memo's chain of pieces until a piece says "no more"; an empty piece that
    // names itself as the next one sends it round for ever. Build that into film 5000's comment
    // (12000 bytes, so its memo header starts with that length and no flags).
    QByteArray bytes = FileBytes(FixturePath(u"prev-large.mdb"_s));
    const qsizetype header = bytes.indexOf(QByteArray("\xe0\x2e\x00\x00", 4));
    QVERIFY(header > 0);
    const auto u8 = [&bytes](qsizetype at) { return quint32(uchar(bytes.at(at))); };
    const quint32 pageRow = u8(header + 4) | u8(header + 5) << 8 | u8(header + 6) << 16 | u8(header + 7) << 24;
    const qsizetype page = qsizetype(pageRow >> 8) * 4096;
    const int row = int(pageRow & 0xff);
    QCOMPARE(bytes.mid(page + 4, 4), QByteArray("LVAL"));
    const auto offset = [&](int r) { return int((u8(page + 14 + 2 * r) | u8(page + 15 + 2 * r) << 8) & 0x1fff); };
    const int end = row == 0 ? 4096 : offset(row - 1);
    const int start = end - 4;
    bytes[page + 14 + 2 * row] = char(start & 0xff);
    bytes[page + 15 + 2 * row] = char(start >> 8);
    for (int i = 0; i < 4; ++i)
        bytes[page + start + i] = char((pageRow >> (8 * i)) & 0xff);
    const QString path = m_dir.filePath(u"looping.mdb"_s);
    QVERIFY(WriteBytes(path, bytes));

    CMdbReader::SetIdleTimeoutMs(3000);
    CPrevBase base;
    QString error;
    QVERIFY2(base.Open(path, &error), qPrintable(error));
    QList<QStringList> rows;
    QVERIFY(!base.ReadTable(u"KINVORA"_s, kFilmColumns, &rows, &error));
    QVERIFY2(error.contains(u"looping.mdb"_s) && error.contains(u"прервано"_s), qPrintable(error));
    QVERIFY(rows.isEmpty());
    // The debtors do not touch the broken memo and still read.
    QVERIFY2(base.ReadTable(u"DOLGI"_s, kDebtorColumns, &rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 5000);
}

void TestPrevBase::damagedCopiesNeverHangOrCrash()
{
    // Truncations, flipped bytes inside one page and zeroed pages of every small fixture, from a
    // fixed seed. Each copy must read cleanly or fail with a message; the caller never crashes and
    // a hung helper is killed.
    CMdbReader::SetIdleTimeoutMs(2000);
    const QStringList sources = { u"prev-3films-2debtors.mdb"_s, u"prev-nulls-and-numbers.mdb"_s,
        u"current-base-jet.mdb"_s, u"prev-empty-films.mdb"_s };
    QRandomGenerator random(0x5EED1234);
    const QString path = m_dir.filePath(u"damaged.mdb"_s);
    int opened = 0, rejected = 0, tablesRead = 0, tablesRefused = 0, hung = 0, crashed = 0;
    constexpr int kCopies = 360;
    for (int n = 0; n < kCopies; ++n) {
        const QByteArray original = FileBytes(FixturePath(sources[n % sources.size()]));
        QByteArray bytes = original;
        const int pages = int(bytes.size() / 4096);
        const int page = random.bounded(pages);
        switch (n / sources.size() % 4) {
        case 0: // truncation anywhere
            bytes.truncate(random.bounded(int(bytes.size())));
            break;
        case 1: // a few random bytes of any page
            for (int k = random.bounded(1, 24); k > 0; --k)
                bytes[page * 4096 + random.bounded(4096)] = char(random.bounded(256));
            break;
        case 2: { // the same in a table definition or a data page, where libmdb trusts offsets most
            QList<int> structured;
            for (int p = 1; p < pages; ++p) {
                if (bytes.at(p * 4096) == 1 || bytes.at(p * 4096) == 2)
                    structured.append(p);
            }
            const int target = structured.isEmpty() ? page : structured[random.bounded(int(structured.size()))];
            for (int k = random.bounded(1, 8); k > 0; --k)
                bytes[target * 4096 + random.bounded(4096)] = char(random.bounded(256));
            break;
        }
        case 3: // a whole page zeroed or filled with noise
            for (int i = 0; i < 4096; ++i)
                bytes[page * 4096 + i] = (n % 2) ? char(random.bounded(256)) : '\0';
            break;
        }
        QVERIFY(WriteBytes(path, bytes));

        CPrevBase base;
        QString error;
        if (!base.Open(path, &error)) {
            QVERIFY2(error.contains(u"damaged.mdb"_s), qPrintable(error));
            hung += error.contains(u"прервано"_s) ? 1 : 0;
            crashed += error.contains(u"аварийно"_s) ? 1 : 0;
            ++rejected;
            continue;
        }
        ++opened;
        for (const QString& table : base.TableNames()) {
            QStringList columns; // system tables: the rows alone
            if (table.startsWith(u"KINVORA"_s))
                columns = kFilmColumns;
            else if (table == u"DOLGI"_s)
                columns = kDebtorColumns;
            else if (table == u"BLACKSPISOK"_s)
                columns = kBlackColumns;
            else if (table == u"MSysObjects"_s)
                columns = QStringList { u"Name"_s };
            QList<QStringList> rows;
            error.clear();
            if (base.ReadTable(table, columns, &rows, &error)) {
                ++tablesRead;
                for (const QStringList& row : std::as_const(rows))
                    QCOMPARE(row.size(), columns.size());
            } else {
                ++tablesRefused;
                QVERIFY2(error.contains(u"damaged.mdb"_s), qPrintable(error));
                hung += error.contains(u"прервано"_s) ? 1 : 0;
                crashed += error.contains(u"аварийно"_s) ? 1 : 0;
            }
        }
    }
    qInfo(
        "%d damaged copies: %d rejected at opening, %d opened; tables read %d, refused %d; helper hung %d, crashed %d",
        kCopies, rejected, opened, tablesRead, tablesRefused, hung, crashed);

    // SQLite bases are read in this process: a damaged one must give an error, not a crash.
    const QString sqlite = m_dir.filePath(u"source.db"_s);
    QVERIFY(MakeSqliteBase(sqlite));
    const QByteArray original = FileBytes(sqlite);
    const int sqlitePages = int(original.size() / 4096);
    const QString damaged = m_dir.filePath(u"damaged.db"_s);
    for (int n = 0; n < 60; ++n) {
        QByteArray bytes = original;
        if (n % 3 == 0) {
            bytes.truncate(random.bounded(16, int(bytes.size())));
        } else {
            const int page = random.bounded(sqlitePages);
            for (int k = random.bounded(1, n % 3 == 1 ? 8 : 200); k > 0; --k)
                bytes[page * 4096 + random.bounded(4096)] = char(random.bounded(256));
        }
        QVERIFY(WriteBytes(damaged, bytes));
        CPrevBase base;
        QString error;
        if (!base.Open(damaged, &error)) {
            QVERIFY2(error.contains(u"damaged.db"_s), qPrintable(error));
            continue;
        }
        for (const QString& table : base.TableNames()) {
            QList<QStringList> rows;
            error.clear();
            if (!base.ReadTable(table, {}, &rows, &error))
                QVERIFY2(error.contains(u"damaged.db"_s), qPrintable(error));
        }
    }
}

QTEST_GUILESS_MAIN(TestPrevBase)
#include "test_prevbase.moc"
