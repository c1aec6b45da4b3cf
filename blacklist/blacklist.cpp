#include "blacklist/blacklist.h"

#include "app/listedrecord.h"
#include "blacklist/addblack.h"
#include "blacklist/renameblack.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "ids/blacklist.h"
#include "settings/liststyle.h"

namespace id = ids::blacklist;

CBlackList::CBlackList(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    OnCommand(id::Add, &CBlackList::OnAdd);
    OnCommand(id::Change, &CBlackList::OnChange);
    OnCommand(id::Delete, &CBlackList::OnDelete);
    OnItemChanged(id::List, [this](int row) { OnSelectionChange(row); });
}

void CBlackList::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::List, m_listBlack);
    app::DDX_Text(pDX, id::Reason, m_strReason);
}

bool CBlackList::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    m_listBlack->InsertColumn(0, QStringLiteral("Имя"), Qt::AlignLeft, 170);
    // The style comes before the fill so that a base that cannot be read still leaves a styled list.
    m_listBlack->SetExtendedStyle(settings::ListStyle(m_strIniPath));
    FillList();
    return true;
}

void CBlackList::FillList()
{
    using namespace data;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::BlackList, { field::Name });

    m_listBlack->FillRows([&](std::vector<app::CListModel::Row>& rows) {
        for (; !rs.IsEOF(); rs.MoveNext())
            rows.push_back({ { rs.GetFieldValue(field::Name) }, rs.RowId() });
    });
}

void CBlackList::RefillList()
{
    m_listBlack->DeleteAllItems();
    FillList();
}

qint64 CBlackList::SelectedRowId() const
{
    return m_nSelectedBlack > 0 ? m_listBlack->GetItemData(m_nSelectedBlack - 1) : -1;
}

void CBlackList::OnSelectionChange(int row)
{
    using namespace data;
    if (row >= 0)
        m_nSelectedBlack = row + 1;
    // Read from the base each time: another window may have changed the entry.
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::BlackList, { field::Prichina });
    const qint64 rowid = SelectedRowId();
    if (rowid >= 0 && rs.MoveToRowId(rowid)) {
        m_strReason = rs.GetFieldValue(field::Prichina);
        UpdateData(false);
    }
}

void CBlackList::RefreshAfterGone()
{
    m_nSelectedBlack = 0;
    m_strReason.clear();
    UpdateData(false);
    RefillList();
}

void CBlackList::OnAdd()
{
    CAddBlack AddBlack(this);
    AddBlack.m_strBasePath = m_strBasePath;
    if (AddBlack.DoModal() == app::IDOK)
        RefillList(); // the new entry is last, so the current row keeps its place
}

void CBlackList::OnChange()
{
    if (m_nSelectedBlack == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для изменения."));
        return;
    }
    CRenameBlack RenameBlack(this);
    RenameBlack.m_strBasePath = m_strBasePath;
    RenameBlack.m_nPosition = m_nSelectedBlack - 1;
    RenameBlack.m_nRowId = SelectedRowId();
    RenameBlack.m_listedValues = { m_listBlack->GetItemText(m_nSelectedBlack - 1, 0) };
    RenameBlack.m_refreshList = [this] { RefreshAfterGone(); };
    if (RenameBlack.DoModal() != app::IDOK)
        return;
    m_nSelectedBlack = 0;
    // No entry is current any more, and the reason shown may just have changed.
    m_strReason.clear();
    UpdateData(false);
    RefillList();
}

void CBlackList::OnDelete()
{
    using namespace data;
    if (m_nSelectedBlack == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для удаления."));
        return;
    }
    if (app::MessageBox(this, QStringLiteral("Вы действительно хотите удалить данную запись?"), app::Buttons::OkCancel)
        == app::IDOK) {
        static constexpr QLatin1String kListed[] = { field::Name };
        const RecordRef listed = app::ListedRecord(m_listBlack, m_nSelectedBlack - 1, kListed);
        CDaoDatabase cDaoDB;
        cDaoDB.Open(m_strBasePath);
        if (!app::ActOnListed(
                this, [&] { DeleteRecord(cDaoDB, table::BlackList, listed); }, [this] { RefreshAfterGone(); }))
            return;
        m_strReason.clear();
    }
    m_nSelectedBlack = 0;
    UpdateData(false);
    RefillList();
}
