#include "app/aboutdlg.h"

#include "app/helpfile.h"
#include "data/backup.h"
#include "ids/about.h"

#include <QDir>
#include <QLabel>

CAboutDlg::CAboutDlg(QWidget* parent)
    : app::CDialog(ids::about::Dialog, parent)
{
    OnCommand(ids::about::HelpFile, [this] { app::OpenHelpFile(this); });
}

bool CAboutDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    auto* catalogue = Item<QLabel>(ids::about::Catalogue);
    // A long path wraps after its separators rather than being cut off.
    const auto wrappable = [](const QString& path) {
        return QDir::toNativeSeparators(path).replace(QDir::separator(), QString(QDir::separator()) + QChar(0x200B));
    };
    catalogue->setText(QStringLiteral("Каталог: %1\n\nРезервные копии: %2")
                           .arg(wrappable(m_strBasePath), wrappable(data::BackupFolder(m_strBasePath))));
    catalogue->setWordWrap(true);
    catalogue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return true;
}
