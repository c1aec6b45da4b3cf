#include "app/vidarrodlg.h"

#include "app/listedrecord.h"

#include "app/aboutdlg.h"
#include "app/helpfile.h"
#include "app/restoredlg.h"
#include "blacklist/blacklist.h"
#include "data/daodb.h"
#include "data/dberror.h"
#include "data/filenames.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "debtors/adddolgdialog.h"
#include "debtors/debtorsound.h"
#include "debtors/finddolgdialog.h"
#include "debtors/showdolgdialog.h"
#include "films/adddialog.h"
#include "films/finddialog.h"
#include "films/renamedialog.h"
#include "ids/main.h"
#include "ids/strings.h"
#include "import/updialog.h"
#include "settings/configdialog.h"
#include "settings/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <optional>
#include <utility>

int g_nSelectedFilm = 0;
int g_nDebtors = 0;
bool g_bIniPathBuilt = false;

namespace {
namespace id = ids::main;

const QStringList kFilmListFields { data::field::NameFilm, data::field::Zanr, data::field::Rezisser };

void ReadFilmRows(data::CDaoRecordset& rs, std::vector<app::CListModel::Row>& rows)
{
    using namespace data;
    for (; !rs.IsEOF(); rs.MoveNext())
        rows.push_back(
            { { rs.GetFieldValue(field::NameFilm), rs.GetFieldValue(field::Zanr), rs.GetFieldValue(field::Rezisser) },
                rs.RowId() });
}

// The film list read ahead at start-up, with what its file looked like then: SQLite counts each change
// in the file's header, and a write-ahead log beside it changes its size.
struct PreloadedFilms {
    QString file;
    QByteArray header;
    qint64 logSize = -1;
    std::vector<app::CListModel::Row> rows;
    bool SameFile(const PreloadedFilms& o) const
    {
        return file == o.file && header == o.header && logSize == o.logSize;
    }
};
std::optional<PreloadedFilms> g_preloadedFilms;

PreloadedFilms FileState(const QString& file)
{
    QFile f(file);
    const QByteArray header = f.open(QIODevice::ReadOnly) ? f.read(100) : QByteArray();
    const QFileInfo log(file + QStringLiteral("-wal"));
    return { QFileInfo(file).canonicalFilePath(), header, log.exists() ? log.size() : -1, {} };
}

// The navigation panel, in pixels of the client area.
constexpr int kNavX = 10;
constexpr int kNavWidth = 160;
constexpr int kNavHeight = 25;

struct NavPlace {
    int id;
    int y;
};
// Where each button stands when its group is open; headers as after start-up.
constexpr NavPlace kNavPlaces[] = {
    { id::Films, 10 },
    { id::Debtors, 35 },
    { id::Service, 60 },
    { id::HelpGroup, 85 },
    { id::AddFilm, 45 },
    { id::EditFilm, 70 },
    { id::DeleteFilm, 95 },
    { id::FindFilm, 120 },
    { id::AddDebtor, 70 },
    { id::ShowDebtors, 95 },
    { id::FindDebtor, 120 },
    { id::BlackList, 145 },
    { id::Import, 95 },
    { id::Settings, 120 },
    { id::About, 120 },
    { id::Help, 145 },
};
constexpr int kCommandButtons[] = { id::AddFilm, id::EditFilm, id::DeleteFilm, id::FindFilm, id::AddDebtor,
    id::ShowDebtors, id::FindDebtor, id::BlackList, id::Import, id::Settings, id::About, id::Help };

struct GroupLayout {
    int debtorsY, serviceY, helpY;
    std::vector<int> visible;
};
GroupLayout LayoutOf(CVidarroDlg::Group g)
{
    switch (g) {
    case CVidarroDlg::Group::Films:
        return { 270, 295, 320, { id::AddFilm, id::EditFilm, id::DeleteFilm, id::FindFilm } };
    case CVidarroDlg::Group::Debtors:
        return { 35, 295, 320, { id::AddDebtor, id::ShowDebtors, id::FindDebtor, id::BlackList } };
    case CVidarroDlg::Group::Service:
        return { 35, 60, 320, { id::Import, id::Settings } };
    case CVidarroDlg::Group::Help:
        return { 35, 60, 85, { id::About, id::Help } };
    case CVidarroDlg::Group::None:
        break;
    }
    return { 35, 60, 85, {} };
}
} // namespace

