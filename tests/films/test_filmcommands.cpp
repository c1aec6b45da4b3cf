// The main window's film commands, driven as a user would: buttons, the menu and the key table. What each
// command rebuilds afterwards (list, counters, detail panel) and what keeps its value.
#include "filmtest.h"
#include "scripted.h"
#include "testbase.h"

#include "app/vidarrodlg.h"
#include "films/adddialog.h"
#include "films/finddialog.h"
#include "films/renamedialog.h"

#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

namespace {
const QString kFilms = QStringLiteral("KINVORA11");
const QString kNd = QStringLiteral("n/d");

enum : int {
    IDC_FILMS = 1000,
    IDC_DEBTORS = 1001,
    IDC_ADD = 1004,
    IDC_EDIT = 1005,
    IDC_DELETE = 1006,
    IDC_FIND = 1007
};
// Detail panel: starring, comment, rating, medium, duration.
constexpr int kDetails[] = { 1017, 1018, 1019, 1021, 1023 };

QStringList Film(const QString& title, const QString& genre, const QString& director, const QString& n)
{
    return { title, director, QStringLiteral("Роли ") + n, genre, n, QStringLiteral("DVD ") + n,
        QStringLiteral("Время ") + n, QStringLiteral("Комментарий ") + n };
}

// Three films, the last two with the same title.
void FillCatalogue(TempCatalogue& cat)
{
    cat.AddFilm(
        Film(QStringLiteral("Мимино"), QStringLiteral("Комедия"), QStringLiteral("Данелия"), QStringLiteral("1")));
    cat.AddFilm(Film(
        QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("Тарковский"), QStringLiteral("2")));
    cat.AddFilm(
        Film(QStringLiteral("Солярис"), QStringLiteral("Драма"), QStringLiteral("Содерберг"), QStringLiteral("3")));
}

QStringList Details(CVidarroDlg& w)
{
    QStringList texts;
    for (int id : kDetails)
        texts << app::EditText(w.GetDlgItem(id));
    return texts;
}

QStringList DetailsOf(const QString& n)
{
    return { QStringLiteral("Роли ") + n, QStringLiteral("Комментарий ") + n, n, QStringLiteral("DVD ") + n,
        QStringLiteral("Время ") + n };
}

QStringList Column(CVidarroDlg& w, int column)
{
    QStringList texts;
    for (int row = 0; row < w.FilmList()->GetItemCount(); ++row)
        texts << w.FilmList()->GetItemText(row, column);
    return texts;
}

QString Pane(CVidarroDlg& w, int index)
{
    return w.StatusBar()->GetPaneText(index);
}

bool HasSelection(CVidarroDlg& w)
{
    return w.FilmList()->selectionModel()->hasSelection();
}

// Runs a film command the way `how` names: its button, its menu item or its key.
void Run(CVidarroDlg& w, int id, const QString& how)
{
    static const QHash<int, std::pair<QString, Qt::Key>> commands {
        { IDC_ADD, { QStringLiteral("Добавить"), Qt::Key_I } },
        { IDC_EDIT, { QStringLiteral("Изменить"), Qt::Key_E } },
        { IDC_DELETE, { QStringLiteral("Удалить"), Qt::Key_D } },
        { IDC_FIND, { QStringLiteral("Найти"), Qt::Key_F } },
    };
    const auto [item, key] = commands.value(id);
    if (how == u"button") {
        QTest::mouseClick(w.GetDlgItem(IDC_FILMS), Qt::LeftButton);
        QVERIFY(w.GetDlgItem(id)->isVisible());
        QTest::mouseClick(w.GetDlgItem(id), Qt::LeftButton);
    } else if (how == u"menu") {
        QAction* found = nullptr;
        for (QAction* top : w.findChild<QMenuBar*>()->actions())
            if (top->text() == u"Правка")
                for (QAction* sub : top->menu()->actions())
                    if (sub->text() == u"Правка фильмов")
                        for (QAction* a : sub->menu()->actions())
                            if (a->text().section(u'\t', 0, 0) == item)
                                found = a;
        QVERIFY(found);
        found->trigger();
    } else {
        // The key works with another group open and whatever control has the focus.
        QTest::mouseClick(w.GetDlgItem(IDC_DEBTORS), Qt::LeftButton);
        w.GetDlgItem(1018)->setFocus();
        PressKey(w.GetDlgItem(1018), key, Qt::ControlModifier);
    }
}

void AddWays()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("menu") << "menu";
    QTest::newRow("key") << "key";
}

