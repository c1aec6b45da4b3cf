// The find dialog: search modes and their controls, whole-text matching with letter case ignored,
// rating comparisons, result order, the selected film's details, the list style.
#include "filmtest.h"
#include "scripted.h"
#include "testbase.h"

#include "films/finddialog.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {
enum : int {
    IDC_OK = 1047,
    IDC_RESULTS = 1015,
    IDC_FINDTEXT = 1017,
    IDC_FIND = 1000,
    IDC_STARRING = 1018,
    IDC_COMMENT = 1019,
    IDC_GENRELIST = 1020,
    IDC_MEDIUMLIST = 1024,
    IDC_SLIDER = 1022,
    IDC_STATUS = 1038,
    IDC_BYNAME = 1029,
    IDC_BYDIRECTOR = 1030,
    IDC_BYGENRE = 1031,
    IDC_ABOVE = 1032,
    IDC_BELOW = 1033,
    IDC_EQUAL = 1034,
    IDC_BYMEDIUM = 1039,
};

// Table order matters: results come last-first.
void FillCatalogue(TempCatalogue& cat)
{
    const QString nd = QStringLiteral("n/d");
    cat.AddFilm({ QStringLiteral("Ёлки"), QStringLiteral("Тимур Бекмамбетов"), QStringLiteral("Пореченков"),
        QStringLiteral("Комедия"), QStringLiteral("7"), QStringLiteral("DVD"), QStringLiteral("90 мин"),
        QStringLiteral("Первые") }); // 0
    cat.AddFilm({ QStringLiteral("Matrix"), QStringLiteral("Lana Wachowski"), QStringLiteral("Keanu Reeves"),
        QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("CD"), QStringLiteral("136"),
        QStringLiteral("Red pill") }); // 1
    cat.AddFilm({ QStringLiteral("ЁЛКИ"), QStringLiteral("тимур бекмамбетов"), QStringLiteral("Хабенский"),
        QStringLiteral("комедия"), nd, QStringLiteral("Flash"), nd, QStringLiteral("Вторые") }); // 2
    cat.AddFilm(
        { QStringLiteral("Ёлки 2"), QStringLiteral("Бекмамбетов"), QStringLiteral("Ургант"), QStringLiteral("Драма"),
            QStringLiteral("10"), QStringLiteral("VHS"), QStringLiteral("95"), QStringLiteral("Третьи") }); // 3
    cat.AddFilm({ QStringLiteral(" Ёлки"), nd, nd, QStringLiteral("Мой жанр"), QStringLiteral("0"),
        QStringLiteral("Кассета"), nd, QStringLiteral("С пробелом") }); // 4
    cat.AddFilm({ QStringLiteral("MATRIX"), QStringLiteral("LANA WACHOWSKI"), QStringLiteral("Moss"), QString(),
        QStringLiteral("3 звезды"), QStringLiteral("dvd"), QString(), QStringLiteral("Четвёртые") }); // 5
    cat.AddFilm(
        { QStringLiteral("ёлки"), QStringLiteral("Другой"), QStringLiteral("Светлакова"), QStringLiteral("Комедия"),
            QStringLiteral("-2"), QStringLiteral("Черный ящик"), QStringLiteral("88"), QStringLiteral("Пятые") }); // 6
}

// The titles listed, top row first, with the column texts of the first row for a closer look.
QStringList Titles(CFindDialog& d)
{
    auto* list = d.Item<app::CListCtrl>(IDC_RESULTS);
    QStringList titles;
    for (int row = 0; row < list->GetItemCount(); ++row)
        titles << list->GetItemText(row, 0);
    return titles;
}

QString Status(CFindDialog& d)
{
    return app::EditText(d.GetDlgItem(IDC_STATUS));
}

void Click(CFindDialog& d, int id)
{
    QTest::mouseClick(d.GetDlgItem(id), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
}

void Search(CFindDialog& d, int radio, const QString& text)
{
    Click(d, radio);
    QLineEdit* edit = d.Item<QLineEdit>(IDC_FINDTEXT);
    edit->selectAll();
    PressKey(edit, Qt::Key_Delete);
    TypeText(edit, text);
    Click(d, IDC_FIND);
}

int RunFind(const TempCatalogue& cat, ScriptedUi& ui, std::function<void(CFindDialog&)> script)
{
    ui.ExpectDialog<CFindDialog>(std::move(script));
    CFindDialog FindDialog;
    FindDialog.m_strBasePath = cat.BasePath();
    FindDialog.m_strIniPath = cat.IniPath();
    return FindDialog.DoModal();
}
} // namespace

class TestFindDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openingState();
    void modeControls_data();
    void modeControls();
    void textModes_data();
    void textModes();
    void pickerModes();
    void ratingModes();
    void manyResults();
    void noModeKeepsResults();
    void selectedFilmDetails();
    void listStyle_data();
    void listStyle();
    void keysAndResult();
    void databaseError();
};

void TestFindDialog::openingState()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    g_nFindMode = 3; // left by an earlier opening
    ScriptedUi ui;
    RunFind(cat, ui, [](CFindDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Найти"));
        QCOMPARE(g_nFindMode, 0);
        QCOMPARE(d.focusWidget(), d.GetDlgItem(IDC_OK));
        for (int id : { IDC_BYNAME, IDC_BYDIRECTOR, IDC_BYGENRE, IDC_ABOVE, IDC_BELOW, IDC_EQUAL, IDC_BYMEDIUM })
            QVERIFY(!d.Item<QRadioButton>(id)->isChecked());
        for (int id : { IDC_GENRELIST, IDC_MEDIUMLIST, IDC_SLIDER })
            QVERIFY(d.GetDlgItem(id)->isHidden());
        QVERIFY(!app::IsEditReadOnly(d.GetDlgItem(IDC_FINDTEXT)));
        QCOMPARE(d.Item<QComboBox>(IDC_GENRELIST)->currentIndex(), 0);
        QCOMPARE(d.Item<QComboBox>(IDC_MEDIUMLIST)->currentIndex(), 0);
        auto* slider = d.Item<QSlider>(IDC_SLIDER);
        QCOMPARE(slider->maximum(), 10);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(Status(d), QString());
        auto* list = d.Item<app::CListCtrl>(IDC_RESULTS);
        QCOMPARE(list->GetItemCount(), 0);
        QStringList headings;
        QList<int> widths;
        for (int c = 0; c < list->GetColumnCount(); ++c) {
            headings << list->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            widths << list->columnWidth(c);
        }
        QCOMPARE(headings,
            (QStringList { QStringLiteral("Название фильма"), QStringLiteral("Жанр"), QStringLiteral("Режиссер"),
                QStringLiteral("Рейтинг"), QStringLiteral("Носитель"), QStringLiteral("Время") }));
        QList<int> classic;
        for (int w : { 150, 100, 130, 50, 50, 50 })
            classic << d.MapClassicPixels(QRect(0, 0, w, 0)).width();
        QCOMPARE(widths, classic);
        // Each heading fits its column.
        for (int c = 0; c < list->GetColumnCount(); ++c)
            QVERIFY2(list->fontMetrics().horizontalAdvance(headings[c]) < widths[c], qPrintable(headings[c]));
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDialog::modeControls_data()
{
    QTest::addColumn<int>("radio");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<int>("shown"); // the one picker shown, 0 for none

    QTest::newRow("title") << int(IDC_BYNAME) << 1 << "NAMEFILM" << true << 0;
    QTest::newRow("director") << int(IDC_BYDIRECTOR) << 2 << "REZISSER" << true << 0;
    QTest::newRow("genre") << int(IDC_BYGENRE) << 3 << "ZANR" << false << int(IDC_GENRELIST);
    QTest::newRow("rating above") << int(IDC_ABOVE) << 4 << "REITING" << false << int(IDC_SLIDER);
    QTest::newRow("rating below") << int(IDC_BELOW) << 5 << "REITING" << false << int(IDC_SLIDER);
    QTest::newRow("rating equal") << int(IDC_EQUAL) << 6 << "REITING" << false << int(IDC_SLIDER);
    QTest::newRow("medium") << int(IDC_BYMEDIUM) << 7 << "NOSITEL" << false << int(IDC_MEDIUMLIST);
}

void TestFindDialog::modeControls()
{
    QFETCH(int, radio);
    QFETCH(int, mode);
    QFETCH(QString, field);
    QFETCH(bool, wide);
    QFETCH(int, shown);

    TempCatalogue cat;
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        auto* edit = d.GetDlgItem(IDC_FINDTEXT);
        const QRect wideRect = edit->geometry();
        TypeText(edit, QStringLiteral("старый текст"));
        // From every other mode, as well as from the start.
        for (int from : { 0, int(IDC_BYNAME), int(IDC_BYGENRE), int(IDC_EQUAL), int(IDC_BYMEDIUM) }) {
            if (from)
                Click(d, from);
            Click(d, radio);
            QCOMPARE(g_nFindMode, mode);
            QCOMPARE(g_strFindField, field);
            QVERIFY(d.Item<QRadioButton>(radio)->isChecked());
            QCOMPARE(edit->geometry() == wideRect, wide);
            QCOMPARE(app::IsEditReadOnly(edit), !wide);
            for (int id : { int(IDC_GENRELIST), int(IDC_MEDIUMLIST), int(IDC_SLIDER) })
                QCOMPARE(d.GetDlgItem(id)->isVisible(), id == shown);
            if (shown) {
                // The picker stands left of the narrowed edit, on the same line.
                const QRect picker = d.GetDlgItem(shown)->geometry();
                QVERIFY(picker.right() < edit->geometry().left());
                QVERIFY(picker.top() < edit->geometry().bottom());
                QVERIFY(!picker.intersects(d.GetDlgItem(IDC_FIND)->geometry()));
            }
            if (shown == IDC_SLIDER)
                QCOMPARE(app::EditText(edit), QStringLiteral("0"));
            else if (from == 0)
                QCOMPARE(app::EditText(edit), QStringLiteral("старый текст"));
        }
        if (radio == IDC_BYGENRE) {
            QVERIFY(ChooseEntry(d.Item<QComboBox>(IDC_GENRELIST), 10));
            SaveScreenshot(&d, QStringLiteral("finddialog-genre"));
        }
        if (radio == IDC_ABOVE)
            SaveScreenshot(&d, QStringLiteral("finddialog-rating"));
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDialog::textModes_data()
{
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("titles");

    // Whole texts, letter case ignored (Ё and ё too); no parts, no trimming; last match first.
    QTest::newRow("Cyrillic, small letters")
        << int(IDC_BYNAME) << "ёлки" << QStringList { u"ёлки"_s, u"ЁЛКИ"_s, u"Ёлки"_s };
    QTest::newRow("Cyrillic, capitals") << int(IDC_BYNAME) << "ЁЛКИ" << QStringList { u"ёлки"_s, u"ЁЛКИ"_s, u"Ёлки"_s };
    QTest::newRow("Latin") << int(IDC_BYNAME) << "mAtRiX" << QStringList { u"MATRIX"_s, u"Matrix"_s };
    QTest::newRow("leading blank is part of the text") << int(IDC_BYNAME) << " ёлки" << QStringList { u" Ёлки"_s };
    QTest::newRow("trailing blank") << int(IDC_BYNAME) << "Matrix " << QStringList {};
    QTest::newRow("first letters") << int(IDC_BYNAME) << "Ёл" << QStringList {};
    QTest::newRow("part of a title") << int(IDC_BYNAME) << "2" << QStringList {};
    QTest::newRow("with a number") << int(IDC_BYNAME) << "ёлки 2" << QStringList { u"Ёлки 2"_s };
    QTest::newRow("director") << int(IDC_BYDIRECTOR) << "ТИМУР БЕКМАМБЕТОВ" << QStringList { u"ЁЛКИ"_s, u"Ёлки"_s };
    QTest::newRow("director, Latin") << int(IDC_BYDIRECTOR) << "lana wachowski"
                                     << QStringList { u"MATRIX"_s, u"Matrix"_s };
    QTest::newRow("placeholder") << int(IDC_BYDIRECTOR) << "N/D" << QStringList { u" Ёлки"_s };
    QTest::newRow("empty text") << int(IDC_BYNAME) << "" << QStringList {};
    QTest::newRow("a letter that folds to two") << int(IDC_BYNAME) << "i\u0307stanbul" << QStringList { u"İstanbul"_s };
    QTest::newRow("the same in capitals") << int(IDC_BYNAME) << "İSTANBUL" << QStringList { u"İstanbul"_s };
    QTest::newRow("one letter short") << int(IDC_BYNAME) << "istanbul" << QStringList {};
}

void TestFindDialog::textModes()
{
    QFETCH(int, radio);
    QFETCH(QString, text);
    QFETCH(QStringList, titles);

    TempCatalogue cat;
    FillCatalogue(cat);
    cat.AddFilm({ QStringLiteral("İstanbul"), QStringLiteral("Джейлан"), QString(), QString(), QString(), QString(),
        QString(), QString() });
    const QByteArray before = cat.FileBytes();
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        Search(d, radio, text);
        QCOMPARE(Titles(d), titles);
        QCOMPARE(Status(d), QStringLiteral("Найдено: %1").arg(titles.size()));
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.FileBytes(), before);
}

void TestFindDialog::pickerModes()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        auto* genres = d.Item<QComboBox>(IDC_GENRELIST);
        auto* media = d.Item<QComboBox>(IDC_MEDIUMLIST);
        auto* edit = d.GetDlgItem(IDC_FINDTEXT);

        Click(d, IDC_BYGENRE);
        QVERIFY(ChooseEntry(genres, 1));
        QCOMPARE(app::EditText(edit), QStringLiteral("Комедия"));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), (QStringList { QStringLiteral("ёлки"), QStringLiteral("ЁЛКИ"), QStringLiteral("Ёлки") }));
        // Every cell shows the stored text.
        auto* list = d.Item<app::CListCtrl>(IDC_RESULTS);
        QStringList cells;
        for (int c = 0; c < 6; ++c)
            cells << list->GetItemText(1, c);
        QCOMPARE(cells,
            (QStringList { QStringLiteral("ЁЛКИ"), QStringLiteral("комедия"), QStringLiteral("тимур бекмамбетов"),
                QStringLiteral("n/d"), QStringLiteral("Flash"), QStringLiteral("n/d") }));

        // "Выбрать" looks for the empty genre, which only an imported film can have.
        QVERIFY(ChooseEntry(genres, 0));
        QCOMPARE(app::EditText(edit), QString());
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral("MATRIX") });

        // "Другое": a genre of one's own is typed into the search edit.
        QVERIFY(ChooseEntry(genres, 14));
        QVERIFY(!app::IsEditReadOnly(edit));
        TypeText(edit, QStringLiteral("МОЙ ЖАНР"));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral(" Ёлки") });

        // The genre list keeps its choice across modes; the edit shows the old text until a new choice.
        Click(d, IDC_BYMEDIUM);
        QCOMPARE(app::EditText(edit), QStringLiteral("МОЙ ЖАНР"));
        QVERIFY(app::IsEditReadOnly(edit));
        QVERIFY(ChooseEntry(media, 1));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), (QStringList { QStringLiteral("MATRIX"), QStringLiteral("Ёлки") }));
        QVERIFY(ChooseEntry(media, 8));
        QCOMPARE(app::EditText(edit), QStringLiteral("DVD"));
        d.Item<QLineEdit>(IDC_FINDTEXT)->selectAll();
        TypeText(edit, QStringLiteral("кассета"));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral(" Ёлки") });
        QVERIFY(ChooseEntry(media, 7));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral("ёлки") });
        QCOMPARE(genres->currentIndex(), 14);
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDialog::ratingModes()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        auto* slider = d.Item<QSlider>(IDC_SLIDER);
        auto* edit = d.GetDlgItem(IDC_FINDTEXT);

        // Ratings compare as leading numbers: "n/d" is 0, "3 звезды" is 3, "-2" is -2.
        Click(d, IDC_ABOVE);
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d),
            (QStringList { QStringLiteral("MATRIX"), QStringLiteral("Ёлки 2"), QStringLiteral("Matrix"),
                QStringLiteral("Ёлки") }));
        QCOMPARE(Status(d), QStringLiteral("Найдено: 4"));

        Click(d, IDC_EQUAL);
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), (QStringList { QStringLiteral(" Ёлки"), QStringLiteral("ЁЛКИ") }));

        DragThumb(slider, 9);
        QCOMPARE(app::EditText(edit), QStringLiteral("9"));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral("Matrix") });

        DragThumb(slider, 10);
        Click(d, IDC_ABOVE);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(app::EditText(edit), QStringLiteral("0"));

        Click(d, IDC_BELOW);
        DragThumb(slider, 1);
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), (QStringList { QStringLiteral("ёлки"), QStringLiteral(" Ёлки"), QStringLiteral("ЁЛКИ") }));

        // Keys move the slider, not the value looked for.
        Click(d, IDC_BELOW);
        for (int i = 0; i < 5; ++i)
            PressKey(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 5);
        QCOMPARE(app::EditText(edit), QStringLiteral("0"));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral("ёлки") });

        DragThumb(slider, 10);
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d).size(), 6);
        Click(d, IDC_EQUAL);
        DragThumb(slider, 10);
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), QStringList { QStringLiteral("Ёлки 2") });
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDialog::manyResults()
{
    // Few matches and many matches take different reads; both list the same rows the same way.
    TempCatalogue cat;
    cat.Execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500) "
                               "INSERT INTO KINVORA11 SELECT 'Фильм ' || i, 'Режиссёр ' || (i % 7), 'Роли', "
                               "'Жанр ' || (i % 5), i % 4, 'DVD', i || ' мин', 'Комментарий' FROM n"));
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        auto* list = d.Item<app::CListCtrl>(IDC_RESULTS);
        for (int radio : { int(IDC_ABOVE), int(IDC_EQUAL) }) {
            Click(d, radio);
            DragThumb(d.Item<QSlider>(IDC_SLIDER), radio == IDC_ABOVE ? 0 : 3);
            Click(d, IDC_FIND);
            QStringList expected;
            for (int i = 1500; i >= 1; --i)
                if (radio == IDC_ABOVE ? i % 4 > 0 : i % 4 == 3)
                    expected << QStringLiteral("Фильм %1").arg(i);
            QCOMPARE(Titles(d), expected);
            QCOMPARE(Status(d), QStringLiteral("Найдено: %1").arg(expected.size()));
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << list->GetItemText(0, c);
            QCOMPARE(cells,
                (QStringList { QStringLiteral("Фильм 1499"), QStringLiteral("Жанр 4"), QStringLiteral("Режиссёр 1"),
                    QStringLiteral("3"), QStringLiteral("DVD"), QStringLiteral("1499 мин") }));
            list->SelectRow(int(expected.size()) - 1);
            QCOMPARE(g_strSelectedTitle, expected.last());
            QCOMPARE(app::EditText(d.GetDlgItem(IDC_STARRING)), QStringLiteral("Роли"));
        }
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDialog::noModeKeepsResults()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        TypeText(d.GetDlgItem(IDC_FINDTEXT), QStringLiteral("Matrix"));
        ui.ExpectMessage(QStringLiteral("Вы не выбрали где искать."));
        Click(d, IDC_FIND);
        QCOMPARE(Status(d), QStringLiteral("Найдено: 0"));
        QCOMPARE(Titles(d), QStringList {});
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);

    // A new opening starts without a mode again; the results of a search already made stay listed.
    ScriptedUi ui2;
    RunFind(cat, ui2, [&](CFindDialog& d) {
        Search(d, IDC_BYNAME, QStringLiteral("matrix"));
        QCOMPARE(Titles(d).size(), 2);
        QCOMPARE(ui2.MessagesSeen().size(), 0);
        g_nFindMode = 0; // as after reopening, without leaving the window
        ui2.ExpectMessage(QStringLiteral("Вы не выбрали где искать."));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d), (QStringList { QStringLiteral("MATRIX"), QStringLiteral("Matrix") }));
        QCOMPARE(Status(d), QStringLiteral("Найдено: 2"));
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui2);
}

