#include "app/rcscript.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace rc {

namespace {

    // Splits one line into words and quoted strings; // starts a comment outside quotes.
    // Quoted strings keep their quotes so the parser can tell "123" from 123.
    QStringList Tokenize(const QString& line, QString* error)
    {
        QStringList tokens;
        qsizetype i = 0;
        const qsizetype n = line.size();
        while (i < n) {
            const QChar c = line[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == u'/' && i + 1 < n && line[i + 1] == u'/') {
                break;
            } else if (c == u'"') {
                QString s = QStringLiteral("\"");
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar d = line[i++];
                    if (d == u'"') {
                        if (i < n && line[i] == u'"') { // "" is one quote, as in .rc files
                            s += u'"';
                            ++i;
                            continue;
                        }
                        closed = true;
                        break;
                    }
                    if (d == u'\\' && i < n) {
                        const QChar e = line[i++];
                        s += e == u't' ? QChar(u'\t') : e == u'n' ? QChar(u'\n') : e;
                        continue;
                    }
                    s += d;
                }
                if (!closed)
                    *error = QStringLiteral("unterminated string");
                tokens << s;
            } else {
                const qsizetype start = i;
                while (i < n && !line[i].isSpace() && line[i] != u'"')
                    ++i;
                tokens << line.mid(start, i - start);
            }
        }
        return tokens;
    }

    bool IsString(const QString& token)
    {
        return token.startsWith(u'"');
    }

    QString Unquote(const QString& token)
    {
        return token.mid(1);
    }

    // An id is a number, or a name and its number ("Save=1047") where the script defines it; the build turns
    // the names into the ids/*.h headers.
    int ParseId(const QString& token, bool* ok)
    {
        const qsizetype eq = token.indexOf(u'=');
        if (eq < 0)
            return token.toInt(ok);
        static const QRegularExpression name(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
        const int id = token.mid(eq + 1).toInt(ok);
        *ok = *ok && name.match(token.left(eq)).hasMatch();
        return id;
    }

    const QHash<QString, Kind>& Kinds()
    {
        static const QHash<QString, Kind> kinds {
            { QStringLiteral("LTEXT"), Kind::Label },
            { QStringLiteral("PUSHBUTTON"), Kind::Button },
            { QStringLiteral("EDITTEXT"), Kind::Edit },
            { QStringLiteral("COMBOBOX"), Kind::Combo },
            { QStringLiteral("LISTVIEW"), Kind::ListView },
            { QStringLiteral("LISTBOX"), Kind::ListBox },
            { QStringLiteral("GROUPBOX"), Kind::GroupBox },
            { QStringLiteral("RADIOBUTTON"), Kind::Radio },
            { QStringLiteral("SLIDER"), Kind::Slider },
            { QStringLiteral("PROGRESS"), Kind::Progress },
            { QStringLiteral("BITMAP"), Kind::Bitmap },
            { QStringLiteral("FRAME"), Kind::Frame },
        };
        return kinds;
    }

    const QHash<QString, Flag>& Flags()
    {
        static const QHash<QString, Flag> flags {
            { QStringLiteral("HIDDEN"), Hidden },
            { QStringLiteral("DISABLED"), Disabled },
            { QStringLiteral("MULTILINE"), Multiline },
            { QStringLiteral("READONLY"), ReadOnly },
            { QStringLiteral("VSCROLL"), VScroll },
            { QStringLiteral("AUTOHSCROLL"), AutoHScroll },
            { QStringLiteral("BORDER"), Border },
            { QStringLiteral("SUNKEN"), Sunken },
            { QStringLiteral("RIGHT"), AlignRight },
            { QStringLiteral("CENTER"), AlignCenter },
            { QStringLiteral("CENTERIMAGE"), CenterImage },
            { QStringLiteral("NOTABSTOP"), NoTabStop },
            { QStringLiteral("DROPDOWN"), DropDown },
            { QStringLiteral("DROPDOWNLIST"), DropDownList },
            { QStringLiteral("NOTICKS"), NoTicks },
            { QStringLiteral("SHOWSELALWAYS"), ShowSelAlways },
            { QStringLiteral("SINGLESEL"), SingleSel },
            { QStringLiteral("NOWRAP"), NoWrap },
        };
        return flags;
    }

} // namespace

