#include "bench.h"
#include "ids/adddebtor.h"
#include "ids/debtors.h"

#include "app/vidarrodlg.h"
#include "data/schema.h"
#include "debtors/adddolgdialog.h"
#include "debtors/showdolgdialog.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

namespace {

void Sql(const QString& path, const QStringList& statements)
{
    const QString name = QStringLiteral("bench-debtors");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        for (const QString& s : statements)
            if (!q.exec(s))
                qFatal("%s failed", qUtf8Printable(s));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The baseline: every field of every debtor, read through SQLite.
void PlainReadDebtors(const QString& path)
{
    const QString name = QStringLiteral("bench-plain-dolgi");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM DOLGI"));
        qint64 chars = 0;
        while (q.next())
            for (int i = 0; i < 4; ++i)
                chars += q.value(i).toString().size();
        if (chars == 0)
            qFatal("no debtors");
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// One start-up of the main window in a folder: from construction to the window on screen.
double StartUp(const QString& dir)
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir);
    app::CDialog::SetModalHook([](app::CDialog& d) { d.EndDialog(app::IDOK); });
    QElapsedTimer t;
    t.start();
    {
        CVidarroDlg dlg;
        dlg.DoModal();
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    app::CDialog::SetModalHook({});
    QDir::setCurrent(old);
    return ms;
}

double MedianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

void RunDebtorBenchmarks(BenchContext& ctx)
{
    const double plain = BenchContext::Median(7, [&] { PlainReadDebtors(ctx.basePath); });
    ctx.Report(QStringLiteral("plain read of all DOLGI rows (10,000)"), plain);

    // From construction to the window on screen with every debtor listed.
    app::CDialog::SetModalHook([](app::CDialog& d) { d.EndDialog(app::IDOK); });
    const double opened = BenchContext::Median(7, [&] {
        CShowDolgDialog dlg;
        dlg.m_strBasePath = ctx.basePath;
        dlg.DoModal();
    });
    app::CDialog::SetModalHook({});
    ctx.Report(QStringLiteral("debtor list window shown and filled"), opened, plain, QStringLiteral("DOLGI read"));

    // "Добавить" in the list window: the form saved with a name that is not on the black list (the check
    // reads all 2,000 entries), then the list refilled.
    int added = 0;
    app::CDialog::SetModalHook([&](app::CDialog& d) {
        if (auto* list = qobject_cast<CShowDolgDialog*>(&d)) {
            const double add = BenchContext::Median(21, [&] { list->SendCommand(ids::debtors::Add); });
            if (list->DolgList()->GetItemCount() != 10000 + added)
                qFatal("the list was not refilled");
            ctx.Report(QStringLiteral("adding a debtor and refilling the list"), add);
            d.EndDialog(app::IDOK);
        } else if (qobject_cast<CAddDolgDialog*>(&d)) {
            app::SetEditText(d.GetDlgItem(ids::adddebtor::Name), QStringLiteral("Новый должник %1").arg(++added));
            app::SetEditText(d.GetDlgItem(ids::adddebtor::Film), QStringLiteral("Фильм №000001"));
            d.SendCommand(ids::adddebtor::Save);
        }
    });
    {
        CShowDolgDialog dlg;
        dlg.m_strBasePath = ctx.basePath;
        dlg.DoModal();
    }
    app::CDialog::SetModalHook({});
    Sql(ctx.basePath, { QStringLiteral("DELETE FROM DOLGI WHERE NAME LIKE 'Новый должник %'") });

    // Start-up with and without debtors, on otherwise equal catalogues.
    QTemporaryDir bare;
    const QString barePath = QDir(bare.path()).filePath(data::kBaseFileName);
    if (!QFile::copy(ctx.basePath, barePath))
        qFatal("cannot copy the catalogue");
    Sql(barePath, { QStringLiteral("DELETE FROM DOLGI") });
    // Taken in turns, so a busy machine weighs on both alike.
    std::vector<double> withoutTimes;
    std::vector<double> withTimes;
    for (int i = 0; i < 7; ++i) {
        withoutTimes.push_back(StartUp(bare.path()));
        withTimes.push_back(StartUp(ctx.dir));
    }
    const double without = MedianOf(withoutTimes);
    const double with = MedianOf(withTimes);
    ctx.Report(QStringLiteral("start-up without debtors"), without);
    ctx.Report(QStringLiteral("start-up with 10,000 debtors"), with, without, QStringLiteral("without debtors"));
}
