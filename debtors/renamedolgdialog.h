#pragma once

#include "debtors/dolgform.h"

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

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void OnSave();
    bool MoveToRecord(data::CDaoRecordset& rs) const;
};
