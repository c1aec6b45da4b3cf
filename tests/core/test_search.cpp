// The find windows' matching: whole texts with case folded, ratings read as atoi; results in record order.
#include "data/daodb.h"
#include "data/schema.h"
#include "data/search.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace data;
using namespace Qt::StringLiterals;
using Mode = RecordSearcher::Mode;

class TestSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matches()
    {
        // Whole texts, case folded (İ to two letters), no placeholder for empty; ratings strictly, as atoi reads them.
        const std::tuple<Mode, QString, QString, bool> rows[] = { { Mode::FilmTitle, u"ёлки"_s, u"ЁЛКИ"_s, true },
            { Mode::FilmTitle, u"елки"_s, u"ЁЛКИ"_s, false }, { Mode::DebtorName, u"SMITH"_s, u"smith"_s, true },
            { Mode::FilmDirector, u"Ёл"_s, u"Ёлки"_s, false },
            { Mode::DebtorTitle, u"солярис"_s, u"солярис "_s, false }, { Mode::FilmGenre, QString(), QString(), true },
            { Mode::DebtorMark, QString(), u"n/d"_s, false },
            { Mode::BlackListName, u"İstanbul"_s, u"İSTANBUL"_s, true },
            { Mode::FilmMedium, u"istanbul"_s, u"İSTANBUL"_s, false }, { Mode::FilmRatingAbove, u"5"_s, u"5"_s, false },
            { Mode::FilmRatingAbove, u"5"_s, u"6"_s, true }, { Mode::FilmRatingEqual, u"0"_s, u"n/d"_s, true },
            { Mode::FilmRatingEqual, u"3"_s, u" 3 звезды"_s, true }, { Mode::FilmRatingBelow, u"0"_s, u"-2"_s, true },
            { Mode::FilmRatingBelow, u"1"_s, u"1"_s, false }, { Mode::FilmRatingAbove, u"+4x"_s, u"5"_s, true },
            { Mode::FilmRatingEqual, u"2147483647"_s, u"99999999999"_s, true } };
        for (const auto& [mode, text, stored, match] : rows)
            QVERIFY2(RecordSearcher(mode, text).Matches(stored) == match, qPrintable(text + u" / "_s + stored));
    }

    // Few and many matches take different reads: both give record order and the columns asked for.
    void searchOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(kBaseFileName));
        CreateCatalogue(path);
        CDaoDatabase db;
        db.Open(path);
        db.Execute(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500) "
                   "INSERT INTO KINVORA11 (NAMEFILM, REITING, NOSITEL) SELECT 'Фильм ' || i, i % 4, "
                   "CASE WHEN i % 500 = 0 THEN 'ДИСК' ELSE 'CD' END FROM n"_s);
        db.Execute(u"DELETE FROM KINVORA11 WHERE rowid = 1000"_s);
        const QLatin1String columns[] = { field::Reiting, field::NameFilm };
        for (const auto& [mode, text, count] :
            { std::tuple(Mode::FilmRatingAbove, u"0"_s, 1125), std::tuple(Mode::FilmMedium, u"диск"_s, 2) }) {
            const auto found = RecordSearcher(mode, text).Search(db, columns);
            QCOMPARE(int(found.size()), count);
            QVERIFY(std::ranges::is_sorted(found, {}, &RecordSearcher::Match::rowid));
            const auto& last = found.back();
            QCOMPARE(last.values, (QStringList { QString::number(last.rowid % 4), u"Фильм %1"_s.arg(last.rowid) }));
        }
    }
};

REGISTER_TEST(TestSearch)
#include "test_search.moc"
