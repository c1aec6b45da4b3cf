#pragma once

#include "app/rcscript.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

#include <functional>

class QMenuBar;
class QAbstractSlider;

namespace app {

class CDataExchange;
class CStatusBar;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Slider scroll codes, as the handlers receive them.
enum ScrollCode {
    SB_LINELEFT = 0,
    SB_LINERIGHT = 1,
    SB_PAGELEFT = 2,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_LEFT = 6,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8
};

// A modal window built from a dialog template of the resource scripts. Controls are created from the
// template (rectangles in dialog units turned into pixels for the current font), found by id, and exchange
// their values with the window's fields in DoDataExchange. Commands from buttons, menus and key tables
// are routed by id to the handlers the window registers; a database error inside a handler stops that
// handler and is shown to the user.
class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(int templateId, QWidget* parent = nullptr);
    ~CDialog() override;

    // Runs the window modally and returns IDOK, IDCANCEL or the value given to EndDialog.
    int DoModal();
    void EndDialog(int result);
    bool IsEnded() const { return m_ended; }
    int Result() const { return m_result; }

    QWidget* GetDlgItem(int id) const;
    template <class T> T* Item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    // Pushes the fields to the controls (false) or takes them from the controls (true).
    bool UpdateData(bool saveAndValidate = true);
    // Runs a command by id, as a click, a menu item or a key would.
    void SendCommand(int id);
    // The client area, parent of every control.
    QWidget* Client() const { return m_client; }
    const rc::Dialog& Template() const { return *m_template; }

    // Dialog units to pixels for the window's font.
    QRect MapDialogRect(const QRect& dialogUnits) const;

    // Pixel rectangles laid out for the classic 8-point dialog font (base units 6 x 13), in pixels of the
    // font in use, so controls placed at run time keep their places beside the template's.
    QRect MapClassicPixels(const QRect& pixels) const;

    // Moves a control to a pixel rectangle of the client area.
    void MoveControl(int id, const QRect& pixels);
    void ShowControl(int id, bool show);

    // Tests answer modal windows through this hook: it gets the shown window instead of a modal run,
    // acts on it and must end it. A window the hook leaves open is cancelled and counted as a failure.
    using ModalHook = std::function<void(CDialog&)>;
    static void SetModalHook(ModalHook hook);
    static int UnansweredModalRuns();

    // Ids a window asked for (a handler's or a control's) that its template, menu and key table do not
    // define. Counted in every build type: a test opens each window and expects none.
    static int UnknownIdCount();

    // Key tables: keys translated into commands before the focused control sees them.
    void LoadAccelerators(int tableId);
    bool TranslateAccelerator(const QKeyEvent& event);
    // Enter pressed outside a push button.
    void RunDefaultAction();

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    // Enter outside a push button: the confirm command unless a window replaces it.
    virtual void OnDefaultAction();

    // Message map.
    using Handler = std::function<void()>;
    void OnCommand(int id, Handler handler);
    template <class T> void OnCommand(int id, void (T::*member)())
    {
        OnCommand(id, [this, member] { (static_cast<T*>(this)->*member)(); });
    }
    // A user's choice in a combo box (not a programmatic one).
    void OnSelChange(int id, Handler handler);
    template <class T> void OnSelChange(int id, void (T::*member)())
    {
        OnSelChange(id, [this, member] { (static_cast<T*>(this)->*member)(); });
    }
    // Scroll notifications of the window's horizontal sliders.
    void OnHScroll(std::function<void(int code, int position, QAbstractSlider* slider)> handler);
    // A list control's row state change, with the row (below 0 for none).
    void OnItemChanged(int id, std::function<void(int row)> handler);

    // Runs a handler as a command: a database error stops it and is shown in a message box.
    void Guarded(const Handler& handler);

    void reject() override;
    void accept() override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    QMenuBar* MenuBar() const { return m_menuBar; }
    void AttachStatusBar(CStatusBar* bar);

private:
    void Build();
    void Initialize();
    QWidget* CreateControl(const rc::Control& c);
    void BuildMenu(int menuId);
    void LayoutFrame();
    void FocusFirstTabStop();
    bool Defines(int id) const;
    void CountUnknown(int id) const;

    const rc::Dialog* m_template = nullptr;
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    CStatusBar* m_statusBar = nullptr;
    QHash<int, QWidget*> m_items;
    QHash<int, Handler> m_commands;
    QList<std::function<void(int, int, QAbstractSlider*)>> m_hscroll;
    const QList<rc::Accelerator>* m_accel = nullptr;
    QSize m_baseUnits;
    bool m_initialized = false;
    bool m_defaultFocus = true;
    bool m_ended = false;
    bool m_inExec = false;
    int m_result = IDCANCEL;
};

} // namespace app
