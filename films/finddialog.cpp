#include "films/finddialog.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "films/filmform.h"
#include "ids/findfilm.h"
#include "settings/liststyle.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>

int g_nFindMode = 0;
QString g_strFindField;
QString g_strSelectedTitle;

namespace {
namespace id = ids::findfilm;

enum class Picker { Text, Genre, Rating, Medium };

struct Mode {
    int radio;
    int mode;
    QLatin1String field;
    Picker picker;
};
constexpr Mode kModes[] = {
    { id::ByName, 1, data::field::NameFilm, Picker::Text },
    { id::ByDirector, 2, data::field::Rezisser, Picker::Text },
    { id::ByGenre, 3, data::field::Zanr, Picker::Genre },
    { id::RatingAbove, 4, data::field::Reiting, Picker::Rating },
    { id::RatingBelow, 5, data::field::Reiting, Picker::Rating },
    { id::RatingEqual, 6, data::field::Reiting, Picker::Rating },
    { id::ByMedium, 7, data::field::Nositel, Picker::Medium },
};

const Mode* ModeOf(int mode)
{
    for (const Mode& m : kModes)
        if (m.mode == mode)
            return &m;
    return nullptr;
}

// Pixels of the client area, laid out for the classic dialog font.
const QRect kWideEdit(10, 17, 380, 21);
const QRect kNarrowEdit(200, 17, 190, 21);
const QRect kPickerList(10, 17, 190, 120);

struct ResultColumn {
    const char16_t* title;
    int width;
};
constexpr ResultColumn kColumns[] = {
    { u"Название фильма", 150 },
    { u"Жанр", 100 },
    { u"Режиссер", 130 },
    { u"Рейтинг", 50 },
    { u"Носитель", 50 },
    { u"Время", 50 },
};
// FoldCase(text) == folded, without folding the texts that cannot match: folding keeps the length of
// every character but U+0130 (capital I with dot), which becomes two.
bool EqualsFolded(const QString& text, const QString& folded)
{
    if (text.size() > folded.size() || (text.size() < folded.size() && !text.contains(QChar(0x130))))
        return false;
    return data::FoldCase(text) == folded;
}

// Up to this many matches are read one by one; more in a second pass over the table.
constexpr size_t kFewMatches = 1000;

// The fields the result columns show, in column order.
constexpr QLatin1String kResultFields[] = { data::field::NameFilm, data::field::Zanr, data::field::Rezisser,
    data::field::Reiting, data::field::Nositel, data::field::Prodol };
} // namespace

CFindDialog::CFindDialog(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    for (const Mode& m : kModes)
        OnCommand(m.radio, [this, radio = m.radio] { ChooseMode(radio); });
    OnCommand(id::Find, &CFindDialog::OnFind);
    OnCommand(id::Close, [this] { EndDialog(app::IDOK); });
    OnSelChange(id::GenreList,
        [this] { films::ApplyPickerRule(*this, id::GenreList, films::kGenreOther, id::FindText, m_strFind); });
    OnSelChange(id::MediumList,
        [this] { films::ApplyPickerRule(*this, id::MediumList, films::kMediumOther, id::FindText, m_strFind); });
    OnHScroll([this](int code, int position, QAbstractSlider*) {
        films::ApplyRatingMirror(*this, code, position, m_strFind);
    });
    OnItemChanged(id::Results, [this](int row) { OnResultChanged(row); });
}

void CFindDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::Status, m_textStatus);
    app::DDX_Control(pDX, id::RatingSlider, m_sliderRating);
    app::DDX_Control(pDX, id::MediumList, m_comboMedium);
    app::DDX_Control(pDX, id::GenreList, m_comboGenre);
    app::DDX_Control(pDX, id::FindText, m_editFind);
    app::DDX_Control(pDX, id::Results, m_listResults);
    app::DDX_Text(pDX, id::FindText, m_strFind);
    app::DDX_Text(pDX, id::Starring, m_strStarring);
    app::DDX_Text(pDX, id::Comment, m_strComment);
}

bool CFindDialog::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    g_nFindMode = 0;
    app::ComboSetCurSel(m_comboGenre, films::kChooseIndex);
    app::ComboSetCurSel(m_comboMedium, films::kChooseIndex);
    // Widths laid out for the classic font, like the moved controls: the headings fit the font in use.
    for (int i = 0; i < int(std::size(kColumns)); ++i)
        m_listResults->InsertColumn(i, QString::fromUtf16(kColumns[i].title), Qt::AlignLeft,
            MapClassicPixels(QRect(0, 0, kColumns[i].width, 0)).width());
    MoveControl(id::FindText, MapClassicPixels(kWideEdit));
    m_sliderRating->setRange(0, films::kRatingMax);
    m_sliderRating->setValue(0);
    ShowControl(id::RatingSlider, false);
    ShowControl(id::GenreList, false);
    ShowControl(id::MediumList, false);

    m_listResults->SetExtendedStyle(settings::ListStyle(m_strIniPath));
    return true;
}

