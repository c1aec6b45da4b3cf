#include "blacklist/renameblack.h"

#include "app/listedrecord.h"
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

bool CRenameBlack::OnInitDialog()
{
    using namespace data;
    app::CDialog::OnInitDialog();
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::BlackList);
    if (!rs.MoveToRecord({ m_nRowId, m_nPosition, { field::Name }, m_listedValues })) {
        // Never empty edits for an entry that is gone.
        app::TellRecordGone(this, m_refreshList);
        EndDialog(app::IDCANCEL);
        return false;
    }
    m_read = RecordRef::Of(rs, kBlackListFields);
    m_strName = rs.GetFieldValue(field::Name);
    m_strReason = rs.GetFieldValue(field::Prichina);
    UpdateData(false);
    return true;
}

void CRenameBlack::OnOK() { }

void CRenameBlack::OnSave()
{
    using namespace data;
    UpdateData(true);
    const auto setFields = [this](CDaoRecordset& rs) {
        rs.SetFieldValue(field::Name, NdRule(m_strName));
        rs.SetFieldValue(field::Prichina, NdRule(m_strReason));
    };
    if (app::SaveForm(this, m_strBasePath, table::BlackList, m_read, setFields, m_refreshList))
        EndDialog(app::IDOK);
}
