// The add window and the film form it shares with the edit window: pickers, rating slider, "n/d", keys, saving.
#include "scripted.h"
#include "testmain.h"

#include "films/adddialog.h"
#include "ids/addfilm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

using namespace Qt::StringLiterals;
namespace id = ids::addfilm;

namespace {
const QString kNd = u"n/d"_s;
using Pick = std::tuple<int, QList<int>, QString, QString, bool>; // see pickers_data()
const QList<int> kTyped { id::Name, id::Director, id::Starring, id::Genre, id::Medium, id::Duration, id::Comment };
} // namespace

class TestAddDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pickers_data()
    {
        // The list, the entries chosen in turn, the text typed then, what the edit shows (and stores, empty as "n/d").
        QTest::addColumn<Pick>("pick");
        const int genre = id::GenreList, medium = id::MediumList;
        QTest::newRow("entry") << Pick { genre, { 13 }, {}, u"Порнография"_s, true };
        QTest::newRow("entry, then Другое keeps it") << Pick { genre, { 1, 14 }, {}, u"Комедия"_s, false };
        QTest::newRow("Другое, typed") << Pick { genre, { 14 }, u"Нуар"_s, u"Нуар"_s, false };
        QTest::newRow("Выбрать after Другое empties, stays writable")
            << Pick { genre, { 2, 14, 0 }, u"Арт-хаус"_s, u"Арт-хаус"_s, false };
        QTest::newRow("entry after Другое is read-only again") << Pick { genre, { 14, 8 }, {}, u"Драма"_s, true };
        QTest::newRow("entry, then Выбрать") << Pick { genre, { 3, 0 }, {}, {}, true };
        QTest::newRow("medium with a blank") << Pick { medium, { 7 }, {}, u"Черный ящик"_s, true };
        QTest::newRow("medium Другое, typed") << Pick { medium, { 8 }, u"Blu-ray"_s, u"Blu-ray"_s, false };
    }
    void pickers()
    {
        QFETCH(Pick, pick);
        const auto& [list, choices, typed, shown, readOnly] = pick;
        const int edit = list == id::GenreList ? id::Genre : id::Medium;
        TempCatalogue cat;
        ScriptedUi ui;
        RunDialog<CAddDialog>(cat, ui, [&](CAddDialog& d) {
            for (int index : choices)
                ChooseEntry(d.Item<QComboBox>(list), index);
            TypeText(d.GetDlgItem(edit), typed);
            QCOMPARE(app::EditText(d.GetDlgItem(edit)), shown);
            QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(edit)), readOnly);
            d.SendCommand(id::Save);
        });
        VERIFY_SCRIPT(ui);
        QStringList expected { kNd, kNd, kNd, kNd, u"0"_s, kNd, kNd, kNd };
        expected[edit == id::Genre ? 3 : 5] = shown.isEmpty() ? kNd : shown;
        QCOMPARE(cat.Rows(u"KINVORA11"_s), QList<QStringList> { expected });
    }

    void formAndKeys_data()
    {
        QTest::addColumn<QString>("input"); // typed into every edit
        QTest::addColumn<QString>("stored"); // null: closed with Esc
        QTest::addColumn<bool>("refused"); // the first "OK"
        QTest::newRow("one blank is n/d") << u" "_s << kNd << false;
        QTest::newRow("blanks around, a title already listed: added last") << u" Сталкер "_s << u" Сталкер "_s << false;
        QTest::newRow("refused once") << u"Ностальгия"_s << u"Ностальгия"_s << true;
        QTest::newRow("Esc") << u"Солярис"_s << QString() << false;
    }
    void formAndKeys()
    {
        QFETCH(QString, input);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        TempCatalogue cat;
        cat.AddFilm(u" Сталкер "_s);
        ScriptedUi ui;
        const int result = RunDialog<CAddDialog>(cat, ui, [&](CAddDialog& d) {
            QCOMPARE(d.focusWidget(), d.GetDlgItem(id::Save));
            // Text typed into a list's own field is no choice; Enter saves nothing.
            for (int list : { id::GenreList, id::MediumList }) {
                TypeText(d.Item<QComboBox>(list)->lineEdit(), u"Вестерн"_s);
                PressKey(d.Item<QComboBox>(list)->lineEdit(), Qt::Key_Return);
            }
            QCOMPARE(EditTexts(d, { id::Genre, id::Medium }), (QStringList { QString(), QString() }));
            ChooseEntry(d.Item<QComboBox>(id::GenreList), 14);
            ChooseEntry(d.Item<QComboBox>(id::MediumList), 8);
            for (int edit : kTyped)
                TypeText(d.GetDlgItem(edit), input);
            PressKey(d.GetDlgItem(id::Name), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            // Keys move the slider alone; a released drag sets the rating, the ends included.
            auto* slider = d.Item<QSlider>(id::RatingSlider);
            for (Qt::Key key : { Qt::Key_Right, Qt::Key_PageUp, Qt::Key_End })
                PressKey(slider, key);
            QCOMPARE(slider->value(), 10);
            QCOMPARE(app::EditText(d.GetDlgItem(id::Rating)), u"0"_s);
            DragThumb(slider, 7);
            PressKey(slider, Qt::Key_Right);
            QCOMPARE(app::EditText(d.GetDlgItem(id::Rating)), u"7"_s);
            DragThumb(slider, 14);
            if (refused) {
                // One INSERT: when the engine refuses it, nothing is added (not even a blank record), the form stays.
                for (const char* event : { "INSERT", "UPDATE" })
                    cat.Execute(
                        u"CREATE TRIGGER refuse_%1 BEFORE %1 ON KINVORA11 BEGIN SELECT RAISE(ABORT, 'full'); END"_s.arg(
                            QLatin1String(event)));
                ui.ExpectMessageContaining(u"full"_s);
                d.SendCommand(id::Save);
                cat.Execute(u"DROP TRIGGER refuse_INSERT"_s);
                QCOMPARE(EditTexts(d, { id::Name, id::Rating }), (QStringList { input, u"10"_s }));
            }
            QCOMPARE(cat.Count(u"KINVORA11"_s), 1);
            PressKey(stored.isNull() ? d.GetDlgItem(id::Name) : d.focusWidget(),
                stored.isNull() ? Qt::Key_Escape : Qt::Key_Return);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, stored.isNull() ? app::IDCANCEL : app::IDOK);
        QStringList film(8, stored);
        film[4] = u"10"_s;
        QCOMPARE(
            cat.Rows(u"KINVORA11"_s).mid(1), stored.isNull() ? QList<QStringList> {} : QList<QStringList> { film });
    }
};

REGISTER_TEST(TestAddDialog)
#include "test_adddialog.moc"
