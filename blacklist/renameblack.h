#pragma once

#include "app/dialoglayer.h"
#include "data/recordref.h"

#include <functional>

namespace data {
class CDaoRecordset;
}

// Changes the black-list entry at a position of the list.
class CRenameBlack final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRenameBlack)
public:
    explicit CRenameBlack(QWidget* parent = nullptr);

    QString m_strName;
    QString m_strReason;
    // 0-based position of the entry in record order.
    int m_nPosition = 0;
    // The entry's rowid when the opener knows it (-1: find it by position).
    qint64 m_nRowId = -1;
    QString m_strBasePath;
    // The list row's texts, which the record must still hold, and what refreshes that list when the
    // record turns out deleted or changed by another program.
    QStringList m_listedValues;
    std::function<void()> m_refreshList;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;
    // Enter in an edit neither saves nor closes: only "OK" saves.
    void OnOK() override;

private:
    void OnSave();

    data::RecordRef m_read;
};
