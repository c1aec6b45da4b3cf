#pragma once

#include "data/recordref.h"

#include <functional>

class QWidget;

namespace app {

class CListCtrl;

// A list row as the list read it: its rowid, position and the texts of the first columns, which show
// `fields` as stored.
data::RecordRef ListedRecord(const CListCtrl* list, int row, std::span<const QLatin1String> fields);

// Runs a command on a listed record. When the record turns out gone (data::RecordGone), nothing was
// written: the user is told and the list refreshed. False then.
bool ActOnListed(QWidget* parent, const std::function<void()>& act, const std::function<void()>& refresh);

// Tells the user that a listed record is gone, after refreshing the list.
void TellRecordGone(QWidget* parent, const std::function<void()>& refresh);

// Saves an open form: changes the record the form read (`read`). When that record is gone, the user is
// told, the list refreshed, and asked whether to save the input as a new record. False when nothing was
// written; the form then stays open with its input.
bool SaveForm(QWidget* parent, const QString& basePath, QLatin1String table, const data::RecordRef& read,
    const std::function<void(data::CDaoRecordset&)>& setFields, const std::function<void()>& refresh);

} // namespace app
