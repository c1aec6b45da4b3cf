#include "app/accel.h"

#include "app/cdialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace app {

namespace {
    // Russian ЙЦУКЕН letters and the Latin letters on the same keys.
    constexpr char16_t kCyrillic[] = u"ЙЦУКЕНГШЩЗФЫВАПРОЛДЯЧСМИТЬ";
    constexpr char kLatin[] = "QWERTYUIOPASDFGHJKLZXCVBNM";

    CDialog* OwningDialog(QWidget* w)
    {
        return w ? qobject_cast<CDialog*>(w->window()) : nullptr;
    }

    bool IsActive(const CDialog* dialog)
    {
        const QWidget* modal = QApplication::activeModalWidget();
        return modal ? modal == dialog : dialog->isActiveWindow() || QApplication::activeWindow() == nullptr;
    }
} // namespace

QKeyCombination TableKey(const QKeyEvent& event)
{
    int key = event.key();
    const QString text = event.text().toUpper();
    if (key >= 0x400 && key <= 0x4ff) {
        const QChar upper = QChar(char16_t(key)).toUpper();
        for (int i = 0; kCyrillic[i]; ++i)
            if (kCyrillic[i] == upper.unicode())
                key = Qt::Key_A + (kLatin[i] - 'A');
    }
    const Qt::KeyboardModifiers mods
        = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    return QKeyCombination(mods, Qt::Key(key));
}

void KeyRouter::Install()
{
    static KeyRouter* router = [] {
        auto* r = new KeyRouter(qApp);
        qApp->installEventFilter(r);
        return r;
    }();
    Q_UNUSED(router);
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    // Whatever is decided here is decided at the key's first receiver: keys that matter are consumed,
    // so they never travel on to the parents.
    CDialog* dialog = OwningDialog(w);
    if (!dialog || !IsActive(dialog))
        return false;
    auto* ke = static_cast<QKeyEvent*>(event);
    if (dialog->TranslateAccelerator(*ke))
        return true;

    if (ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter)
        return false;
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        button->click();
        return true;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w); edit && (ke->modifiers() & Qt::ControlModifier)) {
        if (!edit->isReadOnly())
            edit->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    dialog->RunDefaultAction();
    return true;
}

} // namespace app
