#pragma once

#include "data/recordref.h"
#include "debtors/dolgform.h"

#include <functional>

namespace data {
class CDaoRecordset;
}

// Changes one debtor record. The caller names the record by its position in record order and, when it
// knows it, by its rowid, which wins. The black list is never touched here.
class CRenameDolgDialog final : public CDolgForm {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRenameDolgDialog)
public:
    CRenameDolgDialog();

    // 0-based position of the record, set by the caller.
    int m_nPosition = 0;
    // The record's rowid when the caller's list knows it; -1 to go by the position.
    qint64 m_nRowId = -1;
    // The list row's texts, which the record must still hold, and what refreshes that list when the
    // record turns out deleted or changed by another program.
    QStringList m_listedValues;
    std::function<void()> m_refreshList;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void OnSave();

    data::RecordRef m_read;
};
