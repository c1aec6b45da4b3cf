#include "films/renamedialog.h"

#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "ids/editfilm.h"

#include <QLineEdit>

namespace id = ids::editfilm;

CRenameDialog::CRenameDialog(QWidget* parent)
    : CFilmForm(id::Dialog, parent)
{
    OnCommand(id::Save, &CRenameDialog::OnSave);
}

void CRenameDialog::DoDataExchange(app::CDataExchange* pDX)
{
    CFilmForm::DoDataExchange(pDX);
    app::DDX_Text(pDX, id::Position, m_nPosition);
}

bool CRenameDialog::OnInitDialog()
{
    CFilmForm::OnInitDialog();
    // The comment is one line here, in a tall box: its text starts at the top.
    if (auto* comment = Item<QLineEdit>(id::Comment))
        comment->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    data::CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    data::CDaoRecordset rs(cDaoDB);
    rs.Open(data::table::Films);
    // The list row's rowid finds the film in one lookup; films with the same title stay apart.
    const bool found = rs.MoveToRecord(m_nPosition, m_nRowId);
    if (found) {
        m_nLoadedRowId = rs.RowId();
        LoadFields(rs);
    }
    return true;
}

void CRenameDialog::OnSave()
{
    UpdateData(true);
    if (m_nLoadedRowId >= 0) {
        data::CDaoDatabase cDaoDB;
        cDaoDB.Open(m_strBasePath);
        data::CDaoRecordset rs(cDaoDB);
        rs.Open(data::table::Films);
        if (!rs.MoveToRowId(m_nLoadedRowId))
            throw data::DbError(
                QStringLiteral("Запись таблицы %1 базы «%2» уже удалена.").arg(data::table::Films, cDaoDB.GetName()));
        rs.Edit();
        StoreFields(rs);
        rs.Update();
    }
    EndDialog(app::IDOK);
}
