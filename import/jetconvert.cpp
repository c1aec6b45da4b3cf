#include "import/jetconvert.h"

#include "data/daodb.h"
#include "data/dberror.h"
#include "data/errortext.h"
#include "data/filenames.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "import/mdbreader.h"
#include "import/prevbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace import {

namespace {

    constexpr QLatin1String kKeptStem { "BaseFilm-access" };
    constexpr QLatin1String kTempPrefix { ".BaseFilm-convert-" };

    std::function<bool(ConvertStep)>& FaultHook()
    {
        static std::function<bool(ConvertStep)> hook;
        return hook;
    }

    // A step the test seam makes fail, as a full disk would.
    bool Faulted(ConvertStep step)
    {
        return FaultHook() && !FaultHook()(step);
    }

    QString FaultText()
    {
        return QStringLiteral("запись прервана: на диске нет места");
    }

    QString Native(const QString& path)
    {
        return QDir::toNativeSeparators(path);
    }

    // A full sentence of another layer as a part of ours: lower-case start, no final period.
    QString AsReason(QString text)
    {
        text = text.trimmed();
        while (text.endsWith(u'.'))
            text.chop(1);
        if (text.size() > 1 && text.at(0).isUpper() && text.at(1).isLower())
            text[0] = text.at(0).toLower();
        return text;
    }

    // The system's words, in English as a rule, go to a line of their own.
    QString SystemReason(const QString& what, const QString& path, int error)
    {
        return QStringLiteral("%1 «%2»\n%3").arg(what, Native(path), QString::fromLocal8Bit(std::strerror(error)));
    }

