#include "settings/profile.h"

#include "data/dberror.h"
#include "data/errortext.h"
#include "data/textrules.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

// One small line parser serves both reading and writing. SimpleIni was not used: it keeps the last of
// two equal keys and merges equal sections (Windows takes the first), folds only Latin letters, takes
// '#' lines for comments and a lone CR for a line end, and a writer must find exactly the line the
// reader reads.

namespace settings {

using namespace Qt::StringLiterals;

namespace {

    // The file holds two numbers; anything this large is not a settings file and is not read into memory.
    constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    // Windows-1251 bytes 0x80..0xFF. Qt has this code page only with ICU; a table keeps the result the same
    // everywhere. The unassigned 0x98 maps to U+0098 so that every byte reads back as it was.
    constexpr char16_t kCp1251High[128] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
        0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
        0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
        0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
        0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, //
    };

    constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

    enum class Encoding { Cp1251, Utf8 };

    QString DecodeCp1251(QByteArrayView bytes)
    {
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            text[i] = byte < 0x80 ? QChar(char16_t(byte)) : QChar(kCp1251High[byte - 0x80]);
        }
        return text;
    }

    // Index of the first character the encoding cannot hold, or -1 when *out holds the whole text.
    qsizetype Encode(Encoding encoding, const QString& text, QByteArray* out)
    {
        if (encoding == Encoding::Utf8) {
            if (!text.isValidUtf16()) {
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (text[i].isSurrogate())
                        return i;
                }
            }
            *out = text.toUtf8();
            return -1;
        }
        out->resize(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c < 0x80) {
                (*out)[i] = char(c);
                continue;
            }
            qsizetype found = -1;
            for (qsizetype b = 0; b < 128 && found < 0; ++b) {
                if (kCp1251High[b] == c)
                    found = b;
            }
            if (found < 0)
                return i;
            (*out)[i] = char(0x80 + found);
        }
        return -1;
    }

    // Blanks as C isspace() knows them, the set Windows trims around names and values.
    bool IsBlank(char16_t c)
    {
        return c == u' ' || (c >= u'\t' && c <= u'\r');
    }

    QString Trimmed(const QString& text)
    {
        qsizetype from = 0;
        qsizetype to = text.size();
        while (from < to && IsBlank(text[from].unicode()))
            ++from;
        while (to > from && IsBlank(text[to - 1].unicode()))
            --to;
        return text.mid(from, to - from);
    }

    bool HasLineBreak(const QString& text)
    {
        return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(0));
    }

    struct Line {
        enum class Kind { Blank, Other, Section, Key };
        Kind kind = Kind::Other;
        QString name; // section or key name, trimmed
        qsizetype begin = 0; // first byte of the line
        qsizetype end = 0; // end of its text, before LF or CR LF
        qsizetype next = 0; // first byte of the next line
        qsizetype valueBegin = 0; // key lines: the value's bytes without surrounding blanks
        qsizetype valueEnd = 0;
    };

    struct Profile {
        QByteArray bytes;
        Encoding encoding = Encoding::Cp1251;
        QByteArray eol = "\r\n"; // the file's own line ending, used for every line added
        QList<Line> lines;

        QString Decode(qsizetype from, qsizetype to) const
        {
            const QByteArrayView part = QByteArrayView(bytes).sliced(from, to - from);
            return encoding == Encoding::Utf8 ? QString::fromUtf8(part) : DecodeCp1251(part);
        }
    };

    // All markers ('[', ']', '=', ';', blanks) are ASCII, which neither encoding uses inside a multi-byte
    // character, so lines are cut on bytes and only names and values are decoded.
    void Classify(const Profile& profile, Line& line)
    {
        const QByteArray& bytes = profile.bytes;
        qsizetype from = line.begin;
        qsizetype to = line.end;
        while (from < to && IsBlank(char16_t(bytes[from])))
            ++from;
        while (to > from && IsBlank(char16_t(bytes[to - 1])))
            --to;
        if (from == to) {
            line.kind = Line::Kind::Blank;
            return;
        }
        if (bytes[from] == ';') {
            line.kind = Line::Kind::Other;
            return;
        }
        if (bytes[from] == '[') {
            // The name runs to the last ']' of the line, as Windows reads it.
            qsizetype close = to - 1;
            while (close > from && bytes[close] != ']')
                --close;
            if (close > from) {
                line.kind = Line::Kind::Section;
                line.name = Trimmed(profile.Decode(from + 1, close));
                return;
            }
        }
        const qsizetype equals = bytes.indexOf('=', from);
        if (equals < 0 || equals >= to) {
            // A line without '=' is no key Windows would return a value for.
            line.kind = Line::Kind::Other;
            return;
        }
        line.kind = Line::Kind::Key;
        line.name = Trimmed(profile.Decode(from, equals));
        qsizetype valueBegin = equals + 1;
        while (valueBegin < to && IsBlank(char16_t(bytes[valueBegin])))
            ++valueBegin;
        line.valueBegin = valueBegin < to ? valueBegin : equals + 1;
        line.valueEnd = valueBegin < to ? to : equals + 1;
    }

    Profile Parse(QByteArray bytes)
    {
        Profile profile;
        profile.bytes = std::move(bytes);
        const QByteArray& data = profile.bytes;
        qsizetype pos = 0;
        if (data.startsWith(kUtf8Bom)) {
            profile.encoding = Encoding::Utf8;
            pos = 3;
        }
        const qsizetype firstLf = data.indexOf('\n');
        if (firstLf >= 0 && (firstLf == 0 || data[firstLf - 1] != '\r'))
            profile.eol = "\n";
        while (pos < data.size()) {
            Line line;
            line.begin = pos;
            const qsizetype lf = data.indexOf('\n', pos);
            if (lf < 0) {
                line.end = line.next = data.size();
            } else {
                line.end = lf;
                line.next = lf + 1;
                if (line.end > line.begin && data[line.end - 1] == '\r')
                    --line.end;
            }
            Classify(profile, line);
            profile.lines.append(line);
            pos = line.next;
        }
        return profile;
    }

    bool SameName(const QString& a, const QString& b)
    {
        return QString::compare(a, b, Qt::CaseInsensitive) == 0;
    }

    // Indexes into Profile::lines; -1 when missing. Only the first section of that name is searched.
    struct Match {
        qsizetype section = -1;
        qsizetype key = -1;
    };

    Match Find(const Profile& profile, const QString& section, const QString& key)
    {
        Match match;
        for (qsizetype i = 0; i < profile.lines.size(); ++i) {
            const Line& line = profile.lines[i];
            if (match.section < 0) {
                if (line.kind == Line::Kind::Section && SameName(line.name, section))
                    match.section = i;
                continue;
            }
            if (line.kind == Line::Kind::Section)
                break;
            if (line.kind == Line::Kind::Key && SameName(line.name, key)) {
                match.key = i;
                break;
            }
        }
        return match;
    }

    enum class LoadResult { Loaded, Missing, Failed };

    // A reader takes a file over the limit up to the last line end within it; a writer refuses it, since
    // what it would write back is no longer the whole file.
    enum class Oversize { Cut, Refuse };

    QString TooLarge()
    {
        return u"Файл больше %1 МБ: это не файл настроек Vidarro. Переименуйте или удалите его."_s.arg(
            kMaxFileSize / (1024 * 1024));
    }

    LoadResult LoadFile(const QString& filePath, QByteArray* bytes, QString* reason, QString* detail, Oversize oversize)
    {
        const QFileInfo info(filePath);
        if (!info.exists())
            return LoadResult::Missing;
        if (!info.isFile()) {
            *reason = (info.isDir() ? u"Это папка, а не файл."_s : u"Это не обычный файл."_s)
                + u" Переименуйте или удалите это, и программа создаст файл настроек заново."_s;
            return LoadResult::Failed;
        }
        if (info.size() > kMaxFileSize && oversize == Oversize::Refuse) {
            *reason = TooLarge();
            return LoadResult::Failed;
        }
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly)
            || (*bytes = file.read(kMaxFileSize + 1), file.error() != QFileDevice::NoError)) {
            *reason = info.isReadable()
                ? u"Файл не удаётся прочитать. Проверьте диск."_s
                : u"У вас нет прав на чтение файла. Попросите владельца компьютера открыть вам доступ к нему."_s;
            *detail = file.errorString();
            return LoadResult::Failed;
        }
        if (bytes->size() > kMaxFileSize) {
            if (oversize == Oversize::Refuse) {
                *reason = TooLarge();
                return LoadResult::Failed;
            }
            bytes->truncate(bytes->lastIndexOf('\n', kMaxFileSize - 1) + 1);
        }
        return LoadResult::Loaded;
    }

    QString StripQuotes(const QString& value)
    {
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            return value.mid(1, value.size() - 2);
        return value;
    }

    QString Truncated(const QString& text, int bufferSize)
    {
        if (bufferSize <= 1)
            return {};
        if (text.size() <= bufferSize - 1)
            return text;
        QString cut = text.left(bufferSize - 1);
        if (cut.back().isHighSurrogate())
            cut.chop(1);
        return cut;
    }

    [[noreturn]] void Fail(const QString& text)
    {
        throw data::DbError(text);
    }

    QString CharacterAt(const QString& text, qsizetype i)
    {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            return text.mid(i, 2);
        return text.mid(i, 1);
    }

} // namespace

