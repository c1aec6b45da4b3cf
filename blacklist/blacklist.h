#pragma once

#include "app/dialoglayer.h"

// The black list: every entry's name in record order, the reason of the selected one, and the commands to
// add, change and delete entries.
class CBlackList final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBlackList)
public:
    explicit CBlackList(QWidget* parent = nullptr);

    QString m_strBasePath;
    QString m_strIniPath;

    // The 1-based row that changed last, 0 for none.
    int SelectedEntry() const { return m_nSelectedBlack; }
    app::CListCtrl* List() const { return m_listBlack; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void OnAdd();
    void OnChange();
    void OnDelete();
    void OnSelectionChange(int row);
    void FillList();
    void RefillList();
    void RefreshAfterGone();
    // The rowid of the current entry's row, -1 when there is none.
    qint64 SelectedRowId() const;

    app::CListCtrl* m_listBlack = nullptr;
    QString m_strReason;
    int m_nSelectedBlack = 0;
};
