#pragma once

#include <QString>
#include <QStringList>

// The debtor's mark: the entry the user picks and the one-letter code METKA stores. Both directions compare
// whole texts exactly, letter case included.
namespace debtors {

inline constexpr char16_t kMarkCancelled[] = u"Отменина";
inline constexpr char16_t kMarkWhiteList[] = u"Белый список";
inline constexpr char16_t kMarkBlackList[] = u"Черный список";
inline constexpr char16_t kCodeBlackList[] = u"C";

// The entries of the mark list, in list order.
QStringList MarkEntries();
// "Отменина" -> "N", "Белый список" -> "B", "Черный список" -> "C"; any other text gives an empty code.
QString MarkCode(const QString& entry);
// The reverse; any other code gives an empty entry.
QString MarkEntry(const QString& code);
// The list index of a code, -1 for any other text.
int MarkIndex(const QString& code);

} // namespace debtors
