#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// The program's resource scripts (resources/rc/*.rc, compiled in): dialog templates with rectangles in
// dialog units, menus, key tables and strings, in a small line format close to a Windows .rc file.
namespace rc {

enum class Kind { Label, Button, Edit, Combo, ListView, ListBox, GroupBox, Radio, Slider, Progress, Bitmap, Frame };

enum Flag : quint32 {
    Hidden = 1u << 0,
    Disabled = 1u << 1,
    Multiline = 1u << 2,
    ReadOnly = 1u << 3,
    VScroll = 1u << 4,
    AutoHScroll = 1u << 5,
    Border = 1u << 6,
    Sunken = 1u << 7,
    AlignRight = 1u << 8,
    AlignCenter = 1u << 9,
    CenterImage = 1u << 10, // static text: centred vertically
    NoTabStop = 1u << 11,
    DropDown = 1u << 12, // combo box with its own editable text field
    DropDownList = 1u << 13,
    NoTicks = 1u << 14,
    ShowSelAlways = 1u << 15,
    SingleSel = 1u << 16,
    NoWrap = 1u << 17,
};

struct Control {
    Kind kind = Kind::Label;
    int id = -1;
    QString text;
    QRect rect; // dialog units
    quint32 flags = 0;
    QStringList items; // combo box and list box entries
    int line = 0;
};

struct Dialog {
    int id = 0;
    QString caption;
    QSize size; // dialog units
    bool systemMenu = false;
    bool minimizeBox = false;
    int menu = 0;
    QList<Control> controls; // in tab order
    const Control* Find(int controlId) const;
};

struct MenuItem {
    QString text; // "Добавить\tCtrl+I": the part after the tab is shown as the key
    int command = 0; // 0 for a submenu
    QList<MenuItem> children;
};

struct Menu {
    int id = 0;
    QList<MenuItem> popups;
};

struct Accelerator {
    QKeySequence key;
    int command = 0;
};

// Every resource of the program, parsed once from ":/rc".
class Resources {
public:
    static const Resources& Get();
    // For tests: parse the text of one script; errors are collected, not fatal.
    static Resources Parse(const QString& text, const QString& fileName, QStringList* errors);

    const Dialog* FindDialog(int id) const;
    const Menu* FindMenu(int id) const;
    const QList<Accelerator>* FindAccelerators(int id) const;
    QString String(int id) const;
    QList<int> DialogIds() const { return m_dialogs.keys(); }
    QStringList Errors() const { return m_errors; }

private:
    void Load(const QString& text, const QString& fileName);

    QHash<int, Dialog> m_dialogs;
    QHash<int, Menu> m_menus;
    QHash<int, QList<Accelerator>> m_accelerators;
    QHash<int, QString> m_strings;
    QStringList m_errors;
};

} // namespace rc
