#include "data/errortext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace data {

namespace {
    const QString kRetry = QStringLiteral("Повторите действие.");

    QString FolderRefuses(const QString& folder)
    {
        return QStringLiteral("В папке «%1» нельзя создавать файлы, а программе нужен рядом с базой временный файл "
                              "для сохранения изменений. Разрешите запись в эту папку или перенесите базу в папку, "
                              "где запись разрешена.")
            .arg(QDir::toNativeSeparators(folder));
    }
} // namespace

QString SqliteCause(int primaryCode)
{
    switch (primaryCode) {
    case SQLITE_PERM:
        return QStringLiteral("Система не разрешает доступ к файлу базы. Проверьте права на файл и его папку.");
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT:
        return QStringLiteral("Действие прервано, ничего не изменено. ") + kRetry;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("База занята другой программой, например второй копией Vidarro. Подождите немного "
                              "и повторите действие или закройте ту программу.");
    case SQLITE_NOMEM:
        return QStringLiteral("Не хватило памяти. Закройте другие программы и повторите действие.");
    case SQLITE_READONLY:
        return QStringLiteral("Файл базы открыт только для чтения, изменения сохранить нельзя. Снимите с файла "
                              "защиту от записи или скопируйте базу в папку, где запись разрешена.");
    case SQLITE_IOERR:
        return QStringLiteral("Ошибка чтения или записи диска. Проверьте диск (или подключение, если база на "
                              "сетевом диске) и повторите действие.");
    case SQLITE_CORRUPT:
        return QStringLiteral("Файл базы повреждён. Восстановите базу из резервной копии.");
    case SQLITE_FULL:
        return QStringLiteral("На диске не осталось места, ничего не изменено. Освободите место на диске и "
                              "повторите действие.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Файл базы не удаётся открыть. Проверьте, что файл на месте и что у вас есть права "
                              "на него и на его папку.");
    case SQLITE_SCHEMA:
        return QStringLiteral("Устройство базы изменилось во время работы. ") + kRetry;
    case SQLITE_TOOBIG:
        return QStringLiteral("Текст слишком длинный для базы. Сократите его и повторите.");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("База не приняла запись: она нарушает правило, заданное в файле базы. Проверьте "
                              "введённое.");
    case SQLITE_MISMATCH:
        return QStringLiteral("Значение не подходит к полю базы. Проверьте введённое.");
    case SQLITE_NOLFS:
        return QStringLiteral("Файл базы слишком велик для этой системы.");
    case SQLITE_ERROR: // a missing table or field, a statement the file cannot run
        return QStringLiteral("База устроена не так, как нужно программе. Проверьте, что это файл базы Vidarro, "
                              "или восстановите его из резервной копии.");
    case SQLITE_NOTADB:
        return QStringLiteral("Файл не является базой данных Vidarro (или зашифрован). Выберите файл базы или "
                              "восстановите его из резервной копии.");
    default: // INTERNAL, MISUSE, PROTOCOL, FORMAT, RANGE, no code at all
        return QStringLiteral("Непредвиденная ошибка базы данных. Повторите действие; если ошибка не пройдёт, "
                              "перезапустите программу.");
    }
}

bool FolderAcceptsNewFiles(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vidarro-probe-XXXXXX")));
    return probe.open();
}

QString Details(const QString& text)
{
    return text.trimmed().isEmpty() ? QString() : QStringLiteral("\nПодробности: ") + text.trimmed();
}

QString DbErrorMessage(const QString& what, const QString& path, const QSqlError& error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known) & 0xff;
    QString cause = SqliteCause(known ? code : -1);
    const QFileInfo file(path);
    // "Cannot open" or "read-only" on a file that may be written means its journal could not be made
    // beside it.
    if (known && (code == 14 || code == 8) && file.exists()) {
        if (!file.isReadable())
            cause = QStringLiteral("У вас нет прав на чтение файла базы. Попросите владельца компьютера открыть "
                                   "вам доступ к файлу или скопируйте базу в свою папку.");
        else if (file.isWritable() && !FolderAcceptsNewFiles(file.absolutePath()))
            cause = FolderRefuses(file.absolutePath());
    }
    // The engine's own text; Qt's text (Russian once its translation is loaded) only when there is no other.
    const QString detail = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return QStringLiteral("%1 «%2».\n%3%4").arg(what, QDir::toNativeSeparators(path), cause, Details(detail));
}

QString ReplaceProblem(const QString& filePath)
{
    const QFileInfo file(filePath);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("Папки «%1» нет. Проверьте, что папка с базой на месте.")
            .arg(QDir::toNativeSeparators(folder));
    if (QStorageInfo(folder).isReadOnly())
        return QStringLiteral("Диск, на котором лежит файл, доступен только для чтения. Скопируйте папку с "
                              "программой на диск, где можно писать, или снимите защиту с носителя.");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("Файл защищён от записи. Снимите с него защиту (атрибут «только чтение») или "
                              "попросите владельца компьютера разрешить вам запись.");
    if (!FolderAcceptsNewFiles(folder))
        return QStringLiteral("В папке «%1» нельзя создавать файлы, а новый файл записывается рядом с прежним. "
                              "Разрешите запись в эту папку.")
            .arg(QDir::toNativeSeparators(folder));
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.bytesAvailable() == 0)
        return QStringLiteral("На диске не осталось места. Освободите место на диске и повторите.");
    return {};
}

} // namespace data
