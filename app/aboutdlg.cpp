#include "app/aboutdlg.h"

#include "app/helpfile.h"

#include <QDir>
#include <QLabel>

namespace {
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDC_HELPFILE = 1000;
constexpr int IDC_CATALOGUE = 1001;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : app::CDialog(IDD_ABOUTBOX, parent)
{
    OnCommand(IDC_HELPFILE, [this] { app::OpenHelpFile(this); });
}

bool CAboutDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    auto* catalogue = Item<QLabel>(IDC_CATALOGUE);
    // A long path wraps after its separators rather than being cut off.
    QString path = QDir::toNativeSeparators(m_strBasePath);
    path.replace(QDir::separator(), QString(QDir::separator()) + QChar(0x200B));
    catalogue->setText(QStringLiteral("Каталог: %1").arg(path));
    catalogue->setWordWrap(true);
    catalogue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return true;
}
