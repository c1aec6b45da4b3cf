#include "films/finddialog.h"

#include "app/listedrecord.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/search.h"
#include "films/filmform.h"
#include "settings/liststyle.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

int g_nFindMode = 0;
QString g_strFindField;
QString g_strSelectedTitle;

namespace {
constexpr int IDD_FIND_DIALOG = 134;

enum : int {
    IDC_CLOSE = 1047,
    IDC_RESULTS = 1015,
    IDC_FINDTEXT = 1017,
    IDC_FIND = 1000,
    IDC_STARRING = 1018,
    IDC_COMMENT = 1019,
    IDC_GENRELIST = 1020,
    IDC_MEDIUMLIST = 1024,
    IDC_RATINGSLIDER = 1022,
    IDC_STATUS = 1038,
    IDC_BYNAME = 1029,
    IDC_BYDIRECTOR = 1030,
    IDC_BYGENRE = 1031,
    IDC_RATINGABOVE = 1032,
    IDC_RATINGBELOW = 1033,
    IDC_RATINGEQUAL = 1034,
    IDC_BYMEDIUM = 1039,
};

enum class Picker { Text, Genre, Rating, Medium };

using Search = data::RecordSearcher::Mode;

struct Mode {
    int radio;
    int mode;
    Search search;
    Picker picker;
};
constexpr Mode kModes[] = {
    { IDC_BYNAME, 1, Search::FilmTitle, Picker::Text },
    { IDC_BYDIRECTOR, 2, Search::FilmDirector, Picker::Text },
    { IDC_BYGENRE, 3, Search::FilmGenre, Picker::Genre },
    { IDC_RATINGABOVE, 4, Search::FilmRatingAbove, Picker::Rating },
    { IDC_RATINGBELOW, 5, Search::FilmRatingBelow, Picker::Rating },
    { IDC_RATINGEQUAL, 6, Search::FilmRatingEqual, Picker::Rating },
    { IDC_BYMEDIUM, 7, Search::FilmMedium, Picker::Medium },
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
    : app::CDialog(IDD_FIND_DIALOG, parent)
{
    for (const Mode& m : kModes)
        OnCommand(m.radio, [this, radio = m.radio] { ChooseMode(radio); });
    OnCommand(IDC_FIND, &CFindDialog::OnFind);
    OnCommand(IDC_CLOSE, [this] { EndDialog(app::IDOK); });
    OnSelChange(IDC_GENRELIST,
        [this] { films::ApplyPickerRule(*this, IDC_GENRELIST, films::kGenreOther, IDC_FINDTEXT, m_strFind); });
    OnSelChange(IDC_MEDIUMLIST,
        [this] { films::ApplyPickerRule(*this, IDC_MEDIUMLIST, films::kMediumOther, IDC_FINDTEXT, m_strFind); });
    OnHScroll([this](int code, int position, QAbstractSlider*) {
        films::ApplyRatingMirror(*this, code, position, m_strFind);
    });
    OnItemChanged(IDC_RESULTS, [this](int row) { OnResultChanged(row); });
}

void CFindDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, IDC_STATUS, m_textStatus);
    app::DDX_Control(pDX, IDC_RATINGSLIDER, m_sliderRating);
    app::DDX_Control(pDX, IDC_MEDIUMLIST, m_comboMedium);
    app::DDX_Control(pDX, IDC_GENRELIST, m_comboGenre);
    app::DDX_Control(pDX, IDC_FINDTEXT, m_editFind);
    app::DDX_Control(pDX, IDC_RESULTS, m_listResults);
    app::DDX_Text(pDX, IDC_FINDTEXT, m_strFind);
    app::DDX_Text(pDX, IDC_STARRING, m_strStarring);
    app::DDX_Text(pDX, IDC_COMMENT, m_strComment);
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
    MoveControl(IDC_FINDTEXT, MapClassicPixels(kWideEdit));
    m_sliderRating->setRange(0, films::kRatingMax);
    m_sliderRating->setValue(0);
    ShowControl(IDC_RATINGSLIDER, false);
    ShowControl(IDC_GENRELIST, false);
    ShowControl(IDC_MEDIUMLIST, false);

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
    g_strFindField = data::RecordSearcher::FieldOf(mode->search);

    const bool typed = mode->picker == Picker::Text;
    MoveControl(IDC_FINDTEXT, MapClassicPixels(typed ? kWideEdit : kNarrowEdit));
    app::SetEditReadOnly(m_editFind, !typed);
    if (mode->picker == Picker::Genre)
        MoveControl(IDC_GENRELIST, MapClassicPixels(kPickerList));
    if (mode->picker == Picker::Medium)
        MoveControl(IDC_MEDIUMLIST, MapClassicPixels(kPickerList));
    ShowControl(IDC_GENRELIST, mode->picker == Picker::Genre);
    ShowControl(IDC_MEDIUMLIST, mode->picker == Picker::Medium);
    if (mode->picker == Picker::Rating) {
        // Each rating mode starts again from 0: the value follows the slider only after a drag.
        UpdateData(true);
        m_strFind = QStringLiteral("0");
        UpdateData(false);
        m_sliderRating->setValue(0);
    }
    ShowControl(IDC_RATINGSLIDER, mode->picker == Picker::Rating);
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
    if (row >= 0)
        g_strSelectedTitle = m_listResults->GetItemText(row, 0);
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
