#include "app/filedialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace app {

namespace {
    FileDialogHook& Hook()
    {
        static FileDialogHook hook;
        return hook;
    }
} // namespace

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}

QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filterName, const QString& pattern)
{
    const QString filter = QStringLiteral("%1 (%2)").arg(filterName, pattern);
    if (Hook())
        return FileDialogHook(Hook())(title, filter);
    // Qt's own dialog, so it speaks Russian with the program's translations on every desktop.
    const QString path = QFileDialog::getOpenFileName(
        parent, title, QString(), filter, nullptr, QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

} // namespace app
