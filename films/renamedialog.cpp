#include "films/renamedialog.h"

#include "app/listedrecord.h"
#include "data/daodb.h"
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
    using namespace data;
    if (!rs.MoveToRecord(
            { m_nRowId, m_nPosition, { field::NameFilm, field::Zanr, field::Rezisser }, m_listedValues })) {
        // Never an empty form for a film that is gone.
        app::TellRecordGone(this, m_refreshList);
        EndDialog(app::IDCANCEL);
        return false;
    }
    m_read = data::RecordRef::Of(rs, data::kFilmFields);
    m_nLoadedRowId = m_read.rowid;
    LoadFields(rs);
    return true;
}

void CRenameDialog::OnSave()
{
    UpdateData(true);
    if (app::SaveForm(
            this, m_strBasePath, data::table::Films, m_read, [this](data::CDaoRecordset& rs) { StoreFields(rs); },
            m_refreshList))
        EndDialog(app::IDOK);
}
