#include "films/filmform.h"

#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "ids/addfilm.h"
#include "ids/editfilm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>
#include <iterator>

namespace films {

namespace {
    // The form's controls have the same ids in the add and in the edit template.
    namespace id = ids::addfilm;
    static_assert(id::Name == ids::editfilm::Name && id::Director == ids::editfilm::Director
        && id::Starring == ids::editfilm::Starring && id::GenreList == ids::editfilm::GenreList
        && id::Genre == ids::editfilm::Genre && id::RatingSlider == ids::editfilm::RatingSlider
        && id::Rating == ids::editfilm::Rating && id::MediumList == ids::editfilm::MediumList
        && id::Medium == ids::editfilm::Medium && id::Duration == ids::editfilm::Duration
        && id::Comment == ids::editfilm::Comment);
} // namespace

void ApplyPickerRule(app::CDialog& dlg, int listId, int otherIndex, int editId, QString& value)
{
    auto* list = dlg.Item<QComboBox>(listId);
    QWidget* edit = dlg.GetDlgItem(editId);
    dlg.UpdateData(true);
    // Only a chosen entry counts; a text typed into the list's own field is never read.
    const int n = app::ComboGetCurSel(list);
    if (n < 0)
        return;
    if (n != kChooseIndex && n != otherIndex) {
        app::SetEditReadOnly(edit, true);
        value = list->itemText(n);
        dlg.UpdateData(false);
    } else if (n == otherIndex) {
        // The edit keeps what it shows (the entry chosen before, say) and takes the user's own text.
        app::SetEditReadOnly(edit, false);
    } else {
        value.clear();
        dlg.UpdateData(false);
    }
}

void ApplyRatingMirror(app::CDialog& dlg, int code, int position, QString& value)
{
    // Keys, clicks in the channel and the wheel move the slider but not the value.
    if (code != app::SB_THUMBPOSITION)
        return;
    dlg.UpdateData(true);
    value = QString::number(position);
    dlg.UpdateData(false);
}

CFilmForm::CFilmForm(int templateId, QWidget* parent)
    : app::CDialog(templateId, parent)
{
    OnSelChange(id::GenreList, [this] { ApplyPickerRule(*this, id::GenreList, kGenreOther, id::Genre, m_strGenre); });
    OnSelChange(
        id::MediumList, [this] { ApplyPickerRule(*this, id::MediumList, kMediumOther, id::Medium, m_strMedium); });
    OnHScroll(
        [this](int code, int position, QAbstractSlider*) { ApplyRatingMirror(*this, code, position, m_strRating); });
}

void CFilmForm::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::GenreList, m_comboGenre);
    app::DDX_Control(pDX, id::MediumList, m_comboMedium);
    app::DDX_Control(pDX, id::RatingSlider, m_sliderRating);
    app::DDX_Control(pDX, id::Genre, m_editGenre);
    app::DDX_Control(pDX, id::Medium, m_editMedium);
    app::DDX_Text(pDX, id::Name, m_strName);
    app::DDX_Text(pDX, id::Director, m_strDirector);
    app::DDX_Text(pDX, id::Starring, m_strStarring);
    app::DDX_Text(pDX, id::Genre, m_strGenre);
    app::DDX_Text(pDX, id::Rating, m_strRating);
    app::DDX_Text(pDX, id::Medium, m_strMedium);
    app::DDX_Text(pDX, id::Duration, m_strDuration);
    app::DDX_Text(pDX, id::Comment, m_strComment);
}

bool CFilmForm::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    // Eleven positions: a film may be rated 0 as well as 10.
    m_sliderRating->setRange(0, kRatingMax);
    m_sliderRating->setValue(0);
    m_strRating = QStringLiteral("0");
    UpdateData(false);
    app::ComboSetCurSel(m_comboGenre, kChooseIndex);
    app::ComboSetCurSel(m_comboMedium, kChooseIndex);
    return true;
}

void CFilmForm::SelectByText(QComboBox* list, QLineEdit* edit, int otherIndex, const QString& text)
{
    int index = otherIndex;
    if (text == QStringView(data::kNoData)) {
        index = kChooseIndex;
    } else {
        // Exact and case-sensitive: "драма" is not "Драма" and opens as a text of the user's own.
        for (int i = kChooseIndex + 1; i < otherIndex; ++i)
            if (list->itemText(i) == text)
                index = i;
    }
    app::ComboSetCurSel(list, index);
    if (index == otherIndex)
        app::SetEditReadOnly(edit, false);
}

void CFilmForm::LoadFields(const data::CDaoRecordset& rs)
{
    using namespace data;
    m_strName = rs.GetFieldValue(field::NameFilm);
    m_strDirector = rs.GetFieldValue(field::Rezisser);
    m_strStarring = rs.GetFieldValue(field::Roli);
    m_strGenre = rs.GetFieldValue(field::Zanr);
    m_strRating = rs.GetFieldValue(field::Reiting);
    m_strMedium = rs.GetFieldValue(field::Nositel);
    m_strDuration = rs.GetFieldValue(field::Prodol);
    m_strComment = rs.GetFieldValue(field::Komentar);
    SelectByText(m_comboGenre, m_editGenre, kGenreOther, m_strGenre);
    SelectByText(m_comboMedium, m_editMedium, kMediumOther, m_strMedium);
    // The slider holds a rating outside its range at the nearer end; the text stays as stored.
    m_sliderRating->setValue(std::clamp(LeadingInt(m_strRating), 0, kRatingMax));
    UpdateData(false);
}

void CFilmForm::StoreFields(data::CDaoRecordset& rs) const
{
    using namespace data;
    const QString* values[] = { &m_strName, &m_strDirector, &m_strStarring, &m_strGenre, &m_strRating, &m_strMedium,
        &m_strDuration, &m_strComment };
    static_assert(std::size(values) == kFilmFields.size());
    for (size_t i = 0; i < kFilmFields.size(); ++i)
        rs.SetFieldValue(kFilmFields[i], NdRule(*values[i]));
}

} // namespace films