QString GetPrivateProfileString(
    const QString& section, const QString& key, const QString& defaultValue, const QString& filePath, int bufferSize)
{
    // Windows drops trailing blanks of the default too.
    QString result = defaultValue;
    while (!result.isEmpty() && IsBlank(result.back().unicode()))
        result.chop(1);

    const QString sectionName = Trimmed(section);
    const QString keyName = Trimmed(key);
    QByteArray bytes;
    QString reason;
    QString detail;
    if (!sectionName.isEmpty() && !keyName.isEmpty()
        && LoadFile(filePath, &bytes, &reason, &detail, Oversize::Cut) == LoadResult::Loaded) {
        const Profile profile = Parse(std::move(bytes));
        const Match match = Find(profile, sectionName, keyName);
        if (match.key >= 0) {
            const Line& line = profile.lines[match.key];
            result = StripQuotes(profile.Decode(line.valueBegin, line.valueEnd));
        }
    }
    return Truncated(result, bufferSize);
}

int GetPrivateProfileInt(const QString& section, const QString& key, const QString& filePath)
{
    return data::LeadingInt(GetPrivateProfileString(section, key, QString(), filePath));
}

namespace {

    // The file's bytes with one key set, as WritePrivateProfileStringA leaves them.
    QByteArray WithKey(const Profile& profile, const QString& sectionName, const QString& keyName,
        const QByteArray& sectionBytes, const QByteArray& keyBytes, const QByteArray& valueBytes)
    {
        const QByteArray& old = profile.bytes;
        const QByteArray& eol = profile.eol;
        const Match match = Find(profile, sectionName, keyName);
        if (match.key >= 0) {
            // Only the value's bytes change; the name, its spacing and the line ending stay.
            const Line& line = profile.lines[match.key];
            return old.left(line.valueBegin) + valueBytes + old.mid(line.end);
        }
        if (match.section >= 0) {
            // The new key goes after the last non-blank line of the section.
            qsizetype anchor = match.section;
            for (qsizetype i = match.section + 1;
                 i < profile.lines.size() && profile.lines[i].kind != Line::Kind::Section; ++i) {
                if (profile.lines[i].kind != Line::Kind::Blank)
                    anchor = i;
            }
            const Line& after = profile.lines[anchor];
            QByteArray added;
            if (after.next == after.end) // the last line, without its line ending
                added += eol;
            added += keyBytes + '=' + valueBytes + eol;
            return old.left(after.next) + added + old.mid(after.next);
        }
        QByteArray result = old;
        if (!result.isEmpty() && !result.endsWith('\n') && result != kUtf8Bom)
            result += eol;
        if (!profile.lines.isEmpty() && profile.lines.back().kind != Line::Kind::Blank)
            result += eol;
        return result + '[' + sectionBytes + ']' + eol + keyBytes + '=' + valueBytes + eol;
    }

} // namespace