CVidarroDlg::CVidarroDlg(const QString& baseFile, QWidget* parent)
    : app::CDialog(id::Dialog, parent)
    , m_strBaseFile(baseFile)
{
    // The main window lives as long as the program: its start is the program's start.
    g_nSelectedFilm = 0;
    g_nDebtors = 0;
    g_bIniPathBuilt = false;

    for (int size : { 16, 32, 48, 64, 128, 256 })
        m_hIcon.addFile(QStringLiteral(":/icons/vidarro-%1.png").arg(size));

    OnCommand(id::Films, [this] { ShowGroup(Group::Films); });
    OnCommand(id::Debtors, [this] { ShowGroup(Group::Debtors); });
    OnCommand(id::Service, [this] { ShowGroup(Group::Service); });
    OnCommand(id::HelpGroup, [this] { ShowGroup(Group::Help); });
    OnCommand(id::AddFilm, &CVidarroDlg::OnAddFilm);
    OnCommand(id::EditFilm, &CVidarroDlg::OnEditFilm);
    OnCommand(id::DeleteFilm, &CVidarroDlg::OnDeleteFilm);
    OnCommand(id::FindFilm, &CVidarroDlg::OnFindFilm);
    OnCommand(id::AddDebtor, &CVidarroDlg::OnAddDebtor);
    OnCommand(id::ShowDebtors, &CVidarroDlg::OnShowDebtors);
    OnCommand(id::FindDebtor, &CVidarroDlg::OnFindDebtor);
    OnCommand(id::BlackList, &CVidarroDlg::OnBlackList);
    OnCommand(id::Import, &CVidarroDlg::OnImport);
    OnCommand(id::Settings, &CVidarroDlg::OnSettings);
    OnCommand(id::Restore, &CVidarroDlg::OnRestore);
    OnCommand(id::About, &CVidarroDlg::OnAbout);
    OnCommand(id::Help, &CVidarroDlg::OnHelp);
    OnCommand(id::Exit, &CVidarroDlg::OnExit);
    OnItemChanged(id::FilmList, [this](int row) { ApplyFilmSelection(row); });
}

void CVidarroDlg::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::DebtorText, m_textDebtors);
    app::DDX_Control(pDX, id::DebtorPic, m_picDebtors);
    app::DDX_Control(pDX, id::FilmList, m_listFilms);
    app::DDX_Text(pDX, id::Rating, m_strRating);
    app::DDX_Text(pDX, id::Medium, m_strMedium);
    app::DDX_Text(pDX, id::Duration, m_strDuration);
    app::DDX_Text(pDX, id::Starring, m_strStarring);
    app::DDX_Text(pDX, id::Comment, m_strComment);
}

bool CVidarroDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    setWindowIcon(m_hIcon);
    // Keys first, so Ctrl+Q still ends the program when the catalogue cannot be opened.
    LoadAccelerators(id::Keys);

    // Kept open to the end of the initialisation, beside the connections of the steps below.
    data::CDaoDatabase cDaoDB;
    try {
        cDaoDB.Open(m_strBaseFile);
    } catch (const data::DbError& e) {
        // Without its catalogue the window would only fail at every command: the program ends instead.
        app::MessageBox(this, e.Text());
        EndDialog(app::IDCANCEL);
        return false;
    }
    m_strBasePath = cDaoDB.GetName();
    // The file's name may differ from "BaseFilm.mdb" in letter case.
    m_strIniPath = m_strBasePath.left(m_strBasePath.size() - QFileInfo(m_strBasePath).fileName().size());
    UpdateData(false);
    ReadConfig(QStringLiteral("Config"), QStringLiteral("Table"));
    m_listFilms->SetExtendedStyle(m_listFilms->GetExtendedStyle() | app::LVS_EX_FULLROWSELECT);

    for (const NavPlace& p : kNavPlaces)
        MoveControl(p.id, QRect(kNavX, p.y, kNavWidth, kNavHeight));
    for (int id : kCommandButtons)
        ShowControl(id, false);

    InsertFilmColumns();
    // A missing table or field is reported by the step that needs it; the window is built all the same.
    Guarded([this] { FillFilmList(); });
    Guarded([this] { CountDebtors(); });
    ReadConfig(QStringLiteral("Config"), QStringLiteral("Message"));
    CreateStatusBar();
    return true;
}

