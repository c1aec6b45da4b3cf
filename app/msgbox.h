#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

enum class Buttons { Ok, OkCancel };

// The program's message box: captioned with its name, no icon, "OK" or "OK" and "Отмена".
// Returns IDOK or IDCANCEL.
int MessageBox(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok);

// Tests answer message boxes through this hook instead of showing them.
using MessageBoxHook = std::function<int(const QString& text, Buttons buttons)>;
void SetMessageBoxHook(MessageBoxHook hook);

} // namespace app
