#include "bench.h"
#include "ids/addfilm.h"
#include "ids/findfilm.h"
#include "ids/main.h"

#include "app/vidarrodlg.h"
#include "films/adddialog.h"
#include "films/finddialog.h"
#include "films/renamedialog.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace {
// Removes the films the benchmark added, so later figures see the same catalogue.
void KeepFirstFilms(const QString& path, int count)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-films"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("DELETE FROM KINVORA11 WHERE rowid > %1").arg(count));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-films"));
}
} // namespace

void RunFilmBenchmarks(BenchContext& ctx)
{
    const QString iniPath = QDir(ctx.dir).filePath(QStringLiteral("Korvel.ini"));

    // Find: one title among 100,000, and a rating search that lists almost half of them.
    {
        CFindDialog FindDialog;
        FindDialog.m_strBasePath = ctx.basePath;
        FindDialog.m_strIniPath = iniPath;
        app::CDialog::SetModalHook([&](app::CDialog& d) {
            d.SendCommand(ids::findfilm::ByName);
            app::SetEditText(d.GetDlgItem(ids::findfilm::FindText), QStringLiteral("ФИЛЬМ №050000 «ЩИТ И МЕЧ»"));
            const double byTitle = BenchContext::Median(9, [&] { d.SendCommand(ids::findfilm::Find); });
            ctx.Report(QStringLiteral("find by title (1 of 100,000, case folded)"), byTitle, ctx.plainReadMs);
            if (d.Item<app::CListCtrl>(ids::findfilm::Results)->GetItemCount() != 1)
                qFatal("find by title found %d films", d.Item<app::CListCtrl>(ids::findfilm::Results)->GetItemCount());
            d.SendCommand(ids::findfilm::RatingAbove);
            app::SetEditText(d.GetDlgItem(ids::findfilm::FindText), QStringLiteral("5"));
            const double byRating = BenchContext::Median(5, [&] { d.SendCommand(ids::findfilm::Find); });
            ctx.Report(QStringLiteral("find by rating above 5 (%1 listed)")
                           .arg(d.Item<app::CListCtrl>(ids::findfilm::Results)->GetItemCount()),
                byRating, ctx.plainReadMs);
            const double select = BenchContext::Median(21, [&, row = 0]() mutable {
                d.Item<app::CListCtrl>(ids::findfilm::Results)->SelectRow(row = (row + 7919) % 45455);
            });
            ctx.Report(QStringLiteral("find: selecting a result row"), select);
            d.EndDialog(app::IDOK);
        });
        FindDialog.DoModal();
        app::CDialog::SetModalHook({});
    }

    // Add a film and refresh the list, beside the refill alone.
    {
        CVidarroDlg dlg;
        app::CDialog::SetModalHook([&](app::CDialog& d) {
            // The add dialogs opened by the command below come through here too.
            if (qobject_cast<CAddDialog*>(&d)) {
                d.SendCommand(ids::addfilm::Save);
                return;
            }
            const double refill = BenchContext::Median(7, [&] { dlg.RefreshFilmList(); });
            ctx.Report(QStringLiteral("refill of the film list alone"), refill, ctx.plainReadMs);
            const double added = BenchContext::Median(7, [&] { dlg.SendCommand(ids::main::AddFilm); });
            ctx.Report(QStringLiteral("add a film and refresh the list"), added, refill, QStringLiteral("refill"));
            dlg.EndDialog(app::IDOK);
        });
        dlg.DoModal();
        app::CDialog::SetModalHook({});
        KeepFirstFilms(ctx.basePath, 100000);
    }

    // The edit dialog from construction to a loaded form, for a film in the middle of the table.
    {
        app::CDialog::SetModalHook([](app::CDialog& d) { d.EndDialog(app::IDCANCEL); });
        int position = 0;
        const double loaded = BenchContext::Median(51, [&] {
            position = (position + 7919) % 100000;
            CRenameDialog RenameDialog;
            RenameDialog.m_nPosition = position;
            RenameDialog.m_nRowId = position + 1;
            RenameDialog.m_strBasePath = ctx.basePath;
            RenameDialog.DoModal();
            if (RenameDialog.LoadedRowId() != position + 1)
                qFatal("edit dialog loaded nothing");
        });
        ctx.Report(QStringLiteral("edit dialog built and loaded"), loaded);
        app::CDialog::SetModalHook({});
    }
}
