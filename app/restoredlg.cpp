#include "app/restoredlg.h"

#include "ids/restore.h"

#include <QDir>

namespace {
namespace id = ids::restore;

QString DateText(const data::BackupCopy& copy)
{
    return copy.date.toString(QStringLiteral("dd.MM.yyyy"));
}
} // namespace

CRestoreDlg::CRestoreDlg(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    OnCommand(id::Restore, &CRestoreDlg::OnRestore);
    OnItemChanged(id::List, [this](int row) {
        if (row >= 0)
            m_nSelected = row + 1;
    });
}

void CRestoreDlg::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::List, m_listCopies);
    app::DDX_Text(pDX, id::Folder, m_strFolder);
}

bool CRestoreDlg::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    m_listCopies->SetExtendedStyle(app::LVS_EX_FULLROWSELECT);
    m_listCopies->InsertColumn(0, QStringLiteral("Дата копии"), Qt::AlignLeft, 150);
    m_listCopies->InsertColumn(1, QStringLiteral("Фильмов"), Qt::AlignRight, 120);
    m_copies = data::ListBackups(m_strBasePath, true);
    std::vector<app::CListModel::Row> rows;
    for (const data::BackupCopy& c : m_copies)
        rows.push_back({ { DateText(c), c.films >= 0 ? QString::number(c.films) : QStringLiteral("не читается") }, 0 });
    m_listCopies->SetRows(std::move(rows));
    const QString folder = QDir::toNativeSeparators(data::BackupFolder(m_strBasePath));
    m_strFolder = m_copies.empty() ? QStringLiteral("Копий пока нет. Они появятся в папке «%1».").arg(folder)
                                   : QStringLiteral("Папка: %1").arg(folder);
    UpdateData(false);
    if (!m_copies.empty())
        m_listCopies->SelectRow(0);
    return true;
}

void CRestoreDlg::OnRestore()
{
    if (m_nSelected == 0 || m_nSelected > int(m_copies.size())) {
        app::MessageBox(this, QStringLiteral("Выберите копию, из которой восстановить каталог."));
        return;
    }
    const data::BackupCopy& copy = m_copies[size_t(m_nSelected - 1)];
    if (app::MessageBox(this,
            QStringLiteral("Заменить каталог копией от %1? Нынешний каталог будет сохранён в папке копий как "
                           "«BaseFilm-before-restore-…».")
                .arg(DateText(copy)),
            app::Buttons::OkCancel)
        != app::IDOK)
        return;
    // A failure is shown by the dialog layer; the window stays for another choice.
    const QString kept = data::RestoreBackup(m_strBasePath, copy.path, data::RestoreReason::ByHand);
    app::MessageBox(this,
        QStringLiteral("Каталог восстановлен из копии от %1. Прежний каталог сохранён как «%2».")
            .arg(DateText(copy), QDir::toNativeSeparators(kept)));
    EndDialog(app::IDOK);
}
