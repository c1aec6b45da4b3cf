#include "bench.h"

#include "app/vidarrodlg.h"

void RunMainWindowBenchmarks(BenchContext& ctx)
{
    // Shown and filled: from construction to the window on screen with every film listed.
    const double shown = BenchContext::Median(5, [] {
        CVidarroDlg dlg;
        app::CDialog::SetModalHook([](app::CDialog& d) { d.EndDialog(app::IDOK); });
        dlg.DoModal();
        app::CDialog::SetModalHook({});
    });
    ctx.Report(QStringLiteral("main window shown and filled (100,000 films)"), shown, ctx.plainReadMs);

    CVidarroDlg dlg;
    app::CDialog::SetModalHook([&](app::CDialog&) {
        app::CListCtrl* list = dlg.FilmList();
        int row = 0;
        const double select = BenchContext::Median(51, [&] { list->SelectRow(row = (row + 7919) % 100000); });
        ctx.Report(QStringLiteral("one row selection"), select);
        const double refill = BenchContext::Median(7, [&] { dlg.RefreshFilmList(); });
        ctx.Report(QStringLiteral("clearing and refilling the list"), refill, ctx.plainReadMs);
        dlg.EndDialog(app::IDOK);
    });
    dlg.DoModal();
    app::CDialog::SetModalHook({});
}