void TestFindDialog::selectedFilmDetails()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    // Two films with the same title: each row shows its own film.
    cat.AddFilm({ QStringLiteral("Matrix"), QStringLiteral("Другие"), QStringLiteral("Второй состав\r\nи ещё"),
        QStringLiteral("Фантастика"), QStringLiteral("4"), QStringLiteral("CD"), QStringLiteral("120"),
        QStringLiteral("Ремейк") });
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        auto* list = d.Item<app::CListCtrl>(IDC_RESULTS);
        Search(d, IDC_BYNAME, QStringLiteral("MATRIX"));
        QCOMPARE(
            Titles(d), (QStringList { QStringLiteral("Matrix"), QStringLiteral("MATRIX"), QStringLiteral("Matrix") }));

        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(list->Model()->index(2, 1)).center());
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_STARRING)), QStringLiteral("Keanu Reeves"));
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_COMMENT)), QStringLiteral("Red pill"));
        QCOMPARE(g_strSelectedTitle, QStringLiteral("Matrix"));
        SaveScreenshot(&d, QStringLiteral("finddialog"));

        list->SelectRow(0);
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_STARRING)), QStringLiteral("Второй состав\nи ещё"));
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_COMMENT)), QStringLiteral("Ремейк"));
        QCOMPARE(d.m_strStarring, QStringLiteral("Второй состав\r\nи ещё"));

        list->SelectRow(1);
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_STARRING)), QStringLiteral("Moss"));
        QCOMPARE(g_strSelectedTitle, QStringLiteral("MATRIX"));

        // A new search empties both.
        Click(d, IDC_FIND);
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_STARRING)), QString());
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_COMMENT)), QString());
        QCOMPARE(Titles(d).size(), 3);
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(g_strSelectedTitle, QStringLiteral("MATRIX"));
}

