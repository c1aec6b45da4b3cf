// The main window's film commands from a button, the menu or a key, and what each refreshes afterwards.
#include "scripted.h"
#include "testmain.h"

#include "app/vidarrodlg.h"
#include "films/adddialog.h"
#include "films/finddialog.h"
#include "films/renamedialog.h"
#include "ids/addfilm.h"
#include "ids/editfilm.h"
#include "ids/findfilm.h"
#include "ids/main.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

using namespace Qt::StringLiterals;
namespace id = ids::main;

namespace {
const QString kNd = u"n/d"_s;

// Film count and selected film in the panes, g_nSelectedFilm, the row's selection, starring and rating shown.
QString State(CVidarroDlg& w)
{
    return (
        QStringList { w.StatusBar()->GetPaneText(0).section(u' ', -1), w.StatusBar()->GetPaneText(1).section(u' ', -1),
            QString::number(g_nSelectedFilm), w.FilmList()->selectionModel()->hasSelection() ? u"shown"_s : u"none"_s }
        + EditTexts(w, { id::Starring, id::Rating }))
        .join(u'|');
}

// Runs a film command the way `how` names: its button, its menu item or its key.
void Run(CVidarroDlg& w, int command, const QString& how)
{
    const char key = "IEDF"[QList { id::AddFilm, id::EditFilm, id::DeleteFilm, id::FindFilm }.indexOf(command)];
    if (how == u"button") {
        QTest::mouseClick(w.GetDlgItem(id::Films), Qt::LeftButton);
        QTest::mouseClick(w.GetDlgItem(command), Qt::LeftButton);
    } else if (how == u"menu") {
        for (QAction* item : w.findChildren<QAction*>())
            if (item->text().endsWith(u"\tCtrl+"_s + QLatin1Char(key))) // none: the window or question fails to show
                item->trigger();
    } else {
        // The key works with another group open and whatever control has the focus.
        QTest::mouseClick(w.GetDlgItem(id::Debtors), Qt::LeftButton);
        w.GetDlgItem(id::Comment)->setFocus();
        PressKey(w.GetDlgItem(id::Comment), Qt::Key(key), Qt::ControlModifier);
    }
}
} // namespace

class TestFilmCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCommand_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : { "button", "menu", "key" })
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void everyCommand()
    {
        QFETCH(QString, how);
        // The last two films have the same title; film n has n in its other fields.
        TempCatalogue cat;
        for (const QString& film :
            { u"Мимино|Данелия|Комедия"_s, u"Солярис|Тарковский|Фантастика"_s, u"Солярис|Содерберг|Драма"_s }) {
            const QStringList f = film.split(u'|');
            const QString n = QString::number(cat.Count(u"KINVORA11"_s) + 1);
            cat.AddFilm({ f[0], f[1], u"Роли "_s + n, f[2], n, u"DVD "_s + n, u"Время "_s + n, u"Комментарий "_s + n });
        }
        cat.WriteIni("[Config]\r\nTable=1\r\n");
        ScriptedUi ui;
        RunMainWindow(cat, ui, [&](CVidarroDlg& w) {
            // Add: the list is read again with the new film last; only the film count changes.
            w.FilmList()->SelectRow(1);
            ui.ExpectDialog<CAddDialog>([&](CAddDialog& d) {
                QCOMPARE(d.m_strBasePath, w.BasePath());
                TypeText(d.GetDlgItem(ids::addfilm::Name), u"Кин-дза-дза!"_s);
                ChooseEntry(d.Item<QComboBox>(ids::addfilm::GenreList), 4);
                d.SendCommand(ids::addfilm::Save);
            });
            Run(w, id::AddFilm, how);
            QCOMPARE(ListRows(w.FilmList()).value(3), (QStringList { u"Кин-дза-дза!"_s, u"Фантастика"_s, kNd }));
            QCOMPARE(State(w), u"4|2|2|none|Роли 2|2"_s);
            w.FilmList()->SelectRow(3); // the new row leads to its own record
            QCOMPARE(State(w), u"4|4|4|shown|n/d|0"_s);

            // Edit: the selected one of two equal titles. The panel keeps what it showed until a new selection.
            w.FilmList()->SelectRow(2);
            ui.ExpectDialog<CRenameDialog>([&](CRenameDialog& d) {
                QCOMPARE(d.m_strBasePath, w.BasePath());
                QCOMPARE(app::EditText(d.GetDlgItem(ids::editfilm::Position)), u"2"_s);
                auto* director = d.Item<QLineEdit>(ids::editfilm::Director);
                QCOMPARE(director->text(), u"Содерберг"_s);
                director->selectAll();
                TypeText(director, u"Soderbergh"_s);
                DragThumb(d.Item<QSlider>(ids::editfilm::RatingSlider), 10);
                d.SendCommand(ids::editfilm::Save);
            });
            Run(w, id::EditFilm, how);
            QCOMPARE(Cells(ListRows(w.FilmList()), 2),
                (QStringList { u"Данелия"_s, u"Тарковский"_s, u"Soderbergh"_s, kNd }));
            QCOMPARE(State(w), u"4|3|3|none|Роли 3|3"_s);
            w.FilmList()->SelectRow(2);
            QCOMPARE(State(w), u"4|3|3|shown|Роли 3|10"_s);

            // Delete: the selected one of two equal titles; nothing is selected afterwards, the panel is emptied.
            w.FilmList()->SelectRow(1);
            ui.ExpectMessage(u"Вы действительно хотите удалить данную запись?"_s, app::IDOK);
            Run(w, id::DeleteFilm, how);
            QCOMPARE(Cells(ListRows(w.FilmList()), 2), (QStringList { u"Данелия"_s, u"Soderbergh"_s, kNd }));
            QCOMPARE(State(w), u"3|0|0|none||"_s);
            ui.ExpectMessage(u"Вы не выбрали запись для изменения."_s);
            Run(w, id::EditFilm, how);
            w.FilmList()->SelectRow(2); // rows and records agree again
            QCOMPARE(State(w), u"3|3|3|shown|n/d|0"_s);

            // Find only reads: nothing is refreshed afterwards.
            w.FilmList()->SelectRow(0);
            ui.ExpectDialog<CFindDialog>([&](CFindDialog& d) {
                QCOMPARE(d.m_strBasePath, w.BasePath());
                QCOMPARE(d.Item<app::CListCtrl>(ids::findfilm::Results)->GetExtendedStyle(), quint32(0x21)); // settings
                d.SendCommand(ids::findfilm::Close);
            });
            Run(w, id::FindFilm, how);
            QCOMPARE(State(w), u"3|1|1|shown|Роли 1|1"_s);
        });
        VERIFY_SCRIPT(ui);
        const QList<QStringList> rows = cat.Rows(u"KINVORA11"_s);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1], u"Солярис|Soderbergh|Роли 3|Драма|10|DVD 3|Время 3|Комментарий 3"_s.split(u'|'));
    }
};

REGISTER_TEST(TestFilmCommands)
#include "test_filmcommands.moc"
