#include "blacklist/addblack.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "ids/addblack.h"

namespace id = ids::addblack;

CAddBlack::CAddBlack(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    OnCommand(id::Save, &CAddBlack::OnSave);
}

void CAddBlack::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Text(pDX, id::Name, m_strName);
    app::DDX_Text(pDX, id::Reason, m_strReason);
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
