// The add dialog: the film form's rules (pickers, rating slider, "n/d", keys) and adding a film.
#include "scripted.h"
#include "testmain.h"

#include "films/adddialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace {
const QString kNd = u"n/d"_s;
} // namespace

class TestAddDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pickers_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // and stored, empty as "n/d"
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("entry") << 1020 << QList<int> { 13 } << QString() << u"Порнография"_s << true;
        QTest::newRow("entry, then Другое keeps it")
            << 1020 << QList<int> { 1, 14 } << QString() << u"Комедия"_s << false;
        QTest::newRow("Другое, typed") << 1020 << QList<int> { 14 } << u"Нуар"_s << u"Нуар"_s << false;
        QTest::newRow("Выбрать after Другое empties, stays writable")
            << 1020 << QList<int> { 2, 14, 0 } << u"Арт-хаус"_s << u"Арт-хаус"_s << false;
        QTest::newRow("entry after Другое is read-only again")
            << 1020 << QList<int> { 14, 8 } << QString() << u"Драма"_s << true;
        QTest::newRow("entry, then Выбрать") << 1020 << QList<int> { 3, 0 } << QString() << QString() << true;
        QTest::newRow("medium with a blank") << 1024 << QList<int> { 7 } << QString() << u"Черный ящик"_s << true;
        QTest::newRow("medium Другое, typed") << 1024 << QList<int> { 8 } << u"Blu-ray"_s << u"Blu-ray"_s << false;
    }
    void pickers()
    {
        QFETCH(int, list);
        QFETCH(QList<int>, choices);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, readOnly);
        TempCatalogue cat;
        ScriptedUi ui;
        RunDialog<CAddDialog>(cat, ui, [&](CAddDialog& d) {
            for (int index : choices)
                ChooseEntry(d.Item<QComboBox>(list), index);
            TypeText(d.GetDlgItem(list + 1), typed);
            QCOMPARE(app::EditText(d.GetDlgItem(list + 1)), shown);
            QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(list + 1)), readOnly);
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QStringList expected { kNd, kNd, kNd, kNd, u"0"_s, kNd, kNd, kNd };
        expected[list == 1020 ? 3 : 5] = shown.isEmpty() ? kNd : shown;
        QCOMPARE(cat.Rows(u"KINVORA11"_s), QList<QStringList> { expected });
    }

    void noDataRuleAndRating_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << QString() << kNd;
        QTest::newRow("one blank") << u" "_s << kNd;
        QTest::newRow("two blanks") << u"  "_s << u"  "_s;
        QTest::newRow("blanks around, a title already listed") << u" Сталкер "_s << u" Сталкер "_s;
    }
    void noDataRuleAndRating()
    {
        QFETCH(QString, input);
        QFETCH(QString, stored);
        // Every typed field, and the genre and medium typed after "Другое", follow the same rule. Nothing checks
        // for duplicates: the new film comes last.
        TempCatalogue cat;
        cat.AddFilm(u" Сталкер "_s);
        ScriptedUi ui;
        RunDialog<CAddDialog>(cat, ui, [&](CAddDialog& d) {
            ChooseEntry(d.Item<QComboBox>(1020), 14);
            ChooseEntry(d.Item<QComboBox>(1024), 8);
            for (int id : { 1017, 1018, 1019, 1021, 1025, 1026, 1027 })
                TypeText(d.GetDlgItem(id), input);
            // Keys move the slider alone; a released drag sets the rating, the ends included.
            auto* slider = d.Item<QSlider>(1022);
            for (Qt::Key key : { Qt::Key_Right, Qt::Key_PageUp, Qt::Key_End })
                PressKey(slider, key);
            QCOMPARE(slider->value(), 10);
            QCOMPARE(app::EditText(d.GetDlgItem(1023)), u"0"_s);
            DragThumb(slider, 7);
            PressKey(slider, Qt::Key_Right);
            QCOMPARE(app::EditText(d.GetDlgItem(1023)), u"7"_s);
            DragThumb(slider, 14);
            QCOMPARE(app::EditText(d.GetDlgItem(1023)), u"10"_s);
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(cat.Rows(u"KINVORA11"_s).value(1),
            (QStringList { stored, stored, stored, stored, u"10"_s, stored, stored, stored }));
    }

    void keys_data()
    {
        QTest::addColumn<Qt::Key>("key"); // pressed at the end; Key_unknown: a click on "Отмена"
        QTest::addColumn<int>("result");
        QTest::newRow("Enter on OK") << Qt::Key_Return << int(app::IDOK);
        QTest::newRow("Space on OK") << Qt::Key_Space << int(app::IDOK);
        QTest::newRow("Esc in an edit") << Qt::Key_Escape << int(app::IDCANCEL);
        QTest::newRow("Отмена") << Qt::Key_unknown << int(app::IDCANCEL);
    }
    void keys()
    {
        QFETCH(Qt::Key, key);
        QFETCH(int, result);
        TempCatalogue cat;
        ScriptedUi ui;
        const int shown = RunDialog<CAddDialog>(cat, ui, [&](CAddDialog& d) {
            // The focus starts on "OK"; the edits the pickers and the slider fill are read-only.
            QCOMPARE(d.focusWidget(), d.GetDlgItem(1047));
            for (int id : { 1021, 1023, 1025 })
                QVERIFY(app::IsEditReadOnly(d.GetDlgItem(id)));
            TypeText(d.GetDlgItem(1017), u"Солярис"_s);
            DragThumb(d.Item<QSlider>(1022), 9);
            // Enter in any edit, list or the slider neither saves nor closes. Text typed into a list's own field
            // and confirmed with Enter is not a choice: only a chosen entry counts.
            QList<QWidget*> targets { d.Item<QComboBox>(1020)->lineEdit(), d.Item<QComboBox>(1024)->lineEdit() };
            for (QWidget* own : targets)
                TypeText(own, u"Вестерн"_s);
            for (int id : { 1017, 1018, 1019, 1020, 1022, 1026, 1027 })
                targets << d.GetDlgItem(id);
            for (QWidget* w : targets) {
                PressKey(w, Qt::Key_Return);
                PressKey(w, Qt::Key_Enter);
            }
            QVERIFY(!d.IsEnded());
            QCOMPARE(app::EditText(d.GetDlgItem(1021)), QString());
            QCOMPARE(cat.Count(u"KINVORA11"_s), 0);
            if (key == Qt::Key_unknown)
                static_cast<QPushButton*>(d.GetDlgItem(2))->click();
            else
                PressKey(key == Qt::Key_Escape ? d.GetDlgItem(1017) : d.focusWidget(), key);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(shown, result);
        const QList<QStringList> added { { u"Солярис"_s, kNd, kNd, kNd, u"9"_s, kNd, kNd, kNd } };
        QCOMPARE(cat.Rows(u"KINVORA11"_s), result == app::IDOK ? added : QList<QStringList> {});
    }

    void failedSaveAddsNothing()
    {
        // The film goes in as one INSERT: when the engine refuses it, nothing is added (not even a blank record)
        // and the dialog stays with what was typed, line breaks included.
        TempCatalogue cat;
        for (const char* event : { "INSERT", "UPDATE" })
            cat.Execute(u"CREATE TRIGGER refuse_%1 BEFORE %1 ON KINVORA11 WHEN NEW.NAMEFILM = 'Ностальгия' "
                        "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"_s.arg(QLatin1String(event)));
        const QStringList film { u"Ностальгия"_s, kNd, u"Янковский\nДомициана"_s, u"Драма"_s, u"8"_s, kNd, kNd,
            u"Первая строка\nВторая строка"_s };
        ScriptedUi ui;
        const int result = RunDialog<CAddDialog>(cat, ui, [&](CAddDialog& d) {
            TypeText(d.GetDlgItem(1017), film[0]);
            TypeText(d.GetDlgItem(1019), film[2]);
            ChooseEntry(d.Item<QComboBox>(1020), 8);
            DragThumb(d.Item<QSlider>(1022), 8);
            TypeText(d.GetDlgItem(1027), film[7]);
            ui.ExpectMessageContaining(u"disk is full"_s);
            d.SendCommand(1047);
            QVERIFY(!d.IsEnded());
            QCOMPARE(cat.Count(u"KINVORA11"_s), 0);
            QCOMPARE(EditTexts(d, { 1017, 1021, 1023 }), (QStringList { film[0], film[3], film[4] }));
            // Once the cause is gone, "OK" again adds the film once.
            cat.Execute(u"DROP TRIGGER refuse_INSERT"_s);
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(cat.Rows(u"KINVORA11"_s), QList<QStringList> { film });
    }
};

REGISTER_TEST(TestAddDialog)
#include "test_adddialog.moc"
