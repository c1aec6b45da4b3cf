#include "data/backup.h"

#include "data/dberror.h"
#include "data/errortext.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace data {

namespace {

    struct Run {
        QSet<QString> healthy; // catalogues that passed the check in this run
        QHash<QString, QDate> triedOn; // the day a copy was last made or tried, per catalogue
        bool warned = false;
    };
    Run g_run;
    QDateTime g_fixedNow;
    std::function<void(const QString&)> g_notifier;

    // A database file and the files SQLite keeps beside it while it writes.
    const char* const kSidecars[] = { "", "-journal", "-wal", "-shm" };

    QDateTime Now()
    {
        return g_fixedNow.isValid() ? g_fixedNow : QDateTime::currentDateTime();
    }

    // One name per file, whichever way the path was written.
    QString Key(const QString& file)
    {
        const QFileInfo info(file);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    }

    QString DailyName(const QDate& date)
    {
        return QStringLiteral("BaseFilm-%1.mdb").arg(date.toString(QStringLiteral("yyyy-MM-dd")));
    }

    // An SQLite connection of its own, closed on leaving.
    class Handle {
    public:
        Handle(const QString& file, int flags)
        {
            m_rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr);
            if (m_db)
                sqlite3_busy_timeout(m_db, 2000);
        }
        ~Handle() { sqlite3_close(m_db); }
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;

        bool Ok() const { return m_rc == SQLITE_OK; }
        sqlite3* Db() const { return m_db; }
        QString Error() const
        {
            return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        }

