#include "data/search.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"

namespace data {

namespace {
    struct ModeInfo {
        QLatin1String table;
        QLatin1String field;
    };

    ModeInfo InfoOf(RecordSearcher::Mode mode)
    {
        using M = RecordSearcher::Mode;
        switch (mode) {
        case M::FilmTitle:
            return { table::Films, field::NameFilm };
        case M::FilmDirector:
            return { table::Films, field::Rezisser };
        case M::FilmGenre:
            return { table::Films, field::Zanr };
        case M::FilmRatingAbove:
        case M::FilmRatingBelow:
        case M::FilmRatingEqual:
            return { table::Films, field::Reiting };
        case M::FilmMedium:
            return { table::Films, field::Nositel };
        case M::DebtorName:
            return { table::Debtors, field::Name };
        case M::DebtorTitle:
            return { table::Debtors, field::NameFilm };
        case M::DebtorDate:
            return { table::Debtors, field::Data };
        case M::DebtorMark:
            return { table::Debtors, field::Metka };
        case M::BlackListName:
            return { table::BlackList, field::Name };
        }
        return { table::Films, field::NameFilm };
    }

    // FoldCase(text) == folded, without folding the texts that cannot match: folding keeps the length of
    // every character but U+0130 (capital I with dot), which becomes two.
    bool EqualsFolded(const QString& text, const QString& folded)
    {
        if (text.size() > folded.size() || (text.size() < folded.size() && !text.contains(QChar(0x130))))
            return false;
        return FoldCase(text) == folded;
    }

    // Up to this many matches are read one by one; more in a second pass over the table.
    constexpr size_t kFewMatches = 1000;
} // namespace

RecordSearcher::RecordSearcher(Mode mode, const QString& text)
    : m_mode(mode)
    , m_folded(FoldCase(text))
    , m_number(LeadingInt(text))
{
}

QLatin1String RecordSearcher::TableOf(Mode mode)
{
    return InfoOf(mode).table;
}

bool RecordSearcher::Matches(const QString& stored) const
{
    switch (m_mode) {
    case Mode::FilmRatingAbove:
        return LeadingInt(stored) > m_number;
    case Mode::FilmRatingBelow:
        return LeadingInt(stored) < m_number;
    case Mode::FilmRatingEqual:
        return LeadingInt(stored) == m_number;
    default:
        return EqualsFolded(stored, m_folded);
    }
}

std::vector<RecordSearcher::Match> RecordSearcher::Search(
    CDaoDatabase& db, std::span<const QLatin1String> columns) const
{
    const ModeInfo info = InfoOf(m_mode);
    // The first pass reads the one field it compares; the columns are read for the matches only.
    std::vector<qint64> rowids;
    {
        CDaoRecordset rs(db);
        rs.Open(info.table, { QString(info.field) });
        while (!rs.IsEOF()) {
            if (Matches(rs.GetFieldValue(info.field)))
                rowids.push_back(rs.RowId());
            rs.MoveNext();
        }
    }

    std::vector<Match> found;
    found.reserve(rowids.size());
    if (rowids.empty())
        return found;
    CDaoRecordset rs(db);
    rs.Open(info.table, FieldList(columns));
    auto take = [&] {
        QStringList values;
        values.reserve(qsizetype(columns.size()));
        for (QLatin1String c : columns)
            values << rs.GetFieldValue(c);
        found.push_back({ rs.RowId(), values });
    };
    if (rowids.size() <= kFewMatches) {
        for (qint64 rowid : rowids)
            if (rs.MoveToRowId(rowid))
                take();
        return found;
    }
    // Many matches: one more pass in record order beats a lookup each.
    size_t next = 0;
    while (!rs.IsEOF() && next < rowids.size()) {
        while (next < rowids.size() && rowids[next] < rs.RowId())
            ++next;
        if (next < rowids.size() && rowids[next] == rs.RowId())
            take();
        rs.MoveNext();
    }
    return found;
}

} // namespace data
