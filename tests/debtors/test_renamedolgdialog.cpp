// Changing a debtor: marks and their stored codes, the record at its position or rowid.
#include "debtors/renamedolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/editdebtor.h"

#include <QComboBox>

using namespace Qt::StringLiterals;
namespace id = ids::editdebtor;

class TestRenameDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void editsTheRecordAtItsPosition_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown"); // the mark list's index on opening
        QTest::addColumn<int>("chosen"); // -1 leaves the mark list alone
        QTest::addColumn<QString>("saved"); // null: Escape
        QTest::addColumn<qint64>("rowid"); // the list's rowid of the middle record wins over a stale position 0
        // Codes compare exactly: any other one shows the first entry and is kept until an entry is chosen.
        QTest::newRow("N kept") << u"N"_s << 0 << -1 << u"N"_s << qint64(-1);
        QTest::newRow("B kept") << u"B"_s << 1 << -1 << u"B"_s << qint64(2);
        QTest::newRow("C kept") << u"C"_s << 2 << -1 << u"C"_s << qint64(-1);
        QTest::newRow("c kept") << u"c"_s << 0 << -1 << u"c"_s << qint64(2);
        QTest::newRow("B to Отменина") << u"B"_s << 1 << 0 << u"N"_s << qint64(2);
        QTest::newRow("X to Белый список") << u"X"_s << 0 << 1 << u"B"_s << qint64(-1);
        QTest::newRow("N to Черный список") << u"N"_s << 0 << 2 << u"C"_s << qint64(2);
        QTest::newRow("cancelled") << u"B"_s << 1 << 2 << QString() << qint64(2);
    }
    void editsTheRecordAtItsPosition()
    {
        QFETCH(QString, stored);
        QFETCH(int, shown);
        QFETCH(int, chosen);
        QFETCH(QString, saved);
        QFETCH(qint64, rowid);
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