void CFindDialog::ChooseMode(int radioId)
{
    const Mode* mode = nullptr;
    for (const Mode& m : kModes)
        if (m.radio == radioId)
            mode = &m;
    if (!mode)
        return;
    g_nFindMode = mode->mode;
    g_strFindField = mode->field;

    const bool typed = mode->picker == Picker::Text;
    MoveControl(id::FindText, MapClassicPixels(typed ? kWideEdit : kNarrowEdit));
    app::SetEditReadOnly(m_editFind, !typed);
    if (mode->picker == Picker::Genre)
        MoveControl(id::GenreList, MapClassicPixels(kPickerList));
    if (mode->picker == Picker::Medium)
        MoveControl(id::MediumList, MapClassicPixels(kPickerList));
    ShowControl(id::GenreList, mode->picker == Picker::Genre);
    ShowControl(id::MediumList, mode->picker == Picker::Medium);
    if (mode->picker == Picker::Rating) {
        // Each rating mode starts again from 0: the value follows the slider only after a drag.
        UpdateData(true);
        m_strFind = QStringLiteral("0");
        UpdateData(false);
        m_sliderRating->setValue(0);
    }
    ShowControl(id::RatingSlider, mode->picker == Picker::Rating);
}

void CFindDialog::SetStatus(const QString& text)
{
    m_textStatus->setText(text);
}

void CFindDialog::OnFind()
{
    using namespace data;
    SetStatus(QStringLiteral("Поиск"));
    const Mode* mode = ModeOf(g_nFindMode);
    if (!mode) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали где искать."));
        // The results of the last search stay listed.
        SetStatus(QStringLiteral("Найдено: %1").arg(m_listResults->GetItemCount()));
        return;
    }
    m_listResults->DeleteAllItems();
    UpdateData(true);
    UpdateData(false);
    const QString findtext = FoldCase(m_strFind);
    m_strStarring.clear();
    m_strComment.clear();
    UpdateData(false);

    // A failed read leaves no status that could pass for a result.
    struct StatusOnError {
        CFindDialog* dlg;
        bool done = false;
        ~StatusOnError()
        {
            if (!done)
                dlg->SetStatus(QString());
        }
    } guard { this };

    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    // The search reads the one field it compares; the listed fields are read for the matches only.
    std::vector<qint64> matches;
    {
        CDaoRecordset rs(cDaoDB);
        rs.Open(table::Films, { QString(mode->field) });
        const bool byRating = mode->field == field::Reiting;
        const int wanted = LeadingInt(findtext);
        while (!rs.IsEOF()) {
            const QString basetext = rs.GetFieldValue(mode->field);
            bool match = false;
            if (byRating) {
                const int rating = LeadingInt(basetext);
                match = mode->mode == 4 ? rating > wanted : mode->mode == 5 ? rating < wanted : rating == wanted;
            } else {
                // The whole text, letter case ignored (Cyrillic and Ё included): SQL would fold Latin only.
                match = EqualsFolded(basetext, findtext);
            }
            if (match)
                matches.push_back(rs.RowId());
            rs.MoveNext();
        }
    }

    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Films, FieldList(kResultFields));
    std::vector<app::CListModel::Row> found;
    found.reserve(matches.size());
    auto take = [&] {
        QStringList cells;
        for (QLatin1String f : kResultFields)
            cells << rs.GetFieldValue(f);
        found.push_back({ cells, rs.RowId() });
    };
    if (matches.size() <= kFewMatches) {
        for (qint64 rowid : matches)
            if (rs.MoveToRowId(rowid))
                take();
    } else {
        // Many matches: one more pass in record order beats a lookup each.
        size_t next = 0;
        while (!rs.IsEOF() && next < matches.size()) {
            while (next < matches.size() && matches[next] < rs.RowId())
                ++next;
            if (next < matches.size() && matches[next] == rs.RowId())
                take();
            rs.MoveNext();
        }
    }
    // The last match in table order comes first.
    std::reverse(found.begin(), found.end());
    m_listResults->SetRows(std::move(found));
    guard.done = true;
    SetStatus(QStringLiteral("Найдено: %1").arg(m_listResults->GetItemCount()));
}

void CFindDialog::OnResultChanged(int row)
{
    using namespace data;
    if (row >= 0)
        g_strSelectedTitle = m_listResults->GetItemText(row, 0);
    UpdateData(false);
    if (row < 0)
        return;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Films, { field::Roli, field::Komentar });
    // The row's own film, also when other films share its title.
    if (rs.MoveToRowId(m_listResults->GetItemData(row))) {
        m_strStarring = rs.GetFieldValue(field::Roli);
        m_strComment = rs.GetFieldValue(field::Komentar);
    } else {
        m_strStarring.clear();
        m_strComment.clear();
    }
    UpdateData(false);
}
