#include "app/msgbox.h"

#include "app/cdialog.h"

#include <QMessageBox>
#include <QPushButton>

namespace app {

namespace {
    MessageBoxHook& Hook()
    {
        static MessageBoxHook hook;
        return hook;
    }
} // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

int MessageBox(QWidget* parent, const QString& text, Buttons buttons)
{
    if (Hook()) {
        const MessageBoxHook hook = Hook(); // it may replace itself while it runs
        return hook(text, buttons);
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vidarro"), text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = nullptr;
    if (buttons == Buttons::OkCancel)
        cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel ? cancel : ok);
    box.exec();
    return box.clickedButton() == ok ? IDOK : IDCANCEL;
}

} // namespace app
