#include "debtors/finddolgdialog.h"

#include "data/daodb.h"
#include "data/schema.h"
#include "debtors/marks.h"
#include "settings/liststyle.h"

#include <QComboBox>

namespace {
constexpr int IDD_FINDDOLG = 150;

enum : int {
    IDC_OK = 1047,
    IDC_FINDTEXT = 1017,
    IDC_MARKLIST = 1020,
    IDC_RESULTS = 1015,
    IDC_BYNAME = 1029,
    IDC_BYTITLE = 1030,
    IDC_BYDATE = 1031,
    IDC_BYMARK = 1032,
    IDC_BLACKLIST = 1033,
    IDC_FIND = 1000,
};

// Where the handlers put the search edit and the mark list, in pixels of the client area for the classic
// dialog font.
const QRect kFindNormal(5, 17, 290, 21);
const QRect kFindBesideMarks(165, 17, 130, 21);
const QRect kMarkList(5, 17, 160, 70);
} // namespace

CFindDolgDialog::CFindDolgDialog()
    : app::CDialog(IDD_FINDDOLG)
{
    using Search = data::RecordSearcher::Mode;
    OnCommand(IDC_OK, [this] { EndDialog(app::IDOK); });
    OnCommand(IDC_BYNAME, [this] { OnDebtorOption(Mode::Name, Search::DebtorName); });
    OnCommand(IDC_BYTITLE, [this] { OnDebtorOption(Mode::Title, Search::DebtorTitle); });
    OnCommand(IDC_BYDATE, [this] { OnDebtorOption(Mode::Date, Search::DebtorDate); });
    OnCommand(IDC_BYMARK, &CFindDolgDialog::OnMarkOption);
    OnCommand(IDC_BLACKLIST, &CFindDolgDialog::OnBlackListOption);
    OnCommand(IDC_FIND, &CFindDolgDialog::OnFind);
    OnSelChange(IDC_MARKLIST, &CFindDolgDialog::OnMarkChange);
}

void CFindDolgDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, IDC_FINDTEXT, m_editFind);
    app::DDX_Control(pDX, IDC_MARKLIST, m_comboMark);
    app::DDX_Control(pDX, IDC_RESULTS, m_listResults);
    app::DDX_Text(pDX, IDC_FINDTEXT, m_strFind);
}

bool CFindDolgDialog::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    m_mode = Mode::None;
    m_listResults->SetExtendedStyle(settings::ListStyle(m_strIniPath));
    NormalLayout();
    SetDebtorColumns();
    return true;
}

void CFindDolgDialog::NormalLayout()
{
    MoveControl(IDC_FINDTEXT, MapClassicPixels(kFindNormal));
}

void CFindDolgDialog::ReplaceColumns(std::initializer_list<std::pair<const char16_t*, int>> columns)
{
    m_listResults->DeleteAllItems();
    while (m_listResults->DeleteColumn(0)) { }
    int index = 0;
    // Widths laid out for the classic dialog font, like the templates: the headings fit the font in use.
    for (const auto& [heading, width] : columns)
        m_listResults->InsertColumn(
            index++, QString::fromUtf16(heading), Qt::AlignLeft, MapClassicPixels(QRect(0, 0, width, 0)).width());
}

void CFindDolgDialog::SetDebtorColumns()
{
    ReplaceColumns(
        { { u"Имя должника.", 120 }, { u"Название Фильма/диска.", 150 }, { u"Дата.", 80 }, { u"Метка.", 80 } });
}

void CFindDolgDialog::SetBlackListColumns()
{
    ReplaceColumns({ { u"Имя в черном списке.", 120 }, { u"Причина занесения.", 280 } });
}

void CFindDolgDialog::OnDebtorOption(Mode mode, data::RecordSearcher::Mode search)
{
    if (m_mode == Mode::BlackList)
        SetDebtorColumns();
    m_mode = mode;
    m_search = search;
    NormalLayout();
    app::SetEditReadOnly(m_editFind, false);
    m_comboMark->hide();
}

void CFindDolgDialog::OnMarkOption()
{
    if (m_mode == Mode::BlackList)
        SetDebtorColumns();
    m_mode = Mode::Mark;
    m_search = data::RecordSearcher::Mode::DebtorMark;
    m_strFind.clear();
    UpdateData(false);
    m_comboMark->show();
    m_comboMark->setEditText(QStringLiteral("Выбрать"));
    MoveControl(IDC_MARKLIST, MapClassicPixels(kMarkList));
    MoveControl(IDC_FINDTEXT, MapClassicPixels(kFindBesideMarks));
    // The code comes from the mark list only.
    app::SetEditReadOnly(m_editFind, true);
}

void CFindDolgDialog::OnBlackListOption()
{
    m_mode = Mode::BlackList;
    m_search = data::RecordSearcher::Mode::BlackListName;
    SetBlackListColumns();
    NormalLayout();
    app::SetEditReadOnly(m_editFind, false);
    m_comboMark->hide();
}

void CFindDolgDialog::OnMarkChange()
{
    const int index = app::ComboGetCurSel(m_comboMark);
    if (index < 0)
        return;
    UpdateData(true);
    m_strFind = debtors::MarkCode(m_comboMark->itemText(index));
    UpdateData(false);
}

void CFindDolgDialog::OnFind()
{
    using namespace data;
    if (m_mode == Mode::None) {
        app::MessageBox(this, QStringLiteral("Вы не выбрали где искать."));
        return;
    }
    m_listResults->DeleteAllItems();
    UpdateData(true);

    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    static constexpr QLatin1String kDebtorColumns[] = { field::Name, field::NameFilm, field::Data, field::Metka };
    static constexpr QLatin1String kBlackListColumns[] = { field::Name, field::Prichina };
    using Columns = std::span<const QLatin1String>;
    const Columns columns = m_mode == Mode::BlackList ? Columns(kBlackListColumns) : Columns(kDebtorColumns);
    auto matches = RecordSearcher(m_search, m_strFind).Search(cDaoDB, columns);
    // The last match in record order comes first.
    std::vector<app::CListModel::Row> rows;
    rows.reserve(matches.size());
    for (auto it = matches.rbegin(); it != matches.rend(); ++it)
        rows.push_back({ std::move(it->values), it->rowid });
    m_listResults->SetRows(std::move(rows));
}
