#include "debtors/renamedolgdialog.h"

#include "app/listedrecord.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "debtors/marks.h"
#include "ids/editdebtor.h"

#include <algorithm>

namespace id = ids::editdebtor;

CRenameDolgDialog::CRenameDolgDialog()
    : CDolgForm(id::Dialog, id::MarkBox)
{
    OnCommand(id::Save, &CRenameDolgDialog::OnSave);
}

void CRenameDolgDialog::DoDataExchange(app::CDataExchange* pDX)
{
    CDolgForm::DoDataExchange(pDX);
    app::DDX_Text(pDX, id::Position, m_nPosition);
}

bool CRenameDolgDialog::OnInitDialog()
{
    using namespace data;
    CDolgForm::OnInitDialog();
    app::ComboSetCurSel(m_comboMark, 0);

    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Debtors);
    // The list shows the first three fields as stored (the mark as its entry).
    if (!rs.MoveToRecord({ m_nRowId, m_nPosition, { field::Name, field::NameFilm, field::Data }, m_listedValues })) {
        // Never an empty form for a debtor that is gone.
        app::TellRecordGone(this, m_refreshList);
        EndDialog(app::IDCANCEL);
        return false;
    }
    m_read = RecordRef::Of(rs, kDebtorFields);
    m_strName = rs.GetFieldValue(field::Name);
    m_strFilm = rs.GetFieldValue(field::NameFilm);
    m_strDate = rs.GetFieldValue(field::Data);
    // The mark box shows the stored code until an entry is chosen; saving then keeps the code.
    m_strMark = rs.GetFieldValue(field::Metka);
    app::ComboSetCurSel(m_comboMark, std::max(0, debtors::MarkIndex(m_strMark)));
    UpdateData(false);
    return true;
}

void CRenameDolgDialog::OnSave()
{
    UpdateData(true);
    if (app::SaveForm(
            this, m_strBasePath, data::table::Debtors, m_read, [this](data::CDaoRecordset& rs) { WriteFields(rs); },
            m_refreshList))
        EndDialog(app::IDOK);
}
