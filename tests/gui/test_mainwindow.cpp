// The main window: the film list with its details and counters, start-up.
#include "scripted.h"
#include "testmain.h"

#include "app/vidarrodlg.h"
#include "ids/main.h"

using namespace Qt::StringLiterals;
namespace id = ids::main;

namespace {
const QList<int> kDetails { id::Starring, id::Comment, id::Rating, id::Medium, id::Duration };

QStringList Panes(const CVidarroDlg& dlg)
{
    return { dlg.StatusBar()->GetPaneText(0), dlg.StatusBar()->GetPaneText(1), dlg.StatusBar()->GetPaneText(2) };
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void groupButtonsShowTheirCommandsWithoutOverlap()
    {
        const QList<std::pair<int, QList<int>>> groups { { 0, {} },
            { id::Films, { id::AddFilm, id::EditFilm, id::DeleteFilm, id::FindFilm } },
            { id::Debtors, { id::AddDebtor, id::ShowDebtors, id::FindDebtor, id::BlackList } },
            { id::Service, { id::Import, id::Settings } }, { id::HelpGroup, { id::About, id::Help } } };
        const QList<int> panel { id::Films, id::AddFilm, id::EditFilm, id::DeleteFilm, id::FindFilm, id::Debtors,
            id::AddDebtor, id::ShowDebtors, id::FindDebtor, id::BlackList, id::Service, id::Import, id::Settings,
            id::HelpGroup, id::About, id::Help };
        TempCatalogue base;
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& main) {
            for (const auto& [group, commands] : groups) {
                if (group)
                    main.SendCommand(group);
                QList<QWidget*> shown;
                for (int c : panel)
                    if (main.GetDlgItem(c)->isVisible())
                        shown << main.GetDlgItem(c);
                QCOMPARE(shown.size(), 4 + commands.size());
                for (int c : commands)
                    QVERIFY(main.GetDlgItem(c)->isVisible());
                for (qsizetype i = 0; i < shown.size(); ++i)
                    for (qsizetype j = i + 1; j < shown.size(); ++j)
                        QVERIFY(!shown[i]->geometry().intersects(shown[j]->geometry()));
            }
        });
        VERIFY_SCRIPT(ui);
    }

    void listsTheCatalogueInRecordOrderWithItsCounters()
    {
        TempCatalogue base;
        base.AddFilm(u"Брат|Балабанов|Бодров|Драма|9|DVD|96 мин|Строка 1\r\nСтрока 2"_s.split(u'|'));
        base.AddFilm(u"Ёлки|Бекмамбетов|Ургант|Комедия|n/d|Flash|90 мин|"_s.split(u'|'));
        base.AddFilm(QStringList(8, u"n/d"_s));
        base.AddDebtor(u"Иванов|Брат|1 марта|N"_s.split(u'|'));
        base.AddDebtor(u"Петров|Ёлки|n/d|B"_s.split(u'|'));
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            QCOMPARE(dlg.IniPath(), base.IniPath());
            app::CListCtrl* list = dlg.FilmList();
            const QStringList headings { u"Название фильма."_s, u"Жанр."_s, u"Режиссер."_s };
            for (int c = 0; c < 3; ++c)
                QCOMPARE(list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headings[c]);
            QCOMPARE(ListRows(list),
                (QList<QStringList> { { u"Брат"_s, u"Драма"_s, u"Балабанов"_s },
                    { u"Ёлки"_s, u"Комедия"_s, u"Бекмамбетов"_s }, QStringList(3, u"n/d"_s) }));
            QCOMPARE(Panes(dlg),
                (QStringList {
                    u"Колличество фильмов: 3"_s, u"Номер выделенного фильма: 0"_s, u"Колличество должников: 2"_s }));
            QVERIFY(dlg.GetDlgItem(id::DebtorText)->isVisible() && dlg.GetDlgItem(id::DebtorPic)->isVisible());
            QCOMPARE(EditTexts(dlg, kDetails), QStringList(5, QString())); // the detail panel starts empty
            // A click on a row shows its own details, a multi-line comment too.
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualRect(list->Model()->index(1, 0)).center());
            QCOMPARE(Panes(dlg)[1], u"Номер выделенного фильма: 2"_s);
            QCOMPARE(
                EditTexts(dlg, kDetails), (QStringList { u"Ургант"_s, QString(), u"n/d"_s, u"Flash"_s, u"90 мин"_s }));
            list->SelectRow(0);
            QCOMPARE(EditTexts(dlg, { id::Comment }), QStringList { u"Строка 1\nСтрока 2"_s });
            // A click on empty space, and a refill, drop the visible selection but keep the film and its details.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->viewport()->height() - 4));
            QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
            dlg.RefreshFilmList();
            QCOMPARE(Panes(dlg)[1], u"Номер выделенного фильма: 1"_s);
            QCOMPARE(EditTexts(dlg, { id::Starring }), QStringList { u"Бодров"_s });
        });
        VERIFY_SCRIPT(ui);
    }

    void startUp()
    {
        // No settings file: no grid lines, and reading creates no file.
        TempCatalogue base;
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) { QVERIFY(!dlg.FilmList()->showGrid()); });
        QVERIFY(!QFile::exists(base.IniPath()));
        // A catalogue gone before the window opens: the message, and no window that every command would fail in.
        QVERIFY(QFile::remove(base.BasePath()));
        ui.ExpectMessageContaining(u"не найден в папке"_s);
        QCOMPARE(CVidarroDlg().DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestMainWindow)
#include "test_mainwindow.moc"
