#include "data/recordref.h"

#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"

namespace data {

RecordRef RecordRef::Of(const CDaoRecordset& rs, std::span<const QLatin1String> fields)
{
    RecordRef ref { rs.RowId(), -1, { fields.begin(), fields.end() }, {} };
    for (QLatin1String f : fields)
        ref.values << rs.GetFieldValue(f);
    return ref;
}

RecordGone::RecordGone()
    : DbError(QStringLiteral("Запись удалена или изменена другой программой. Список обновлён."))
{
}

void StoreRecord(
    CDaoDatabase& db, QLatin1String table, const RecordRef* read, const std::function<void(CDaoRecordset&)>& setFields)
{
    // The check and the write hold the file together: no other copy changes the record in between.
    CDaoDatabase::Transaction transaction(db);
    CDaoRecordset rs(db);
    rs.Open(table);
    if (read) {
        rs.MoveToSameRecord(*read);
        rs.Edit();
    } else {
        rs.AddNew();
    }
    setFields(rs);
    rs.Update();
    transaction.Commit();
}

void DeleteRecord(CDaoDatabase& db, QLatin1String table, const RecordRef& ref)
{
    CDaoDatabase::Transaction transaction(db);
    CDaoRecordset rs(db);
    rs.Open(table);
    rs.MoveToSameRecord(ref);
    rs.Delete();
    transaction.Commit();
}

} // namespace data
