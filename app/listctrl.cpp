#include "app/listctrl.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScopeGuard>

namespace app {

int CListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()) || index.column() >= int(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QStringList& cells = m_rows[size_t(index.row())].cells;
        QString text = cells.value(index.column());
        // Stored line breaks (CR LF or LF) show as blanks in a one-line cell.
        if (role == Qt::DisplayRole && (text.contains(u'\n') || text.contains(u'\r')))
            text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
        return text;
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[size_t(index.column())].align | Qt::AlignVCenter);
    return {};
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[size_t(section)].heading;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[size_t(section)].align | Qt::AlignVCenter);
    return {};
}

void CListModel::InsertColumn(int index, Column column)
{
    index = std::clamp(index, 0, int(m_columns.size()));
    beginInsertColumns({}, index, index);
    m_columns.insert(m_columns.begin() + index, std::move(column));
    for (Row& r : m_rows)
        if (r.cells.size() >= index)
            r.cells.insert(index, QString());
    endInsertColumns();
}

void CListModel::RemoveColumn(int index)
{
    beginRemoveColumns({}, index, index);
    m_columns.erase(m_columns.begin() + index);
    for (Row& r : m_rows)
        if (index < r.cells.size())
            r.cells.removeAt(index);
    endRemoveColumns();
}

void CListModel::InsertRow(int index, Row row)
{
    index = std::clamp(index, 0, int(m_rows.size()));
    beginInsertRows({}, index, index);
    m_rows.insert(m_rows.begin() + index, std::move(row));
    endInsertRows();
}

void CListModel::SetCell(int row, int column, const QString& text)
{
    QStringList& cells = m_rows[size_t(row)].cells;
    while (cells.size() <= column)
        cells << QString();
    cells[column] = text;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, { Qt::DisplayRole });
}

void CListModel::Clear()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CListModel::Assign(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

CListCtrl::CListCtrl(QWidget* parent)
    : QTableView(parent)
    , m_model(new CListModel(this))
{
    setModel(m_model);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setSortingEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setShowGrid(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(ScrollPerPixel);
    verticalHeader()->hide();
    // Fixed row heights keep a list of 100,000 rows cheap.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CListCtrl::OnSelectionChanged);
    SetShowSelectionAlways(false);
}

int CListCtrl::InsertColumn(int column, const QString& heading, Qt::Alignment align, int width)
{
    column = std::clamp(column, 0, GetColumnCount());
    m_model->InsertColumn(column, { heading, width, align });
    if (width >= 0)
        setColumnWidth(column, width);
    return column;
}

bool CListCtrl::DeleteColumn(int column)
{
    if (column < 0 || column >= GetColumnCount())
        return false;
    m_model->RemoveColumn(column);
    return true;
}

int CListCtrl::InsertItem(int row, const QString& text)
{
    row = std::clamp(row, 0, GetItemCount());
    m_model->InsertRow(row, { { text }, 0 });
    return row;
}

bool CListCtrl::SetItemText(int row, int column, const QString& text)
{
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount())
        return false;
    m_model->SetCell(row, column, text);
    return true;
}

QString CListCtrl::GetItemText(int row, int column) const
{
    if (row < 0 || row >= GetItemCount())
        return {};
    return m_model->Rows()[size_t(row)].cells.value(column);
}

void CListCtrl::SetItemData(int row, qint64 data)
{
    if (row >= 0 && row < GetItemCount())
        m_model->Rows()[size_t(row)].data = data;
}

qint64 CListCtrl::GetItemData(int row) const
{
    if (row < 0 || row >= GetItemCount())
        return -1;
    return m_model->Rows()[size_t(row)].data;
}

bool CListCtrl::DeleteAllItems()
{
    m_model->Clear();
    return true;
}

int CListCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

int CListCtrl::GetColumnCount() const
{
    return m_model->columnCount();
}

void CListCtrl::SetRows(std::vector<CListModel::Row> rows)
{
    m_model->Assign(std::move(rows));
}

void CListCtrl::FillRows(const std::function<void(std::vector<CListModel::Row>& rows)>& read)
{
    std::vector<CListModel::Row> rows = m_model->Rows();
    const auto show = qScopeGuard([&] { SetRows(std::move(rows)); });
    read(rows);
}

void CListCtrl::SetExtendedStyle(quint32 style)
{
    m_extendedStyle = style;
    setShowGrid(style & LVS_EX_GRIDLINES);
    setSelectionBehavior(style & LVS_EX_FULLROWSELECT ? SelectRows : SelectItems);
}

void CListCtrl::SetShowSelectionAlways(bool always)
{
    QPalette p = palette();
    const QPalette base = QPalette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
        always ? base.color(QPalette::Inactive, QPalette::Highlight) : base.color(QPalette::Inactive, QPalette::Base));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
        always ? base.color(QPalette::Inactive, QPalette::HighlightedText)
               : base.color(QPalette::Inactive, QPalette::Text));
    setPalette(p);
}

void CListCtrl::SetSingleSelection(bool single)
{
    setSelectionMode(single ? SingleSelection : ExtendedSelection);
}

void CListCtrl::SelectRow(int row)
{
    if (row < 0 || row >= GetItemCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index,
        QItemSelectionModel::ClearAndSelect
            | (selectionBehavior() == SelectRows ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    scrollTo(index);
}

void CListCtrl::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    // A deselection is reported before the selection that replaces it, so the row that gained the
    // selection is the one reported last; one notification stands for both.
    const int current = currentIndex().row();
    if (!selected.isEmpty()) {
        Q_EMIT itemChanged(selected.contains(currentIndex()) ? current : selected.first().top());
        return;
    }
    if (!deselected.isEmpty()) {
        for (const QItemSelectionRange& r : deselected)
            if (current >= r.top() && current <= r.bottom()) {
                Q_EMIT itemChanged(current);
                return;
            }
        Q_EMIT itemChanged(deselected.first().top());
    }
}

} // namespace app
