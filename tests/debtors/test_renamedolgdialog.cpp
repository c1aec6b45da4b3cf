#include "debtors/marks.h"
#include "debtors/renamedolgdialog.h"

#include "scripted.h"
#include "testbase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The form as the user sees it: name, title, date, mark box, and the mark list's index.
QStringList Form(CRenameDolgDialog& d)
{
    return { d.Item<QLineEdit>(1017)->text(), d.Item<QLineEdit>(1018)->text(), d.Item<QLineEdit>(1019)->text(),
        d.Item<QLineEdit>(1023)->text(), QString::number(app::ComboGetCurSel(d.Item<QComboBox>(1020))) };
}

QStringList Debtor(const QString& mark)
{
    return { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, mark };
}
} // namespace

class TestRenameDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_cat = std::make_unique<TempCatalogue>();
        QVERIFY(m_cat->IsValid());
    }

    void marksAndCodes_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("code");
        QTest::newRow("cancelled") << u"Отменина"_s << u"N"_s;
        QTest::newRow("white list") << u"Белый список"_s << u"B"_s;
        QTest::newRow("black list") << u"Черный список"_s << u"C"_s;
        // Exact comparison both ways: letter case and blanks count.
        QTest::newRow("entry in other case") << u"черный список"_s << QString();
        QTest::newRow("entry with a blank") << u"Черный список "_s << QString();
        QTest::newRow("entry with ё") << u"Чёрный список"_s << QString();
        QTest::newRow("lower-case code") << QString() << u"c"_s;
        QTest::newRow("Cyrillic С as code") << QString() << u"С"_s;
        QTest::newRow("other code") << QString() << u"X"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void marksAndCodes()
    {
        QFETCH(QString, entry);
        QFETCH(QString, code);
        if (!entry.isEmpty())
            QCOMPARE(debtors::MarkCode(entry), code);
        if (!code.isEmpty()) {
            QCOMPARE(debtors::MarkEntry(code), entry);
            QCOMPARE(debtors::MarkIndex(code), int(debtors::MarkEntries().indexOf(entry)));
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
        QTest::newRow("empty kept") << u""_s << 0 << -1 << u""_s << qint64(-1);
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
        const QStringList twin = Debtor(stored);
        for (int i = 0; i < 3; ++i)
            m_cat->AddDebtor(twin);
        ScriptedUi ui;
        const int result = Run(ui, rowid < 0 ? 1 : 0, rowid, [&](CRenameDolgDialog& d) {
            // The mark box shows the stored code, the list its entry.
            QCOMPARE(Form(d), twin + QStringList { QString::number(shown) });
            if (chosen >= 0) {
                ChooseEntry(d.Item<QComboBox>(1020), chosen);
                QCOMPARE(d.Item<QLineEdit>(1023)->text(), debtors::MarkEntries().value(chosen));
            }
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
        QCOMPARE(m_cat->Rows(u"DOLGI"_s), (QList<QStringList> { twin, saved.isNull() ? twin : edited, twin }));
        QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0); // editing never writes the black list
    }

    void noRecordThere_data()
    {
        QTest::addColumn<int>("debtors");
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("rowid");
        QTest::newRow("empty table") << 0 << 0 << qint64(-1);
        QTest::newRow("past the end") << 2 << 2 << qint64(-1);
        QTest::newRow("far past the end") << 2 << 100000 << qint64(-1);
        QTest::newRow("rowid gone") << 2 << 1 << qint64(7);
    }
    void noRecordThere()
    {
        QFETCH(int, debtors);
        QFETCH(int, position);
        QFETCH(qint64, rowid);
        for (int i = 0; i < debtors; ++i)
            m_cat->AddDebtor(Debtor(u"B"_s));
        const auto before = m_cat->Rows(u"DOLGI"_s);
        ScriptedUi ui; // an engine error would be an unexpected message
        const int result = Run(ui, position, rowid, [](CRenameDolgDialog& d) {
            QCOMPARE(Form(d), (QStringList { {}, {}, {}, {}, u"0"_s }));
            TypeText(d.GetDlgItem(1017), u"Новый"_s);
            d.SendCommand(1047);
        });
        QCOMPARE(result, app::IDOK);
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Rows(u"DOLGI"_s), before);
    }

    void missingBaseIsReportedAndKeepsTheForm()
    {
        ScriptedUi ui;
        ui.ExpectMessageContaining(u"не найден"_s); // on opening: the form stays empty with the first mark
        ui.ExpectDialog<CRenameDolgDialog>([](CRenameDolgDialog& d) {
            QCOMPARE(Form(d), (QStringList { {}, {}, {}, {}, u"0"_s }));
            TypeText(d.GetDlgItem(1017), u"Иванов"_s);
            d.SendCommand(1047);
            // Nothing could be stored: the user is told and keeps the form.
            QVERIFY(!d.IsEnded());
            QCOMPARE(d.Item<QLineEdit>(1017)->text(), u"Иванов"_s);
            d.SendCommand(2);
        });
        ui.ExpectMessageContaining(u"не найден"_s);
        CRenameDolgDialog dlg;
        dlg.m_strBasePath = QDir(m_cat->Dir()).filePath(u"нет/BaseFilm.mdb"_s);
        QCOMPARE(dlg.DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
    }

private:
    int Run(ScriptedUi& ui, int position, qint64 rowid, const std::function<void(CRenameDolgDialog&)>& script)
    {
        ui.ExpectDialog<CRenameDolgDialog>(script);
        CRenameDolgDialog dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        dlg.m_nPosition = position;
        dlg.m_nRowId = rowid;
        return dlg.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
};

QTEST_MAIN(TestRenameDolgDialog)
#include "test_renamedolgdialog.moc"
