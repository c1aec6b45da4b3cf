// vidarro-mdbread: reads a Jet 3 / Jet 4 (.mdb) file with libmdb and writes what was asked for to
// stdout in the stream described in mdbframe.h.
//
//   vidarro-mdbread tables FILE                  the catalogue's table names, system tables included
//   vidarro-mdbread rows FILE TABLE COLUMN...    every row of TABLE, the named columns as text
//
// It is a process of its own because libmdb trusts the file: a damaged one may crash it or send it
// round in circles, and the program must survive both. Errors go to stderr, with an exit code.

#include "mdbframe.h"

#include <glib.h>

#include <mdbtools.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace frame = import::mdbframe;

[[noreturn]] void Fail(int code, const std::string& message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "vidarro-mdbread: %s\n", message.c_str());
    std::_Exit(code);
}

// The framed output. libmdb prints warnings with printf here and there, so the stream gets its own
// descriptor and stdout is pointed at stderr.
class COutput {
public:
    COutput(std::uint64_t limit)
        : m_limit(limit)
    {
        const int fd = dup(STDOUT_FILENO);
        if (fd < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
            Fail(frame::kExitUsage, "cannot set up the output");
        // A larger pipe lets the reader take the rows in fewer, larger pieces; where it is refused, the
        // default does.
        fcntl(fd, F_SETPIPE_SZ, 1 << 20);
        m_file = fdopen(fd, "wb");
        if (!m_file)
            Fail(frame::kExitUsage, "cannot set up the output");
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
        Write(frame::kMagic, frame::kMagicSize);
    }

    void String(const char* text, std::size_t size)
    {
        Item(frame::kTagString, text, size);
        ++m_strings;
    }
    void Row() { Item(frame::kTagRow, nullptr, 0); }
    void End()
    {
        const std::string count = std::to_string(m_strings);
        Item(frame::kTagEnd, count.data(), count.size());
        if (std::fflush(m_file) != 0)
            Fail(frame::kExitUsage, "cannot write the output");
    }

private:
    void Item(char tag, const char* data, std::size_t size)
    {
        if (size > 0x7fffffffu)
            Fail(frame::kExitTooMuch, "value too long: the file is damaged");
        m_written += frame::kItemHeaderSize + size;
        if (m_written > m_limit)
            Fail(frame::kExitTooMuch, "more data than the file can hold: the file is damaged");
        const auto n = static_cast<std::uint32_t>(size);
        const char header[frame::kItemHeaderSize]
            = { tag, char(n & 0xff), char((n >> 8) & 0xff), char((n >> 16) & 0xff), char((n >> 24) & 0xff) };
        Write(header, sizeof header);
        if (size)
            Write(data, size);
    }
    void Write(const char* data, std::size_t size)
    {
        if (std::fwrite(data, 1, size, m_file) != size)
            Fail(frame::kExitUsage, "cannot write the output");
    }

    std::FILE* m_file = nullptr;
    std::uint64_t m_limit;
    std::uint64_t m_written = 0;
    std::uint64_t m_strings = 0;
};

std::uint64_t FileSize(const char* path)
{
    struct stat st { };
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        Fail(frame::kExitNotDatabase, std::string("not a readable file: ") + path);
    return static_cast<std::uint64_t>(st.st_size);
}

MdbHandle* OpenBase(const char* path)
{
    // Access 97 bases keep Russian text in code page 1251; libmdb would assume 1252.
    setenv("MDB_JET3_CHARSET", "CP1251", 1);
    setenv("MDB_ICONV", "UTF-8", 1);
    unsetenv("MDBOPTS");

    MdbHandle* mdb = mdb_open(path, MDB_NOFLAGS);
    if (!mdb)
        Fail(frame::kExitNotDatabase, "not a Jet database");
    if (mdb->f->jet_version > MDB_VER_ACCDB_2019)
        Fail(frame::kExitNotDatabase, "unknown Jet version");
    // A 0-byte or garbage file can get this far; the catalogue is the real test.
    if (!mdb_read_catalog(mdb, MDB_TABLE) || !mdb->catalog || mdb->catalog->len == 0)
        Fail(frame::kExitNotDatabase, "the catalogue cannot be read");
    return mdb;
}

std::vector<MdbCatalogEntry*> Tables(MdbHandle* mdb)
{
    std::vector<MdbCatalogEntry*> tables;
    for (guint i = 0; i < mdb->catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry && entry->object_type == MDB_TABLE)
            tables.push_back(entry);
    }
    return tables;
}

