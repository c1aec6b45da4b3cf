#include "debtors/adddolgdialog.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "debtors/marks.h"
#include "ids/adddebtor.h"

namespace id = ids::adddebtor;

CAddDolgDialog::CAddDolgDialog()
    : CDolgForm(id::Dialog, id::MarkBox)
{
    OnCommand(id::Save, &CAddDolgDialog::OnSave);
}

bool CAddDolgDialog::OnInitDialog()
{
    CDolgForm::OnInitDialog();
    app::ComboSetCurSel(m_comboMark, 0);
    m_strMark = QString::fromUtf16(debtors::kMarkCancelled);
    UpdateData(false);
    return true;
}

void CAddDolgDialog::OnSave()
{
    using namespace data;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    UpdateData(true);
    // The name as typed, before the "n/d" rule.
    if (!CheckBlackList(cDaoDB, m_strName))
        return;

    // The debtor and its black-list entry are stored together or not at all.
    CDaoDatabase::Transaction transaction(cDaoDB);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Debtors);
    rs.AddNew();
    WriteFields(rs);
    rs.Update();
    if (m_strMark == QStringView(debtors::kMarkBlackList)) {
        CDaoRecordset black(cDaoDB);
        black.Open(table::BlackList);
        black.AddNew();
        black.SetFieldValue(field::Name, NdRule(m_strName));
        black.SetFieldValue(field::Prichina, NdRule(m_strFilm));
        black.Update();
    }
    transaction.Commit();
    EndDialog(app::IDOK);
}

bool CAddDolgDialog::CheckBlackList(data::CDaoDatabase& cDaoDB, const QString& name)
{
    using namespace data;
    bool listed = false;
    {
        CDaoRecordset rs(cDaoDB);
        rs.Open(table::BlackList, { field::Name });
        while (!rs.IsEOF() && !listed) {
            listed = rs.GetFieldValue(field::Name) == name;
            rs.MoveNext();
        }
    }
    if (!listed)
        return true;
    return app::MessageBox(this,
               QStringLiteral("Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"),
               app::Buttons::OkCancel)
        == app::IDOK;
}
