#include "app/vidarrodlg.h"

#include "app/aboutdlg.h"
#include "app/helpfile.h"
#include "app/restoredlg.h"
#include "blacklist/blacklist.h"
#include "data/daodb.h"
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
#include "import/updialog.h"
#include "settings/configdialog.h"
#include "settings/profile.h"

#include <QLabel>
#include <QPushButton>

int g_nSelectedFilm = 0;
int g_nDebtors = 0;
bool g_bIniPathBuilt = false;

namespace {
constexpr int IDD_VIDARRO_DIALOG = 102;
constexpr int IDR_ACCELERATOR = 157;
constexpr int IDS_PANE = 102;

enum : int {
    IDC_FILMS = 1000, IDC_DEBTORS = 1001, IDC_SERVICE = 1002, IDC_HELPGROUP = 1003,
    IDC_ADDFILM = 1004, IDC_EDITFILM = 1005, IDC_DELETEFILM = 1006, IDC_FINDFILM = 1007,
    IDC_ADDDEBTOR = 1008, IDC_SHOWDEBTORS = 1009, IDC_FINDDEBTOR = 1010, IDC_BLACKLIST = 1016,
    IDC_IMPORT = 1011, IDC_SETTINGS = 1012, IDC_ABOUT = 1013, IDC_HELP = 1014,
    IDC_FILMLIST = 1015, IDC_STARRING = 1017, IDC_COMMENT = 1018, IDC_RATING = 1019, IDC_MEDIUM = 1021,
    IDC_DURATION = 1023, IDC_DEBTORTEXT = 1041, IDC_DEBTORPIC = 1042, IDC_EXIT = 1047, ID_RESTORE = 1050,
};

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
    {IDC_FILMS, 10}, {IDC_DEBTORS, 35}, {IDC_SERVICE, 60}, {IDC_HELPGROUP, 85},
    {IDC_ADDFILM, 45}, {IDC_EDITFILM, 70}, {IDC_DELETEFILM, 95}, {IDC_FINDFILM, 120},
    {IDC_ADDDEBTOR, 70}, {IDC_SHOWDEBTORS, 95}, {IDC_FINDDEBTOR, 120}, {IDC_BLACKLIST, 145},
    {IDC_IMPORT, 95}, {IDC_SETTINGS, 120},
    {IDC_ABOUT, 120}, {IDC_HELP, 145},
};
constexpr int kCommandButtons[] = {IDC_ADDFILM, IDC_EDITFILM, IDC_DELETEFILM, IDC_FINDFILM, IDC_ADDDEBTOR,
    IDC_SHOWDEBTORS, IDC_FINDDEBTOR, IDC_BLACKLIST, IDC_IMPORT, IDC_SETTINGS, IDC_ABOUT, IDC_HELP};

struct GroupLayout {
    int debtorsY, serviceY, helpY;
    std::vector<int> visible;
};
GroupLayout LayoutOf(CVidarroDlg::Group g)
{
    switch (g) {
    case CVidarroDlg::Group::Films: return {270, 295, 320, {IDC_ADDFILM, IDC_EDITFILM, IDC_DELETEFILM, IDC_FINDFILM}};
    case CVidarroDlg::Group::Debtors: return {35, 295, 320, {IDC_ADDDEBTOR, IDC_SHOWDEBTORS, IDC_FINDDEBTOR, IDC_BLACKLIST}};
    case CVidarroDlg::Group::Service: return {35, 60, 320, {IDC_IMPORT, IDC_SETTINGS}};
    case CVidarroDlg::Group::Help: return {35, 60, 85, {IDC_ABOUT, IDC_HELP}};
    case CVidarroDlg::Group::None: break;
    }
    return {35, 60, 85, {}};
}
} // namespace

CVidarroDlg::CVidarroDlg(QWidget* parent)
    : app::CDialog(IDD_VIDARRO_DIALOG, parent)
{
    // The main window lives as long as the program: its start is the program's start.
    g_nSelectedFilm = 0;
    g_nDebtors = 0;
    g_bIniPathBuilt = false;

    for (int size : {16, 32, 48, 64, 128, 256})
        m_hIcon.addFile(QStringLiteral(":/icons/vidarro-%1.png").arg(size));

    OnCommand(IDC_FILMS, [this] { ShowGroup(Group::Films); });
    OnCommand(IDC_DEBTORS, [this] { ShowGroup(Group::Debtors); });
    OnCommand(IDC_SERVICE, [this] { ShowGroup(Group::Service); });
    OnCommand(IDC_HELPGROUP, [this] { ShowGroup(Group::Help); });
    OnCommand(IDC_ADDFILM, &CVidarroDlg::OnAddFilm);
    OnCommand(IDC_EDITFILM, &CVidarroDlg::OnEditFilm);
    OnCommand(IDC_DELETEFILM, &CVidarroDlg::OnDeleteFilm);
    OnCommand(IDC_FINDFILM, &CVidarroDlg::OnFindFilm);
    OnCommand(IDC_ADDDEBTOR, &CVidarroDlg::OnAddDebtor);
    OnCommand(IDC_SHOWDEBTORS, &CVidarroDlg::OnShowDebtors);
    OnCommand(IDC_FINDDEBTOR, &CVidarroDlg::OnFindDebtor);
    OnCommand(IDC_BLACKLIST, &CVidarroDlg::OnBlackList);
    OnCommand(IDC_IMPORT, &CVidarroDlg::OnImport);
    OnCommand(IDC_SETTINGS, &CVidarroDlg::OnSettings);
    OnCommand(ID_RESTORE, &CVidarroDlg::OnRestore);
    OnCommand(IDC_ABOUT, &CVidarroDlg::OnAbout);
    OnCommand(IDC_HELP, &CVidarroDlg::OnHelp);
    OnCommand(IDC_EXIT, &CVidarroDlg::OnExit);
    OnItemChanged(IDC_FILMLIST, [this](int row) { ApplyFilmSelection(row); });
}

