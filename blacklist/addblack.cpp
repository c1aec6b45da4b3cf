#include "blacklist/addblack.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"

namespace {
constexpr int IDD_ADDBLACK = 152;
enum : int { IDC_NAME = 1017, IDC_REASON = 1018, IDC_SAVE = 1047 };
} // namespace

CAddBlack::CAddBlack(QWidget* parent)
    : app::CDialog(IDD_ADDBLACK, parent)
{
    OnCommand(IDC_SAVE, &CAddBlack::OnSave);
}

void CAddBlack::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Text(pDX, IDC_NAME, m_strName);
    app::DDX_Text(pDX, IDC_REASON, m_strReason);
}

void CAddBlack::OnOK() { }

void CAddBlack::OnSave()
{
    using namespace data;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::BlackList);
    UpdateData(true);
    // One INSERT with both fields: a failure leaves no empty entry behind.
    rs.AddNew();
    rs.SetFieldValue(field::Name, NdRule(m_strName));
    rs.SetFieldValue(field::Prichina, NdRule(m_strReason));
    rs.Update();
    EndDialog(app::IDOK);
}