void TestFindDialog::listStyle_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<uint>("style");
    QTest::newRow("no file") << QByteArray() << uint(0x20);
    QTest::newRow("grid lines") << QByteArray("[Config]\r\nTable=1\r\n") << uint(0x21);
    QTest::newRow("no grid lines") << QByteArray("[Config]\r\nTable=0\r\n") << uint(0x20);
    QTest::newRow("empty") << QByteArray("[Config]\r\nTable=\r\n") << uint(0x20);
    QTest::newRow("not a number") << QByteArray("[Config]\r\nTable=yes\r\n") << uint(0x20);
    QTest::newRow("other bits") << QByteArray("[config]\r\nMessage=1\r\ntable = 3\r\n") << uint(0x23);
}

void TestFindDialog::listStyle()
{
    QFETCH(QByteArray, ini);
    QFETCH(uint, style);
    TempCatalogue cat;
    if (!ini.isNull())
        cat.WriteIni(ini);
    ScriptedUi ui;
    RunFind(cat, ui, [&](CFindDialog& d) {
        auto* list = d.Item<app::CListCtrl>(IDC_RESULTS);
        QCOMPARE(uint(list->GetExtendedStyle()), style);
        QCOMPARE(list->showGrid(), bool(style & 1));
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDialog::keysAndResult()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    {
        ScriptedUi ui;
        const int result = RunFind(cat, ui, [&](CFindDialog& d) {
            Click(d, IDC_BYNAME);
            TypeText(d.GetDlgItem(IDC_FINDTEXT), QStringLiteral("Matrix"));
            // Enter in the search edit neither searches nor closes.
            PressKey(d.GetDlgItem(IDC_FINDTEXT), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            QCOMPARE(Titles(d), QStringList {});
            QCOMPARE(Status(d), QString());
            PressKey(d.GetDlgItem(IDC_FIND), Qt::Key_Return);
            QCOMPARE(Titles(d).size(), 2);
            PressKey(d.GetDlgItem(IDC_FINDTEXT), Qt::Key_Escape);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
    }
    {
        ScriptedUi ui;
        const int result = RunFind(cat, ui, [&](CFindDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
    }
}

void TestFindDialog::databaseError()
{
    TempCatalogue cat;
    FillCatalogue(cat);
    ScriptedUi ui;
    MessageCatcher messages;
    RunFind(cat, ui, [&](CFindDialog& d) {
        Search(d, IDC_BYNAME, QStringLiteral("matrix"));
        QCOMPARE(Titles(d).size(), 2);
        cat.Execute(QStringLiteral("ALTER TABLE KINVORA11 RENAME TO OLDFILMS"));
        Click(d, IDC_FIND);
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY2(
            messages.Texts().value(0).contains(QStringLiteral("KINVORA11")), qPrintable(messages.Texts().value(0)));
        QVERIFY(!d.IsEnded());
        QVERIFY(!Status(d).startsWith(QStringLiteral("Найдено")));
        cat.Execute(QStringLiteral("ALTER TABLE OLDFILMS RENAME TO KINVORA11"));
        Click(d, IDC_FIND);
        QCOMPARE(Titles(d).size(), 2);
        Click(d, IDC_OK);
    });
    VERIFY_SCRIPT(ui);
}

QTEST_MAIN(TestFindDialog)
#include "test_finddialog.moc"
