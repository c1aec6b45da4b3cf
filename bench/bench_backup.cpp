#include "bench.h"

#include "app/healthprompt.h"
#include "app/vidarrodlg.h"
#include "data/backup.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>

namespace {
void ShowMainWindow()
{
    CVidarroDlg dlg;
    app::CDialog::SetModalHook([](app::CDialog& d) { d.EndDialog(app::IDOK); });
    dlg.DoModal();
    app::CDialog::SetModalHook({});
}

// The first write of a command: one new film.
void AddFilm(const QString& path)
{
    data::CDaoDatabase db;
    db.Open(path);
    data::CDaoRecordset rs(db);
    rs.Open(data::table::Films, { data::field::NameFilm });
    rs.AddNew();
    rs.SetFieldValue(data::field::NameFilm, QStringLiteral("Новый фильм"));
    rs.Update();
}
} // namespace

void RunBackupBenchmarks(BenchContext& ctx)
{
    // Start-up with and without the health check, taken in turns so both see the same cache.
    // One pair first to warm the caches, then nine pairs; single runs vary, the medians are compared.
    std::vector<double> plain, checked;
    ShowMainWindow();
    app::CheckCatalogueHealth(nullptr, ctx.basePath);
    for (int i = 0; i < 9; ++i) {
        plain.push_back(BenchContext::Median(1, ShowMainWindow));
        checked.push_back(BenchContext::Median(1, [&] {
            app::CheckCatalogueHealth(nullptr, ctx.basePath);
            ShowMainWindow();
        }));
    }
    std::sort(plain.begin(), plain.end());
    std::sort(checked.begin(), checked.end());
    ctx.Report(QStringLiteral("start-up without the health check"), plain[4]);
    ctx.Report(QStringLiteral("start-up with the health check"), checked[4], plain[4], QStringLiteral("without"));

    // The day's first write, with ten older copies in the folder so that one is rotated out each time.
    const QString folder = data::BackupFolder(ctx.basePath);
    QDir().mkpath(folder);
    const QDateTime now(QDate(2030, 1, 11), QTime(12, 0));
    data::SetBackupClock(now);
    const auto setup = [&] {
        data::ForgetBackupRun();
        data::CheckCatalogue(ctx.basePath);
        QFile::remove(QDir(folder).filePath(QStringLiteral("BaseFilm-2030-01-11.mdb")));
        for (int day = 1; day <= 10; ++day) {
            const QString name = QStringLiteral("BaseFilm-2030-01-%1.mdb").arg(day, 2, 10, QLatin1Char('0'));
            if (!QFile::exists(QDir(folder).filePath(name)))
                QFile::copy(ctx.basePath, QDir(folder).filePath(name));
        }
    };
    const double first = BenchContext::Median(
        5, [&] { AddFilm(ctx.basePath); }, setup);
    const double later = BenchContext::Median(5, [&] { AddFilm(ctx.basePath); });
    ctx.Report(QStringLiteral("first write of a day (backup and rotation)"), first);
    ctx.Report(QStringLiteral("a later write"), later);
    ctx.Report(QStringLiteral("what the daily backup adds"), first - later, ctx.plainReadMs);
    data::SetBackupClock({});
    data::ForgetBackupRun();
    QDir(folder).removeRecursively();
}
