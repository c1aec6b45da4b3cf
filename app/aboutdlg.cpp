#include "app/aboutdlg.h"

#include "app/helpfile.h"
#include "data/backup.h"

#include <QDir>

namespace {
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDC_HELPFILE = 1000;
constexpr int IDC_BACKUPS = 1001;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : app::CDialog(IDD_ABOUTBOX, parent)
{
    OnCommand(IDC_HELPFILE, [] { app::OpenHelpFile(); });
}

bool CAboutDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    if (!m_strBasePath.isEmpty())
        app::SetEditText(GetDlgItem(IDC_BACKUPS),
            QStringLiteral("Резервные копии каталога: %1")
                .arg(QDir::toNativeSeparators(data::BackupFolder(m_strBasePath))));
    return true;
}
