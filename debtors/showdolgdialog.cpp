#include "debtors/showdolgdialog.h"

#include "app/listedrecord.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "debtors/adddolgdialog.h"
#include "debtors/finddolgdialog.h"
#include "debtors/marks.h"
#include "debtors/renamedolgdialog.h"
#include "ids/debtors.h"
#include "settings/liststyle.h"

namespace id = ids::debtors;

CShowDolgDialog::CShowDolgDialog()
    : app::CDialog(id::Dialog)
{
    OnCommand(id::Add, &CShowDolgDialog::OnAdd);
    OnCommand(id::Edit, &CShowDolgDialog::OnEdit);
    OnCommand(id::Delete, &CShowDolgDialog::OnDelete);
    OnCommand(id::Find, &CShowDolgDialog::OnFind);
    OnCommand(id::ToBlackList, &CShowDolgDialog::OnBlackList);
    OnItemChanged(id::List, [this](int row) {
        if (row >= 0)
            m_nCurrentDolg = row + 1;
    });
}

void CShowDolgDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::List, m_listDolgi);
}

bool CShowDolgDialog::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    m_nCurrentDolg = 0;
    LoadAccelerators(id::Keys);
    InsertColumns();
    m_listDolgi->SetExtendedStyle(settings::ListStyle(m_strIniPath));
    FillList();
    return true;
}

void CShowDolgDialog::InsertColumns()
{
    // Widths laid out for the classic dialog font, like the templates: the headings fit the font in use.
    const auto column = [this](int index, const char16_t* heading, int width) {
        m_listDolgi->InsertColumn(
            index, QString::fromUtf16(heading), Qt::AlignLeft, MapClassicPixels(QRect(0, 0, width, 0)).width());
    };
    column(0, u"Имя должника.", 121);
    column(1, u"Название Фильма/диска.", 150);
    column(2, u"Дата.", 90);
    column(3, u"Метка.", 90);
}

void CShowDolgDialog::FillList()
{
    using namespace data;
    m_listDolgi->DeleteAllItems();
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Debtors);

    m_listDolgi->FillRows([&](std::vector<app::CListModel::Row>& rows) {
        for (; !rs.IsEOF(); rs.MoveNext())
            rows.push_back({ { rs.GetFieldValue(field::Name), rs.GetFieldValue(field::NameFilm),
                                 rs.GetFieldValue(field::Data), debtors::MarkEntry(rs.GetFieldValue(field::Metka)) },
                rs.RowId() });
    });
}

data::RecordRef CShowDolgDialog::Listed(int row) const
{
    // The mark column shows an entry, not the stored code.
    static constexpr QLatin1String kListed[] = { data::field::Name, data::field::NameFilm, data::field::Data };
    return app::ListedRecord(m_listDolgi, row, kListed);
}

void CShowDolgDialog::RefreshAfterGone()
{
    m_nCurrentDolg = 0;
    FillList();
}

void CShowDolgDialog::OnAdd()
{
    CAddDolgDialog dlg;
    dlg.m_strBasePath = m_strBasePath;
    if (dlg.DoModal() == app::IDOK)
        FillList();
}

void CShowDolgDialog::OnEdit()
{
    if (m_nCurrentDolg == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для изменения."));
        return;
    }
    CRenameDolgDialog dlg;
    dlg.m_strBasePath = m_strBasePath;
    dlg.m_nPosition = m_nCurrentDolg - 1;
    dlg.m_nRowId = m_listDolgi->GetItemData(m_nCurrentDolg - 1);
    dlg.m_listedValues = Listed(m_nCurrentDolg - 1).values;
    dlg.m_refreshList = [this] { RefreshAfterGone(); };
    if (dlg.DoModal() == app::IDOK)
        FillList();
}

void CShowDolgDialog::OnDelete()
{
    if (m_nCurrentDolg == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для удаления."));
        return;
    }
    if (app::MessageBox(this, QStringLiteral("Вы действительно хотите удалить данную запись?"), app::Buttons::OkCancel)
        == app::IDOK) {
        const int row = m_nCurrentDolg - 1;
        // The number is spent whatever becomes of the deletion.
        m_nCurrentDolg = 0;
        const data::RecordRef listed = Listed(row);
        data::CDaoDatabase cDaoDB;
        cDaoDB.Open(m_strBasePath);
        if (!app::ActOnListed(
                this, [&] { DeleteRecord(cDaoDB, data::table::Debtors, listed); }, [this] { RefreshAfterGone(); }))
            return;
    }
    FillList();
}

void CShowDolgDialog::OnFind()
{
    CFindDolgDialog dlg;
    dlg.m_strBasePath = m_strBasePath;
    dlg.m_strIniPath = m_strIniPath;
    dlg.DoModal();
}

void CShowDolgDialog::OnBlackList()
{
    using namespace data;
    if (m_nCurrentDolg == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для занесения в черный список."));
        return;
    }
    if (app::MessageBox(
            this, QStringLiteral("Вы действительно хотите занести запись в черный список?"), app::Buttons::OkCancel)
        != app::IDOK)
        return;

    // The name and the title as the list shows them.
    const int row = m_nCurrentDolg - 1;
    const QString name = m_listDolgi->GetItemText(row, 0);
    const QString film = m_listDolgi->GetItemText(row, 1);

    const RecordRef listed = Listed(row);
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    const auto toBlackList = [&] {
        // The black-list entry and the debtor's new mark are stored together or not at all, and only
        // for the debtor listed.
        CDaoDatabase::Transaction transaction(cDaoDB);
        CDaoRecordset rs(cDaoDB);
        rs.Open(table::Debtors);
        rs.MoveToSameRecord(listed);
        rs.Edit();
        rs.SetFieldValue(field::Metka, QString::fromUtf16(debtors::kCodeBlackList));
        rs.Update();
        CDaoRecordset black(cDaoDB);
        black.Open(table::BlackList);
        black.AddNew();
        black.SetFieldValue(field::Name, name);
        black.SetFieldValue(field::Prichina, film);
        black.Update();
        transaction.Commit();
    };
    if (app::ActOnListed(this, toBlackList, [this] { RefreshAfterGone(); }))
        FillList();
}
