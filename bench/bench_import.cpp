#include "bench.h"

#include "data/dberror.h"
#include "ids/import.h"
#include "import/jetconvert.h"
#include "import/updialog.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

namespace {

// mdbtools' own export of both tables of the previous-version base, written to nowhere: the speed of
// reading the file, which a load cannot beat.
double ExportBothTables(const QString& exporter, const QString& source)
{
    return BenchContext::Median(5, [&] {
        for (const QString& table : { QStringLiteral("KINVORA"), QStringLiteral("DOLGI") }) {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.start(exporter, { source, table });
            if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
                qFatal("mdb-export failed on %s", qUtf8Printable(table));
        }
    });
}

} // namespace

void RunImportBenchmarks(BenchContext& ctx)
{
    // Work on copies: the fixture stays as it is and the shared catalogue keeps its 100,000 films.
    QTemporaryDir tmp;
    const QString source = QDir(tmp.path()).filePath(QStringLiteral("prev-large.mdb"));
    const QString basePath = QDir(tmp.path()).filePath(QStringLiteral("BaseFilm.mdb"));
    if (!QFile::copy(QStringLiteral(VIDARRO_FIXTURES_DIR "/jet/prev-large.mdb"), source))
        qFatal("the fixture prev-large.mdb is missing");

    const QString exporter = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
    const double exportMs = exporter.isEmpty() ? 0 : ExportBothTables(exporter, source);
    if (exporter.isEmpty())
        std::printf("mdb-export not found: no baseline for the import\n");
    else
        ctx.Report(QStringLiteral("mdb-export of KINVORA and DOLGI to /dev/null"), exportMs);

    // "Открыть" and "Загрузить" of the import dialog, shown, into a copy of the 100,000-film catalogue.
    std::vector<double> checks;
    std::vector<double> loads;
    const auto fresh = [&] {
        QFile::remove(basePath);
        if (!QFile::copy(ctx.basePath, basePath))
            qFatal("cannot copy the catalogue");
    };
    const double whole = BenchContext::Median(
        5,
        [&] {
            CUpDialog::ResetImportState(); // each run loads the base once, as a fresh program would
            CUpDialog dlg;
            dlg.m_strBasePath = basePath;
            app::SetFileDialogHook([&](const QString&, const QString&) { return source; });
            app::CDialog::SetModalHook([&](app::CDialog& d) {
                QElapsedTimer t;
                t.start();
                d.SendCommand(ids::import::Open);
                checks.push_back(double(t.nsecsElapsed()) / 1e6);
                t.restart();
                d.SendCommand(ids::import::Load);
                loads.push_back(double(t.nsecsElapsed()) / 1e6);
                const QListWidget* report = d.Item<QListWidget>(ids::import::Report);
                if (report->item(report->count() - 1)->text() != QStringLiteral("База загружена."))
                    qFatal("the load failed: %s", qUtf8Printable(report->item(report->count() - 1)->text()));
                d.EndDialog(app::IDOK);
            });
            dlg.DoModal();
            app::CDialog::SetModalHook({});
            app::SetFileDialogHook({});
        },
        fresh);
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    ctx.Report(
        QStringLiteral("import: \"Открыть\", check and count"), median(checks), exportMs, QStringLiteral("mdb-export"));
    ctx.Report(QStringLiteral("import: \"Загрузить\", 20,000 films + 5,000 debtors"), median(loads), exportMs,
        QStringLiteral("mdb-export"));
    ctx.Report(QStringLiteral("import: dialog shown, opened, loaded and closed"), whole, exportMs,
        QStringLiteral("mdb-export"));

    // The whole conversion of a Windows-version folder: read, written to a new catalogue, checked, the
    // original kept and replaced. A fresh folder for each run.
    QTemporaryDir convertDir;
    const QString jetBase = QDir(convertDir.path()).filePath(QStringLiteral("BaseFilm.mdb"));
    const double convertMs = BenchContext::Median(
        5,
        [&] {
            import::ConversionResult result;
            try {
                result = import::ConvertInPlace(import::InspectJetFile(jetBase));
            } catch (const data::DbError& e) {
                qFatal("the conversion failed: %s", e.what());
            }
            if (result.films != 20000 || result.debtors != 5000)
                qFatal("the conversion lost records");
        },
        [&] {
            for (const QString& name : QDir(convertDir.path()).entryList(QDir::Files | QDir::Hidden))
                QFile::remove(QDir(convertDir.path()).filePath(name));
            if (!QFile::copy(source, jetBase))
                qFatal("cannot copy the fixture");
        });
    ctx.Report(QStringLiteral("conversion of prev-large.mdb (20,000 + 5,000)"), convertMs, exportMs,
        QStringLiteral("mdb-export"));
}
