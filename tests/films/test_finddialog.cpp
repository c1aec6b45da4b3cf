// The find dialog: search modes and their controls, whole-text matching with letter case ignored,
// rating comparisons, result order, the selected film's details.
#include "scripted.h"
#include "testmain.h"

#include "films/finddialog.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace {
constexpr int IDC_OK = 1047, IDC_RESULTS = 1015, IDC_FINDTEXT = 1017, IDC_FIND = 1000, IDC_STARRING = 1018,
              IDC_COMMENT = 1019, IDC_GENRELIST = 1020, IDC_MEDIUMLIST = 1024, IDC_SLIDER = 1022, IDC_STATUS = 1038;
// The mode buttons.
constexpr int IDC_BYNAME = 1029, IDC_BYDIRECTOR = 1030, IDC_BYGENRE = 1031, IDC_ABOVE = 1032, IDC_BELOW = 1033,
              IDC_EQUAL = 1034, IDC_BYMEDIUM = 1039;
const QString kNoMode = u"Вы не выбрали где искать."_s;

// Table order matters: results come last-first.
void FillCatalogue(TempCatalogue& cat)
{
    for (const QString& film : {
             u"Ёлки|Тимур Бекмамбетов|Пореченков|Комедия|7|DVD|90 мин|Первые"_s,
             u"Matrix|Lana Wachowski|Keanu Reeves|Фантастика|9|CD|136|Red pill"_s,
             u"ЁЛКИ|тимур бекмамбетов|Хабенский|комедия|n/d|Flash|n/d|Вторые"_s,
             u"Ёлки 2|Бекмамбетов|Ургант|Драма|10|VHS|95|Третьи"_s,
             u" Ёлки|n/d|n/d|Мой жанр|0|Кассета|n/d|С пробелом"_s,
             u"MATRIX|LANA WACHOWSKI|Moss||3 звезды|dvd||Четвёртые"_s, // empty fields, as imported
             u"ёлки|Другой|Светлакова|Комедия|-2|Черный ящик|88|Пятые"_s,
         })
        cat.AddFilm(film.split(u'|'));
}

// The titles listed, top row first.
QStringList Titles(CFindDialog& d)
{
    return Cells(ListRows(d.Item<app::CListCtrl>(IDC_RESULTS)));
}

QString Text(CFindDialog& d, int id)
{
    return app::EditText(d.GetDlgItem(id));
}

// Chooses a mode, types into the (empty) search edit and searches.
void Search(CFindDialog& d, int radio, const QString& text)
{
    Click(d, radio);
    TypeText(d.GetDlgItem(IDC_FINDTEXT), text);
    Click(d, IDC_FIND);
}

int RunFind(const TempCatalogue& cat, ScriptedUi& ui, std::function<void(CFindDialog&)> script)
{
    return RunDialog<CFindDialog>(cat, ui, std::move(script));
}
} // namespace

class TestFindDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modeControls()
    {
        // Each mode shows its own picker (none: the edit is wide and writable), whichever mode was before.
        const QList<std::pair<int, int>> modes { { IDC_BYNAME, 0 }, { IDC_BYGENRE, IDC_GENRELIST },
            { IDC_ABOVE, IDC_SLIDER }, { IDC_BYMEDIUM, IDC_MEDIUMLIST }, { IDC_BYDIRECTOR, 0 },
            { IDC_EQUAL, IDC_SLIDER }, { IDC_BELOW, IDC_SLIDER } };
        TempCatalogue cat;
        ScriptedUi ui;
        RunFind(cat, ui, [&](CFindDialog& d) {
            auto* edit = d.GetDlgItem(IDC_FINDTEXT);
            const QRect wide = edit->geometry();
            TypeText(edit, u"старый текст"_s);
            Click(d, IDC_BYDIRECTOR);
            QCOMPARE(app::EditText(edit), u"старый текст"_s);
            for (const auto& from : modes) {
                for (const auto& [to, picker] : modes) {
                    Click(d, from.first);
                    Click(d, to);
                    QVERIFY(d.Item<QRadioButton>(to)->isChecked());
                    QCOMPARE(edit->geometry() == wide, !picker);
                    QCOMPARE(app::IsEditReadOnly(edit), bool(picker));
                    for (int id : { IDC_GENRELIST, IDC_MEDIUMLIST, IDC_SLIDER })
                        QCOMPARE(d.GetDlgItem(id)->isVisible(), id == picker);
                }
            }
            // A rating mode starts from 0; only a drag sets the value looked for, keys move the slider alone.
            auto* slider = d.Item<QSlider>(IDC_SLIDER);
            Click(d, IDC_EQUAL);
            DragThumb(slider, 6);
            QCOMPARE(app::EditText(edit), u"6"_s);
            Click(d, IDC_ABOVE);
            QCOMPARE(slider->value(), 0);
            QCOMPARE(app::EditText(edit), u"0"_s);
            PressKey(slider, Qt::Key_Right);
            PressKey(slider, Qt::Key_End);
            QCOMPARE(app::EditText(edit), u"0"_s);
            Click(d, IDC_OK);
        });
        VERIFY_SCRIPT(ui);
    }

    void searches_data()
    {
        QTest::addColumn<int>("radio");
        QTest::addColumn<int>("pick"); // the list entry chosen or the slider position dragged to, -1 for none
        QTest::addColumn<QString>("text"); // typed
        QTest::addColumn<QStringList>("titles");

        // Whole texts, letter case ignored (Ё and ё too); no parts, no trimming; last match first.
        const QStringList yolki { u"ёлки"_s, u"ЁЛКИ"_s, u"Ёлки"_s };
        QTest::newRow("Cyrillic") << IDC_BYNAME << -1 << u"ёлки"_s << yolki;
        QTest::newRow("Latin") << IDC_BYNAME << -1 << u"mAtRiX"_s << QStringList { u"MATRIX"_s, u"Matrix"_s };
        QTest::newRow("leading blank") << IDC_BYNAME << -1 << u" ёлки"_s << QStringList { u" Ёлки"_s };
        QTest::newRow("trailing blank") << IDC_BYNAME << -1 << u"Matrix "_s << QStringList {};
        QTest::newRow("first letters") << IDC_BYNAME << -1 << u"Ёл"_s << QStringList {};
        QTest::newRow("empty text") << IDC_BYNAME << -1 << QString() << QStringList {};
        QTest::newRow("director") << IDC_BYDIRECTOR << -1 << u"ТИМУР БЕКМАМБЕТОВ"_s
                                  << QStringList { u"ЁЛКИ"_s, u"Ёлки"_s };
        QTest::newRow("placeholder") << IDC_BYDIRECTOR << -1 << u"N/D"_s << QStringList { u" Ёлки"_s };
        // A letter that folds to two: the text grows.
        QTest::newRow("İ folded") << IDC_BYNAME << -1 << u"İSTANBUL"_s << QStringList { u"İstanbul"_s };
        QTest::newRow("one letter short") << IDC_BYNAME << -1 << u"istanbul"_s << QStringList {};
        // The lists' entries; "Выбрать" looks for the empty text, which only an imported film can have; "Другое"
        // takes a text of one's own.
        QTest::newRow("genre") << IDC_BYGENRE << 1 << QString() << yolki;
        QTest::newRow("genre Выбрать") << IDC_BYGENRE << 0 << QString() << QStringList { u"MATRIX"_s };
        QTest::newRow("genre Другое") << IDC_BYGENRE << 14 << u"МОЙ ЖАНР"_s << QStringList { u" Ёлки"_s };
        QTest::newRow("medium") << IDC_BYMEDIUM << 1 << QString() << QStringList { u"MATRIX"_s, u"Ёлки"_s };
        QTest::newRow("medium with a blank") << IDC_BYMEDIUM << 7 << QString() << QStringList { u"ёлки"_s };
        QTest::newRow("medium Другое") << IDC_BYMEDIUM << 8 << u"кассета"_s << QStringList { u" Ёлки"_s };
        // Ratings compare as leading numbers: "n/d" is 0, "3 звезды" is 3, "-2" is -2.
        QTest::newRow("above 0") << IDC_ABOVE << -1 << QString()
                                 << QStringList { u"MATRIX"_s, u"Ёлки 2"_s, u"Matrix"_s, u"Ёлки"_s };
        QTest::newRow("equal 0") << IDC_EQUAL << -1 << QString() << QStringList { u" Ёлки"_s, u"ЁЛКИ"_s };
        QTest::newRow("equal 10") << IDC_EQUAL << 10 << QString() << QStringList { u"Ёлки 2"_s };
        QTest::newRow("below 0") << IDC_BELOW << -1 << QString() << QStringList { u"ёлки"_s };
        QTest::newRow("below 1") << IDC_BELOW << 1 << QString() << QStringList { u"ёлки"_s, u" Ёлки"_s, u"ЁЛКИ"_s };
    }

    void searches()
    {
        QFETCH(int, radio);
        QFETCH(int, pick);
        QFETCH(QString, text);
        QFETCH(QStringList, titles);

        TempCatalogue cat;
        FillCatalogue(cat);
        if (radio == IDC_BYNAME)
            cat.AddFilm(u"İstanbul"_s);
        const QByteArray before = cat.FileBytes();
        ScriptedUi ui;
        RunFind(cat, ui, [&](CFindDialog& d) {
            Click(d, radio);
            if (pick >= 0 && (radio == IDC_BYGENRE || radio == IDC_BYMEDIUM))
                ChooseEntry(d.Item<QComboBox>(radio == IDC_BYGENRE ? IDC_GENRELIST : IDC_MEDIUMLIST), pick);
            else if (pick >= 0)
                DragThumb(d.Item<QSlider>(IDC_SLIDER), pick);
            TypeText(d.GetDlgItem(IDC_FINDTEXT), text);
            Click(d, IDC_FIND);
            QCOMPARE(Titles(d), titles);
            QCOMPARE(Text(d, IDC_STATUS), u"Найдено: %1"_s.arg(titles.size()));
            Click(d, IDC_OK);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(cat.FileBytes(), before); // only read
    }

    void manyResults()
    {
        // Few matches and many matches take different reads; both list the same rows the same way.
        TempCatalogue cat;
        cat.Execute(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500) "
                    "INSERT INTO KINVORA11 SELECT 'Фильм ' || i, 'Режиссёр ' || (i % 7), 'Роли', "
                    "'Жанр ' || (i % 5), i % 4, 'DVD', i || ' мин', 'Комментарий' FROM n"_s);
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
                        expected << u"Фильм %1"_s.arg(i);
                QCOMPARE(Titles(d), expected);
                QCOMPARE(ListRows(list).value(0),
                    (QStringList { u"Фильм 1499"_s, u"Жанр 4"_s, u"Режиссёр 1"_s, u"3"_s, u"DVD"_s, u"1499 мин"_s }));
                list->SelectRow(int(expected.size()) - 1);
                QCOMPARE(Text(d, IDC_STARRING), u"Роли"_s);
            }
            Click(d, IDC_OK);
        });
        VERIFY_SCRIPT(ui);
    }

    void keysAndFailedSearches()
    {
        TempCatalogue cat;
        FillCatalogue(cat);
        cat.WriteIni("[config]\r\nMessage=1\r\ntable = 3\r\n");
        g_nFindMode = 3; // left by an earlier opening: each opening starts without a mode
        ScriptedUi ui;
        const int cancelled = RunFind(cat, ui, [&](CFindDialog& d) {
            // The settings' bits, rows selected whole.
            QCOMPARE(d.Item<app::CListCtrl>(IDC_RESULTS)->GetExtendedStyle(), quint32(0x23));
            QVERIFY(d.Item<app::CListCtrl>(IDC_RESULTS)->showGrid());
            // Enter in the search edit neither searches nor closes; on "Найти" it searches, here without a mode.
            TypeText(d.GetDlgItem(IDC_FINDTEXT), u"Matrix"_s);
            PressKey(d.GetDlgItem(IDC_FINDTEXT), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            QCOMPARE(Text(d, IDC_STATUS), QString());
            ui.ExpectMessage(kNoMode);
            PressKey(d.GetDlgItem(IDC_FIND), Qt::Key_Return);
            QCOMPARE(Text(d, IDC_STATUS), u"Найдено: 0"_s);

            // Without a mode the results of a search already made stay listed.
            Click(d, IDC_BYNAME);
            Click(d, IDC_FIND);
            g_nFindMode = 0; // as after reopening, without leaving the window
            ui.ExpectMessage(kNoMode);
            Click(d, IDC_FIND);
            QCOMPARE(Titles(d), (QStringList { u"MATRIX"_s, u"Matrix"_s }));
            QCOMPARE(Text(d, IDC_STATUS), u"Найдено: 2"_s);

            // A database error is shown; the window stays, with no status that could pass for a result.
            cat.Execute(u"ALTER TABLE KINVORA11 RENAME TO OLDFILMS"_s);
            ui.ExpectMessageContaining(u"KINVORA11"_s);
            Click(d, IDC_BYNAME);
            Click(d, IDC_FIND);
            QVERIFY(!d.IsEnded());
            QVERIFY(!Text(d, IDC_STATUS).startsWith(u"Найдено"_s));
            cat.Execute(u"ALTER TABLE OLDFILMS RENAME TO KINVORA11"_s);
            Click(d, IDC_FIND);
            QCOMPARE(Titles(d).size(), 2);
            PressKey(d.GetDlgItem(IDC_FINDTEXT), Qt::Key_Escape);
        });
        // The focus starts on "OK": Enter closes.
        const int closed = RunFind(cat, ui, [&](CFindDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
        VERIFY_SCRIPT(ui);
        QCOMPARE(cancelled, app::IDCANCEL);
        QCOMPARE(closed, app::IDOK);
    }
};

REGISTER_TEST(TestFindDialog)
#include "test_finddialog.moc"
