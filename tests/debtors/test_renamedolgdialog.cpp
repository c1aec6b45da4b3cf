// Changing a debtor: marks and their stored codes, the record at its position or rowid, and no record there.
#include "scripted.h"
#include "testmain.h"

#include "debtors/marks.h"
#include "debtors/renamedolgdialog.h"

#include <QComboBox>

using namespace Qt::StringLiterals;

namespace {
// The form as the user sees it: name, title, date, mark box, and the mark list's index.
QStringList Form(CRenameDolgDialog& d)
{
    return EditTexts(d, { 1017, 1018, 1019, 1023 }) << QString::number(app::ComboGetCurSel(d.Item<QComboBox>(1020)));
}

int RunAt(const TempCatalogue& cat, ScriptedUi& ui, int position, qint64 rowid,
    std::function<void(CRenameDolgDialog&)> script, const QString& base = {})
{
    return RunDialog<CRenameDolgDialog>(cat, ui, std::move(script), [&](CRenameDolgDialog& d) {
        d.m_nPosition = position;
        d.m_nRowId = rowid;
        d.m_strBasePath = base.isEmpty() ? cat.BasePath() : base;
    });
}
} // namespace

class TestRenameDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void marksAndCodes()
    {
        // Exact comparison both ways: letter case, blanks and ё count.
        const QList<std::pair<QString, QString>> pairs { { u"Отменина"_s, u"N"_s }, { u"Белый список"_s, u"B"_s },
            { u"Черный список"_s, u"C"_s }, { u"черный список"_s, {} }, { u"Черный список "_s, {} },
            { u"Чёрный список"_s, {} }, { {}, u"c"_s }, { {}, u"С"_s }, { {}, u"X"_s } };
        for (const auto& [entry, code] : pairs) {
            if (!entry.isEmpty())
                QCOMPARE(debtors::MarkCode(entry), code);
            if (!code.isEmpty())
                QCOMPARE(debtors::MarkIndex(code), int(debtors::MarkEntries().indexOf(entry)));
            if (!code.isEmpty())
                QCOMPARE(debtors::MarkEntry(code), entry);
        }
    }

    void editsTheRecordAtItsPosition_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown"); // the mark list's index on opening
        QTest::addColumn<int>("chosen"); // -1 leaves the mark list alone
        QTest::addColumn<QString>("saved"); // null: Escape
        QTest::addColumn<qint64>("rowid"); // the list's rowid of the middle record wins over a stale position 0
        QTest::newRow("N kept") << u"N"_s << 0 << -1 << u"N"_s << qint64(-1);
        QTest::newRow("B kept") << u"B"_s << 1 << -1 << u"B"_s << qint64(2);
        QTest::newRow("C kept") << u"C"_s << 2 << -1 << u"C"_s << qint64(-1);
        QTest::newRow("X kept") << u"X"_s << 0 << -1 << u"X"_s << qint64(2);
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
        const int result = RunAt(cat, ui, rowid < 0 ? 1 : 0, rowid, [&](CRenameDolgDialog& d) {
            // The mark box shows the stored code, the list its entry.
            QCOMPARE(Form(d), twin + QStringList { QString::number(shown) });
            if (chosen >= 0)
                ChooseEntry(d.Item<QComboBox>(1020), chosen);
            PressKey(d.GetDlgItem(1018), Qt::Key_End);
            TypeText(d.GetDlgItem(1018), u" 2"_s);
            for (int id : { 1017, 1018, 1019 })
                PressKey(d.GetDlgItem(id), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            if (saved.isNull())
                PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
            else
                d.SendCommand(1047);
        });
        QCOMPARE(result, saved.isNull() ? app::IDCANCEL : app::IDOK);
        VERIFY_SCRIPT(ui);
        const QStringList edited { u"Иванов"_s, u"Солярис 2"_s, u"12.03.2007"_s, saved };
        QCOMPARE(cat.Rows(u"DOLGI"_s), (QList<QStringList> { twin, saved.isNull() ? twin : edited, twin }));
        QCOMPARE(cat.Count(u"BLACKSPISOK"_s), 0); // editing never writes the black list
    }

    void noRecordThere_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("rowid");
        QTest::addColumn<QString>("base"); // empty: the catalogue's
        QTest::newRow("past the end") << 2 << qint64(-1) << QString();
        QTest::newRow("far past the end") << 100000 << qint64(-1) << QString();
        QTest::newRow("rowid gone") << 1 << qint64(7) << QString();
        QTest::newRow("no base") << 0 << qint64(-1) << u"нет/BaseFilm.mdb"_s;
    }
    void noRecordThere()
    {
        QFETCH(int, position);
        QFETCH(qint64, rowid);
        QFETCH(QString, base);
        TempCatalogue cat;
        for (int i = 0; i < 2; ++i)
            cat.AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"B"_s });
        const auto before = cat.Rows(u"DOLGI"_s);
        ScriptedUi ui; // an engine error would be an unexpected message
        if (!base.isEmpty())
            ui.ExpectMessageContaining(u"не найден"_s); // on opening: the form stays empty with the first mark
        const int result = RunAt(
            cat, ui, position, rowid,
            [&](CRenameDolgDialog& d) {
                QCOMPARE(Form(d), (QStringList { {}, {}, {}, {}, u"0"_s }));
                TypeText(d.GetDlgItem(1017), u"Новый"_s);
                if (!base.isEmpty()) // nothing could be stored: the user is told and keeps the form
                    ui.ExpectMessageContaining(u"не найден"_s);
                d.SendCommand(1047);
                if (!d.IsEnded()) {
                    QCOMPARE(EditTexts(d, { 1017 }), QStringList { u"Новый"_s });
                    d.SendCommand(2);
                }
            },
            base.isEmpty() ? QString() : QDir(cat.Dir()).filePath(base));
        QCOMPARE(result, base.isEmpty() ? app::IDOK : app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(cat.Rows(u"DOLGI"_s), before);
    }
};

REGISTER_TEST(TestRenameDolgDialog)
#include "test_renamedolgdialog.moc"