void CVidarroDlg::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, IDC_DEBTORTEXT, m_textDebtors);
    app::DDX_Control(pDX, IDC_DEBTORPIC, m_picDebtors);
    app::DDX_Control(pDX, IDC_FILMLIST, m_listFilms);
    app::DDX_Text(pDX, IDC_RATING, m_strRating);
    app::DDX_Text(pDX, IDC_MEDIUM, m_strMedium);
    app::DDX_Text(pDX, IDC_DURATION, m_strDuration);
    app::DDX_Text(pDX, IDC_STARRING, m_strStarring);
    app::DDX_Text(pDX, IDC_COMMENT, m_strComment);
}

bool CVidarroDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    setWindowIcon(m_hIcon);
    // Keys first, so Ctrl+Q still ends the program when the catalogue cannot be opened.
    LoadAccelerators(IDR_ACCELERATOR);

    // Kept open to the end of the initialisation, beside the connections of the steps below.
    data::CDaoDatabase cDaoDB;
    cDaoDB.Open(data::kBaseFileName);
    m_strBasePath = cDaoDB.GetName();
    m_strIniPath = m_strBasePath.left(m_strBasePath.size() - data::kBaseFileName.size());
    UpdateData(false);
    ReadConfig(QStringLiteral("Config"), QStringLiteral("Table"));
    m_listFilms->SetExtendedStyle(m_listFilms->GetExtendedStyle() | app::LVS_EX_FULLROWSELECT);

    for (const NavPlace& p : kNavPlaces)
        MoveControl(p.id, QRect(kNavX, p.y, kNavWidth, kNavHeight));
    for (int id : kCommandButtons)
        ShowControl(id, false);

    InsertFilmColumns();
    FillFilmList();
    CountDebtors();
    ReadConfig(QStringLiteral("Config"), QStringLiteral("Message"));
    CreateStatusBar();
    return true;
}

void CVidarroDlg::ShowGroup(Group group)
{
    m_group = group;
    const GroupLayout layout = LayoutOf(group);
    MoveControl(IDC_DEBTORS, QRect(kNavX, layout.debtorsY, kNavWidth, kNavHeight));
    MoveControl(IDC_SERVICE, QRect(kNavX, layout.serviceY, kNavWidth, kNavHeight));
    MoveControl(IDC_HELPGROUP, QRect(kNavX, layout.helpY, kNavWidth, kNavHeight));
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
        m_strIniPath += QStringLiteral("Korvel.ini");
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

void CVidarroDlg::FillFilmList()
{
    using namespace data;
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    rs.Open(table::Films, {field::NameFilm, field::Zanr, field::Rezisser});

    std::vector<app::CListModel::Row> rows = m_listFilms->Model()->Rows();
    // Whatever was read before an error stays listed.
    struct Commit {
        app::CListCtrl* list;
        std::vector<app::CListModel::Row>& rows;
        ~Commit() { list->SetRows(std::move(rows)); }
    } commit{m_listFilms, rows};
    while (!rs.IsEOF()) {
        rows.push_back({{rs.GetFieldValue(field::NameFilm), rs.GetFieldValue(field::Zanr),
                            rs.GetFieldValue(field::Rezisser)},
            rs.RowId()});
        rs.MoveNext();
    }
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
    rs.Open(table::Films, {field::Roli, field::Komentar, field::Reiting, field::Nositel, field::Prodol});
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
    rs.Open(data::table::Debtors, {data::field::Name});
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
    m_wndStatusBar->SetPaneInfo(0, IDS_PANE, app::SBPS_NORMAL, 200);
    m_wndStatusBar->SetPaneText(0, QStringLiteral("Колличество фильмов: %1").arg(m_listFilms->GetItemCount()));
}

void CVidarroDlg::SetSelectedFilmPane()
{
    if (!m_wndStatusBar)
        return;
    m_wndStatusBar->SetPaneInfo(1, IDS_PANE, app::SBPS_NORMAL, 200);
    m_wndStatusBar->SetPaneText(1, QStringLiteral("Номер выделенного фильма: %1").arg(g_nSelectedFilm));
}

void CVidarroDlg::SetDebtorPane()
{
    if (!m_wndStatusBar)
        return;
    m_wndStatusBar->SetPaneInfo(2, IDS_PANE, app::SBPS_NORMAL, 190);
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
    if (app::MessageBox(this, QStringLiteral("Вы действительно хотите удалить данную запись?"),
            app::Buttons::OkCancel)
        == app::IDOK) {
        data::CDaoDatabase cDaoDB;
        cDaoDB.Open(m_strBasePath);
        data::CDaoRecordset rs(cDaoDB);
        rs.Open(data::table::Films, {data::field::NameFilm});
        const qint64 rowid = m_listFilms->GetItemData(g_nSelectedFilm - 1);
        if (rowid >= 0 && rs.MoveToRowId(rowid)) {
            rs.Delete();
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
    m_listFilms->DeleteAllItems();
    FillFilmList();
    CountDebtors();
    SetFilmCountPane();
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
    app::OpenHelpFile();
}
