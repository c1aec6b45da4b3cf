#pragma once

#include <QString>

// Text rules shared by every window that stores or compares catalogue text.
namespace data {

// The placeholder stored in place of an empty input or a single blank.
inline constexpr char16_t kNoData[] = u"n/d";

// An input that is empty or exactly one blank is stored as "n/d"; anything else unchanged.
QString NdRule(const QString& input);

// C atoi(): leading blanks skipped, an optional sign, decimal digits up to the first other
// character; no digits give 0. Saturates instead of overflowing.
int LeadingInt(const QString& text);

// One letter case for whole-text comparisons that ignore case (Latin, Cyrillic, Ё/ё included).
QString FoldCase(const QString& text);

} // namespace data
