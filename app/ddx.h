#pragma once

#include <QString>

class QComboBox;
class QWidget;

namespace app {

class CDialog;

// One direction of the exchange between a window's fields and its controls.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate)
        , m_pDlgWnd(dialog)
    {
    }
    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

// Text of an edit or a static text. A text shown and left unchanged goes back exactly as it came, line
// breaks included (a stored CR LF survives an edit box that shows it as a line break or a blank).
void DDX_Text(CDataExchange* pDX, int id, QString& value);
// A number shown in decimal; a text that is no number leaves the field as it was.
void DDX_Text(CDataExchange* pDX, int id, int& value);

template <class T> void DDX_Control(CDataExchange* pDX, int id, T*& control);

// The selected entry of a combo box, -1 when none is selected or its own text field holds something else.
int ComboGetCurSel(const QComboBox* combo);
// Selects an entry; an index outside the list selects nothing.
void ComboSetCurSel(QComboBox* combo, int index);

// Read-only edits look read-only: the window's colour behind the text.
void SetEditReadOnly(QWidget* edit, bool readOnly);
bool IsEditReadOnly(const QWidget* edit);
// The text an edit shows, for windows and tests that set it directly.
QString EditText(const QWidget* edit);
void SetEditText(QWidget* edit, const QString& text);

} // namespace app

#include "app/cdialog.h"

template <class T> void app::DDX_Control(CDataExchange* pDX, int id, T*& control)
{
    if (!control)
        control = pDX->m_pDlgWnd->template Item<T>(id);
    Q_ASSERT(control);
}
