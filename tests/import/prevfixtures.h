#pragma once

// Previous-version bases for the reader's and the dialog's tests: every value of the genuine Jet files as
// tests/fixtures/jet/MANIFEST.md lists it (NULL read as ""), the rules of prev-large.mdb, and SQLite bases
// of the same shape.
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace prev {

using namespace Qt::StringLiterals;
using Rows = QList<QStringList>;

// One row (or list) written as its values separated by '|'.
inline QStringList R(QStringView values)
{
    return values.toString().split(u'|');
}

inline Rows Generate(int count, QStringList (*rule)(int))
{
    Rows rows;
    for (int i = 1; i <= count; ++i)
        rows << rule(i);
    return rows;
}

inline const QStringList kFilmColumns = R(u"NAMEFILM|REZISSER|ROLI|ZANR|REITING|NOSITEL|PRODOL|KOMENTAR");
inline const QStringList kPrevDebtorColumns = R(u"NAME|NAMEFILM|DATA");

struct STable {
    QString name;
    Rows rows;
};
struct SFixture {
    QString file;
    QList<STable> tables; // in the file's order, after the five system tables
};

// The columns a table of the fixtures is read with: a current-format DOLGI has METKA too.
inline QStringList ColumnsOf(const STable& table)
{
    if (table.name.startsWith(u"KINVORA"))
        return kFilmColumns;
    if (table.name == u"BLACKSPISOK")
        return R(u"NAME|PRICHINA");
    return R(u"NAME|NAMEFILM|DATA|METKA").first(table.rows.isEmpty() ? 3 : table.rows.first().size());
}

inline QList<SFixture> JetFixtures()
{
    const auto t = [](const char16_t* name, const Rows& rows) { return STable { QString::fromUtf16(name), rows }; };
    const auto f = [](const char16_t* file, const QList<STable>& tables) {
        return SFixture { QString::fromUtf16(file), tables };
    };
    return {
        f(u"prev-3films-2debtors.mdb",
            { t(u"KINVORA",
                  { R(u"Брат|Алексей Балабанов|Сергей Бодров-младший, Виктор Сухоруков, Светлана Письмиченко|Драма|9|"
                      u"DVD|96 мин|Классика девяностых.\r\nДиск в коробке №3.\r\nВзял у Фёдора."),
                      R(u"Ёлки|Тимур Бекмамбетов|Иван Ургант, Сергей Светлаков, Вера Брежнева|Комедия|n/d|Flash|90 "
                        u"мин|"),
                      R(u"Покровские ворота|Михаил Козаков|Олег Меньшиков, Инна Ульянова, Леонид Броневой|Мелодрама|10|"
                        u"VHS|  137 мин  |Подарок от Семёна") }),
                t(u"DOLGI", { R(u"Иванов Петр|Брат|12.03.2007"), R(u"Семёнова Алёна|Покровские ворота|1 марта") }) }),
        f(u"prev-empty-films.mdb",
            { t(u"KINVORA", {}),
                t(u"DOLGI", { R(u"Кузнецов Олег|Сталкер|05.11.2008"), R(u"Ёжиков Артём|Кин-дза-дза!|28 февраля") }) }),
        f(u"current-format-only.mdb",
            { t(u"KINVORA11",
                  { R(u"Москва слезам не верит|Владимир Меньшов|Вера Алентова, Алексей Баталов, Ирина Муравьёва|"
                      u"Мелодрама|8|DVD|150 мин|Оскар 1981 года"),
                      R(u"Белое солнце пустыни|Владимир Мотыль|Анатолий Кузнецов, Павел Луспекаев, Спартак Мишулин|"
                        u"Боевик|10|CD|84 мин|n/d") }),
                t(u"DOLGI",
                    { R(u"Петров Андрей|Белое солнце пустыни|03.04.2009|N"),
                        R(u"Смирнова Наталья|Москва слезам не верит|15 мая|B") }),
                t(u"BLACKSPISOK", { R(u"Сидоров Фёдор|Вернул диск поцарапанным") }) }),
        f(u"prev-no-debtors-table.mdb",
            { t(u"KINVORA",
                { R(u"Служебный роман|Эльдар Рязанов|Андрей Мягков, Алиса Фрейндлих, Олег Басилашвили|Комедия|9|DVD|"
                    u"159 мин|Две серии на одном диске"),
                    R(u"Ирония судьбы, или С лёгким паром!|Эльдар Рязанов|Андрей Мягков, Барбара Брыльска, Юрий "
                      u"Яковлев|"
                      u"Мелодрама|10|VHS|184 мин|Смотреть 31 декабря") }) }),
        f(u"prev-nulls-and-numbers.mdb",
            { t(u"KINVORA",
                  { R(u"Бриллиантовая рука|Леонид Гайдай||Комедия|7||94 мин|Шедевр Гайдая"),
                      R(u"Девчата||Надежда Румянцева, Николай Рыбников||10|DVD||") }),
                t(u"DOLGI", { R(u"Васильев Игорь|Девчата|") }) }),
        f(u"current-base-jet.mdb",
            { t(u"KINVORA11",
                  { R(u"Кавказская пленница, или Новые приключения Шурика|Леонид Гайдай|Александр Демьяненко, Наталья "
                      u"Варлей, Юрий Никулин, Георгий Вицин, Евгений Моргунов|Комедия|10|DVD|82 мин|Любимый фильм всей "
                      u"семьи.\r\nНе давать Ёлкину!"),
                      R(u"Солярис|Андрей Тарковский|Наталья Бондарчук, Донатас Банионис|Фантастика|8|VHS|169 мин|n/d"),
                      R(u"Ёжик в тумане|Юрий Норштейн|n/d|Мультфильм|10|CD|10 мин|"),
                      R(u"Сибирский цирюльник|Никита Михалков|Олег Меньшиков, Джулия Ормонд|Драма|n/d|Super VCD| 180 "
                        u"мин |Две кассеты"),
                      R(u"Ночной дозор|Тимур Бекмамбетов|Константин Хабенский, Владимир Меньшов|Другой жанр|6|"
                        u"Черный ящик|114 мин|Копия с лицензии") }),
                t(u"DOLGI",
                    { R(u"Иванов Петр|Солярис|12.03.2007|N"),
                        R(u"Ёлкин Семён|Кавказская пленница, или Новые приключения Шурика|1 марта|B"),
                        R(u"Громов Артём|Ночной дозор|n/d|C"), R(u"Лебедева Ольга|Ёжик в тумане|20.09.2008|X") }),
                t(u"BLACKSPISOK",
                    { R(u"Громов Артём|Не вернул «Ночной дозор»"),
                        R(u"Фёдоров Кирилл|Потерял кассету.\r\nНа звонки не отвечает.") }) }),
    };
}

// The rows of one table of a fixture; none when the file has no such table.
inline Rows TableRows(const QString& file, const QString& table)
{
    for (const SFixture& fixture : JetFixtures())
        for (const STable& t : fixture.tables)
            if (fixture.file == file && t.name == table)
                return t.rows;
    return {};
}

// prev-large.mdb: film i of 20000 and debtor j of 5000.
inline QString LargeFilmName(int i)
{
    static const QStringList kT
        = R(u"Ёжик в тумане|Тёмная ночь|Зимняя вишня|Осенний марафон|Берёзовая роща|"
            u"Летучий корабль|Жёлтый дом|Щит и меч|Семнадцать мгновений|Юность Петра|Чёрная кошка");
    return QStringLiteral("Фильм №%1 «%2»").arg(i, 5, 10, QLatin1Char('0')).arg(kT[i % 11]);
}

inline QStringList LargeFilm(int i)
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

inline QStringList LargeDebtor(int j)
{
    static const QStringList kS = R(u"Иванов|Петров|Сидоров|Ёлкин|Смирнов|Кузнецов|Попов|Соколов|Лебедев");
    static const QStringList kN = R(u"Петр|Алексей|Фёдор|Семён|Олег|Артём|Игорь");
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return { QStringLiteral("%1 %2 (должник %3)").arg(kS[j % 9], kN[j % 7]).arg(j, 4, 10, QLatin1Char('0')),
        LargeFilmName(4 * j), two(1 + j % 28) + u'.' + two(1 + j % 12) + u'.' + QString::number(2005 + j % 5) };
}

// SQLite bases: film i has no director when i % 3 == 2 (NULL), an INTEGER rating and a REAL comment when
// i % 3 == 0; debtor j has no date (NULL) when j is even. The texts read back:
inline QStringList SqliteFilm(int i)
{
    return { QStringLiteral("Фильм %1").arg(i), i % 3 == 2 ? QString() : QStringLiteral("Режиссёр"),
        QStringLiteral("Роли\r\nвторая строка"), QStringLiteral("Драма"), QString::number(i % 11),
        QStringLiteral("DVD"), QString(), i % 3 == 0 ? QStringLiteral("%1.5").arg(i) : QStringLiteral("n/d") };
}

inline QStringList SqliteDebtor(int j)
{
    return { QStringLiteral("Должник %1").arg(j), QStringLiteral("Фильм %1").arg(j),
        j % 2 ? QStringLiteral("01.02.2003") : QString() };
}

// Makes the file anew: DOLGI first (with an AUTOINCREMENT key), so the file's order is not alphabetical.
inline bool MakeSqliteBase(const QString& path, const QString& filmTable, int films, int debtors)
{
    QFile::remove(path);
    const QString numbers
        = u"WITH RECURSIVE n(i) AS (SELECT 1 WHERE %1 > 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "_s;
    const QStringList statements {
        u"CREATE TABLE DOLGI (id INTEGER PRIMARY KEY AUTOINCREMENT, NAME TEXT, NAMEFILM TEXT, DATA TEXT)"_s,
        u"CREATE TABLE \"%1\" (NAMEFILM TEXT, REZISSER TEXT, ROLI TEXT, ZANR TEXT, REITING INTEGER, NOSITEL TEXT, "
        "PRODOL TEXT, KOMENTAR TEXT)"_s.arg(filmTable),
        numbers.arg(films)
            + u"INSERT INTO \"%1\" SELECT 'Фильм ' || i, CASE i % 3 WHEN 2 THEN NULL ELSE 'Режиссёр' END, "
              "'Роли' || char(13, 10) || 'вторая строка', 'Драма', i % 11, 'DVD', '', "
              "CASE i % 3 WHEN 0 THEN i + 0.5 ELSE 'n/d' END FROM n"_s.arg(filmTable),
        numbers.arg(debtors)
            + u"INSERT INTO DOLGI (NAME, NAMEFILM, DATA) SELECT 'Должник ' || i, 'Фильм ' || i, "
              "CASE i % 2 WHEN 1 THEN '01.02.2003' END FROM n"_s,
    };
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"make-prev-sqlite"_s);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open();
        for (const QString& statement : statements)
            if (ok && !(ok = q.exec(statement)))
                qWarning("%s", qUtf8Printable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(u"make-prev-sqlite"_s);
    return ok;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace prev