int ListTables(const char* path)
{
    const std::uint64_t size = FileSize(path);
    MdbHandle* mdb = OpenBase(path);
    COutput out(frame::OutputLimit(size, 1));
    for (MdbCatalogEntry* entry : Tables(mdb))
        out.String(entry->object_name, std::strlen(entry->object_name));
    out.End();
    return frame::kExitOk;
}

bool SameFolded(const char* a, const char* b)
{
    gchar* fa = g_utf8_casefold(a, -1);
    gchar* fb = g_utf8_casefold(b, -1);
    const bool same = std::strcmp(fa, fb) == 0;
    g_free(fa);
    g_free(fb);
    return same;
}

// Field names are matched as Jet does, ignoring case; an exact match wins.
MdbColumn* FindColumn(MdbTableDef* table, const char* name)
{
    MdbColumn* folded = nullptr;
    for (guint i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        if (std::strcmp(col->name, name) == 0)
            return col;
        if (!folded && SameFolded(col->name, name))
            folded = col;
    }
    return folded;
}

bool IsTextual(int type)
{
    switch (type) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_TEXT:
    case MDB_MEMO:
    case MDB_REPID:
    case MDB_NUMERIC:
        return true;
    default:
        return false;
    }
}

std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Jet dates: days since 30.12.1899 with the time of day as the fraction; before that day the
// integer part counts backwards while the fraction still counts forwards. Written as the Russian
// Access shows them: the date alone when there is no time, the time alone on day zero.
std::string DateText(double value)
{
    char text[128];
    if (!std::isfinite(value) || value < -657434.0 || value >= 2958466.0) {
        std::snprintf(text, sizeof text, "%.16g", value);
        return text;
    }
    const double whole = std::trunc(value);
    auto days = static_cast<long long>(whole);
    auto seconds = static_cast<long long>(std::llround(std::fabs(value - whole) * 86400.0));
    seconds = std::min(seconds, 86399LL);

    // Civil date from a day count (days since 1970-01-01), proleptic Gregorian calendar.
    long long z = days - 25569 + 719468; // 30.12.1899 is day -25569 of the Unix epoch
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);

    // In range now: year 100..9999, so the fields fit their widths.
    const int d = int(day), mo = int(month), y = int(year);
    const int h = int(seconds / 3600), mi = int(seconds / 60 % 60), s = int(seconds % 60);
    if (days == 0 && seconds != 0)
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", h, mi, s);
    else if (seconds == 0)
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", d, mo, y);
    else
        std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", d, mo, y, h, mi, s);
    return text;
}

double Le64Double(const unsigned char* p)
{
    const std::uint64_t bits = std::uint64_t(Le32(p)) | std::uint64_t(Le32(p + 4)) << 32;
    return std::bit_cast<double>(bits);
}

