#include "blacklist/renameblack.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "ids/editblack.h"

namespace id = ids::editblack;

CRenameBlack::CRenameBlack(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    OnCommand(id::Save, &CRenameBlack::OnSave);
}

void CRenameBlack::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Text(pDX, id::Name, m_strName);
    app::DDX_Text(pDX, id::Reason, m_strReason);
    app::DDX_Text(pDX, id::Position, m_nPosition);
}

bool CRenameBlack::MoveToEntry(data::CDaoRecordset& rs) const
{
    return rs.MoveToRecord(m_nPosition, m_nRowId);
}

bool CRenameBlack::OnInitDialog()
{
    using namespace data;
    app::CDialog::OnInitDialog();
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::BlackList);
    // An entry that is gone leaves the edits empty.
    if (MoveToEntry(rs)) {
        m_strName = rs.GetFieldValue(field::Name);
        m_strReason = rs.GetFieldValue(field::Prichina);
        UpdateData(false);
    }
    return true;
}

void CRenameBlack::OnOK() { }

void CRenameBlack::OnSave()
{
    using namespace data;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::BlackList);
    UpdateData(true);
    if (MoveToEntry(rs)) {
        rs.Edit();
        rs.SetFieldValue(field::Name, NdRule(m_strName));
        rs.SetFieldValue(field::Prichina, NdRule(m_strReason));
        rs.Update();
    }
    // The list is rebuilt either way, so an entry that vanished meanwhile simply disappears from it.
    EndDialog(app::IDOK);
}
