#include "app/aboutdlg.h"

#include "app/helpfile.h"

namespace {
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDC_HELPFILE = 1000;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : app::CDialog(IDD_ABOUTBOX, parent)
{
    OnCommand(IDC_HELPFILE, [] { app::OpenHelpFile(); });
}