int ListRows(const char* path, const char* tableName, int columnCount, char** columnNames)
{
    const std::uint64_t size = FileSize(path);
    MdbHandle* mdb = OpenBase(path);

    // Exact name: the caller has chosen it from the list of names, and Jet's own lookup would
    // also accept a name that differs in case.
    MdbCatalogEntry* entry = nullptr;
    for (MdbCatalogEntry* candidate : Tables(mdb)) {
        if (std::strcmp(candidate->object_name, tableName) == 0) {
            entry = candidate;
            break;
        }
    }
    if (!entry)
        Fail(frame::kExitNoTable, std::string("no table ") + tableName);

    MdbTableDef* table = mdb_read_table(entry);
    if (!table)
        Fail(frame::kExitDamaged, "the table definition cannot be read");
    if (!table->columns && !mdb_read_columns(table))
        Fail(frame::kExitDamaged, "the column definitions cannot be read");
    if (!table->columns || table->num_cols == 0 || table->num_cols != table->columns->len)
        Fail(frame::kExitDamaged, "the column definitions cannot be read");

    // libmdb writes a Yes/No value into its bound buffer whether or not it was asked for, so every
    // such column gets one. Everything else stays unbound: only the wanted columns get converted.
    std::vector<std::vector<char>> boolBuffers;
    boolBuffers.reserve(table->num_cols);
    for (guint i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        col->bind_ptr = nullptr;
        col->len_ptr = nullptr;
        if (col->col_type == MDB_BOOL) {
            boolBuffers.emplace_back(64, '\0');
            col->bind_ptr = boolBuffers.back().data();
        }
    }
    mdb_set_boolean_fmt_numbers(mdb);

    std::vector<MdbColumn*> wanted;
    for (int i = 0; i < columnCount; ++i) {
        MdbColumn* col = FindColumn(table, columnNames[i]);
        if (!col)
            Fail(frame::kExitNoColumn, columnNames[i]);
        if (!IsTextual(col->col_type))
            Fail(frame::kExitBinaryColumn, col->name);
        wanted.push_back(col);
    }

    COutput out(frame::OutputLimit(size, std::uint64_t(columnCount)));
    const std::size_t pageSize = mdb->fmt ? std::size_t(mdb->fmt->pg_size) : std::size_t(MDB_PGSIZE);
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        out.Row();
        for (MdbColumn* col : wanted) {
            if (col->col_type == MDB_BOOL) {
                const char* text = static_cast<const char*>(col->bind_ptr);
                out.String(text, strnlen(text, 63));
                continue;
            }
            const int len = col->cur_value_len;
            const int start = col->cur_value_start;
            // NULL and the zero-length text look the same here, and both are read as "".
            if (len <= 0 || start < 0 || std::size_t(start) + std::size_t(len) > pageSize) {
                out.String("", 0);
                continue;
            }
            if (col->col_type == MDB_DATETIME) {
                const std::string text = len >= 8 ? DateText(Le64Double(mdb->pg_buf + start)) : std::string();
                out.String(text.data(), text.size());
                continue;
            }
            // Size the conversion buffer to the value, so that no long memo is cut short: its UTF-8
            // text takes at most three bytes per stored byte.
            std::size_t stored = std::size_t(len);
            if (col->col_type == MDB_MEMO && len >= MDB_MEMO_OVERHEAD)
                stored = std::max<std::size_t>(Le32(mdb->pg_buf + start) & 0x00ffffffu, pageSize);
            mdb_set_bind_size(mdb, std::max<std::size_t>(3 * stored + 64, MDB_BIND_SIZE));

            char* text = col->col_type == MDB_NUMERIC ? mdb_numeric_to_string(mdb, start, col->col_scale, col->col_prec)
                                                      : mdb_col_to_string(mdb, mdb->pg_buf, start, col->col_type, len);
            if (text) {
                out.String(text, std::strlen(text));
                g_free(text);
            } else {
                out.String("", 0);
            }
        }
    }
    out.End();
    return frame::kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "tables") == 0)
        return ListTables(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "rows") == 0)
        return ListRows(argv[2], argv[3], argc - 4, argv + 4);
    std::fprintf(stderr,
        "usage: vidarro-mdbread tables FILE\n"
        "       vidarro-mdbread rows FILE TABLE COLUMN...\n");
    return frame::kExitUsage;
}
