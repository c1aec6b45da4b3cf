#pragma once

#include <QString>
#include <QStringList>

namespace data {

// A file of a catalogue folder, looked up as a folder copied from a Windows disk needs it: the exact name,
// else the one file whose name matches ignoring letter case ("BASEFILM.MDB").
struct FoundFile {
    QString path; // empty when there is no such file, or when several match
    QStringList ambiguous; // the names that match when there are several
};
FoundFile FindFileIgnoringCase(const QString& folder, const QString& name);

} // namespace data
