// The film find window: modes and their pickers, the field each mode searches, result order, failed searches.
#include "scripted.h"
#include "testmain.h"

#include "films/finddialog.h"
#include "ids/findfilm.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSlider>

using namespace Qt::StringLiterals;
namespace id = ids::findfilm;
using Search = std::tuple<int, int, QString, QString>; // see searches_data()

namespace {
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

} // namespace

class TestFindDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modeControls()
    {
        // Each mode shows its own picker (none: the edit is wide and writable), whichever mode was before.
        const QList<std::pair<int, int>> modes { { id::ByName, 0 }, { id::ByGenre, id::GenreList },
            { id::RatingAbove, id::RatingSlider }, { id::ByMedium, id::MediumList }, { id::ByDirector, 0 },
            { id::RatingEqual, id::RatingSlider }, { id::RatingBelow, id::RatingSlider } };
        TempCatalogue cat;
        ScriptedUi ui;
        RunDialog<CFindDialog>(cat, ui, [&](CFindDialog& d) {
            auto* edit = d.GetDlgItem(id::FindText);
            const QRect wide = edit->geometry();
            TypeText(edit, u"старый текст"_s);
            Click(d, id::ByDirector);
            QCOMPARE(app::EditText(edit), u"старый текст"_s);
            for (const auto& from : modes)
                for (const auto& [to, picker] : modes) {
                    Click(d, from.first);
                    Click(d, to);
                    QVERIFY(d.Item<QRadioButton>(to)->isChecked());
                    QCOMPARE(edit->geometry() == wide, !picker);
                    QCOMPARE(app::IsEditReadOnly(edit), bool(picker));
                    for (int list : { id::GenreList, id::MediumList, id::RatingSlider })
                        QCOMPARE(d.GetDlgItem(list)->isVisible(), list == picker);
                }
            // Each rating mode starts again from 0.
            Click(d, id::RatingEqual);
            DragThumb(d.Item<QSlider>(id::RatingSlider), 6);
            Click(d, id::RatingAbove);
            QCOMPARE(d.Item<QSlider>(id::RatingSlider)->value(), 0);
            QCOMPARE(app::EditText(edit), u"0"_s);
            Click(d, id::Close);
        });
        VERIFY_SCRIPT(ui);
    }

    void searches_data()
    {
        // The mode, the list entry chosen or the slider position dragged to (-1: none), the text typed, the titles.
        QTest::addColumn<Search>("search");
        // Each mode its own field, last match first; "Выбрать" looks for the empty text, "Другое" for one typed.
        QTest::newRow("title") << Search { id::ByName, -1, u"ёлки"_s, u"ёлки|ЁЛКИ|Ёлки"_s };
        QTest::newRow("director") << Search { id::ByDirector, -1, u"ТИМУР БЕКМАМБЕТОВ"_s, u"ЁЛКИ|Ёлки"_s };
        QTest::newRow("genre") << Search { id::ByGenre, 1, QString(), u"ёлки|ЁЛКИ|Ёлки"_s };
        QTest::newRow("genre Выбрать") << Search { id::ByGenre, 0, QString(), u"MATRIX"_s };
        QTest::newRow("genre Другое") << Search { id::ByGenre, 14, u"МОЙ ЖАНР"_s, u" Ёлки"_s };
        QTest::newRow("medium") << Search { id::ByMedium, 1, QString(), u"MATRIX|Ёлки"_s };
        QTest::newRow("medium with a blank") << Search { id::ByMedium, 7, QString(), u"ёлки"_s };
        QTest::newRow("medium Другое") << Search { id::ByMedium, 8, u"кассета"_s, u" Ёлки"_s };
        QTest::newRow("above 0, not dragged")
            << Search { id::RatingAbove, -1, QString(), u"MATRIX|Ёлки 2|Matrix|Ёлки"_s };
        QTest::newRow("equal 10") << Search { id::RatingEqual, 10, QString(), u"Ёлки 2"_s };
        QTest::newRow("below 1") << Search { id::RatingBelow, 1, QString(), u"ёлки| Ёлки|ЁЛКИ"_s };
    }
    void searches()
    {
        QFETCH(Search, search);
        const auto& [radio, pick, text, titles] = search;
        TempCatalogue cat;
        FillCatalogue(cat);
        const QByteArray before = cat.FileBytes();
        ScriptedUi ui;
        RunDialog<CFindDialog>(cat, ui, [&](CFindDialog& d) {
            Click(d, radio);
            if (pick >= 0 && (radio == id::ByGenre || radio == id::ByMedium))
                ChooseEntry(d.Item<QComboBox>(radio == id::ByGenre ? id::GenreList : id::MediumList), pick);
            else if (pick >= 0)
                DragThumb(d.Item<QSlider>(id::RatingSlider), pick);
            TypeText(d.GetDlgItem(id::FindText), text);
            Click(d, id::Find);
            const QStringList found = Cells(ListRows(d.Item<app::CListCtrl>(id::Results)));
            QCOMPARE(found, titles.split(u'|'));
            QCOMPARE(app::EditText(d.GetDlgItem(id::Status)), u"Найдено: %1"_s.arg(titles.count(u'|') + 1));
            d.Item<app::CListCtrl>(id::Results)->SelectRow(0); // a row shows its own film's details
            for (const QStringList& film : cat.Rows(u"KINVORA11"_s))
                if (film[0] == found.first())
                    QCOMPARE(app::EditText(d.GetDlgItem(id::Starring)), film[2]);
            Click(d, id::Close);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(cat.FileBytes(), before); // only read
    }

    void keysAndFailedSearches()
    {
        TempCatalogue cat;
        g_nFindMode = 3; // left by an earlier opening: each opening starts without a mode
        ScriptedUi ui;
        const int cancelled = RunDialog<CFindDialog>(cat, ui, [&](CFindDialog& d) {
            // Enter in the search edit neither searches nor closes; on "Найти" it searches, here without a mode.
            TypeText(d.GetDlgItem(id::FindText), u"Matrix"_s);
            PressKey(d.GetDlgItem(id::FindText), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            QCOMPARE(app::EditText(d.GetDlgItem(id::Status)), QString());
            ui.ExpectMessage(kNoMode);
            PressKey(d.GetDlgItem(id::Find), Qt::Key_Return);
            QCOMPARE(app::EditText(d.GetDlgItem(id::Status)), u"Найдено: 0"_s);
            // A database error is shown; the window stays, with no status that could pass for a result.
            cat.Execute(u"ALTER TABLE KINVORA11 RENAME TO OLDFILMS"_s);
            ui.ExpectMessageContaining(u"KINVORA11"_s);
            Click(d, id::ByName);
            Click(d, id::Find);
            QVERIFY(!app::EditText(d.GetDlgItem(id::Status)).startsWith(u"Найдено"_s));
            PressKey(d.GetDlgItem(id::FindText), Qt::Key_Escape);
        });
        // The focus starts on "OK": Enter closes.
        const int closed
            = RunDialog<CFindDialog>(cat, ui, [&](CFindDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
        VERIFY_SCRIPT(ui);
        QCOMPARE(cancelled, app::IDCANCEL);
        QCOMPARE(closed, app::IDOK);
    }
};

REGISTER_TEST(TestFindDialog)
#include "test_finddialog.moc"
