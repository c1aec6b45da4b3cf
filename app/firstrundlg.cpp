#include "app/firstrundlg.h"

#include "data/dberror.h"
#include "data/schema.h"
#include "ids/firstrun.h"
#include "import/convertprompt.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace {
namespace id = ids::firstrun;
} // namespace

CFirstRunDlg::CFirstRunDlg(const QString& folder, QWidget* parent)
    : app::CDialog(id::Dialog, parent)
    , m_strFolder(QDir(folder).absolutePath())
{
    OnCommand(id::Create, &CFirstRunDlg::OnCreate);
    OnCommand(id::Transfer, &CFirstRunDlg::OnTransfer);
}

bool CFirstRunDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    Item<QLabel>(id::Text)->setText(
        QStringLiteral("В папке «%1» нет каталога фильмов «%2».\nСоздайте новый каталог или перенесите "
                       "его из файла «%2» Windows-версии программы.")
            .arg(QDir::toNativeSeparators(m_strFolder), data::kBaseFileName));
    return true;
}

void CFirstRunDlg::OnCreate()
{
    const QString path = QDir(m_strFolder).filePath(data::kBaseFileName);
    try {
        data::CreateCatalogue(path);
    } catch (const data::DbError& e) {
        app::MessageBox(this, e.Text());
        return;
    }
    m_strBasePath = path;
    EndDialog(app::IDOK);
}

void CFirstRunDlg::OnTransfer()
{
    const QString file = app::GetOpenFileName(
        this, QStringLiteral("Перенести каталог из файла"), QStringLiteral("Базы Access"), QStringLiteral("*.mdb"));
    if (file.isEmpty())
        return;
    // The chosen file is only read: it may sit on a stick the user takes away again.
    if (!import::ConvertChosenFile(this, file, m_strFolder))
        return;
    m_strBasePath = QDir(m_strFolder).filePath(data::kBaseFileName);
    EndDialog(app::IDOK);
}
