#include "data/filenames.h"

#include <QDir>
#include <QFileInfo>

namespace data {

FoundFile FindFileIgnoringCase(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact) || QFileInfo(exact).isSymLink())
        return { exact, {} };
    // Case folding, not just upper/lower: a name may hold Cyrillic letters too.
    const QString folded = name.toCaseFolded();
    QStringList matches;
    const QStringList entries
        = dir.entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.toCaseFolded() == folded)
            matches << entry;
    if (matches.size() == 1)
        return { dir.filePath(matches.first()), {} };
    if (matches.size() > 1)
        return { {}, matches };
    return {};
}

} // namespace data
