#include "films/finddialog.h"

#include "app/listedrecord.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/search.h"
#include "films/filmform.h"
#include "ids/findfilm.h"
#include "settings/liststyle.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

int g_nFindMode = 0;

namespace {
namespace id = ids::findfilm;

enum class Picker { Text, Genre, Rating, Medium };

using Search = data::RecordSearcher::Mode;

struct Mode {
    int radio;
    int mode;
    Search search;
    Picker picker;
};
constexpr Mode kModes[] = {
    { id::ByName, 1, Search::FilmTitle, Picker::Text },
    { id::ByDirector, 2, Search::FilmDirector, Picker::Text },
    { id::ByGenre, 3, Search::FilmGenre, Picker::Genre },
    { id::RatingAbove, 4, Search::FilmRatingAbove, Picker::Rating },
    { id::RatingBelow, 5, Search::FilmRatingBelow, Picker::Rating },
    { id::RatingEqual, 6, Search::FilmRatingEqual, Picker::Rating },
    { id::ByMedium, 7, Search::FilmMedium, Picker::Medium },
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
    const QString findtext = m_strFind;
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
    auto matches = RecordSearcher(mode->search, findtext).Search(cDaoDB, kResultFields);
    // The last match in record order comes first.
    std::vector<app::CListModel::Row> found;
    found.reserve(matches.size());
    for (auto it = matches.rbegin(); it != matches.rend(); ++it)
        found.push_back({ std::move(it->values), it->rowid });
    m_listResults->SetRows(std::move(found));
    guard.done = true;
    SetStatus(QStringLiteral("Найдено: %1").arg(m_listResults->GetItemCount()));
}

void CFindDialog::OnResultChanged(int row)
{
    using namespace data;
    UpdateData(false);
    if (row < 0)
        return;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    QStringList columns = FieldList(kResultFields);
    columns << field::Roli << field::Komentar;
    rs.Open(table::Films, columns);
    // The row's own film, also when other films share its title; one changed meanwhile is not shown.
    app::ActOnListed(
        this,
        [&] {
            rs.MoveToSameRecord(app::ListedRecord(m_listResults, row, kResultFields));
            m_strStarring = rs.GetFieldValue(field::Roli);
            m_strComment = rs.GetFieldValue(field::Komentar);
            UpdateData(false);
        },
        [this] { OnFind(); });
}
