#include "app/healthprompt.h"

#include "app/cdialog.h"
#include "app/msgbox.h"
#include "app/vidarrodlg.h"
#include "data/backup.h"
#include "data/dberror.h"
#include "data/errortext.h"

#include <QApplication>
#include <QDir>

#include <future>

namespace app {

bool CheckCatalogueHealth(QWidget* parent, const QString& catalogueFile)
{
    // A backup that fails is told to whoever is at the window in front, once.
    data::SetBackupFailureNotifier([](const QString& text) {
        QWidget* front = QApplication::activeModalWidget();
        MessageBox(front ? front : QApplication::activeWindow(), text);
    });

    // The check reads the whole file on a thread of its own while the film list is read ahead here, so that
    // it adds little to the start-up; the main window shows only after its verdict.
    auto pending = std::async(std::launch::async, [catalogueFile] { return data::CheckCatalogue(catalogueFile); });
    CVidarroDlg::PreloadFilmList(catalogueFile);
    const data::Health health = pending.get();
    if (health.ok)
        return true;
    CVidarroDlg::DropPreloadedFilmList();
    const QString name = QDir::toNativeSeparators(catalogueFile);
    const QString folder = QDir::toNativeSeparators(data::BackupFolder(catalogueFile));
    data::BackupCopy good;
    for (const data::BackupCopy& copy : data::ListBackups(catalogueFile, false)) {
        if (data::CheckFile(copy.path).ok) {
            good = copy;
            break;
        }
    }
    if (good.path.isEmpty()) {
        MessageBox(parent,
            QStringLiteral("Каталог «%1» повреждён, а исправных резервных копий в папке «%2» нет. Каталог будет "
                           "открыт, насколько его можно прочитать; перенесите нужные записи в новый каталог.%3")
                .arg(name, folder, data::Details(health.details)));
        return true;
    }
    const QString date = good.date.toString(QStringLiteral("dd.MM.yyyy"));
    if (MessageBox(parent,
            QStringLiteral("Каталог «%1» повреждён. Восстановить его из резервной копии от %2? Повреждённый файл "
                           "будет сохранён в папке «%3».\n\n«Отмена» — открыть повреждённый каталог, насколько его "
                           "можно прочитать.%4")
                .arg(name, date, folder, data::Details(health.details)),
            Buttons::OkCancel)
        != IDOK)
        return true;
    QString kept;
    try {
        kept = data::RestoreBackup(catalogueFile, good.path, data::RestoreReason::Damaged);
    } catch (const data::DbError& e) {
        MessageBox(parent,
            QStringLiteral("Восстановить каталог не удалось; он будет открыт, насколько его можно прочитать.\n")
                + e.Text());
        return true;
    }
    MessageBox(parent,
        QStringLiteral("Каталог восстановлен из копии от %1. Повреждённый файл сохранён как «%2».")
            .arg(date, QDir::toNativeSeparators(kept)));
    return true;
}

} // namespace app