void CVidarroDlg::ShowGroup(Group group)
{
    m_group = group;
    const GroupLayout layout = LayoutOf(group);
    MoveControl(id::Debtors, QRect(kNavX, layout.debtorsY, kNavWidth, kNavHeight));
    MoveControl(id::Service, QRect(kNavX, layout.serviceY, kNavWidth, kNavHeight));
    MoveControl(id::HelpGroup, QRect(kNavX, layout.helpY, kNavWidth, kNavHeight));
    for (int id : kCommandButtons)
        ShowControl(id, std::find(layout.visible.begin(), layout.visible.end(), id) != layout.visible.end());
}

void CVidarroDlg::OnExit()
{
    EndDialog(app::IDCANCEL);
}

void CVidarroDlg::ReadConfig(const QString& section, const QString& key)
{
    if (!g_bIniPathBuilt) {
        const data::FoundFile ini = data::FindFileIgnoringCase(m_strIniPath, QStringLiteral("Korvel.ini"));
        // Several files that differ in letter case only: none of them is read or written.
        if (!ini.ambiguous.isEmpty())
            app::MessageBox(this,
                QStringLiteral("В папке «%1» несколько файлов настроек: «%2». Оставьте один из "
                               "них; до тех пор настройки не читаются и не сохраняются.")
                    .arg(QDir::toNativeSeparators(m_strIniPath), ini.ambiguous.join(u"», «")));
        m_strIniPath = !ini.ambiguous.isEmpty() ? QString()
            : ini.path.isEmpty()                ? m_strIniPath + QStringLiteral("Korvel.ini")
                                                : ini.path;
        g_bIniPathBuilt = true;
    }
    const QString value = settings::GetPrivateProfileString(section, key, QString(), m_strIniPath, 200);
    if (key == QLatin1String("Message"))
        DebtorAlert(data::LeadingInt(value));
    if (key == QLatin1String("Table"))
        m_listFilms->SetExtendedStyle(quint32(data::LeadingInt(value)));
}

void CVidarroDlg::InsertFilmColumns()
{
    m_listFilms->InsertColumn(0, QStringLiteral("Название фильма."), Qt::AlignLeft, 170);
    m_listFilms->InsertColumn(1, QStringLiteral("Жанр."), Qt::AlignLeft, 110);
    m_listFilms->InsertColumn(2, QStringLiteral("Режиссер."), Qt::AlignLeft, 140);
}

void CVidarroDlg::PreloadFilmList(const QString& baseFile)
{
    PreloadedFilms preloaded = FileState(baseFile);
    g_preloadedFilms.reset();
    try {
        data::CDaoDatabase cDaoDB;
        cDaoDB.Open(baseFile);
        data::CDaoRecordset rs(cDaoDB);
        rs.Open(data::table::Films, kFilmListFields);
        ReadFilmRows(rs, preloaded.rows);
    } catch (const data::DbError&) {
        return;
    }
    g_preloadedFilms = std::move(preloaded);
}

void CVidarroDlg::DropPreloadedFilmList()
{
    g_preloadedFilms.reset();
}

void CVidarroDlg::FillFilmList()
{
    using namespace data;
    std::optional<PreloadedFilms> preloaded = std::exchange(g_preloadedFilms, std::nullopt);
    if (preloaded && m_listFilms->GetItemCount() == 0) {
        if (preloaded->SameFile(FileState(m_strBasePath))) {
            m_listFilms->SetRows(std::move(preloaded->rows));
            return;
        }
    }
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Films, kFilmListFields);
    m_listFilms->FillRows([&](std::vector<app::CListModel::Row>& rows) { ReadFilmRows(rs, rows); });
}

void CVidarroDlg::RefreshFilmList()
{
    m_listFilms->DeleteAllItems();
    FillFilmList();
    SetFilmCountPane();
}

void CVidarroDlg::ApplyFilmSelection(int row)
{
    using namespace data;
    if (row >= 0)
        g_nSelectedFilm = row + 1;
    SetFilmCountPane();
    SetSelectedFilmPane();

    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Films, { field::Roli, field::Komentar, field::Reiting, field::Nositel, field::Prodol });
    if (row >= 0 && rs.MoveToRowId(m_listFilms->GetItemData(row))) {
        UpdateData(true);
        m_strStarring = rs.GetFieldValue(field::Roli);
        m_strComment = rs.GetFieldValue(field::Komentar);
        m_strRating = rs.GetFieldValue(field::Reiting);
        m_strMedium = rs.GetFieldValue(field::Nositel);
        m_strDuration = rs.GetFieldValue(field::Prodol);
    }
    UpdateData(false);
}

