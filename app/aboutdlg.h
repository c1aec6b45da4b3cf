#pragma once

#include "app/dialoglayer.h"

// The about box: the program's name and pictures, and a way to the user guide.
class CAboutDlg final : public app::CDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QString m_strBasePath;

protected:
    bool OnInitDialog() override;
};
