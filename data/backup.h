#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

// The catalogue's safety net: a copy a day in the folder "Backup" beside it, a health check, and putting
// a copy back. Only catalogues that passed the health check in this run are copied, so a damaged file never
// pushes good copies out, and files the program is still creating (a new or converted catalogue) are left
// alone.
namespace data {

// How many daily copies are kept.
inline constexpr int kKeptBackups = 10;

QString BackupFolder(const QString& catalogueFile);

// SQLite's quick_check. Recorded for this run: a catalogue is backed up only after it passed.
struct Health {
    bool ok = false;
    QString details; // the engine's first complaint, when damaged or unreadable
};
Health CheckCatalogue(const QString& catalogueFile);
// The check alone, without recording it (a copy).
Health CheckFile(const QString& file);

// A daily copy, "BaseFilm-YYYY-MM-DD.mdb".
struct BackupCopy {
    QString path;
    QDate date;
    int films = -1; // -1 when the copy cannot be read
};
// Newest first; film counts only when asked for (each copy is opened).
std::vector<BackupCopy> ListBackups(const QString& catalogueFile, bool countFilms);

// Called by the record layer before the first write of a connection: makes today's copy when it is missing.
// A failure never stops the write; it is reported once per run.
void BackupBeforeWrite(const QString& catalogueFile);
// Where a failed backup is reported (the program shows a message box); set once at start-up.
void SetBackupFailureNotifier(std::function<void(const QString& text)> notifier);

// Puts a copy in place of the catalogue. The catalogue is first kept in the backup folder as
// "BaseFilm-before-restore-…" or, when it is damaged, "BaseFilm-damaged-…"; then the copy takes its
// place in one rename. Returns where the catalogue was kept; throws DbError, with a Russian message, when
// nothing was changed or the old file is back.
enum class RestoreReason { ByHand, Damaged };
QString RestoreBackup(const QString& catalogueFile, const QString& copy, RestoreReason reason);

// Tests: a fixed clock (an invalid time restores the real one), and a fresh run.
void SetBackupClock(const QDateTime& now);
void ForgetBackupRun();

} // namespace data
