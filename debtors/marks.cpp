#include "debtors/marks.h"

#include <array>

namespace debtors {

namespace {
struct Mark {
    const char16_t* entry;
    const char16_t* code;
};
constexpr std::array<Mark, 3> kMarks{{{kMarkCancelled, u"N"}, {kMarkWhiteList, u"B"}, {kMarkBlackList, kCodeBlackList}}};
} // namespace

QStringList MarkEntries()
{
    QStringList entries;
    for (const Mark& m : kMarks)
        entries << QString::fromUtf16(m.entry);
    return entries;
}

QString MarkCode(const QString& entry)
{
    for (const Mark& m : kMarks)
        if (entry == QStringView(m.entry))
            return QString::fromUtf16(m.code);
    return {};
}

QString MarkEntry(const QString& code)
{
    const int index = MarkIndex(code);
    return index < 0 ? QString() : QString::fromUtf16(kMarks[size_t(index)].entry);
}

int MarkIndex(const QString& code)
{
    for (size_t i = 0; i < kMarks.size(); ++i)
        if (code == QStringView(kMarks[i].code))
            return int(i);
    return -1;
}

} // namespace debtors
