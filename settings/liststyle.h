#pragma once

#include <QString>

namespace settings {

// The extended style of a list window: the bits stored under "Table" in section "Config" (1 draws grid
// lines; a missing file or key reads as 0), plus full-row selection, which every list has.
quint32 ListStyle(const QString& iniPath);

} // namespace settings
