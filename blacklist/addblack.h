#pragma once

#include "app/dialoglayer.h"

// Adds one entry to the black list.
class CAddBlack final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAddBlack)
public:
    explicit CAddBlack(QWidget* parent = nullptr);

    QString m_strName;
    QString m_strReason;
    QString m_strBasePath;

protected:
    void DoDataExchange(app::CDataExchange* pDX) override;
    // Enter in an edit neither saves nor closes: only "OK" saves.
    void OnOK() override;

private:
    void OnSave();
};
