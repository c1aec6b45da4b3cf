#pragma once

#include "app/dialoglayer.h"
#include "data/search.h"

class QComboBox;

// Finds debtors by name, film or disc title, date or mark, or black-list entries by name. A record
// matches when the whole field equals the search text, letter case aside; the last match is listed first.
class CFindDolgDialog final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFindDolgDialog)
public:
    CFindDolgDialog();

    // Set by the caller before the dialog opens.
    QString m_strBasePath;
    QString m_strIniPath;

    enum class Mode { None, Name, Title, Date, Mark, BlackList };
    Mode SearchMode() const { return m_mode; }
    app::CListCtrl* Results() const { return m_listResults; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;
    void OnDefaultAction() override { }

private:
    void OnDebtorOption(Mode mode, data::RecordSearcher::Mode search);
    void OnMarkOption();
    void OnBlackListOption();
    void OnMarkChange();
    void OnFind();

    void SetDebtorColumns();
    void SetBlackListColumns();
    void ReplaceColumns(std::initializer_list<std::pair<const char16_t*, int>> columns);
    void NormalLayout();

    QWidget* m_editFind = nullptr;
    QComboBox* m_comboMark = nullptr;
    app::CListCtrl* m_listResults = nullptr;
    QString m_strFind;
    Mode m_mode = Mode::None;
    data::RecordSearcher::Mode m_search = data::RecordSearcher::Mode::DebtorName;
};
