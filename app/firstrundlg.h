#pragma once

#include "app/dialoglayer.h"

// Shown when the catalogue folder holds no catalogue: make an empty one, bring one over from an old file,
// or leave. Ends with IDOK once the folder holds a catalogue.
class CFirstRunDlg final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFirstRunDlg)
public:
    explicit CFirstRunDlg(const QString& folder, QWidget* parent = nullptr);

    // The catalogue made, after IDOK.
    QString m_strBasePath;

protected:
    bool OnInitDialog() override;

private:
    void OnCreate();
    void OnTransfer();

    QString m_strFolder;
};