void WritePrivateProfileString(
    const QString& section, const QString& key, const QString& value, const QString& filePath)
{
    WritePrivateProfileStrings(section, { { key, value } }, filePath);
}

void WritePrivateProfileStrings(
    const QString& section, const QList<std::pair<QString, QString>>& entries, const QString& filePath)
{
    const QString fileName = QDir::toNativeSeparators(filePath);
    if (filePath.isEmpty())
        Fail(u"Не задано имя файла настроек."_s);

    const QString sectionName = Trimmed(section);
    if (sectionName.isEmpty() || HasLineBreak(sectionName))
        Fail(u"Недопустимое имя раздела «%1» для файла настроек «%2»."_s.arg(section, fileName));
    for (const auto& [key, value] : entries) {
        const QString keyName = Trimmed(key);
        // A key that starts like a comment or a section, or holds '=', would not read back.
        if (keyName.isEmpty() || HasLineBreak(keyName) || keyName.contains(u'=') || keyName.startsWith(u';')
            || keyName.startsWith(u'['))
            Fail(u"Недопустимое имя параметра «%1» для файла настроек «%2»."_s.arg(key, fileName));
        if (HasLineBreak(value))
            Fail(u"Значение параметра «%1» содержит перевод строки или нулевой символ; в файл настроек «%2» "
                 u"его записать нельзя."_s.arg(keyName, fileName));
    }

    QByteArray bytes;
    QString reason;
    QString detail;
    const LoadResult loaded = LoadFile(filePath, &bytes, &reason, &detail, Oversize::Refuse);
    if (loaded == LoadResult::Failed)
        Fail(u"Не удалось прочитать файл настроек «%1».\n%2 Файл не изменён.%3"_s.arg(
            fileName, reason, data::Details(detail)));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        Fail(u"Файл настроек «%1» записан в кодировке UTF-16; изменить его нельзя. Файл не изменён."_s.arg(fileName));
    const QString unchanged = loaded == LoadResult::Loaded ? u" Файл не изменён."_s : QString();

    // Every key is set on the bytes in memory, in order; the file is replaced once.
    const QByteArray old = bytes;
    for (const auto& [key, value] : entries) {
        const Profile profile = Parse(std::move(bytes));
        QByteArray sectionBytes;
        QByteArray keyBytes;
        QByteArray valueBytes;
        QString badCharacter;
        const auto encode = [&](const QString& text, QByteArray* out) {
            const qsizetype bad = Encode(profile.encoding, text, out);
            if (bad >= 0)
                badCharacter = CharacterAt(text, bad);
            return bad < 0;
        };
        const QString keyName = Trimmed(key);
        if (!encode(sectionName, &sectionBytes) || !encode(keyName, &keyBytes) || !encode(value, &valueBytes)) {
            const QString why = profile.encoding == Encoding::Cp1251 ? u"в кодировке Windows-1251 его нет"_s
                                                                     : u"это половина суррогатной пары"_s;
            Fail(u"Символ «%1» нельзя записать в файл настроек «%2»: %3.%4"_s.arg(
                badCharacter, fileName, why, unchanged));
        }
        bytes = WithKey(profile, sectionName, keyName, sectionBytes, keyBytes, valueBytes);
    }

    if (loaded == LoadResult::Loaded && bytes == old)
        return;
    // A file past the limit would read as empty afterwards.
    if (bytes.size() > kMaxFileSize)
        Fail(u"Файл настроек «%1» не изменён: с новым значением он стал бы больше %2 МБ, а такой файл программа "
             u"не читает. Удалите из него лишнее."_s.arg(fileName)
                 .arg(kMaxFileSize / (1024 * 1024)));

    const auto writeFailed = [&](const QString& fallback, const QString& systemText) {
        const QString cause = data::ReplaceProblem(filePath);
        Fail(u"Не удалось записать файл настроек «%1».\n%2%3%4"_s.arg(
            fileName, cause.isEmpty() ? fallback : cause, unchanged, data::Details(systemText)));
    };
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        writeFailed(u"Новый файл не удалось создать рядом с прежним."_s, file.errorString());
    // commit() ignores an error of its own final flush (QTBUG-75077) and would rename a cut-off file over
    // the old one, so the data is flushed here and checked first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString systemText = file.errorString();
        file.cancelWriting();
        writeFailed(u"Ошибка записи на диск; возможно, диск заполнен."_s, systemText);
    }
    if (!file.commit())
        writeFailed(u"Прежний файл не удалось заменить новым."_s, file.errorString());
}

} // namespace settings