        // Runs a statement and collects the first column of its rows; false on an error.
        bool Query(const char* sql, QStringList* rows, int maxRows)
        {
            sqlite3_stmt* stmt = nullptr;
            if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK)
                return false;
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
                if (rows->size() < maxRows)
                    *rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
            sqlite3_finalize(stmt);
            return rc == SQLITE_DONE;
        }

    private:
        sqlite3* m_db = nullptr;
        int m_rc = SQLITE_ERROR;
    };

    Health Check(const QString& file, int flags)
    {
        if (!QFileInfo(file).isFile())
            return { false, QStringLiteral("файл не найден") };
        Handle db(file, flags);
        QStringList rows;
        if (!db.Ok() || !db.Query("PRAGMA quick_check", &rows, 3))
            return { false, db.Error() };
        if (rows == QStringList { QStringLiteral("ok") })
            return { true, {} };
        return { false, rows.join(QLatin1Char('\n')) };
    }

    void Report(const QString& text)
    {
        if (g_run.warned)
            return;
        g_run.warned = true;
        if (g_notifier)
            g_notifier(text);
    }

    // A consistent copy through SQLite's online backup, written under a temporary name and then renamed.
    bool MakeCopy(const QString& catalogue, const QString& target, QString* error)
    {
        if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
            *error = QStringLiteral("не удалось создать папку");
            return false;
        }
        const QString temp = target + QStringLiteral(".tmp");
        QFile::remove(temp);
        bool ok = false;
        {
            Handle src(catalogue, SQLITE_OPEN_READWRITE);
            QStringList mode;
            if (!src.Ok() || !src.Query("PRAGMA journal_mode", &mode, 1)) {
                *error = src.Error();
            } else if (mode != QStringList { QStringLiteral("wal") }) {
                // A read transaction keeps every writer out of the file, so a plain copy of it is consistent
                // and much faster than copying page by page.
                QStringList rows;
                if (sqlite3_exec(src.Db(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK
                    || !src.Query("SELECT count(*) FROM sqlite_master", &rows, 1)) {
                    *error = src.Error();
                } else {
                    QFile file(catalogue);
                    ok = file.copy(temp);
                    if (!ok)
                        *error = file.errorString();
                }
                sqlite3_exec(src.Db(), "COMMIT", nullptr, nullptr, nullptr);
            } else {
                // Committed pages may still sit in the write-ahead log: SQLite's online backup takes them too.
                Handle dst(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
                sqlite3_backup* backup = dst.Ok() ? sqlite3_backup_init(dst.Db(), "main", src.Db(), "main") : nullptr;
                if (backup) {
                    ok = sqlite3_backup_step(backup, -1) == SQLITE_DONE;
                    sqlite3_backup_finish(backup);
                }
                // The copy is one self-contained file, like every other.
                ok = ok && sqlite3_exec(dst.Db(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
                if (!ok)
                    *error = dst.Error();
            }
        }
        std::error_code ec;
        if (ok)
            std::filesystem::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData(), ec);
        if (!ok || ec) {
            if (ec)
                *error = QString::fromLocal8Bit(ec.message());
            QFile::remove(temp);
            return false;
        }
        return true;
    }

    // Keeps the newest copies, and the newest one that passes the check wherever it stands.
    void Rotate(const QString& catalogue)
    {
        const std::vector<BackupCopy> copies = ListBackups(catalogue, false);
        if (int(copies.size()) <= kKeptBackups)
            return;
        size_t good = 0;
        while (good < copies.size() && !CheckFile(copies[good].path).ok)
            ++good;
        for (size_t i = kKeptBackups; i < copies.size(); ++i)
            if (i != good)
                QFile::remove(copies[i].path);
    }

    bool Rename(const QString& from, const QString& to, QString* error)
    {
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData(), ec);
        if (ec && error)
            *error = QString::fromLocal8Bit(ec.message());
        return !ec;
    }

} // namespace

QString BackupFolder(const QString& catalogueFile)
{
    return QDir(QFileInfo(Key(catalogueFile)).absolutePath()).filePath(QStringLiteral("Backup"));
}

Health CheckFile(const QString& file)
{
    return Check(file, SQLITE_OPEN_READONLY);
}

Health CheckCatalogue(const QString& catalogueFile)
{
    // Read-write, so a journal left by a crash is rolled back as the program's own connections would.
    const Health health = Check(catalogueFile, SQLITE_OPEN_READWRITE);
    if (health.ok)
        g_run.healthy.insert(Key(catalogueFile));
    else
        g_run.healthy.remove(Key(catalogueFile));
    return health;
}

std::vector<BackupCopy> ListBackups(const QString& catalogueFile, bool countFilms)
{
    static const QRegularExpression daily(QStringLiteral("^BaseFilm-(\\d{4})-(\\d{2})-(\\d{2})\\.mdb$"));
    const QDir folder(BackupFolder(catalogueFile));
    std::vector<BackupCopy> copies;
    for (const QString& name : folder.entryList({ QStringLiteral("BaseFilm-*.mdb") }, QDir::Files)) {
        const QRegularExpressionMatch m = daily.match(name);
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (m.hasMatch() && date.isValid() && name == DailyName(date))
            copies.push_back({ folder.filePath(name), date });
    }
    std::sort(copies.begin(), copies.end(), [](const BackupCopy& a, const BackupCopy& b) { return a.date > b.date; });
    if (countFilms) {
        for (BackupCopy& c : copies) {
            Handle db(c.path, SQLITE_OPEN_READONLY);
            QStringList rows;
            const QByteArray sql = QByteArray("SELECT count(*) FROM ") + QByteArray(table::Films.data());
            if (db.Ok() && db.Query(sql.constData(), &rows, 1) && rows.size() == 1)
                c.films = rows[0].toInt();
        }
    }
    return copies;
}

void BackupBeforeWrite(const QString& catalogueFile)
{
    const QString key = Key(catalogueFile);
    const QDate today = Now().date();
    if (!g_run.healthy.contains(key) || g_run.triedOn.value(key) == today)
        return;
    g_run.triedOn.insert(key, today);
    const QString folder = BackupFolder(key);
    const QString target = QDir(folder).filePath(DailyName(today));
    if (QFileInfo::exists(target))
        return;
    QString error;
    if (!MakeCopy(key, target, &error)) {
        Report(QStringLiteral("Не удалось сделать резервную копию каталога в папке «%1». Изменения сохраняются как "
                              "обычно, но сегодняшней копии нет: проверьте, что на диске есть место и папка "
                              "доступна для записи.")
                   .arg(QDir::toNativeSeparators(folder))
            + Details(error));
        return;
    }
    Rotate(key);
}

void SetBackupFailureNotifier(std::function<void(const QString&)> notifier)
{
    g_notifier = std::move(notifier);
}

QString RestoreBackup(const QString& catalogueFile, const QString& copy, RestoreReason reason)
{
    const QString catalogue = Key(catalogueFile);
    QString details;
    const auto fail = [&](const QString& text) { throw DbError(text + Details(details)); };
    const Health health = CheckFile(copy);
    if (!health.ok) {
        details = health.details;
        fail(QStringLiteral("Копия «%1» повреждена, каталог из неё не восстановить. Выберите другую копию.")
                 .arg(QDir::toNativeSeparators(copy)));
    }

    // The copy goes beside the catalogue first, so that putting it in place is one rename.
    const QString temp = catalogue + QStringLiteral(".restore");
    QFile::remove(temp);
    QFile source(copy);
    if (!source.copy(temp)) {
        details = source.errorString();
        QFile::remove(temp);
        fail(QStringLiteral("Не удалось скопировать «%1» в папку каталога. Каталог не изменён.")
                 .arg(QDir::toNativeSeparators(copy)));
    }

    const QDir folder(BackupFolder(catalogue));
    const QString prefix = reason == RestoreReason::Damaged ? QStringLiteral("BaseFilm-damaged-")
                                                            : QStringLiteral("BaseFilm-before-restore-");
    const QString stamp = Now().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString kept = folder.filePath(prefix + stamp + QStringLiteral(".mdb"));
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = folder.filePath(QStringLiteral("%1%2-%3.mdb").arg(prefix, stamp).arg(n));

    // The catalogue moves out with the files SQLite keeps beside it, which belong to it alone.
    QStringList moved;
    const auto undo = [&] {
        for (const QString& suffix : std::as_const(moved))
            Rename(kept + suffix, catalogue + suffix, nullptr);
        QFile::remove(temp);
    };
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        QFile::remove(temp);
        fail(QStringLiteral("Не удалось создать папку «%1». Каталог не изменён.")
                 .arg(QDir::toNativeSeparators(folder.path())));
    }
    for (const char* part : kSidecars) {
        const QString suffix = QString::fromLatin1(part);
        if (!suffix.isEmpty() && !QFileInfo::exists(catalogue + suffix))
            continue;
        if (!Rename(catalogue + suffix, kept + suffix, &details)) {
            undo();
            fail(QStringLiteral("Не удалось сохранить каталог как «%1». Каталог не изменён.")
                     .arg(QDir::toNativeSeparators(kept)));
        }
        moved << suffix;
    }
    if (!Rename(temp, catalogue, &details)) {
        undo();
        fail(QStringLiteral("Не удалось поставить копию на место каталога «%1». Каталог оставлен прежним.")
                 .arg(QDir::toNativeSeparators(catalogue)));
    }
    g_run.healthy.insert(catalogue);
    return kept;
}

void SetBackupClock(const QDateTime& now)
{
    g_fixedNow = now;
}

void ForgetBackupRun()
{
    g_run = Run();
}

} // namespace data
