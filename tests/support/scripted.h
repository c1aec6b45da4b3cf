#pragma once

#include "testbase.h"

#include "app/dialoglayer.h"

#include <QStringList>

#include <deque>
#include <functional>

class CVidarroDlg;
class QComboBox;
class QSlider;

// Answers the program's message boxes, file dialogs and modal windows in the order a test expects them.
// Anything unexpected is answered with Cancel and reported by Done().
class ScriptedUi {
public:
    ScriptedUi();
    ~ScriptedUi();
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    void ExpectMessage(const QString& text, int answer = app::IDOK) { Expect({ Kind::Message, text, answer }); }
    // A message whose text comes from the database engine: only a part of it is known.
    void ExpectMessageContaining(const QString& part, int answer = app::IDOK)
    {
        Expect({ Kind::Message, part, answer, true });
    }
    void ExpectFile(const QString& path) { Expect({ Kind::File, path }); }
    // The script gets the shown window and must end it (click "OK", "Отмена", ...).
    template <class D> void ExpectDialog(std::function<void(D&)> script)
    {
        const QLatin1String name(D::staticMetaObject.className());
        Expect({ Kind::Dialog, name, 0, false, [this, name, script](app::CDialog& dlg) {
                    if (auto* d = qobject_cast<D*>(&dlg))
                        return script(*d);
                    m_failures << QStringLiteral("expected window %1, got \"%2\"").arg(name, dlg.windowTitle());
                } });
    }

    bool Done(QString* why) const;

private:
    enum class Kind { Message, File, Dialog };
    struct Step {
        Kind kind;
        QString text; // the message, the file, or the window's class
        int answer = 0;
        bool partial = false;
        std::function<void(app::CDialog&)> script = {};
    };
    void Expect(Step step) { m_queue.push_back(std::move(step)); }
    // The next step when it is of this kind, else a failure and a step that answers Cancel.
    Step Take(Kind kind, const QString& what);
    std::deque<Step> m_queue;
    QStringList m_failures;
};

#define VERIFY_SCRIPT(ui)                                                                                              \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        QVERIFY2((ui).Done(&why_), qPrintable(why_));                                                                  \
    } while (false)

// Runs window D on the catalogue's base (and settings file, where it reads one); `script` acts on the shown
// window and must end it (none: the test queued it already), `setup` gives it what else its opener would.
template <class D>
int RunDialog(
    const TempCatalogue& cat, ScriptedUi& ui, std::function<void(D&)> script, const std::function<void(D&)>& setup = {})
{
    if (script)
        ui.ExpectDialog<D>(std::move(script));
    D dlg;
    if constexpr (requires { dlg.m_strBasePath; })
        dlg.m_strBasePath = cat.BasePath();
    if constexpr (requires { dlg.m_strIniPath; })
        dlg.m_strIniPath = cat.IniPath();
    if (setup)
        setup(dlg);
    return dlg.DoModal();
}
// Runs the main window in the catalogue's folder; `script` acts on it, the window is closed after it.
void RunMainWindow(TempCatalogue& cat, ScriptedUi& ui, const std::function<void(CVidarroDlg&)>& script);

// User actions and views the dialog layer has no call for.
// Clicks a control near its top left corner, where an option button has its mark.
void Click(app::CDialog& dlg, int id);
// The texts of edits, in the order of their ids; one column of rows.
QStringList EditTexts(const app::CDialog& dlg, const QList<int>& ids);
QStringList Cells(const QList<QStringList>& rows, int column = 0);
// Chooses a combo box entry as a user's click in its drop-down does.
void ChooseEntry(QComboBox* combo, int index);
// Drags a slider's thumb to a position and releases it there.
void DragThumb(QSlider* slider, int position);
// Every row of a list control as its cell texts.
QList<QStringList> ListRows(const app::CListCtrl* list);
// Types text into a control one character at a time, as a user would (non-ASCII included).
void TypeText(QWidget* widget, const QString& text);
// Presses a key on a control, through the program's key routing.
void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