const Control* Dialog::Find(int controlId) const
{
    for (const Control& c : controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

const Resources& Resources::Get()
{
    static const Resources resources = [] {
        Resources r;
        const QDir dir(QStringLiteral(":/rc"));
        for (const QString& name : dir.entryList({ QStringLiteral("*.rc") }, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) {
                r.m_errors << QStringLiteral("%1: cannot read").arg(name);
                continue;
            }
            r.Load(QString::fromUtf8(f.readAll()), name);
        }
        for (const QString& e : r.m_errors)
            qCritical("resource script: %s", qUtf8Printable(e));
        return r;
    }();
    return resources;
}

Resources Resources::Parse(const QString& text, const QString& fileName, QStringList* errors)
{
    Resources r;
    r.Load(text, fileName);
    if (errors)
        *errors = r.m_errors;
    return r;
}

void Resources::Load(const QString& text, const QString& fileName)
{
    enum class Section { None, Dialog, Menu, Accelerators, Strings } section = Section::None;
    Dialog* dialog = nullptr;
    QList<QList<MenuItem>*> menuStack;
    QList<Accelerator>* accel = nullptr;

    const QStringList lines = text.split(u'\n');
    for (int ln = 0; ln < lines.size(); ++ln) {
        QString error;
        const QStringList t = Tokenize(lines[ln], &error);
        auto fail
            = [&](const QString& what) { m_errors << QStringLiteral("%1:%2: %3").arg(fileName).arg(ln + 1).arg(what); };
        if (!error.isEmpty()) {
            fail(error);
            continue;
        }
        if (t.isEmpty())
            continue;
        const QString& head = t[0];
        bool ok = true;

        if (head == u"NAMES") {
            // The namespace of the names that follow; the build reads it, the program does not.
            if (t.size() != 2)
                fail(QStringLiteral("NAMES namespace"));
        } else if (head == u"DIALOG") {
            if (t.size() != 4) {
                fail(QStringLiteral("DIALOG id width height"));
                continue;
            }
            const int id = ParseId(t[1], &ok);
            Dialog& d = m_dialogs[id];
            d = Dialog();
            d.id = id;
            d.size = QSize(t[2].toInt(), t[3].toInt());
            dialog = &d;
            section = Section::Dialog;
        } else if (head == u"MENU" && section != Section::Dialog) {
            const int id = ParseId(t.value(1), &ok);
            Menu& m = m_menus[id];
            m = Menu();
            m.id = id;
            menuStack = { &m.popups };
            section = Section::Menu;
        } else if (head == u"ACCELERATORS") {
            accel = &m_accelerators[ParseId(t.value(1), &ok)];
            accel->clear();
            section = Section::Accelerators;
        } else if (head == u"STRINGTABLE") {
            section = Section::Strings;
        } else if (section == Section::Dialog) {
            if (head == u"CAPTION" && t.size() == 2 && IsString(t[1])) {
                dialog->caption = Unquote(t[1]);
            } else if (head == u"STYLE") {
                for (int i = 1; i < t.size(); ++i) {
                    if (t[i] == u"SYSMENU")
                        dialog->systemMenu = true;
                    else if (t[i] == u"MINIMIZEBOX")
                        dialog->minimizeBox = true;
                    else
                        fail(QStringLiteral("unknown style %1").arg(t[i]));
                }
            } else if (head == u"MENU") {
                dialog->menu = ParseId(t.value(1), &ok);
            } else if (head == u"ITEMS") {
                const int id = ParseId(t.value(1), &ok);
                Control* target = nullptr;
                for (Control& c : dialog->controls)
                    if (c.id == id)
                        target = &c;
                if (!target) {
                    fail(QStringLiteral("ITEMS for unknown control %1").arg(id));
                    continue;
                }
                for (int i = 2; i < t.size(); ++i)
                    target->items << Unquote(t[i]);
            } else if (Kinds().contains(head)) {
                if (t.size() < 7 || !IsString(t[2])) {
                    fail(QStringLiteral("KIND id \"text\" x y w h [FLAGS]"));
                    continue;
                }
                Control c;
                c.kind = Kinds().value(head);
                c.id = ParseId(t[1], &ok);
                c.text = Unquote(t[2]);
                c.rect = QRect(t[3].toInt(), t[4].toInt(), t[5].toInt(), t[6].toInt());
                c.line = ln + 1;
                for (int i = 7; i < t.size(); ++i) {
                    if (!Flags().contains(t[i]))
                        fail(QStringLiteral("unknown flag %1").arg(t[i]));
                    c.flags |= Flags().value(t[i]);
                }
                dialog->controls << c;
            } else {
                fail(QStringLiteral("unknown statement %1").arg(head));
            }
        } else if (section == Section::Menu) {
            if (head == u"POPUP" && t.size() == 2) {
                MenuItem item;
                item.text = Unquote(t[1]);
                menuStack.last()->append(item);
                menuStack << &menuStack.last()->last().children;
            } else if (head == u"MENUITEM" && t.size() == 3) {
                MenuItem item;
                item.text = Unquote(t[1]);
                item.command = ParseId(t[2], &ok);
                menuStack.last()->append(item);
            } else if (head == u"END" && menuStack.size() > 1) {
                menuStack.removeLast();
            } else {
                fail(QStringLiteral("bad menu line"));
            }
        } else if (section == Section::Accelerators) {
            if (t.size() != 2 || !IsString(t[0])) {
                fail(QStringLiteral("\"key\" command"));
                continue;
            }
            const QKeySequence key = QKeySequence::fromString(Unquote(t[0]), QKeySequence::PortableText);
            if (key.isEmpty())
                fail(QStringLiteral("bad key %1").arg(Unquote(t[0])));
            accel->append({ key, ParseId(t[1], &ok) });
        } else if (section == Section::Strings) {
            if (t.size() != 2 || !IsString(t[1])) {
                fail(QStringLiteral("id \"text\""));
                continue;
            }
            m_strings.insert(ParseId(head, &ok), Unquote(t[1]));
        } else {
            fail(QStringLiteral("statement outside a resource"));
        }
        if (!ok)
            fail(QStringLiteral("not a number or Name=number"));
    }
}

const Dialog* Resources::FindDialog(int id) const
{
    const auto it = m_dialogs.constFind(id);
    return it == m_dialogs.cend() ? nullptr : &it.value();
}

const Menu* Resources::FindMenu(int id) const
{
    const auto it = m_menus.constFind(id);
    return it == m_menus.cend() ? nullptr : &it.value();
}

const QList<Accelerator>* Resources::FindAccelerators(int id) const
{
    const auto it = m_accelerators.constFind(id);
    return it == m_accelerators.cend() ? nullptr : &it.value();
}

QString Resources::String(int id) const
{
    return m_strings.value(id);
}

} // namespace rc
