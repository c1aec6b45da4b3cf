#include "films/adddialog.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"

namespace {
constexpr int IDD_ADD_DIALOG = 130;
}

CAddDialog::CAddDialog(QWidget* parent)
    : CFilmForm(IDD_ADD_DIALOG, parent)
{
    OnCommand(films::IDC_SAVE, &CAddDialog::OnSave);
}

void CAddDialog::OnSave()
{
    UpdateData(true);
    data::CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    data::CDaoRecordset rs(cDaoDB);
    rs.Open(data::table::Films);
    // One INSERT with every field: a failure leaves no half-written film behind, and the dialog stays
    // open with what the user typed.
    rs.AddNew();
    StoreFields(rs);
    rs.Update();
    rs.Close();
    EndDialog(app::IDOK);
}
