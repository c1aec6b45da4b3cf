// Adding a debtor: the "n/d" rule, the mark, the black-list question, and a save that fails half-way.
#include "debtors/adddolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/adddebtor.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;
namespace id = ids::adddebtor;

namespace {
using Save = std::tuple<QString, int, QString, int, QString, QString>; // see saves_data()
} // namespace

class TestAddDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void saves_data()
    {
        // Typed "name|title|date", the mark (-1: none chosen), the black list, how often its question comes (Cancel
        // to all but the last), a part of the error on saving, the record stored (empty: none).
        QTest::addColumn<Save>("save");
        const QString typed = u"Петров|Сталкер|1.2.2003"_s, ivanov = u"Иванов||1 марта"_s;
        const QString stored = u"Иванов|n/d|1 марта|C"_s; // a title left empty is the black-list reason "n/d"
        QTest::newRow("empty or one blank is n/d, two are kept")
            << Save { u" ||  "_s, -1, {}, 0, {}, u"n/d|n/d|  |N"_s };
        QTest::newRow("white list") << Save { typed, 1, {}, 0, {}, u"Петров|Сталкер|1.2.2003|B"_s };
        QTest::newRow("cancelled") << Save { typed, 2, {}, 0, {}, {} };
        // The black-list entry is the second write: the debtor written first must not stay behind.
        QTest::newRow("black-list write fails") << Save { typed, 2, {}, 0, u"BLACKSPISOK"_s, {} };
        QTest::newRow("same name") << Save { ivanov, 2, u"Сидоров|Иванов"_s, 1, {}, stored };
        QTest::newRow("listed twice, asked once") << Save { ivanov, 2, u"Иванов|Иванов"_s, 1, {}, stored };
        QTest::newRow("Cancel keeps the form") << Save { ivanov, 2, u"Иванов"_s, 3, {}, stored };
        QTest::newRow("other letter case")
            << Save { u"иванов||1 марта"_s, 2, u"Иванов"_s, 0, {}, u"иванов|n/d|1 марта|C"_s };
        QTest::newRow("trailing blank") << Save { u"Иванов ||1 марта"_s, 2, u"Иванов"_s, 0, {},
            u"Иванов |n/d|1 марта|C"_s };
        QTest::newRow("part of a name") << Save { ivanov, 2, u"Иванов Петр"_s, 0, {}, stored };
        QTest::newRow("empty name against n/d") << Save { u"||1 марта"_s, 2, u"n/d"_s, 0, {}, u"n/d|n/d|1 марта|C"_s };
        QTest::newRow("typed n/d") << Save { u"n/d||1 марта"_s, 2, u"n/d"_s, 1, {}, u"n/d|n/d|1 марта|C"_s };
    }
    void saves()
    {
        QFETCH(Save, save);
        const auto& [typed, mark, blackList, asked, reported, stored] = save;
        TempCatalogue cat;
        for (const QString& name : blackList.split(u'|', Qt::SkipEmptyParts))
            cat.AddBlack(name, u"Не вернул"_s);
        QList<QStringList> entries = cat.Rows(u"BLACKSPISOK"_s);
        if (!reported.isEmpty())
            cat.Execute(u"CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK BEGIN SELECT RAISE(ABORT, 't'); END"_s);
        ScriptedUi ui;
        const int result = RunDialog<CAddDolgDialog>(cat, ui, [&](CAddDolgDialog& d) {
            for (int i = 0; i < 3; ++i)
                TypeText(d.GetDlgItem(QList { id::Name, id::Film, id::Date }[i]), typed.section(u'|', i, i));
            if (mark >= 0)
                ChooseEntry(d.Item<QComboBox>(id::MarkList), mark);
            // Text typed into the mark list's own field is no choice; Enter saves nothing.
            QLineEdit* markField = d.Item<QComboBox>(id::MarkList)->lineEdit();
            markField->clear();
            TypeText(markField, u"Черный список"_s);
            PressKey(markField, Qt::Key_Return);
            PressKey(d.GetDlgItem(id::Date), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            for (int i = 1; i <= asked; ++i)
                ui.ExpectMessage(u"Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"_s,
                    i == asked ? app::IDOK : app::IDCANCEL);
            for (int i = 1; i < asked; ++i) {
                d.SendCommand(id::Save);
                QCOMPARE(EditTexts(d, { id::Name, id::MarkBox }), (QStringList { u"Иванов"_s, u"Черный список"_s }));
                QCOMPARE(cat.Count(u"DOLGI"_s), 0);
            }
            if (!reported.isEmpty()) {
                ui.ExpectMessageContaining(reported);
                d.SendCommand(id::Save);
                QCOMPARE(EditTexts(d, { id::Name }), QStringList { u"Петров"_s });
            }
            d.SendCommand(stored.isEmpty() ? app::IDCANCEL : id::Save);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, stored.isEmpty() ? app::IDCANCEL : app::IDOK);
        const QStringList record = stored.split(u'|');
        QCOMPARE(cat.Rows(u"DOLGI"_s), stored.isEmpty() ? QList<QStringList> {} : QList<QStringList> { record });
        if (stored.endsWith(u"|C"))
            entries << record.mid(0, 2);
        QCOMPARE(cat.Rows(u"BLACKSPISOK"_s), entries);
    }
};

REGISTER_TEST(TestAddDolgDialog)
#include "test_adddolgdialog.moc"