// Runs the main window on the catalogue in `cat`; the script acts on the shown window.
void RunMain(TempCatalogue& cat, ScriptedUi& ui, std::function<void(CVidarroDlg&)> script)
{
    cat.EnterDir();
    ui.ExpectDialog<CVidarroDlg>([script](CVidarroDlg& w) {
        script(w);
        w.EndDialog(app::IDCANCEL);
    });
    CVidarroDlg dlg;
    dlg.DoModal();
}
} // namespace

class TestFilmCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addFilm_data() { AddWays(); }
    void addFilm();
    void addCancelled();
    void editFilm_data() { AddWays(); }
    void editFilm();
    void editWithoutSelection();
    void deleteFilm_data() { AddWays(); }
    void deleteFilm();
    void deleteCancelled();
    void deleteLastFilm();
    void deleteFailure();
    void findFilm_data() { AddWays(); }
    void findFilm();
};

void TestFilmCommands::addFilm()
{
    QFETCH(QString, how);
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(1);
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 2"));
        ui.ExpectDialog<CAddDialog>([&](CAddDialog& d) {
            QCOMPARE(d.m_strBasePath, w.BasePath());
            TypeText(d.GetDlgItem(1017), QStringLiteral("Кин-дза-дза!"));
            QVERIFY(ChooseEntry(d.Item<QComboBox>(1020), 4));
            d.SendCommand(1047);
        });
        Run(w, IDC_ADD, how);
        // The list is read again: the new film is last; only the film count changes.
        QCOMPARE(Column(w, 0),
            (QStringList { QStringLiteral("Мимино"), QStringLiteral("Солярис"), QStringLiteral("Солярис"),
                QStringLiteral("Кин-дза-дза!") }));
        QCOMPARE(Column(w, 1).last(), QStringLiteral("Фантастика"));
        QCOMPARE(Column(w, 2).last(), kNd);
        QVERIFY(!HasSelection(w));
        QCOMPARE(Pane(w, 0), QStringLiteral("Колличество фильмов: 4"));
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 2"));
        QCOMPARE(g_nSelectedFilm, 2);
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("2")));
        // Each row still leads to its own record.
        w.FilmList()->SelectRow(3);
        QCOMPARE(Details(w), (QStringList { kNd, kNd, QStringLiteral("0"), kNd, kNd }));
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 4);
}

void TestFilmCommands::addCancelled()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(2);
        ui.ExpectDialog<CAddDialog>([](CAddDialog& d) {
            TypeText(d.GetDlgItem(1017), QStringLiteral("Кин-дза-дза!"));
            PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
        });
        Run(w, IDC_ADD, QStringLiteral("key"));
        // Not rebuilt: the row stays selected.
        QVERIFY(HasSelection(w));
        QCOMPARE(w.FilmList()->GetItemCount(), 3);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 3);
}