    bool SyncPath(const QString& path, bool directory)
    {
        const int fd
            = ::open(QFile::encodeName(path).constData(), (directory ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool ok = ::fsync(fd) == 0;
        ::close(fd);
        return ok;
    }

    // Copies to a name that must not exist yet; the copy is on disk when this returns true, false when the
    // name is taken.
    bool CopyExclusive(const QString& from, const QString& to)
    {
        QFile source(from);
        if (!source.open(QIODevice::ReadOnly))
            throw data::DbError(QStringLiteral("не удаётся прочитать файл «%1»").arg(Native(from)));
        const int fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                return false;
            throw data::DbError(SystemReason(QStringLiteral("не удаётся создать файл"), to, errno));
        }
        bool ok = true;
        int failure = 0;
        while (ok) {
            const QByteArray chunk = source.read(1 << 20);
            if (chunk.isEmpty()) {
                ok = source.error() == QFileDevice::NoError;
                break;
            }
            for (qsizetype done = 0; ok && done < chunk.size();) {
                const ssize_t n = ::write(fd, chunk.constData() + done, size_t(chunk.size() - done));
                if (n < 0 && errno == EINTR)
                    continue;
                ok = n > 0;
                failure = n < 0 ? errno : ENOSPC;
                done += n > 0 ? n : 0;
            }
        }
        if (ok && (::fsync(fd) != 0 || Faulted(ConvertStep::Flush))) {
            ok = false;
            failure = errno ? errno : ENOSPC;
        }
        ::close(fd);
        if (!ok) {
            ::unlink(QFile::encodeName(to).constData());
            throw data::DbError(SystemReason(QStringLiteral("не удаётся записать копию"), to, failure ? failure : EIO));
        }
        return true;
    }

    // Whether another name of the folder may not be used: taken exactly or in another letter case.
    bool NameTaken(const QString& folder, const QString& name)
    {
        const data::FoundFile found = data::FindFileIgnoringCase(folder, name);
        return !found.path.isEmpty() || !found.ambiguous.isEmpty();
    }

    QString KeptName(int n)
    {
        return n == 1 ? kKeptStem + QLatin1String(".mdb") : QStringLiteral("%1-%2.mdb").arg(kKeptStem).arg(n);
    }

    QString NoFreeName(const QString& folder)
    {
        return QStringLiteral("в папке «%1» нет свободного имени для копии исходного файла").arg(Native(folder));
    }

    // Keeps the original under the next free kept name: a hard link where the file system has them, a
    // flushed copy otherwise. An existing file is never overwritten. The kept path.
    QString KeepOriginal(const QString& original, const QString& folder)
    {
        if (Faulted(ConvertStep::Keep))
            throw data::DbError(FaultText());
        for (int n = 1; n < 10000; ++n) {
            if (NameTaken(folder, KeptName(n)))
                continue;
            const QString kept = QDir(folder).filePath(KeptName(n));
            if (::link(QFile::encodeName(original).constData(), QFile::encodeName(kept).constData()) == 0)
                return kept;
            if (errno != EEXIST && CopyExclusive(original, kept))
                return kept;
        }
        throw data::DbError(NoFreeName(folder));
    }

    // The reader's own text when the Jet file cannot be read: the reason as it stands, unlike a write failure.
    struct ReadFailure {
        QString text;
    };

    // The file's own name for what becomes `table`: a previous-version file keeps its films in KINVORA.
    QString SourceTable(const JetFile& file, QLatin1String table)
    {
        const bool prevFilms = table == data::table::Films && file.kind != JetCatalogueKind::Current;
        return FindTable(file.tables, prevFilms ? data::table::PrevFilms : table);
    }

    // Copies one table into the table of the same name in the new catalogue as the helper reads it, unless
    // the file lacks it. The rows copied; ReadFailure when the file cannot be read.
    int CopyTable(CMdbReader& reader, const JetFile& file, QLatin1String table, data::CDaoRecordset& rs)
    {
        using namespace data;
        const QString from = SourceTable(file, table);
        if (from.isEmpty())
            return 0;
        const QStringList fields = FieldList(FieldsOf(table));
        int rows = 0;
        QString error;
        std::vector<QByteArrayView> values;
        // The first `columns` fields are read, the rest set to `fill`.
        const auto copy = [&](qsizetype columns, QByteArrayView fill) {
            return reader.ReadRows(
                file.path, from, fields.first(columns),
                [&](std::span<const QByteArrayView> row) {
                    values.assign(row.begin(), row.end());
                    values.resize(size_t(fields.size()), fill);
                    rs.AppendUtf8(fields, values);
                    ++rows;
                },
                &error);
        };
        rs.Open(table, { fields.front() });
        bool ok = copy(fields.size(), {});
        // A previous-version debtor table has no mark: each debtor gets "N" ("Отменина"). The helper checks
        // the columns before it sends a row, so none was copied yet.
        if (!ok && table == table::Debtors
            && reader.LastMissingColumn().compare(field::Metka, Qt::CaseInsensitive) == 0)
            ok = copy(fields.size() - 1, "N");
        rs.Close();
        if (!ok)
            throw ReadFailure { error };
        return rows;
    }

    void RemoveTemp(const QString& path)
    {
        for (const char* suffix : { "", "-journal", "-wal", "-shm" })
            QFile::remove(path + QLatin1String(suffix));
    }

    // Writes the whole catalogue to a new temporary file in `folder`, in one transaction, as the helper reads
    // the Jet file, checks what arrived and flushes it. The temporary file's path.
    QString WriteTemp(const JetFile& file, const QString& folder, ConversionResult* result)
    {
        using namespace data;
        if (SourceTable(file, table::Films).isEmpty())
            throw DbError(QStringLiteral("в файле нет таблицы KINVORA11"));
        QStringList notes;
        if (SourceTable(file, table::Debtors).isEmpty())
            notes << QStringLiteral("В файле нет таблицы должников (DOLGI): создана пустая.");
        if (SourceTable(file, table::BlackList).isEmpty())
            notes << QStringLiteral("В файле нет черного списка (BLACKSPISOK): создан пустой.");

        QString temp;
        do
            temp = QDir(folder).filePath(
                kTempPrefix + QString::number(QRandomGenerator::global()->generate(), 36) + QLatin1String(".tmp"));
        while (QFileInfo::exists(temp));
        try {
            CreateCatalogue(temp);
        } catch (const DbError& e) {
            RemoveTemp(temp);
            throw DbError(
                QStringLiteral("не удалось создать новый каталог в папке «%1»").arg(Native(folder)) + u'\n' + e.Text());
        }
        try {
            CDaoDatabase db;
            db.Open(temp);
            // A temporary file no one else opens: no journal and no syncs of its own. It is flushed once, whole,
            // before it takes the catalogue's name; killed before that, it is a leftover the next start removes.
            db.Execute(QStringLiteral("PRAGMA journal_mode = OFF"));
            db.Execute(QStringLiteral("PRAGMA synchronous = OFF"));
            CDaoDatabase::Transaction transaction(db);
            CDaoRecordset rs(db);
            CMdbReader reader;
            const int films = CopyTable(reader, file, table::Films, rs);
            if (Faulted(ConvertStep::Records))
                throw DbError(FaultText());
            const int debtors = CopyTable(reader, file, table::Debtors, rs);
            const int blackList = CopyTable(reader, file, table::BlackList, rs);
            transaction.Commit();

            // What is in the file now, not what was sent to it.
            const auto count = [&](QLatin1String table) {
                rs.Open(table, { FieldsOf(table).front() });
                const int n = rs.RecordCount();
                rs.Close();
                return n;
            };
            result->films = count(table::Films);
            result->debtors = count(table::Debtors);
            result->blackList = count(table::BlackList);
            result->notes = notes;
            if (result->films != films || result->debtors != debtors || result->blackList != blackList)
                throw DbError(QStringLiteral("в новом файле оказались не все записи"));
        } catch (const ReadFailure& failure) {
            RemoveTemp(temp);
            throw DbError(failure.text);
        } catch (const DbError& e) {
            // The engine says "disk is full" in English; the user needs to know where space is missing.
            const bool full = QStorageInfo(folder).bytesAvailable() < (256 << 10);
            RemoveTemp(temp);
            throw DbError((full ? QStringLiteral("на диске не хватает места для нового каталога в папке «%1»")
                                : QStringLiteral("не удалось записать новый каталог в папку «%1»"))
                              .arg(Native(folder))
                + u'\n' + e.Text());
        }
        if (!SyncPath(temp, false) || Faulted(ConvertStep::Flush)) {
            RemoveTemp(temp);
            throw DbError(QStringLiteral("не удаётся сохранить на диск файл «%1»").arg(Native(temp)));
        }
        return temp;
    }

    bool SameFile(const QString& a, const QString& b)
    {
        struct stat sa {
        }, sb {};
        if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
            return false;
        if (sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino)
            return true;
        if (sa.st_size != sb.st_size)
            return false;
        QFile fa(a), fb(b);
        if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
            return false;
        while (!fa.atEnd()) {
            const QByteArray chunk = fa.read(1 << 20);
            if (chunk.isEmpty() || chunk != fb.read(chunk.size()))
                return false;
        }
        return fb.atEnd();
    }

} // namespace

JetFile InspectJetFile(const QString& path)
{
    JetFile file { path, JetCatalogueKind::None, {} };
    if (DetectBaseKind(path) != BaseKind::Jet) {
        CPrevBase base; // its texts tell missing, unreadable and foreign files apart
        QString reason = QStringLiteral("файл «%1» не является базой Microsoft Access").arg(Native(path));
        try {
            base.Open(path);
        } catch (const data::DbError& e) {
            if (DetectBaseKind(path) != BaseKind::Sqlite)
                reason = AsReason(e.Text());
        }
        throw data::DbError(reason);
    }
    QString error;
    if (!CMdbReader().ReadTableNames(path, &file.tables, &error))
        throw data::DbError(AsReason(error));
    if (!FindTable(file.tables, data::table::Films).isEmpty())
        file.kind = JetCatalogueKind::Current;
    else if (!FindTable(file.tables, data::table::PrevFilms).isEmpty())
        file.kind = JetCatalogueKind::Previous;
    return file;
}

QString KeptCopyName(const QString& folder)
{
    int n = 1;
    while (NameTaken(folder, KeptName(n)))
        ++n;
    return KeptName(n);
}

ConversionResult ConvertInPlace(const JetFile& source)
{
    const QFileInfo info(source.path);
    const QString original = info.absoluteFilePath();
    const QString folder = info.absolutePath();
    ConversionResult result;
    const QString temp = WriteTemp(source, folder, &result);
    try {
        result.keptPath = KeepOriginal(original, folder);
    } catch (const data::DbError&) {
        RemoveTemp(temp);
        throw;
    }
    SyncPath(folder, true);
    const bool faulted = Faulted(ConvertStep::Replace);
    if (faulted || ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(original).constData()) != 0) {
        const QString reason
            = faulted ? FaultText() : SystemReason(QStringLiteral("не удаётся заменить файл"), original, errno);
        RemoveTemp(temp);
        QFile::remove(result.keptPath);
        throw data::DbError(reason);
    }
    SyncPath(folder, true);
    return result;
}

