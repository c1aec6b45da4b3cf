#pragma once

#include <QKeyCombination>
#include <QObject>

class QKeyEvent;

namespace app {

// The key of an event as a key table sees it: letters of the Russian layout count as the Latin letters
// on the same keys, so Ctrl+Q works whichever layout is active.
QKeyCombination TableKey(const QKeyEvent& event);

// Sees every key press before the focused control: key tables of the active window win, Enter outside a
// push button runs the window's default action, Ctrl+Enter breaks a line in a multi-line edit.
class KeyRouter final : public QObject {
    Q_OBJECT
public:
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace app
