#pragma once

#include "data/recordref.h"
#include "films/filmform.h"

#include <functional>

// Changes one film. The caller sets the film's position in the list (m_nPosition), the record's rowid
// when it knows it (m_nRowId, from the list row) and m_strBasePath. IDOK means the dialog closed through
// "OK": the film was written back, or nothing was written when no film stood at that place.
class CRenameDialog final : public films::CFilmForm {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRenameDialog)
public:
    explicit CRenameDialog(QWidget* parent = nullptr);

    int m_nPosition = 0;
    qint64 m_nRowId = -1;
    // The list row's texts, which the record must still hold, and what refreshes that list when the
    // record turns out deleted or changed by another program.
    QStringList m_listedValues;
    std::function<void()> m_refreshList;

    // The record shown in the form, or -1 when none was found.
    qint64 LoadedRowId() const { return m_nLoadedRowId; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void OnSave();

    qint64 m_nLoadedRowId = -1;
    data::RecordRef m_read;
};
