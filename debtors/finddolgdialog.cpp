#include "debtors/finddolgdialog.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/textrules.h"
#include "debtors/marks.h"
#include "ids/finddebtor.h"
#include "settings/liststyle.h"

#include <QComboBox>

#include <algorithm>

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
    using namespace data;
    OnCommand(id::Close, [this] { EndDialog(app::IDOK); });
    OnCommand(id::ByName, [this] { OnDebtorOption(Mode::Name, field::Name); });
    OnCommand(id::ByTitle, [this] { OnDebtorOption(Mode::Title, field::NameFilm); });
    OnCommand(id::ByDate, [this] { OnDebtorOption(Mode::Date, field::Data); });
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

void CFindDolgDialog::OnDebtorOption(Mode mode, QLatin1String field)
{
    if (m_mode == Mode::BlackList)
        SetDebtorColumns();
    m_mode = mode;
    m_field = field;
    NormalLayout();
    app::SetEditReadOnly(m_editFind, false);
    m_comboMark->hide();
}

void CFindDolgDialog::OnMarkOption()
{
    if (m_mode == Mode::BlackList)
        SetDebtorColumns();
    m_mode = Mode::Mark;
    m_field = data::field::Metka;
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
    m_field = data::field::Name;
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
    const QString findtext = FoldCase(m_strFind);

    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoRecordset rs(cDaoDB);
    const bool blackList = m_mode == Mode::BlackList;
    if (blackList)
        rs.Open(table::BlackList, { field::Name, field::Prichina });
    else
        rs.Open(table::Debtors, { field::Name, field::NameFilm, field::Data, field::Metka });

    std::vector<app::CListModel::Row> rows;
    auto show = [&] {
        // Each match goes above the earlier ones: the last record comes first.
        std::reverse(rows.begin(), rows.end());
        m_listResults->SetRows(std::move(rows));
    };
    try {
        while (!rs.IsEOF()) {
            if (FoldCase(rs.GetFieldValue(m_field)) == findtext) {
                QStringList cells { rs.GetFieldValue(field::Name) };
                if (blackList)
                    cells << rs.GetFieldValue(field::Prichina);
                else
                    cells << rs.GetFieldValue(field::NameFilm) << rs.GetFieldValue(field::Data)
                          << rs.GetFieldValue(field::Metka);
                rows.push_back({ cells, rs.RowId() });
            }
            rs.MoveNext();
        }
    } catch (...) {
        show();
        throw;
    }
    show();
}
