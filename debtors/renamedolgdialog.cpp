#include "debtors/renamedolgdialog.h"

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

bool CRenameDolgDialog::MoveToRecord(data::CDaoRecordset& rs) const
{
    return rs.MoveToRecord(m_nPosition, m_nRowId);
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
    // No record there (the table changed meanwhile): the form stays empty.
    if (MoveToRecord(rs)) {
        m_strName = rs.GetFieldValue(field::Name);
        m_strFilm = rs.GetFieldValue(field::NameFilm);
        m_strDate = rs.GetFieldValue(field::Data);
        // The mark box shows the stored code until an entry is chosen; saving then keeps the code.
        m_strMark = rs.GetFieldValue(field::Metka);
        app::ComboSetCurSel(m_comboMark, std::max(0, debtors::MarkIndex(m_strMark)));
        UpdateData(false);
    }
    return true;
}

void CRenameDolgDialog::OnSave()
{
    using namespace data;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Debtors);
    UpdateData(true);
    if (MoveToRecord(rs)) {
        rs.Edit();
        WriteFields(rs);
        rs.Update();
    }
    EndDialog(app::IDOK);
}
