#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include <functional>
#include <vector>

namespace app {

// Extended style bits of the list control.
inline constexpr quint32 LVS_EX_GRIDLINES = 0x1;
inline constexpr quint32 LVS_EX_FULLROWSELECT = 0x20;

// Rows of a list control: cell texts and one number per row (the record's rowid, say).
class CListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString heading;
        int width = 0;
        Qt::Alignment align = Qt::AlignLeft;
    };
    struct Row {
        QStringList cells;
        qint64 data = 0;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    std::vector<Column>& Columns() { return m_columns; }
    std::vector<Row>& Rows() { return m_rows; }
    const std::vector<Row>& Rows() const { return m_rows; }

    void InsertColumn(int index, Column column);
    void RemoveColumn(int index);
    void InsertRow(int index, Row row);
    void SetCell(int row, int column, const QString& text);
    void Clear();
    // Replaces every row at once; the fast way to fill a long list.
    void Assign(std::vector<Row> rows);

private:
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};

// The list control in report view: columns with fixed pixel widths, rows that are never sorted, and one
// notification per change of the selection carrying the row that changed last.
class CListCtrl final : public QTableView {
    Q_OBJECT
public:
    explicit CListCtrl(QWidget* parent = nullptr);

    int InsertColumn(int column, const QString& heading, Qt::Alignment align, int width);
    bool DeleteColumn(int column);
    int InsertItem(int row, const QString& text);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    void SetItemData(int row, qint64 data);
    qint64 GetItemData(int row) const;
    bool DeleteAllItems();
    int GetItemCount() const;
    int GetColumnCount() const;
    // Fills the whole list in one step.
    void SetRows(std::vector<CListModel::Row> rows);
    // Adds the rows `read` appends to those listed, in one step. When reading fails, the rows read before
    // the error are listed all the same and the error goes on to the command.
    void FillRows(const std::function<void(std::vector<CListModel::Row>& rows)>& read);

    quint32 GetExtendedStyle() const { return m_extendedStyle; }
    void SetExtendedStyle(quint32 style);
    // Selection stays visible while the list has no focus.
    void SetShowSelectionAlways(bool always);
    void SetSingleSelection(bool single);

    // Selects one row as a click would (for keyboard users and tests).
    void SelectRow(int row);

    CListModel* Model() const { return m_model; }

Q_SIGNALS:
    // A row's state changed; row is the row that changed last (below 0 for none).
    void itemChanged(int row);

private:
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    CListModel* m_model;
    quint32 m_extendedStyle = 0;
};

} // namespace app
