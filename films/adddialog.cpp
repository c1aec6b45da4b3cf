#include "films/adddialog.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "ids/addfilm.h"

CAddDialog::CAddDialog(QWidget* parent)
    : CFilmForm(ids::addfilm::Dialog, parent)
{
    OnCommand(ids::addfilm::Save, &CAddDialog::OnSave);
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
