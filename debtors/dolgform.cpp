#include "debtors/dolgform.h"

#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "debtors/marks.h"

#include <QComboBox>

namespace {
enum : int { IDC_NAME = 1017, IDC_FILM = 1018, IDC_DATE = 1019, IDC_MARKLIST = 1020 };
} // namespace

CDolgForm::CDolgForm(int templateId, int markBoxId)
    : app::CDialog(templateId)
    , m_markBoxId(markBoxId)
{
    OnSelChange(IDC_MARKLIST, &CDolgForm::OnMarkChange);
}

void CDolgForm::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, IDC_MARKLIST, m_comboMark);
    app::DDX_Text(pDX, IDC_NAME, m_strName);
    app::DDX_Text(pDX, IDC_FILM, m_strFilm);
    app::DDX_Text(pDX, IDC_DATE, m_strDate);
    app::DDX_Text(pDX, m_markBoxId, m_strMark);
}

void CDolgForm::OnMarkChange()
{
    // Text typed into the combo box's own field is never a mark: only a chosen entry counts.
    const int index = app::ComboGetCurSel(m_comboMark);
    if (index < 0)
        return;
    UpdateData(true);
    m_strMark = m_comboMark->itemText(index);
    UpdateData(false);
}

void CDolgForm::WriteFields(data::CDaoRecordset& rs) const
{
    using namespace data;
    rs.SetFieldValue(field::Name, NdRule(m_strName));
    rs.SetFieldValue(field::NameFilm, NdRule(m_strFilm));
    rs.SetFieldValue(field::Data, NdRule(m_strDate));
    const QString code = debtors::MarkCode(m_strMark);
    if (!code.isEmpty())
        rs.SetFieldValue(field::Metka, code);
}
