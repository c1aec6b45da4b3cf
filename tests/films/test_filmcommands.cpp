// The main window's film commands, driven as a user would: buttons, the menu and the key table. What each
// command rebuilds afterwards (list, counters, detail panel) and what keeps its value.
#include "scripted.h"
#include "testmain.h"

#include "app/vidarrodlg.h"
#include "films/adddialog.h"
#include "films/finddialog.h"
#include "films/renamedialog.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace {
const QString kFilms = u"KINVORA11"_s;
const QString kNd = u"n/d"_s;
const QString kAskDelete = u"Вы действительно хотите удалить данную запись?"_s;

constexpr int IDC_FILMS = 1000, IDC_DEBTORS = 1001, IDC_ADD = 1004, IDC_EDIT = 1005, IDC_DELETE = 1006, IDC_FIND = 1007;

// Three films, the last two with the same title; film n has n in its other fields.
void FillCatalogue(TempCatalogue& cat)
{
    for (const QString& film :
        { u"Мимино|Данелия|Комедия"_s, u"Солярис|Тарковский|Фантастика"_s, u"Солярис|Содерберг|Драма"_s }) {
        const QStringList f = film.split(u'|');
        const QString n = QString::number(cat.Count(kFilms) + 1);
        cat.AddFilm({ f[0], f[1], u"Роли "_s + n, f[2], n, u"DVD "_s + n, u"Время "_s + n, u"Комментарий "_s + n });
    }
}

// The detail panel (starring, comment, rating, medium, duration) for film n as stored.
QStringList DetailsOf(int film, const QString& rating = {})
{
    const QString n = QString::number(film);
    return { u"Роли "_s + n, u"Комментарий "_s + n, rating.isEmpty() ? n : rating, u"DVD "_s + n, u"Время "_s + n };
}
const QStringList kEmptyPanel(5, QString());
const QStringList kAddedPanel { kNd, kNd, u"0"_s, kNd, kNd };

// What the window shows of the films: the two panes, the selected film's number, whether a row shows as
// selected, and the detail panel.
QStringList State(CVidarroDlg& w)
{
    return QStringList { w.StatusBar()->GetPaneText(0), w.StatusBar()->GetPaneText(1), QString::number(g_nSelectedFilm),
        w.FilmList()->selectionModel()->hasSelection() ? u"shown"_s : u"none"_s }
    + EditTexts(w, { 1017, 1018, 1019, 1021, 1023 });
}

QStringList StateOf(int films, int selected, bool shown, const QStringList& panel)
{
    return QStringList { u"Колличество фильмов: %1"_s.arg(films), u"Номер выделенного фильма: %1"_s.arg(selected),
        QString::number(selected), shown ? u"shown"_s : u"none"_s }
    + panel;
}

// One column of the film list.
QStringList Column(CVidarroDlg& w, int column)
{
    return Cells(ListRows(w.FilmList()), column);
}

// Runs a film command the way `how` names: its button, its menu item or its key.
void Run(CVidarroDlg& w, int id, const QString& how)
{
    static const QHash<int, std::pair<QString, Qt::Key>> commands {
        { IDC_ADD, { u"Добавить\tCtrl+I"_s, Qt::Key_I } },
        { IDC_EDIT, { u"Изменить\tCtrl+E"_s, Qt::Key_E } },
        { IDC_DELETE, { u"Удалить\tCtrl+D"_s, Qt::Key_D } },
        { IDC_FIND, { u"Найти\tCtrl+F"_s, Qt::Key_F } },
    };
    const auto [text, key] = commands.value(id);
    if (how == u"button") {
        QTest::mouseClick(w.GetDlgItem(IDC_FILMS), Qt::LeftButton);
        QVERIFY(w.GetDlgItem(id)->isVisible());
        QTest::mouseClick(w.GetDlgItem(id), Qt::LeftButton);
    } else if (how == u"menu") {
        for (QAction* item : w.findChildren<QAction*>())
            if (item->text() == text) // unknown: the command's window or question fails to show
                item->trigger();
    } else {
        // The key works with another group open and whatever control has the focus.
        QTest::mouseClick(w.GetDlgItem(IDC_DEBTORS), Qt::LeftButton);
        w.GetDlgItem(1018)->setFocus();
        PressKey(w.GetDlgItem(1018), key, Qt::ControlModifier);
    }
}

} // namespace

class TestFilmCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCommand_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << u"button"_s;
        QTest::newRow("menu") << u"menu"_s;
        QTest::newRow("key") << u"key"_s;
    }

    void everyCommand()
    {
        QFETCH(QString, how);
        TempCatalogue cat;
        FillCatalogue(cat);
        cat.WriteIni("[Config]\r\nTable=1\r\n");
        ScriptedUi ui;
        RunMainWindow(cat, ui, [&](CVidarroDlg& w) {
            // Add: the list is read again with the new film last; only the film count changes.
            w.FilmList()->SelectRow(1);
            ui.ExpectDialog<CAddDialog>([&](CAddDialog& d) {
                QCOMPARE(d.m_strBasePath, w.BasePath());
                TypeText(d.GetDlgItem(1017), u"Кин-дза-дза!"_s);
                ChooseEntry(d.Item<QComboBox>(1020), 4);
                d.SendCommand(1047);
            });
            Run(w, IDC_ADD, how);
            QCOMPARE(ListRows(w.FilmList()).value(3), (QStringList { u"Кин-дза-дза!"_s, u"Фантастика"_s, kNd }));
            QCOMPARE(State(w), StateOf(4, 2, false, DetailsOf(2)));
            w.FilmList()->SelectRow(3); // the new row leads to its own record
            QCOMPARE(State(w), StateOf(4, 4, true, kAddedPanel));

            // Edit: the selected one of two equal titles. The panel keeps what it showed until a new selection.
            w.FilmList()->SelectRow(2);
            ui.ExpectDialog<CRenameDialog>([&](CRenameDialog& d) {
                QCOMPARE(d.m_strBasePath, w.BasePath());
                QCOMPARE(app::EditText(d.GetDlgItem(1028)), u"2"_s);
                auto* director = d.Item<QLineEdit>(1018);
                QCOMPARE(director->text(), u"Содерберг"_s);
                director->selectAll();
                TypeText(director, u"Soderbergh"_s);
                DragThumb(d.Item<QSlider>(1022), 10);
                d.SendCommand(1047);
            });
            Run(w, IDC_EDIT, how);
            QCOMPARE(Column(w, 2), (QStringList { u"Данелия"_s, u"Тарковский"_s, u"Soderbergh"_s, kNd }));
            QCOMPARE(State(w), StateOf(4, 3, false, DetailsOf(3)));
            w.FilmList()->SelectRow(2);
            QCOMPARE(State(w), StateOf(4, 3, true, DetailsOf(3, u"10"_s)));

            // Delete: the selected one of two equal titles; nothing is selected afterwards, the panel is emptied.
            w.FilmList()->SelectRow(1);
            ui.ExpectMessage(kAskDelete, app::IDOK);
            Run(w, IDC_DELETE, how);
            QCOMPARE(Column(w, 2), (QStringList { u"Данелия"_s, u"Soderbergh"_s, kNd }));
            QCOMPARE(State(w), StateOf(3, 0, false, kEmptyPanel));
            ui.ExpectMessage(u"Вы не выбрали запись для изменения."_s);
            Run(w, IDC_EDIT, how);
            w.FilmList()->SelectRow(2); // rows and records agree again
            QCOMPARE(State(w), StateOf(3, 3, true, kAddedPanel));

            // Find only reads: nothing is refreshed afterwards.
            w.FilmList()->SelectRow(0);
            ui.ExpectDialog<CFindDialog>([&](CFindDialog& d) {
                QCOMPARE(d.m_strBasePath, w.BasePath());
                QCOMPARE(d.Item<app::CListCtrl>(1015)->GetExtendedStyle(), quint32(0x21)); // from the settings
                QTest::mouseClick(d.GetDlgItem(1029), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
                TypeText(d.GetDlgItem(1017), u"солярис"_s);
                d.SendCommand(1000);
                QCOMPARE(ListRows(d.Item<app::CListCtrl>(1015)).value(0).value(2), u"Soderbergh"_s);
                d.SendCommand(1047);
            });
            Run(w, IDC_FIND, how);
            QCOMPARE(State(w), StateOf(3, 1, true, DetailsOf(1)));
        });
        VERIFY_SCRIPT(ui);
        const QList<QStringList> rows = cat.Rows(kFilms);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1],
            (QStringList { u"Солярис"_s, u"Soderbergh"_s, u"Роли 3"_s, u"Драма"_s, u"10"_s, u"DVD 3"_s, u"Время 3"_s,
                u"Комментарий 3"_s }));
    }
};

REGISTER_TEST(TestFilmCommands)
#include "test_filmcommands.moc"