void CVidarroDlg::CountDebtors()
{
    g_nDebtors = 0;
    data::CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    data::CDaoRecordset rs(cDaoDB);
    rs.Open(data::table::Debtors, { data::field::Name });
    g_nDebtors = rs.RecordCount();
    m_picDebtors->setVisible(g_nDebtors > 0);
    m_textDebtors->setVisible(g_nDebtors > 0);
}

void CVidarroDlg::CreateStatusBar()
{
    m_wndStatusBar = new app::CStatusBar(this);
    m_wndStatusBar->SetIndicators(3);
    AttachStatusBar(m_wndStatusBar);
    SetFilmCountPane();
    SetSelectedFilmPane();
    SetDebtorPane();
}

void CVidarroDlg::SetFilmCountPane()
{
    if (!m_wndStatusBar)
        return;
    m_wndStatusBar->SetPaneInfo(0, ids::strings::Pane, app::SBPS_NORMAL, 200);
    m_wndStatusBar->SetPaneText(0, QStringLiteral("Колличество фильмов: %1").arg(m_listFilms->GetItemCount()));
}

void CVidarroDlg::SetSelectedFilmPane()
{
    if (!m_wndStatusBar)
        return;
    m_wndStatusBar->SetPaneInfo(1, ids::strings::Pane, app::SBPS_NORMAL, 200);
    m_wndStatusBar->SetPaneText(1, QStringLiteral("Номер выделенного фильма: %1").arg(g_nSelectedFilm));
}

void CVidarroDlg::SetDebtorPane()
{
    if (!m_wndStatusBar)
        return;
    m_wndStatusBar->SetPaneInfo(2, ids::strings::Pane, app::SBPS_NORMAL, 190);
    m_wndStatusBar->SetPaneText(2, QStringLiteral("Колличество должников: %1").arg(g_nDebtors));
}

// ---- Film commands ----

void CVidarroDlg::OnAddFilm()
{
    CAddDialog AddDialog;
    AddDialog.m_strBasePath = m_strBasePath;
    UpdateData(false);
    if (AddDialog.DoModal() == app::IDOK)
        RefreshFilmList();
}

void CVidarroDlg::OnEditFilm()
{
    if (g_nSelectedFilm == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для изменения."));
        return;
    }
    CRenameDialog RenameDialog;
    RenameDialog.m_nPosition = g_nSelectedFilm - 1;
    // The list is refilled after every change, so its row is the film's position and carries its rowid.
    RenameDialog.m_nRowId = m_listFilms->GetItemData(g_nSelectedFilm - 1);
    RenameDialog.m_listedValues = ListedFilm().values;
    RenameDialog.m_refreshList = [this] { RefreshAfterGone(); };
    RenameDialog.m_strBasePath = m_strBasePath;
    UpdateData(false);
    if (RenameDialog.DoModal() == app::IDOK)
        RefreshFilmList();
}

void CVidarroDlg::OnDeleteFilm()
{
    if (g_nSelectedFilm == 0) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали запись для удаления."));
        return;
    }
    if (app::MessageBox(this, QStringLiteral("Вы действительно хотите удалить данную запись?"), app::Buttons::OkCancel)
        == app::IDOK) {
        const data::RecordRef listed = ListedFilm();
        data::CDaoDatabase cDaoDB;
        cDaoDB.Open(m_strBasePath);
        if (app::ActOnListed(
                this, [&] { data::DeleteRecord(cDaoDB, data::table::Films, listed); },
                [this] { RefreshAfterGone(); })) {
            m_strComment.clear();
            m_strStarring.clear();
            m_strRating.clear();
            m_strMedium.clear();
            m_strDuration.clear();
        }
        g_nSelectedFilm = 0;
    }
    // Either answer rebuilds the list, which drops the visible selection.
    UpdateData(false);
    RefreshFilmList();
    SetSelectedFilmPane();
}

