#pragma once

// Previous-version bases for the reader's and the dialog's tests: every value of the small genuine Jet files
// as tests/fixtures/jet/MANIFEST.md lists it (NULL read as ""), and SQLite bases of the same shape.
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

struct STable {
    QString file;
    QString name;
    Rows rows;
};

// Every table of the small fixtures; a file's tables in its own order, after the five system tables.
inline const QList<STable> kJetTables {
    { u"prev-3films-2debtors.mdb"_s, u"KINVORA"_s,
        { R(u"Брат|Алексей Балабанов|Сергей Бодров-младший, Виктор Сухоруков, Светлана Письмиченко|Драма|9|DVD|"
            u"96 мин|Классика девяностых.\r\nДиск в коробке №3.\r\nВзял у Фёдора."),
            R(u"Ёлки|Тимур Бекмамбетов|Иван Ургант, Сергей Светлаков, Вера Брежнева|Комедия|n/d|Flash|90 мин|"),
            R(u"Покровские ворота|Михаил Козаков|Олег Меньшиков, Инна Ульянова, Леонид Броневой|Мелодрама|10|"
              u"VHS|  137 мин  |Подарок от Семёна") } },
    { u"prev-3films-2debtors.mdb"_s, u"DOLGI"_s,
        { R(u"Иванов Петр|Брат|12.03.2007"), R(u"Семёнова Алёна|Покровские ворота|1 марта") } },
    { u"prev-empty-films.mdb"_s, u"KINVORA"_s, {} },
    { u"prev-empty-films.mdb"_s, u"DOLGI"_s,
        { R(u"Кузнецов Олег|Сталкер|05.11.2008"), R(u"Ёжиков Артём|Кин-дза-дза!|28 февраля") } },
    { u"current-format-only.mdb"_s, u"KINVORA11"_s,
        { R(u"Москва слезам не верит|Владимир Меньшов|Вера Алентова, Алексей Баталов, Ирина Муравьёва|"
            u"Мелодрама|8|DVD|150 мин|Оскар 1981 года"),
            R(u"Белое солнце пустыни|Владимир Мотыль|Анатолий Кузнецов, Павел Луспекаев, Спартак Мишулин|"
              u"Боевик|10|CD|84 мин|n/d") } },
    { u"current-format-only.mdb"_s, u"DOLGI"_s,
        { R(u"Петров Андрей|Белое солнце пустыни|03.04.2009|N"),
            R(u"Смирнова Наталья|Москва слезам не верит|15 мая|B") } },
    { u"current-format-only.mdb"_s, u"BLACKSPISOK"_s, { R(u"Сидоров Фёдор|Вернул диск поцарапанным") } },
    { u"prev-no-debtors-table.mdb"_s, u"KINVORA"_s,
        { R(u"Служебный роман|Эльдар Рязанов|Андрей Мягков, Алиса Фрейндлих, Олег Басилашвили|Комедия|9|DVD|"
            u"159 мин|Две серии на одном диске"),
            R(u"Ирония судьбы, или С лёгким паром!|Эльдар Рязанов|Андрей Мягков, Барбара Брыльска, "
              u"Юрий Яковлев|Мелодрама|10|VHS|184 мин|Смотреть 31 декабря") } },
    { u"prev-nulls-and-numbers.mdb"_s, u"KINVORA"_s,
        { R(u"Бриллиантовая рука|Леонид Гайдай||Комедия|7||94 мин|Шедевр Гайдая"),
            R(u"Девчата||Надежда Румянцева, Николай Рыбников||10|DVD||") } },
    { u"prev-nulls-and-numbers.mdb"_s, u"DOLGI"_s, { R(u"Васильев Игорь|Девчата|") } },
    { u"current-base-jet.mdb"_s, u"KINVORA11"_s,
        { R(u"Кавказская пленница, или Новые приключения Шурика|Леонид Гайдай|Александр Демьяненко, "
            u"Наталья Варлей, Юрий Никулин, Георгий Вицин, Евгений Моргунов|Комедия|10|DVD|82 мин|"
            u"Любимый фильм всей семьи.\r\nНе давать Ёлкину!"),
            R(u"Солярис|Андрей Тарковский|Наталья Бондарчук, Донатас Банионис|Фантастика|8|VHS|169 мин|n/d"),
            R(u"Ёжик в тумане|Юрий Норштейн|n/d|Мультфильм|10|CD|10 мин|"),
            R(u"Сибирский цирюльник|Никита Михалков|Олег Меньшиков, Джулия Ормонд|Драма|n/d|Super VCD|"
              u" 180 мин |Две кассеты"),
            R(u"Ночной дозор|Тимур Бекмамбетов|Константин Хабенский, Владимир Меньшов|Другой жанр|6|"
              u"Черный ящик|114 мин|Копия с лицензии") } },
    { u"current-base-jet.mdb"_s, u"DOLGI"_s,
        { R(u"Иванов Петр|Солярис|12.03.2007|N"),
            R(u"Ёлкин Семён|Кавказская пленница, или Новые приключения Шурика|1 марта|B"),
            R(u"Громов Артём|Ночной дозор|n/d|C"), R(u"Лебедева Ольга|Ёжик в тумане|20.09.2008|X") } },
    { u"current-base-jet.mdb"_s, u"BLACKSPISOK"_s,
        { R(u"Громов Артём|Не вернул «Ночной дозор»"),
            R(u"Фёдоров Кирилл|Потерял кассету.\r\nНа звонки не отвечает.") } },
};

// The rows of one table of a fixture; none when the file has no such table.
inline Rows TableRows(const QString& file, const QString& table)
{
    for (const STable& t : kJetTables)
        if (t.file == file && t.name == table)
            return t.rows;
    return {};
}

// SQLite bases: film i has an INTEGER rating, no director (NULL) when i % 3 == 2 and a number in the
// comment when i % 3 == 0; debtor j has no date (NULL) when j is even. The texts read back:
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
