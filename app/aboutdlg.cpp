#include "app/aboutdlg.h"

#include "app/helpfile.h"
#include "ids/about.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : app::CDialog(ids::about::Dialog, parent)
{
    OnCommand(ids::about::HelpFile, [] { app::OpenHelpFile(); });
}
