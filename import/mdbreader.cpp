#include "mdbreader.h"

#include "mdbframe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>

#include <vector>

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

// Reads the helper's stream as it arrives and hands each whole row to the sink: `columns` strings after
// each row mark, or (columns < 0) each bare string alone. Only a stream whose end item counts every string
// is complete; anything else is malformed or cut short.
class CStreamParser {
public:
    CStreamParser(int columns, const import::CMdbReader::RowSink& sink)
        : m_columns(columns)
        , m_sink(sink)
    {
    }

    // false once the stream is malformed.
    bool Feed(const QByteArray& chunk)
    {
        if (m_ended && !chunk.isEmpty())
            m_bad = true; // nothing follows the end
        if (m_bad)
            return false;
        m_buffer.append(chunk);
        if (!m_started) {
            if (m_buffer.size() < frame::kMagicSize)
                return true;
            m_bad = !m_buffer.startsWith(QByteArrayView(frame::kMagic, frame::kMagicSize));
            if (m_bad)
                return false;
            m_pos = frame::kMagicSize;
            m_started = true;
        }
        while (!m_ended && !m_bad && TakeUnit()) { }
        // What is left is less than one row: moving it costs little.
        m_buffer.remove(0, m_pos);
        m_pos = 0;
        return !m_bad;
    }

    bool Complete() const { return m_ended && !m_bad && m_buffer.isEmpty(); }

private:
    // The item at `pos`, when it has arrived whole.
    bool Next(qsizetype& pos, char* tag, QByteArrayView* payload) const
    {
        if (pos + frame::kItemHeaderSize > m_buffer.size())
            return false;
        const quint32 size = Le32(m_buffer.constData() + pos + 1);
        if (size > quint64(m_buffer.size() - pos - frame::kItemHeaderSize))
            return false;
        *tag = m_buffer.at(pos);
        *payload = QByteArrayView(m_buffer.constData() + pos + frame::kItemHeaderSize, qsizetype(size));
        pos += frame::kItemHeaderSize + qsizetype(size);
        return true;
    }

    // One row, or the end, when it has arrived whole; m_bad on anything out of place.
    bool TakeUnit()
    {
        qsizetype pos = m_pos;
        char tag = 0;
        QByteArrayView payload;
        if (!Next(pos, &tag, &payload))
            return false;
        if (tag == frame::kTagEnd) {
            bool ok = false;
            m_ended = true;
            m_bad = payload.toByteArray().toLongLong(&ok) != m_strings || !ok;
            m_pos = pos;
            return false;
        }
        m_row.clear();
        if (m_columns < 0) {
            m_bad = tag != frame::kTagString;
            m_row.push_back(payload);
        } else {
            m_bad = tag != frame::kTagRow || !payload.isEmpty();
            for (int i = 0; i < m_columns && !m_bad; ++i) {
                if (!Next(pos, &tag, &payload))
                    return false;
                m_bad = tag != frame::kTagString;
                m_row.push_back(payload);
            }
        }
        if (m_bad)
            return false;
        m_strings += qint64(m_row.size());
        m_pos = pos;
        m_sink(m_row);
        return true;
    }

    const int m_columns;
    const import::CMdbReader::RowSink& m_sink;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_strings = 0;
    bool m_started = false;
    bool m_ended = false;
    bool m_bad = false;
    std::vector<QByteArrayView> m_row;
};

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

CMdbReader::Outcome CMdbReader::Run(const QString& path, const QStringList& arguments, quint64 limit, int columns,
    const RowSink& sink, QString* detail, QString* error)
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

    // A sink that throws leaves the helper to be stopped here, not by QProcess's complaining destructor.
    const auto stop = qScopeGuard([&process] {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(-1);
        }
    });

    // Read as the helper writes, so that it never blocks on a full pipe; kill it when it goes silent
    // (libmdb looping), writes more than the file can hold or writes what is no stream.
    CStreamParser parser(columns, sink);
    QByteArray err;
    QElapsedTimer idle;
    idle.start();
    quint64 received = 0;
    bool hung = false;
    bool flooded = false;
    bool malformed = false;
    const auto take = [&](const QByteArray& chunk) {
        received += quint64(chunk.size());
        flooded = received > limit;
        malformed = !flooded && !parser.Feed(chunk);
        return !flooded && !malformed;
    };
    while (process.state() != QProcess::NotRunning) {
        // waitForReadyRead() returns at once when the helper has closed its output but lives on.
        if (!process.waitForReadyRead(100) && process.state() == QProcess::Running)
            process.waitForFinished(100);
        const QByteArray chunk = process.readAllStandardOutput();
        if (!chunk.isEmpty()) {
            if (!take(chunk))
                break;
            idle.restart();
        }
        err.append(process.readAllStandardError());
        if (err.size() > 65536)
            err = err.right(4096);
        if (idle.hasExpired(IdleTimeout())) {
            hung = true;
            break;
        }
    }
    if (!hung && !flooded && !malformed)
        take(process.readAllStandardOutput());
    if (hung || flooded || malformed) {
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
        if (parser.Complete())
            return Outcome::Ok;
        *error = DamagedText(path);
        return Outcome::Failed;
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
    QStringList result;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const quint64 limit = frame::OutputLimit(quint64(QFileInfo(absolute).size()), 1);
    const Outcome outcome = Run(
        path, { QStringLiteral("tables"), absolute }, limit, -1,
        [&](std::span<const QByteArrayView> name) { result << QString::fromUtf8(name.front()); }, &detail, &message);
    if (outcome != Outcome::Ok) {
        // Only a failure can come from a table list: a missing table or column would be a damaged helper.
        if (error)
            *error = outcome == Outcome::Failed ? message : DamagedText(path);
        return false;
    }
    *names = result;
    return true;
}

bool CMdbReader::ReadRows(
    const QString& path, const QString& table, const QStringList& columns, QList<QStringList>* rows, QString* error)
{
    QList<QStringList> result;
    QStringList row;
    const bool ok = ReadRows(
        path, table, columns,
        [&](std::span<const QByteArrayView> values) {
            row.clear();
            row.reserve(qsizetype(values.size()));
            for (const QByteArrayView value : values)
                row << QString::fromUtf8(value);
            result << row;
        },
        error);
    if (ok)
        *rows = result;
    return ok;
}

bool CMdbReader::ReadRows(
    const QString& path, const QString& table, const QStringList& columns, const RowSink& sink, QString* error)
{
    QString message, detail;
    m_missingColumn.clear();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const quint64 limit = frame::OutputLimit(quint64(QFileInfo(absolute).size()), quint64(columns.size()));
    const Outcome outcome = Run(path, QStringList { QStringLiteral("rows"), absolute, table } + columns, limit,
        int(columns.size()), sink, &detail, &message);
    switch (outcome) {
    case Outcome::Ok:
        return true;
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
