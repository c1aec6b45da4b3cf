#include "blacklist/renameblack.h"

#include "app/listedrecord.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"

namespace {
constexpr int IDD_RENAMEBLACK = 153;
enum : int { IDC_NAME = 1017, IDC_REASON = 1018, IDC_POSITION = 1019, IDC_SAVE = 1047 };
} // namespace

CRenameBlack::CRenameBlack(QWidget* parent)
    : app::CDialog(IDD_RENAMEBLACK, parent)
{
    OnCommand(IDC_SAVE, &CRenameBlack::OnSave);
}

void CRenameBlack::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Text(pDX, IDC_NAME, m_strName);
    app::DDX_Text(pDX, IDC_REASON, m_strReason);
    app::DDX_Text(pDX, IDC_POSITION, m_nPosition);
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
