#pragma once

#include "app/dialoglayer.h"

#include "data/backup.h"

// "Восстановить из копии": the catalogue's daily copies with their dates and film counts; the chosen one
// replaces the catalogue, which is kept in the backup folder first.
class CRestoreDlg final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRestoreDlg)
public:
    explicit CRestoreDlg(QWidget* parent = nullptr);

    QString m_strBasePath;

    app::CListCtrl* List() const { return m_listCopies; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;

private:
    void OnRestore();

    app::CListCtrl* m_listCopies = nullptr;
    QString m_strFolder;
    std::vector<data::BackupCopy> m_copies;
    int m_nSelected = 0; // 1-based, 0 for none
};
