#include "mdbreader.h"

#include "mdbframe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace frame = import::mdbframe;

namespace {

QString& HelperOverride()
{
    static QString path;
    return path;
}

int& IdleTimeout()
{
    static int ms = 15000;
    return ms;
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString DamagedText(const QString& path)
{
    return QCoreApplication::translate("import", "Файл «%1» повреждён: его не удаётся прочитать как базу Access.")
        .arg(Native(path));
}

bool IsRunnable(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

quint32 Le32(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

// Splits the helper's stream into its strings; 'R' items start rows of `columns` strings each
// (columns < 0: a plain list without rows). false when the stream is malformed or cut short.
bool ParseStream(const QByteArray& data, int columns, QStringList* strings, QList<QStringList>* rows)
{
    if (data.size() < frame::kMagicSize || !data.startsWith(QByteArrayView(frame::kMagic, frame::kMagicSize)))
        return false;
    qsizetype pos = frame::kMagicSize;
    qint64 stringCount = 0;
    QStringList row;
    bool inRow = false;
    while (pos + frame::kItemHeaderSize <= data.size()) {
        const char tag = data.at(pos);
        const quint32 size = Le32(data.constData() + pos + 1);
        pos += frame::kItemHeaderSize;
        if (size > quint32(data.size() - pos))
            return false;
        const char* payload = data.constData() + pos;
        pos += qsizetype(size);
        switch (tag) {
        case frame::kTagString:
            ++stringCount;
            if (columns < 0) {
                strings->append(QString::fromUtf8(payload, qsizetype(size)));
            } else {
                if (!inRow || row.size() >= columns)
                    return false;
                row.append(QString::fromUtf8(payload, qsizetype(size)));
            }
            break;
        case frame::kTagRow:
            if (columns < 0 || size != 0 || (inRow && row.size() != columns))
                return false;
            if (inRow)
                rows->append(row);
            row.clear();
            row.reserve(columns);
            inRow = true;
            break;
        case frame::kTagEnd: {
            if (pos != data.size() || (inRow && row.size() != columns))
                return false;
            bool ok = false;
            const qint64 declared = QByteArray(payload, qsizetype(size)).toLongLong(&ok);
            if (!ok || declared != stringCount)
                return false;
            if (inRow)
                rows->append(row);
            return true;
        }
        default:
            return false;
        }
    }
    return false;
}

} // namespace

namespace import {

QString CMdbReader::HelperPath()
{
    static const QString name = QStringLiteral("vidarro-mdbread");
    if (!HelperOverride().isEmpty())
        return IsRunnable(HelperOverride()) ? HelperOverride() : QString();
    if (QCoreApplication::instance()) {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        if (IsRunnable(beside))
            return beside;
#ifdef VIDARRO_MDBREAD_INSTALLED
        // Installed: in libexec, found from the program's own place so that any prefix works.
        const QString installed = QDir::cleanPath(
            QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(VIDARRO_MDBREAD_INSTALLED));
        if (IsRunnable(installed))
            return installed;
#endif
    }
#ifdef VIDARRO_MDBREAD_BUILD_PATH
    const QString built = QString::fromUtf8(VIDARRO_MDBREAD_BUILD_PATH);
    if (IsRunnable(built))
        return built;
#endif
    return {};
}

void CMdbReader::SetHelperPath(const QString& path)
{
    HelperOverride() = path;
}

int CMdbReader::IdleTimeoutMs()
{
    return IdleTimeout();
}

void CMdbReader::SetIdleTimeoutMs(int ms)
{
    IdleTimeout() = qMax(100, ms);
}

CMdbReader::Outcome CMdbReader::Run(const QString& path, const QStringList& arguments, quint64 limit,
    QByteArray* output, QString* detail, QString* error)
{
    const QString helper = HelperPath();
    if (helper.isEmpty()) {
        *error = QCoreApplication::translate(
            "import", "Файл «%1» не удаётся прочитать: не найдена программа чтения баз Access «vidarro-mdbread».")
                     .arg(Native(path));
        return Outcome::Failed;
    }

    QProcess process;
    process.setProgram(helper);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(IdleTimeout())) {
        *error = QCoreApplication::translate(
            "import", "Файл «%1» не удаётся прочитать: не запускается программа чтения баз Access «%2».")
                     .arg(Native(path), Native(helper));
        process.kill();
        process.waitForFinished(-1);
        return Outcome::Failed;
    }

    // Read as the helper writes, so that it never blocks on a full pipe; kill it when it goes
    // silent (libmdb looping) or writes more than the file can hold.
    QByteArray err;
    QElapsedTimer idle;
    idle.start();
    bool hung = false;
    bool flooded = false;
    while (process.state() != QProcess::NotRunning) {
        // waitForReadyRead() returns at once when the helper has closed its output but lives on.
        if (!process.waitForReadyRead(100) && process.state() == QProcess::Running)
            process.waitForFinished(100);
        const QByteArray chunk = process.readAllStandardOutput();
        if (!chunk.isEmpty()) {
            output->append(chunk);
            idle.restart();
        }
        err.append(process.readAllStandardError());
        if (err.size() > 65536)
            err = err.right(4096);
        if (quint64(output->size()) > limit) {
            flooded = true;
            break;
        }
        if (idle.hasExpired(IdleTimeout())) {
            hung = true;
            break;
        }
    }
    if (hung || flooded) {
        process.kill();
        process.waitForFinished(-1);
        if (hung) {
            *error = QCoreApplication::translate(
                "import", "Чтение файла «%1» прервано: за %2 с не прочитано ничего. Файл, вероятно, повреждён.")
                         .arg(Native(path))
                         .arg(qMax(1, IdleTimeout() / 1000));
        } else {
            *error = DamagedText(path);
        }
        return Outcome::Failed;
    }
    output->append(process.readAllStandardOutput());
    err.append(process.readAllStandardError());

    if (process.exitStatus() != QProcess::NormalExit) {
        *error = QCoreApplication::translate(
            "import", "Файл «%1» повреждён: программа чтения баз Access аварийно завершилась на нём.")
                     .arg(Native(path));
        return Outcome::Failed;
    }
    const QList<QByteArray> lines = err.trimmed().split('\n');
    const QString lastLine = lines.isEmpty() ? QString() : QString::fromUtf8(lines.last()).trimmed();
    *detail = lastLine.section(QStringLiteral(": "), 1, -1);
    switch (process.exitCode()) {
    case frame::kExitOk:
        return Outcome::Ok;
    case frame::kExitNoTable:
        return Outcome::NoTable;
    case frame::kExitNoColumn:
        return Outcome::NoColumn;
    case frame::kExitBinaryColumn:
        return Outcome::BinaryColumn;
    case frame::kExitNotDatabase:
        *error = QCoreApplication::translate("import", "Файл «%1» не является базой Access или повреждён.")
                     .arg(Native(path));
        return Outcome::Failed;
    default:
        *error = DamagedText(path);
        return Outcome::Failed;
    }
}

bool CMdbReader::ReadTableNames(const QString& path, QStringList* names, QString* error)
{
    QString message, detail;
    QByteArray output;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const quint64 limit = frame::OutputLimit(quint64(QFileInfo(absolute).size()), 1);
    Outcome outcome = Run(path, { QStringLiteral("tables"), absolute }, limit, &output, &detail, &message);
    QStringList result;
    if (outcome == Outcome::Ok && !ParseStream(output, -1, &result, nullptr)) {
        outcome = Outcome::Failed;
        message = DamagedText(path);
    } else if (outcome != Outcome::Ok && outcome != Outcome::Failed) {
        outcome = Outcome::Failed; // none of these can come from a table list
        message = DamagedText(path);
    }
    if (outcome != Outcome::Ok) {
        if (error)
            *error = message;
        return false;
    }
    *names = result;
    return true;
}

bool CMdbReader::ReadRows(
    const QString& path, const QString& table, const QStringList& columns, QList<QStringList>* rows, QString* error)
{
    QString message, detail;
    QByteArray output;
    m_missingColumn.clear();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const quint64 limit = frame::OutputLimit(quint64(QFileInfo(absolute).size()), quint64(columns.size()));
    const Outcome outcome = Run(
        path, QStringList { QStringLiteral("rows"), absolute, table } + columns, limit, &output, &detail, &message);
    QList<QStringList> result;
    switch (outcome) {
    case Outcome::Ok:
        if (ParseStream(output, int(columns.size()), nullptr, &result)) {
            *rows = result;
            return true;
        }
        message = DamagedText(path);
        break;
    case Outcome::NoTable:
        message = QCoreApplication::translate("import", "В базе «%1» нет таблицы «%2».").arg(Native(path), table);
        break;
    case Outcome::NoColumn:
        m_missingColumn = detail;
        message = QCoreApplication::translate("import", "В таблице «%2» базы «%1» нет поля «%3».")
                      .arg(Native(path), table, detail);
        break;
    case Outcome::BinaryColumn:
        message = QCoreApplication::translate("import", "Поле «%3» таблицы «%2» базы «%1» хранит не текст.")
                      .arg(Native(path), table, detail);
        break;
    case Outcome::Failed:
        break;
    }
    if (error)
        *error = message;
    return false;
}

} // namespace import
