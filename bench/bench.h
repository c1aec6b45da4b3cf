#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <vector>

// Shared by every benchmark: a large catalogue, the baseline read, and the report.
struct BenchContext {
    QString dir; // working folder holding BaseFilm.mdb (100,000 films, 10,000 debtors, 2,000 black list)
    QString basePath; // its full path
    double plainReadMs = 0; // SELECT * FROM KINVORA11 read through SQLite, median

    // Median of `runs` timings of f, in milliseconds. `setup` runs untimed before each run.
    static double Median(int runs, const std::function<void()>& f, const std::function<void()>& setup = {})
    {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            if (setup)
                setup();
            QElapsedTimer t;
            t.start();
            f();
            times.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
    // One line of the report: the figure, and its ratio to a baseline when one is given.
    void Report(const QString& what, double ms, double baselineMs = 0, const QString& baselineName = {}) const;
};

// Each area's figures; they run in one process after the catalogue is built.
void RunMainWindowBenchmarks(BenchContext& ctx);
void RunFilmBenchmarks(BenchContext& ctx);
void RunDebtorBenchmarks(BenchContext& ctx);
void RunImportBenchmarks(BenchContext& ctx);
void RunBackupBenchmarks(BenchContext& ctx);
