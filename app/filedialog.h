#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The file-open dialog: one filter, returns the chosen file's full path or an empty text when cancelled.
QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filterName, const QString& pattern);

// Tests choose the file through this hook instead of the dialog.
using FileDialogHook = std::function<QString(const QString& title, const QString& filter)>;
void SetFileDialogHook(FileDialogHook hook);

} // namespace app
