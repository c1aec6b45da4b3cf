#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace data {

class CDaoDatabase;

// How every find window matches catalogue records: one field of one table against the text looked for.
class RecordSearcher {
public:
    enum class Mode {
        FilmTitle,
        FilmDirector,
        FilmGenre,
        FilmRatingAbove,
        FilmRatingBelow,
        FilmRatingEqual,
        FilmMedium,
        DebtorName,
        DebtorTitle,
        DebtorDate,
        DebtorMark,
        BlackListName,
    };

    struct Match {
        qint64 rowid;
        QStringList values; // the columns asked for, in their order
    };

    RecordSearcher(Mode mode, const QString& text);

    static QLatin1String TableOf(Mode mode);

    // Text modes: the whole stored text equals the text looked for, letter case ignored (Latin and
    // Cyrillic alike; SQL would fold Latin only). Rating modes: both read as C atoi reads them
    // ("n/d" is 0, "3 звезды" is 3) and compared.
    bool Matches(const QString& stored) const;

    // The matching records of the mode's table in record order, each with its `columns`.
    std::vector<Match> Search(CDaoDatabase& db, std::span<const QLatin1String> columns) const;

private:
    Mode m_mode;
    QString m_folded;
    int m_number = 0;
};

} // namespace data