void TestFilmCommands::editFilm()
{
    QFETCH(QString, how);
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        // The third film shares its title with the second; the selected one is the one changed.
        w.FilmList()->SelectRow(2);
        ui.ExpectDialog<CRenameDialog>([&](CRenameDialog& d) {
            QCOMPARE(d.m_nPosition, 2);
            QCOMPARE(d.m_strBasePath, w.BasePath());
            QCOMPARE(app::EditText(d.GetDlgItem(1018)), QStringLiteral("Содерберг"));
            QCOMPARE(app::EditText(d.GetDlgItem(1028)), QStringLiteral("2"));
            auto* title = d.Item<QLineEdit>(1017);
            title->selectAll();
            TypeText(title, QStringLiteral("Solaris"));
            d.SendCommand(1047);
        });
        Run(w, IDC_EDIT, how);
        QCOMPARE(Column(w, 0),
            (QStringList { QStringLiteral("Мимино"), QStringLiteral("Солярис"), QStringLiteral("Solaris") }));
        QVERIFY(!HasSelection(w));
        QCOMPARE(Pane(w, 0), QStringLiteral("Колличество фильмов: 3"));
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 3"));
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("3")));

        // Without a new selection, the next edit is at the same place.
        ui.ExpectDialog<CRenameDialog>([&](CRenameDialog& d) {
            QCOMPARE(app::EditText(d.GetDlgItem(1017)), QStringLiteral("Solaris"));
            DragThumb(d.Item<QSlider>(1022), 10);
            d.SendCommand(1047);
        });
        Run(w, IDC_EDIT, how);
        // The panel keeps the values it showed before the edit until a row is selected again.
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("3")));
        w.FilmList()->SelectRow(2);
        QCOMPARE(Details(w).value(2), QStringLiteral("10"));

        // Cancelled: nothing rebuilt.
        ui.ExpectDialog<CRenameDialog>([](CRenameDialog& d) { d.SendCommand(2); });
        Run(w, IDC_EDIT, how);
        QVERIFY(HasSelection(w));
    });
    VERIFY_SCRIPT(ui);
    const QList<QStringList> rows = cat.Rows(kFilms);
    QCOMPARE(rows[1],
        Film(QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("Тарковский"),
            QStringLiteral("2")));
    QCOMPARE(rows[2][0], QStringLiteral("Solaris"));
    QCOMPARE(rows[2][4], QStringLiteral("10"));
}

void TestFilmCommands::editWithoutSelection()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        ui.ExpectMessage(QStringLiteral("Вы не выбрали запись для изменения."));
        Run(w, IDC_EDIT, QStringLiteral("key"));
        ui.ExpectMessage(QStringLiteral("Вы не выбрали запись для удаления."));
        Run(w, IDC_DELETE, QStringLiteral("key"));
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 0"));

        // After a delete nothing is selected any more, although a row was before.
        w.FilmList()->SelectRow(0);
        ui.ExpectMessage(QStringLiteral("Вы действительно хотите удалить данную запись?"), app::IDOK);
        Run(w, IDC_DELETE, QStringLiteral("button"));
        ui.ExpectMessage(QStringLiteral("Вы не выбрали запись для изменения."));
        Run(w, IDC_EDIT, QStringLiteral("menu"));
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 2);
}

void TestFilmCommands::deleteFilm()
{
    QFETCH(QString, how);
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(1);
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("2")));
        ui.ExpectMessage(QStringLiteral("Вы действительно хотите удалить данную запись?"), app::IDOK);
        Run(w, IDC_DELETE, how);
        QCOMPARE(Column(w, 0), (QStringList { QStringLiteral("Мимино"), QStringLiteral("Солярис") }));
        QCOMPARE(Column(w, 2), (QStringList { QStringLiteral("Данелия"), QStringLiteral("Содерберг") }));
        QCOMPARE(g_nSelectedFilm, 0);
        QCOMPARE(Pane(w, 0), QStringLiteral("Колличество фильмов: 2"));
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 0"));
        QCOMPARE(Details(w), (QStringList { QString(), QString(), QString(), QString(), QString() }));
        // Rows and records agree again.
        w.FilmList()->SelectRow(1);
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("3")));
    });
    VERIFY_SCRIPT(ui);
    const QList<QStringList> rows = cat.Rows(kFilms);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1][1], QStringLiteral("Содерберг"));
}

