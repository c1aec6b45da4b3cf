#pragma once

#include "app/dialoglayer.h"
#include "data/recordref.h"

namespace data {
class CDaoRecordset;
}

// Every debtor in record order, and the place to add, change, delete, find and black-list them.
// Row k is the record at position k; each row also keeps its record's rowid.
class CShowDolgDialog final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CShowDolgDialog)
public:
    CShowDolgDialog();

    // Set by the caller before the window opens.
    QString m_strBasePath;
    QString m_strIniPath;

    // 1-based number of the row whose state changed last; 0 for none.
    int CurrentDolg() const { return m_nCurrentDolg; }
    app::CListCtrl* DolgList() const { return m_listDolgi; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void InsertColumns();
    void FillList();
    // Moves to the record shown in a row; false when it is no longer there.
    data::RecordRef Listed(int row) const;
    void RefreshAfterGone();

    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnFind();
    void OnBlackList();

    app::CListCtrl* m_listDolgi = nullptr;
    int m_nCurrentDolg = 0;
};
