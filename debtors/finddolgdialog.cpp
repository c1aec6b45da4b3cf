#include "debtors/finddolgdialog.h"

#include "data/daodb.h"
#include "data/schema.h"
#include "debtors/marks.h"
#include "ids/finddebtor.h"
#include "settings/liststyle.h"

#include <QComboBox>

namespace {
namespace id = ids::finddebtor;

// Where the handlers put the search edit and the mark list, in pixels of the client area for the classic
// dialog font.
const QRect kFindNormal(5, 17, 290, 21);
const QRect kFindBesideMarks(165, 17, 130, 21);
const QRect kMarkList(5, 17, 160, 70);
} // namespace

CFindDolgDialog::CFindDolgDialog()
    : app::CDialog(id::Dialog)
{
    using Search = data::RecordSearcher::Mode;
    OnCommand(id::Close, [this] { EndDialog(app::IDOK); });
    OnCommand(id::ByName, [this] { OnDebtorOption(Mode::Name, Search::DebtorName); });
    OnCommand(id::ByTitle, [this] { OnDebtorOption(Mode::Title, Search::DebtorTitle); });
    OnCommand(id::ByDate, [this] { OnDebtorOption(Mode::Date, Search::DebtorDate); });
    OnCommand(id::ByMark, &CFindDolgDialog::OnMarkOption);
    OnCommand(id::InBlackList, &CFindDolgDialog::OnBlackListOption);
    OnCommand(id::Find, &CFindDolgDialog::OnFind);
    OnSelChange(id::MarkList, &CFindDolgDialog::OnMarkChange);
}

void CFindDolgDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::FindText, m_editFind);
    app::DDX_Control(pDX, id::MarkList, m_comboMark);
    app::DDX_Control(pDX, id::Results, m_listResults);
    app::DDX_Text(pDX, id::FindText, m_strFind);
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
    MoveControl(id::FindText, MapClassicPixels(kFindNormal));
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
    MoveControl(id::MarkList, MapClassicPixels(kMarkList));
    MoveControl(id::FindText, MapClassicPixels(kFindBesideMarks));
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
