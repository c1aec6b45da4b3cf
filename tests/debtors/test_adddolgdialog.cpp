// Adding a debtor: the "n/d" rule, the mark, the black-list question, and a save that fails half-way.
#include "debtors/adddolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/adddebtor.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;
namespace id = ids::adddebtor;
using Save = std::tuple<QString, int, QString, QString>; // see savesFieldsByTheRules_data()

namespace {
// Types "name|title|date"; a mark index below 0 leaves the mark list alone.
void Fill(CAddDolgDialog& d, const QString& typed, int mark = -1)
{
    for (int i = 0; i < 3; ++i)
        TypeText(d.GetDlgItem(QList<int> { id::Name, id::Film, id::Date }[i]), typed.section(u'|', i, i));
    if (mark >= 0)
        ChooseEntry(d.Item<QComboBox>(id::MarkList), mark);
}
} // namespace

class TestAddDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savesFieldsByTheRules_data()
    {
        // Typed, the mark (-1: none chosen), a part of the error on saving, the record stored (empty: none).
        QTest::addColumn<Save>("save");
        const QString typed = u"Петров|Сталкер|1.2.2003"_s;
        QTest::newRow("empty or one blank is n/d, two are kept")
            << Save { u" ||  "_s, -1, QString(), u"n/d|n/d|  |N"_s };
        QTest::newRow("white list") << Save { typed, 1, QString(), u"Петров|Сталкер|1.2.2003|B"_s };
        QTest::newRow("cancelled") << Save { typed, 2, QString(), QString() };
        // The black-list entry is the second write: the debtor written first must not stay behind.
        QTest::newRow("black-list write fails") << Save { typed, 2, u"BLACKSPISOK"_s, QString() };
    }
    void savesFieldsByTheRules()
    {
        QFETCH(Save, save);
        const auto& [typed, mark, reported, stored] = save;
        TempCatalogue cat;
        cat.Execute(u"CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK BEGIN SELECT RAISE(ABORT, 'test'); END"_s);
        ScriptedUi ui;
        const auto script = [&](CAddDolgDialog& d) {
            Fill(d, typed, mark);
            // Text typed into the mark list's own field is no choice; Enter saves nothing.
            QLineEdit* markField = d.Item<QComboBox>(id::MarkList)->lineEdit();
            markField->clear();
            TypeText(markField, u"Черный список"_s);
            PressKey(markField, Qt::Key_Return);
            PressKey(d.GetDlgItem(id::Date), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            if (!reported.isEmpty()) {
                ui.ExpectMessageContaining(reported);
                d.SendCommand(id::Save);
                QCOMPARE(EditTexts(d, { id::Name }), QStringList { u"Петров"_s });
            }
            d.SendCommand(stored.isEmpty() ? app::IDCANCEL : id::Save);
        };
        const int result = RunDialog<CAddDolgDialog>(cat, ui, script);
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, stored.isEmpty() ? app::IDCANCEL : app::IDOK);
        QCOMPARE(
            cat.Rows(u"DOLGI"_s), stored.isEmpty() ? QList<QStringList> {} : QList<QStringList> { stored.split(u'|') });
        QCOMPARE(cat.Count(u"BLACKSPISOK"_s), 0);
    }

    void blackListCheck_data()
    {
        QTest::addColumn<QStringList>("blackList");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("asked"); // how often the question comes: Cancel to all but the last
        QTest::newRow("same name") << QStringList { u"Сидоров"_s, u"Иванов"_s } << u"Иванов"_s << 1;
        QTest::newRow("listed twice, asked once") << QStringList { u"Иванов"_s, u"Иванов"_s } << u"Иванов"_s << 1;
        QTest::newRow("Cancel keeps the form") << QStringList { u"Иванов"_s } << u"Иванов"_s << 3;
        QTest::newRow("other letter case") << QStringList { u"Иванов"_s } << u"иванов"_s << 0;
        QTest::newRow("trailing blank") << QStringList { u"Иванов"_s } << u"Иванов "_s << 0;
        QTest::newRow("part of a name") << QStringList { u"Иванов Петр"_s } << u"Иванов"_s << 0;
        QTest::newRow("empty name against n/d") << QStringList { u"n/d"_s } << QString() << 0;
        QTest::newRow("typed n/d") << QStringList { u"n/d"_s } << u"n/d"_s << 1;
    }
    void blackListCheck()
    {
        QFETCH(QStringList, blackList);
        QFETCH(QString, typed);
        QFETCH(int, asked);
        TempCatalogue cat;
        for (const QString& name : blackList)
            cat.AddBlack(name, u"Не вернул"_s);
        QList<QStringList> entries = cat.Rows(u"BLACKSPISOK"_s);
        ScriptedUi ui;
        // Marked for the black list and without a title: the new entry gets the reason "n/d".
        const int result = RunDialog<CAddDolgDialog>(cat, ui, [&](CAddDolgDialog& d) {
            Fill(d, typed + u"||1 марта"_s, 2);
            for (int i = 1; i <= asked; ++i)
                ui.ExpectMessage(u"Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"_s,
                    i == asked ? app::IDOK : app::IDCANCEL);
            for (int i = 1; i < asked; ++i) {
                d.SendCommand(id::Save);
                QCOMPARE(EditTexts(d, { id::Name, id::MarkBox }), (QStringList { typed, u"Черный список"_s }));
                QCOMPARE(cat.Count(u"DOLGI"_s), 0);
            }
            d.SendCommand(id::Save);
        });
        QCOMPARE(result, app::IDOK);
        VERIFY_SCRIPT(ui);
        const QString name = typed.isEmpty() ? u"n/d"_s : typed;
        QCOMPARE(cat.Rows(u"DOLGI"_s), (QList<QStringList> { { name, u"n/d"_s, u"1 марта"_s, u"C"_s } }));
        QCOMPARE(cat.Rows(u"BLACKSPISOK"_s), (entries << QStringList { name, u"n/d"_s }));
    }
};

REGISTER_TEST(TestAddDolgDialog)
#include "test_adddolgdialog.moc"
