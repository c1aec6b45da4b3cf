// Changing a debtor: marks and their stored codes, the record at its position or rowid.
#include "debtors/renamedolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/editdebtor.h"

#include <QComboBox>

using namespace Qt::StringLiterals;
namespace id = ids::editdebtor;
using Edit = std::tuple<QString, int, int, QString, qint64>; // see editsTheRecordAtItsPosition_data()

class TestRenameDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void editsTheRecordAtItsPosition_data()
    {
        // Code stored, mark shown, entry chosen (-1: none), code saved (null: Esc), rowid (wins over position 0).
        QTest::addColumn<Edit>("edit");
        // Codes compare exactly: any other one shows the first entry and is kept until an entry is chosen.
        QTest::newRow("N kept") << Edit { u"N"_s, 0, -1, u"N"_s, -1 };
        QTest::newRow("B kept") << Edit { u"B"_s, 1, -1, u"B"_s, 2 };
        QTest::newRow("C kept") << Edit { u"C"_s, 2, -1, u"C"_s, -1 };
        QTest::newRow("c kept") << Edit { u"c"_s, 0, -1, u"c"_s, 2 };
        QTest::newRow("B to Отменина") << Edit { u"B"_s, 1, 0, u"N"_s, 2 };
        QTest::newRow("X to Белый список") << Edit { u"X"_s, 0, 1, u"B"_s, -1 };
        QTest::newRow("N to Черный список") << Edit { u"N"_s, 0, 2, u"C"_s, 2 };
        QTest::newRow("cancelled") << Edit { u"B"_s, 1, 2, QString(), 2 };
    }
    void editsTheRecordAtItsPosition()
    {
        QFETCH(Edit, edit);
        const auto& [stored, shown, chosen, saved, rowid] = edit;
        // Three equal records: only the middle one may change.
        TempCatalogue cat;
        const QStringList twin { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, stored };
        for (int i = 0; i < 3; ++i)
            cat.AddDebtor(twin);
        ScriptedUi ui;
        const auto script = [&](CRenameDolgDialog& d) {
            // The mark box shows the stored code, the list its entry.
            QCOMPARE(EditTexts(d, { id::Name, id::Film, id::Date, id::MarkBox }), twin);
            QCOMPARE(app::ComboGetCurSel(d.Item<QComboBox>(id::MarkList)), shown);
            if (chosen >= 0)
                ChooseEntry(d.Item<QComboBox>(id::MarkList), chosen);
            PressKey(d.GetDlgItem(id::Film), Qt::Key_End);
            TypeText(d.GetDlgItem(id::Film), u" 2"_s);
            PressKey(d.GetDlgItem(id::Date), Qt::Key_Return); // neither saves nor closes
            QVERIFY(!d.IsEnded());
            if (saved.isNull())
                PressKey(d.GetDlgItem(id::Name), Qt::Key_Escape);
            else
                d.SendCommand(id::Save);
        };
        const int result = RunDialog<CRenameDolgDialog>(cat, ui, script, [&](CRenameDolgDialog& d) {
            d.m_nPosition = rowid < 0 ? 1 : 0;
            d.m_nRowId = rowid;
        });
        QCOMPARE(result, saved.isNull() ? app::IDCANCEL : app::IDOK);
        VERIFY_SCRIPT(ui);
        const QStringList edited { u"Иванов"_s, u"Солярис 2"_s, u"12.03.2007"_s, saved };
        QCOMPARE(cat.Rows(u"DOLGI"_s), (QList<QStringList> { twin, saved.isNull() ? twin : edited, twin }));
        QCOMPARE(cat.Count(u"BLACKSPISOK"_s), 0); // editing never writes the black list
    }
};

REGISTER_TEST(TestRenameDolgDialog)
#include "test_renamedolgdialog.moc"
