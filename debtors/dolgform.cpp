#include "debtors/dolgform.h"

#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "debtors/marks.h"
#include "ids/adddebtor.h"
#include "ids/editdebtor.h"

#include <QComboBox>

namespace {
// The form's controls have the same ids in the add and in the edit template; the mark box differs.
namespace id = ids::adddebtor;
static_assert(id::Name == ids::editdebtor::Name && id::Film == ids::editdebtor::Film
    && id::Date == ids::editdebtor::Date && id::MarkList == ids::editdebtor::MarkList);
} // namespace

CDolgForm::CDolgForm(int templateId, int markBoxId)
    : app::CDialog(templateId)
    , m_markBoxId(markBoxId)
{
    OnSelChange(id::MarkList, &CDolgForm::OnMarkChange);
}

void CDolgForm::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::MarkList, m_comboMark);
    app::DDX_Text(pDX, id::Name, m_strName);
    app::DDX_Text(pDX, id::Film, m_strFilm);
    app::DDX_Text(pDX, id::Date, m_strDate);
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
