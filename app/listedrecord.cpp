#include "app/listedrecord.h"

#include "app/dialoglayer.h"
#include "app/listctrl.h"
#include "app/msgbox.h"
#include "data/daodb.h"

namespace app {

void TellRecordGone(QWidget* parent, const std::function<void()>& refresh)
{
    // Refreshed first: the message says the list already is.
    if (refresh)
        refresh();
    MessageBox(parent, data::RecordGone().Text());
}

data::RecordRef ListedRecord(const CListCtrl* list, int row, std::span<const QLatin1String> fields)
{
    data::RecordRef ref { list->GetItemData(row), row, { fields.begin(), fields.end() }, {} };
    for (int c = 0; c < int(fields.size()); ++c)
        ref.values << list->GetItemText(row, c);
    return ref;
}

bool ActOnListed(QWidget* parent, const std::function<void()>& act, const std::function<void()>& refresh)
{
    try {
        act();
        return true;
    } catch (const data::RecordGone&) {
        TellRecordGone(parent, refresh);
        return false;
    }
}

bool SaveForm(QWidget* parent, const QString& basePath, QLatin1String table, const data::RecordRef& read,
    const std::function<void(data::CDaoRecordset&)>& setFields, const std::function<void()>& refresh)
{
    const auto store = [&](const data::RecordRef* same) {
        data::CDaoDatabase db;
        db.Open(basePath);
        data::StoreRecord(db, table, same, setFields);
    };
    if (ActOnListed(
            parent, [&] { store(&read); }, refresh))
        return true;
    if (MessageBox(parent, QStringLiteral("Сохранить введённое как новую запись?"), Buttons::OkCancel) != IDOK)
        return false;
    store(nullptr);
    return true;
}

} // namespace app
