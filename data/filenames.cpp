#include "data/filenames.h"

#include <QDir>
#include <QFileInfo>

namespace data {

FoundFile FindFileIgnoringCase(const QString& folder, const QString& name)
{
    const QString exact = QDir(folder).filePath(name);
    if (QFileInfo::exists(exact))
        return {exact, {}};
    return {};
}

} // namespace data