ConversionResult ConvertInto(const JetFile& source, const QString& folder)
{
    const QString dir = QFileInfo(folder).absoluteFilePath();
    const auto taken
        = [&] { return QStringLiteral("в папке «%1» уже есть каталог «%2»").arg(Native(dir), data::kBaseFileName); };
    if (!QFileInfo(dir).isDir())
        throw data::DbError(QStringLiteral("папка «%1» не существует").arg(Native(dir)));
    if (NameTaken(dir, data::kBaseFileName))
        throw data::DbError(taken());
    ConversionResult result;
    const QString temp = WriteTemp(source, dir, &result);
    // A link, unlike a rename, never replaces a file that appeared meanwhile.
    const QString target = QDir(dir).filePath(data::kBaseFileName);
    const bool faulted = Faulted(ConvertStep::Replace);
    if (faulted || ::link(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = faulted ? FaultText()
            : errno == EEXIST          ? taken()
                              : SystemReason(QStringLiteral("не удаётся создать файл"), target, errno);
        RemoveTemp(temp);
        throw data::DbError(reason);
    }
    RemoveTemp(temp);
    SyncPath(dir, true);
    return result;
}

QString KeepCopy(const QString& file, const QString& folder)
{
    for (int n = 1; n < 10000; ++n) {
        if (NameTaken(folder, KeptName(n)))
            continue;
        const QString kept = QDir(folder).filePath(KeptName(n));
        if (CopyExclusive(file, kept)) {
            SyncPath(folder, true);
            return kept;
        }
    }
    throw data::DbError(NoFreeName(folder));
}

QString ConversionReport(const ConversionResult& result)
{
    QStringList lines { QStringLiteral("Каталог переведён в новый формат."),
        QStringLiteral("Фильмов: %1").arg(result.films), QStringLiteral("Должников: %1").arg(result.debtors),
        QStringLiteral("В черном списке: %1").arg(result.blackList) };
    lines += result.notes;
    if (!result.keptPath.isEmpty())
        lines << QStringLiteral("Исходный файл сохранён как «%1».").arg(QFileInfo(result.keptPath).fileName());
    return lines.join(u'\n');
}

QString ConversionFailure(const QString& reason)
{
    return QStringLiteral("Не удалось перевести каталог: %1. Исходный файл не изменён.")
               .arg(reason.section(u'\n', 0, 0))
        + data::Details(reason.section(u'\n', 1));
}

void RemoveLeftovers(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({ kTempPrefix + QLatin1String("*") }, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(name));

    const QString base = data::FindFileIgnoringCase(folder, data::kBaseFileName).path;
    if (base.isEmpty() || DetectBaseKind(base) != BaseKind::Jet)
        return;
    // Killed between keeping the original and replacing it: the kept copy is a second copy of the base.
    static const QRegularExpression kept(
        QStringLiteral("^%1(-[0-9]+)?\\.mdb$").arg(kKeptStem), QRegularExpression::CaseInsensitiveOption);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QString path = dir.filePath(name);
        if (kept.match(name).hasMatch() && SameFile(path, base))
            QFile::remove(path);
    }
}

void SetConvertFaultHook(std::function<bool(ConvertStep)> hook)
{
    FaultHook() = std::move(hook);
}

} // namespace import
