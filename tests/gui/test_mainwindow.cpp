// The main window: start-up with and without a catalogue, the navigation panel, the film list and its
// details, the counters, the list style and the ways out.
#include "scripted.h"
#include "testmain.h"

#include "app/vidarrodlg.h"

#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {
const QList<int> kDetails { 1017, 1018, 1019, 1021, 1023 }; // starring, comment, rating, medium, duration

QStringList Panes(const CVidarroDlg& dlg)
{
    return { dlg.StatusBar()->GetPaneText(0), dlg.StatusBar()->GetPaneText(1), dlg.StatusBar()->GetPaneText(2) };
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
            QCOMPARE(Headings(list), (QStringList { u"Название фильма."_s, u"Жанр."_s, u"Режиссер."_s }));
            QCOMPARE(ColumnWidths(list), (QList<int> { 170, 110, 140 }));
            QCOMPARE(ListRows(list),
                (QList<QStringList> { { u"Брат"_s, u"Драма"_s, u"Балабанов"_s },
                    { u"Ёлки"_s, u"Комедия"_s, u"Бекмамбетов"_s }, QStringList(3, u"n/d"_s) }));
            QCOMPARE(Panes(dlg),
                (QStringList {
                    u"Колличество фильмов: 3"_s, u"Номер выделенного фильма: 0"_s, u"Колличество должников: 2"_s }));
            QVERIFY(dlg.GetDlgItem(1041)->isVisible() && dlg.GetDlgItem(1042)->isVisible());
            QCOMPARE(EditTexts(dlg, kDetails), QStringList(5, QString())); // the detail panel starts empty
            // A click on a row shows its own details, a multi-line comment too.
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualRect(list->Model()->index(1, 0)).center());
            QCOMPARE(Panes(dlg)[1], u"Номер выделенного фильма: 2"_s);
            QCOMPARE(
                EditTexts(dlg, kDetails), (QStringList { u"Ургант"_s, QString(), u"n/d"_s, u"Flash"_s, u"90 мин"_s }));
            list->SelectRow(0);
            QCOMPARE(EditTexts(dlg, { 1018 }), QStringList { u"Строка 1\nСтрока 2"_s });
            // A click on empty space drops the visible selection but keeps the film and its details; so does a
            // refill of the list.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, list->viewport()->height() - 4));
            QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
            dlg.RefreshFilmList();
            QCOMPARE(Panes(dlg)[1], u"Номер выделенного фильма: 1"_s);
            QCOMPARE(EditTexts(dlg, { 1017 }), QStringList { u"Бодров"_s });
        });
        VERIFY_SCRIPT(ui);
    }

    void navigationPanel_data()
    {
        QTest::addColumn<int>("header");
        QTest::addColumn<QList<int>>("headerYs"); // y of 1001, 1002, 1003
        QTest::addColumn<QList<int>>("visible");
        QTest::newRow("films") << 1000 << QList<int> { 270, 295, 320 } << QList<int> { 1004, 1005, 1006, 1007 };
        QTest::newRow("debtors") << 1001 << QList<int> { 35, 295, 320 } << QList<int> { 1008, 1009, 1010, 1016 };
        QTest::newRow("service") << 1002 << QList<int> { 35, 60, 320 } << QList<int> { 1011, 1012 };
        QTest::newRow("help") << 1003 << QList<int> { 35, 60, 85 } << QList<int> { 1013, 1014 };
    }
    void navigationPanel()
    {
        QFETCH(int, header);
        QFETCH(QList<int>, headerYs);
        QFETCH(QList<int>, visible);
        TempCatalogue base;
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            const QList<int> commands { 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1016, 1011, 1012, 1013, 1014 };
            // After start-up every group is closed. Then another group first: the result depends on the last only.
            QCOMPARE(dlg.GetDlgItem(1001)->geometry(), QRect(10, 35, 160, 25));
            QTest::mouseClick(dlg.GetDlgItem(header == 1000 ? 1001 : 1000), Qt::LeftButton);
            for (int i = 0; i < 2; ++i) {
                QTest::mouseClick(dlg.GetDlgItem(header), Qt::LeftButton);
                for (int h = 0; h < 3; ++h)
                    QCOMPARE(dlg.GetDlgItem(1001 + h)->geometry(), QRect(10, headerYs[h], 160, 25));
                for (int id : commands)
                    QCOMPARE(dlg.GetDlgItem(id)->isVisible(), visible.contains(id));
            }
        });
        VERIFY_SCRIPT(ui);
    }

    void listStyleFollowsTheSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("grid");
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("0") << QByteArray("[Config]\r\nTable=0\r\n") << false;
        QTest::newRow("other case, blank") << QByteArray("[config]\r\ntable= 1\r\n") << true;
        QTest::newRow("-1") << QByteArray("[Config]\r\nTable=-1\r\n") << true;
    }
    void listStyleFollowsTheSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, grid);
        TempCatalogue base;
        if (!ini.isEmpty())
            base.WriteIni(ini);
        ScriptedUi ui;
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            QCOMPARE(dlg.FilmList()->showGrid(), grid);
            QCOMPARE(dlg.FilmList()->selectionBehavior(), QAbstractItemView::SelectRows);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(QFile::exists(base.IniPath()), !ini.isEmpty()); // reading never creates the file
    }

    void startUp_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: none
        QTest::addColumn<QString>("message");
        QTest::newRow("empty catalogue") << QByteArray("") << QString();
        QTest::newRow("no catalogue") << QByteArray() << u"не найден в папке"_s;
        QTest::newRow("damaged catalogue") << QByteArray(4096, 'x') << u"не является базой данных"_s;
    }
    void startUp()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        TempCatalogue base;
        QFile f(base.BasePath());
        QVERIFY(file.isNull() ? f.remove() : file.isEmpty() || (f.open(QIODevice::WriteOnly) && f.write(file) >= 0));
        f.close();
        const QByteArray before = base.FileBytes();
        ScriptedUi ui;
        if (!message.isEmpty())
            ui.ExpectMessageContaining(message);
        RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
            // The engine's text is shown before the window, which then shows its bare template.
            QCOMPARE(ui.MessagesSeen().size(), message.isEmpty() ? 0 : 1);
            QVERIFY(message.isEmpty() || ui.MessagesSeen().value(0).contains(base.Dir()));
            QCOMPARE(dlg.FilmList()->GetColumnCount(), message.isEmpty() ? 3 : 0);
            QCOMPARE(bool(dlg.StatusBar()), message.isEmpty());
            QVERIFY(!dlg.GetDlgItem(1041)->isVisible() && !dlg.GetDlgItem(1042)->isVisible());
            QVERIFY(!message.isEmpty() || Panes(dlg).value(0) == u"Колличество фильмов: 0"_s);
            QTest::mouseClick(dlg.GetDlgItem(1000), Qt::LeftButton); // the headers still work
            QVERIFY(dlg.GetDlgItem(1004)->isVisible());
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(base.FileBytes(), before);
        QCOMPARE(QDir(base.Dir()).entryList(QDir::Files).size(), file.isNull() ? 0 : 1); // nothing created
    }

    void waysOut_data()
    {
        QTest::addColumn<int>("unused"); // the way out is the row's name
        for (const char* way : { "Выход", "Esc", "Ctrl+Q", "Файл > Выход", "Enter" })
            QTest::newRow(way) << 0;
    }
    void waysOut()
    {
        const QString way = QString::fromUtf8(QTest::currentDataTag());
        for (bool withBase : { true, false }) {
            TempCatalogue base;
            if (!withBase)
                QFile::remove(base.BasePath());
            ScriptedUi ui;
            if (!withBase)
                ui.ExpectMessageContaining(u"не найден"_s);
            RunMainWindow(base, ui, [&](CVidarroDlg& dlg) {
                if (way == u"Выход")
                    QTest::mouseClick(dlg.GetDlgItem(1047), Qt::LeftButton);
                else if (way == u"Esc")
                    PressKey(dlg.GetDlgItem(1015), Qt::Key_Escape);
                else if (way == u"Ctrl+Q")
                    PressKey(dlg.GetDlgItem(1018), Qt::Key_Q, Qt::ControlModifier);
                else if (way == u"Enter")
                    PressKey(dlg.GetDlgItem(1017), Qt::Key_Return);
                else
                    dlg.findChild<QMenuBar*>()->actions().first()->menu()->actions().first()->trigger();
                QVERIFY(dlg.IsEnded());
            });
            VERIFY_SCRIPT(ui);
        }
    }
};

REGISTER_TEST(TestMainWindow)
#include "test_mainwindow.moc"