void TestFilmCommands::deleteCancelled()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(2);
        ui.ExpectMessage(QStringLiteral("Вы действительно хотите удалить данную запись?"), app::IDCANCEL);
        Run(w, IDC_DELETE, QStringLiteral("menu"));
        // Rebuilt all the same: no row shows as selected, but the number and the panel stay.
        QCOMPARE(w.FilmList()->GetItemCount(), 3);
        QVERIFY(!HasSelection(w));
        QCOMPARE(g_nSelectedFilm, 3);
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 3"));
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("3")));

        // The number still counts: a delete now asks again and removes that film.
        ui.ExpectMessage(QStringLiteral("Вы действительно хотите удалить данную запись?"), app::IDOK);
        Run(w, IDC_DELETE, QStringLiteral("key"));
        QCOMPARE(Column(w, 2), (QStringList { QStringLiteral("Данелия"), QStringLiteral("Тарковский") }));
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 2);
}

void TestFilmCommands::deleteLastFilm()
{
    TempCatalogue cat;
    cat.AddFilm(
        Film(QStringLiteral("Мимино"), QStringLiteral("Комедия"), QStringLiteral("Данелия"), QStringLiteral("1")));
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(0);
        ui.ExpectMessage(QStringLiteral("Вы действительно хотите удалить данную запись?"), app::IDOK);
        Run(w, IDC_DELETE, QStringLiteral("button"));
        QCOMPARE(w.FilmList()->GetItemCount(), 0);
        QCOMPARE(Pane(w, 0), QStringLiteral("Колличество фильмов: 0"));
        QCOMPARE(Pane(w, 1), QStringLiteral("Номер выделенного фильма: 0"));
        QCOMPARE(Details(w), (QStringList { QString(), QString(), QString(), QString(), QString() }));

        // An empty catalogue takes a new film, which is listed.
        ui.ExpectDialog<CAddDialog>([](CAddDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
        Run(w, IDC_ADD, QStringLiteral("button"));
        QCOMPARE(Column(w, 0), QStringList { kNd });
        QCOMPARE(Pane(w, 0), QStringLiteral("Колличество фильмов: 1"));
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 1);
}

void TestFilmCommands::deleteFailure()
{
    // A database error ends the command: nothing deleted, nothing rebuilt, the number kept.
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    MessageCatcher messages;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(1);
        cat.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON KINVORA11 "
                                   "BEGIN SELECT RAISE(ABORT, 'read-only medium'); END"));
        Run(w, IDC_DELETE, QStringLiteral("key"));
        QCOMPARE(messages.Texts().size(), 2);
        QCOMPARE(messages.Texts().value(0), QStringLiteral("Вы действительно хотите удалить данную запись?"));
        QVERIFY(messages.Texts().value(1).contains(QStringLiteral("read-only medium")));
        QCOMPARE(g_nSelectedFilm, 2);
        QVERIFY(HasSelection(w));
        QCOMPARE(Details(w), DetailsOf(QStringLiteral("2")));
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 3);
}

void TestFilmCommands::findFilm()
{
    QFETCH(QString, how);
    TempCatalogue cat;
    FillCatalogue(cat);
    cat.WriteIni("[Config]\r\nTable=1\r\n");
    ScriptedUi ui;
    RunMain(cat, ui, [&](CVidarroDlg& w) {
        w.FilmList()->SelectRow(0);
        ui.ExpectDialog<CFindDialog>([&](CFindDialog& d) {
            QCOMPARE(d.m_strBasePath, w.BasePath());
            QCOMPARE(d.m_strIniPath, w.IniPath());
            QCOMPARE(d.Item<app::CListCtrl>(1015)->GetExtendedStyle(), quint32(0x21));
            QTest::mouseClick(d.GetDlgItem(1029), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
            TypeText(d.GetDlgItem(1017), QStringLiteral("солярис"));
            d.SendCommand(1000);
            QCOMPARE(d.Item<app::CListCtrl>(1015)->GetItemText(0, 2), QStringLiteral("Содерберг"));
            d.SendCommand(1047);
        });
        Run(w, IDC_FIND, how);
        // Nothing is refreshed afterwards.
        QVERIFY(HasSelection(w));
        QCOMPARE(g_nSelectedFilm, 1);
    });
    VERIFY_SCRIPT(ui);
}

QTEST_MAIN(TestFilmCommands)
#include "test_filmcommands.moc"