data::RecordRef CVidarroDlg::ListedFilm() const
{
    // The columns of the film list.
    static constexpr QLatin1String kListed[] = { data::field::NameFilm, data::field::Zanr, data::field::Rezisser };
    return app::ListedRecord(m_listFilms, g_nSelectedFilm - 1, kListed);
}

void CVidarroDlg::RefreshAfterGone()
{
    // The rows move: no film is selected any more.
    g_nSelectedFilm = 0;
    RefreshFilmList();
    SetSelectedFilmPane();
}

void CVidarroDlg::OnFindFilm()
{
    CFindDialog FindDialog;
    FindDialog.m_strBasePath = m_strBasePath;
    FindDialog.m_strIniPath = m_strIniPath;
    UpdateData(false);
    FindDialog.DoModal();
}

// ---- Debtor commands ----

void CVidarroDlg::OnAddDebtor()
{
    CAddDolgDialog dlg;
    dlg.m_strBasePath = m_strBasePath;
    UpdateData(false);
    if (dlg.DoModal() == app::IDOK) {
        CountDebtors();
        SetDebtorPane();
    }
}

void CVidarroDlg::OnShowDebtors()
{
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_strBasePath;
    dlg.m_strIniPath = m_strIniPath;
    UpdateData(false);
    // Changes made in the window are stored either way; only "OK" recounts.
    if (dlg.DoModal() == app::IDOK) {
        CountDebtors();
        SetDebtorPane();
    }
}

void CVidarroDlg::OnFindDebtor()
{
    CFindDolgDialog dlg;
    dlg.m_strBasePath = m_strBasePath;
    dlg.m_strIniPath = m_strIniPath;
    UpdateData(false);
    dlg.DoModal();
}

// The start-up alert, chosen by "Message": 1 a message, 2 the sound, 3 the message and then the sound.
void CVidarroDlg::DebtorAlert(int mode)
{
    if (g_nDebtors <= 0)
        return;
    if (mode == 1 || mode == 3)
        app::MessageBox(this, QStringLiteral("Внимание Имеются должники."));
    if (mode == 2 || mode == 3)
        PlayDebtorSound();
}

void CVidarroDlg::PlayDebtorSound()
{
    CDebtorSound::Instance().Play(this);
}

// ---- Black list ----

void CVidarroDlg::OnBlackList()
{
    CBlackList BlackList(this);
    BlackList.m_strBasePath = m_strBasePath;
    BlackList.m_strIniPath = m_strIniPath;
    UpdateData(false);
    BlackList.DoModal();
}

// ---- Import ----

void CVidarroDlg::OnImport()
{
    CUpDialog UpDialog(this);
    UpDialog.m_strBasePath = m_strBasePath;
    UpdateData(false);
    if (UpDialog.DoModal() != app::IDOK)
        return;
    RefreshFilmList();
    CountDebtors();
    SetDebtorPane();
}

// ---- Restore from a backup ----

void CVidarroDlg::OnRestore()
{
    CRestoreDlg RestoreDialog(this);
    RestoreDialog.m_strBasePath = m_strBasePath;
    UpdateData(false);
    if (RestoreDialog.DoModal() != app::IDOK)
        return;
    // Another catalogue: no row of the old list is selected in it.
    g_nSelectedFilm = 0;
    m_strComment.clear();
    m_strStarring.clear();
    m_strRating.clear();
    m_strMedium.clear();
    m_strDuration.clear();
    UpdateData(false);
    RefreshFilmList();
    CountDebtors();
    SetSelectedFilmPane();
    SetDebtorPane();
}

// ---- Settings ----

void CVidarroDlg::OnSettings()
{
    CConfigDialog ConfigDialog(this);
    ConfigDialog.m_strIniPath = m_strIniPath;
    if (ConfigDialog.DoModal() == app::IDOK)
        ReadConfig(QStringLiteral("Config"), QStringLiteral("Table"));
    // The style just read replaces full-row selection, and Cancel must keep it too.
    m_listFilms->SetExtendedStyle(m_listFilms->GetExtendedStyle() | app::LVS_EX_FULLROWSELECT);
}

// ---- About box and help ----

void CVidarroDlg::OnAbout()
{
    CAboutDlg AboutDialog(this);
    AboutDialog.m_strBasePath = m_strBasePath;
    AboutDialog.DoModal();
}

void CVidarroDlg::OnHelp()
{
    app::OpenHelpFile(this);
}
