#pragma once

#include "app/dialoglayer.h"

class QComboBox;
class QLabel;

// The settings: how the user is told about debtors at start-up, and whether lists draw grid lines.
class CConfigDialog final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CConfigDialog)
public:
    explicit CConfigDialog(QWidget* parent = nullptr);

    QString m_strIniPath;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(app::CDataExchange* pDX) override;
    // Saves both settings; a failed write is shown and the window stays open.
    void OnOK() override;

private:
    void OnMessageChange();
    void UpdatePictures();

    QComboBox* m_comboTable = nullptr;
    QLabel* m_picSound = nullptr;
    QLabel* m_picMessage = nullptr;
    QComboBox* m_comboMessage = nullptr;
};
