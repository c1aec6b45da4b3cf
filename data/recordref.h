#pragma once

#include "data/dberror.h"

#include <QLatin1String>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace data {

class CDaoDatabase;
class CDaoRecordset;

// A record as a window read it: its rowid (or, without one, its position in record order) and the
// values of the fields it read. The record is still there only when all of them still hold: SQLite
// reuses a deleted last rowid, and another copy of the program may have changed the record.
struct RecordRef {
    qint64 rowid = -1;
    int position = -1;
    std::vector<QLatin1String> fields;
    QStringList values; // may be shorter than `fields`: only these are compared

    // The current record of `rs` with these fields.
    static RecordRef Of(const CDaoRecordset& rs, std::span<const QLatin1String> fields);
};

// The record a window acts on was deleted or changed by another program; nothing was written.
class RecordGone : public DbError {
public:
    RecordGone();
};

// Writes a form's record into `table`: with `read`, changes that record after checking, in the same
// transaction, that it is still as read (RecordGone when not); without, appends one record.
void StoreRecord(
    CDaoDatabase& db, QLatin1String table, const RecordRef* read, const std::function<void(CDaoRecordset&)>& setFields);

// Deletes the record after the same check; RecordGone when it is gone.
void DeleteRecord(CDaoDatabase& db, QLatin1String table, const RecordRef& ref);

} // namespace data
