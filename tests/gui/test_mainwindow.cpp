// The main window: start-up with and without a catalogue, the navigation panel, the film list and its
// details, the counters, the list style and the ways out.
#include "scripted.h"
#include "testbase.h"

#include "app/vidarrodlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Runs the main window in the catalogue's folder; `script` acts on it and the window is then closed.
void RunMainWindow(TempCatalogue& base, ScriptedUi& ui, const std::function<void(CVidarroDlg&)>& script)
{
    base.EnterDir();
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& dlg) {
        script(dlg);
        if (!dlg.IsEnded())
            dlg.EndDialog(app::IDCANCEL);
    });
    CVidarroDlg dlg;
    dlg.DoModal();
}

QString Text(const CVidarroDlg& dlg, int id)
{
    return app::EditText(dlg.GetDlgItem(id));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listsTheCatalogueInRecordOrderWithItsCounters()
    {
        TempCatalogue base;
        base.AddFilm({QStringLiteral("Брат"), QStringLiteral("Балабанов"), QStringLiteral("Бодров"),
            QStringLiteral("Драма"), QStringLiteral("9"), QStringLiteral("DVD"), QStringLiteral("96 мин"),
            QStringLiteral("Строка 1\r\nСтрока 2")});
        base.AddFilm({QStringLiteral("Ёлки"), QStringLiteral("Бекмамбетов"), QStringLiteral("Ургант"),
            QStringLiteral("Комедия"), QStringLiteral("n/d"), QStringLiteral("Flash"), QStringLiteral("90 мин"),
            QString()});
        base.AddFilm(QStringList(8, QStringLiteral("n/d")));
        base.AddDebtor({QStringLiteral("Иванов"), QStringLiteral("Брат"), QStringLiteral("1 марта"), QStringLiteral("N")});
        base.AddDebtor({QStringLiteral("Петров"), QStringLiteral("Ёлки"), QStringLiteral("n/d"), QStringLiteral("B")});
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            QCOMPARE(dlg.BasePath(), base.BasePath());
            QCOMPARE(dlg.IniPath(), base.IniPath());
            app::CListCtrl* list = dlg.FilmList();
            QCOMPARE(list->GetItemCount(), 3);
            QCOMPARE(list->GetColumnCount(), 3);
            QCOMPARE(list->Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Название фильма."));
            QCOMPARE(list->columnWidth(0), 170);
            QCOMPARE(list->columnWidth(1), 110);
            QCOMPARE(list->columnWidth(2), 140);
            QCOMPARE(list->GetItemText(0, 0), QStringLiteral("Брат"));
            QCOMPARE(list->GetItemText(1, 1), QStringLiteral("Комедия"));
            QCOMPARE(list->GetItemText(1, 2), QStringLiteral("Бекмамбетов"));
            QCOMPARE(list->GetItemText(2, 0), QStringLiteral("n/d"));
            app::CStatusBar* bar = dlg.StatusBar();
            QCOMPARE(bar->GetCount(), 3);
            QCOMPARE(bar->GetPaneText(0), QStringLiteral("Колличество фильмов: 3"));
            QCOMPARE(bar->GetPaneText(1), QStringLiteral("Номер выделенного фильма: 0"));
            QCOMPARE(bar->GetPaneText(2), QStringLiteral("Колличество должников: 2"));
            QVERIFY(bar->GetPaneWidth(0) >= 200 && bar->GetPaneWidth(2) >= 190);
            QVERIFY(dlg.GetDlgItem(1041)->isVisible());
            QVERIFY(dlg.GetDlgItem(1042)->isVisible());
            QCOMPARE(Text(dlg, 1017), QString()); // the detail panel starts empty

            // Selecting the second row shows its own details; the first row's multi-line comment too.
            list->SelectRow(1);
            QCOMPARE(bar->GetPaneText(1), QStringLiteral("Номер выделенного фильма: 2"));
            QCOMPARE(Text(dlg, 1017), QStringLiteral("Ургант"));
            QCOMPARE(Text(dlg, 1019), QStringLiteral("n/d"));
            QCOMPARE(Text(dlg, 1021), QStringLiteral("Flash"));
            QCOMPARE(Text(dlg, 1023), QStringLiteral("90 мин"));
            QCOMPARE(Text(dlg, 1018), QString());
            list->SelectRow(0);
            QCOMPARE(Text(dlg, 1018), QStringLiteral("Строка 1\nСтрока 2"));
            list->SelectRow(2);
            for (int id : {1017, 1018, 1019, 1021, 1023})
                QCOMPARE(Text(dlg, id), QStringLiteral("n/d"));
            QCOMPARE(bar->GetPaneText(1), QStringLiteral("Номер выделенного фильма: 3"));
        });
        VERIFY_SCRIPT(ui);
    }

    void clickingEmptySpaceKeepsTheSelectedFilm()
    {
        TempCatalogue base;
        base.AddFilm(QStringLiteral("Первый"));
        base.AddFilm(QStringLiteral("Второй"));
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            app::CListCtrl* list = dlg.FilmList();
            const QPoint second = list->visualRect(list->Model()->index(1, 0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
            QCOMPARE(dlg.StatusBar()->GetPaneText(1), QStringLiteral("Номер выделенного фильма: 2"));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->viewport()->height() - 4));
            QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
            QCOMPARE(dlg.StatusBar()->GetPaneText(1), QStringLiteral("Номер выделенного фильма: 2"));
            QCOMPARE(Text(dlg, 1017), QStringLiteral("Актёры Второй"));
            // Refilling the list drops the visible selection but keeps the number.
            dlg.RefreshFilmList();
            QCOMPARE(dlg.StatusBar()->GetPaneText(1), QStringLiteral("Номер выделенного фильма: 2"));
        });
        VERIFY_SCRIPT(ui);
    }

    void navigationPanel_data()
    {
        QTest::addColumn<int>("header");
        QTest::addColumn<QList<int>>("headerYs"); // y of 1001, 1002, 1003
        QTest::addColumn<QList<int>>("visible");
        QTest::newRow("films") << 1000 << QList<int>{270, 295, 320} << QList<int>{1004, 1005, 1006, 1007};
        QTest::newRow("debtors") << 1001 << QList<int>{35, 295, 320} << QList<int>{1008, 1009, 1010, 1016};
        QTest::newRow("service") << 1002 << QList<int>{35, 60, 320} << QList<int>{1011, 1012};
        QTest::newRow("help") << 1003 << QList<int>{35, 60, 85} << QList<int>{1013, 1014};
    }
    void navigationPanel()
    {
        QFETCH(int, header);
        QFETCH(QList<int>, headerYs);
        QFETCH(QList<int>, visible);
        TempCatalogue base;
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            const QList<int> commands{1004, 1005, 1006, 1007, 1008, 1009, 1010, 1016, 1011, 1012, 1013, 1014};
            // After start-up every group is closed.
            QCOMPARE(dlg.GetDlgItem(1001)->geometry(), QRect(10, 35, 160, 25));
            for (int id : commands)
                QVERIFY(!dlg.GetDlgItem(id)->isVisible());
            // Open another group first, then the one under test: the result depends on the last only.
            QTest::mouseClick(dlg.GetDlgItem(header == 1000 ? 1001 : 1000), Qt::LeftButton);
            for (int i = 0; i < 2; ++i) {
                QTest::mouseClick(dlg.GetDlgItem(header), Qt::LeftButton);
                QCOMPARE(dlg.GetDlgItem(1000)->geometry(), QRect(10, 10, 160, 25));
                for (int h = 0; h < 3; ++h)
                    QCOMPARE(dlg.GetDlgItem(1001 + h)->geometry(), QRect(10, headerYs[h], 160, 25));
                for (int id : commands)
                    QCOMPARE(dlg.GetDlgItem(id)->isVisible(), visible.contains(id));
            }
            for (int id : visible)
                QVERIFY2(dlg.GetDlgItem(id)->geometry().left() == 10 && dlg.GetDlgItem(id)->width() == 160,
                    qPrintable(QString::number(id)));
        });
        VERIFY_SCRIPT(ui);
    }

    void listStyleFollowsTheSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("grid");
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("0") << QByteArray("[Config]\r\nTable=0\r\n") << false;
        QTest::newRow("empty") << QByteArray("[Config]\r\nTable=\r\n") << false;
        QTest::newRow("1") << QByteArray("[Config]\r\nTable=1\r\n") << true;
        QTest::newRow("other case") << QByteArray("[config]\r\ntable= 1\r\n") << true;
        QTest::newRow("33") << QByteArray("[Config]\r\nTable=33\r\n") << true;
        QTest::newRow("-1") << QByteArray("[Config]\r\nTable=-1\r\n") << true;
    }
    void listStyleFollowsTheSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, grid);
        TempCatalogue base;
        base.AddFilm(QStringLiteral("Фильм"));
        if (!ini.isEmpty())
            base.WriteIni(ini);
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            QCOMPARE(dlg.FilmList()->showGrid(), grid);
            QVERIFY(dlg.FilmList()->GetExtendedStyle() & app::LVS_EX_FULLROWSELECT);
            QCOMPARE(dlg.FilmList()->selectionBehavior(), QAbstractItemView::SelectRows);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(QFile::exists(base.IniPath()), !ini.isEmpty()); // reading never creates the file
    }

    void waysOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Выход") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("Ctrl+Q") << 2;
        QTest::newRow("Файл > Выход") << 3;
        QTest::newRow("Enter") << 4;
    }
    void waysOut()
    {
        QFETCH(int, way);
        TempCatalogue base;
        ScriptedUi ui;
        base.EnterDir();
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& dlg) {
            switch (way) {
            case 0: QTest::mouseClick(dlg.GetDlgItem(1047), Qt::LeftButton); break;
            case 1: PressKey(dlg.GetDlgItem(1015), Qt::Key_Escape); break;
            case 2: PressKey(dlg.GetDlgItem(1018), Qt::Key_Q, Qt::ControlModifier); break;
            case 3: dlg.findChild<QMenuBar*>()->actions().first()->menu()->actions().first()->trigger(); break;
            case 4: PressKey(dlg.GetDlgItem(1017), Qt::Key_Return); break;
            }
            QVERIFY(dlg.IsEnded());
        });
        CVidarroDlg dlg;
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
    }

    void emptyCatalogue()
    {
        TempCatalogue base;
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            QCOMPARE(dlg.FilmList()->GetItemCount(), 0);
            QCOMPARE(dlg.StatusBar()->GetPaneText(0), QStringLiteral("Колличество фильмов: 0"));
            QCOMPARE(dlg.StatusBar()->GetPaneText(2), QStringLiteral("Колличество должников: 0"));
            QVERIFY(!dlg.GetDlgItem(1041)->isVisible());
            QVERIFY(!dlg.GetDlgItem(1042)->isVisible());
        });
        VERIFY_SCRIPT(ui);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
