#include "debtors/marks.h"

#include <array>

namespace debtors {

namespace {
    struct Mark {
        const char16_t* entry;
        const char16_t* code;
    };
    constexpr std::array<Mark, 3> kMarks { { { kMarkCancelled, u"N" }, { kMarkWhiteList, u"B" },
        { kMarkBlackList, kCodeBlackList } } };
} // namespace

QStringList MarkEntries()
{
    // Built once: a long list shares these strings instead of making one per row.
    static const QStringList entries = [] {
        QStringList list;
        for (const Mark& m : kMarks)
            list << QString::fromUtf16(m.entry);
        return list;
    }();
    return entries;
}

QString MarkCode(const QString& entry)
{
    static const QStringList codes = [] {
        QStringList list;
        for (const Mark& m : kMarks)
            list << QString::fromUtf16(m.code);
        return list;
    }();
    const qsizetype index = MarkEntries().indexOf(entry);
    return index < 0 ? QString() : codes[index];
}

QString MarkEntry(const QString& code)
{
    const int index = MarkIndex(code);
    return index < 0 ? QString() : MarkEntries()[index];
}

int MarkIndex(const QString& code)
{
    for (size_t i = 0; i < kMarks.size(); ++i)
        if (code == QStringView(kMarks[i].code))
            return int(i);
    return -1;
}

} // namespace debtors
