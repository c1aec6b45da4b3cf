#include "debtors/marks.h"
#include "debtors/renamedolgdialog.h"

#include "debtortest.h"
#include "scripted.h"
#include "testbase.h"

#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QLineEdit* Edit(CRenameDolgDialog& d, int id)
{
    return d.Item<QLineEdit>(id);
}

// The form as the user sees it: name, title, date, mark box, and the mark list's index.
QStringList Form(CRenameDolgDialog& d)
{
    return { Edit(d, 1017)->text(), Edit(d, 1018)->text(), Edit(d, 1019)->text(), Edit(d, 1023)->text(),
        QString::number(app::ComboGetCurSel(d.Item<QComboBox>(1020))) };
}
} // namespace

class TestRenameDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void marksAndCodes_data();
    void marksAndCodes();

    void loadsAndKeepsStoredMark_data();
    void loadsAndKeepsStoredMark();
    void chosenMarkIsStoredAsCode_data();
    void chosenMarkIsStoredAsCode();
    void changesOnlyTheRecordAtItsPosition();
    void rowIdWinsOverAStalePosition();
    void noRecordThere_data();
    void noRecordThere();
    void cancelAndEnterChangeNothing();
    void missingBaseIsReportedNotSaved();

private:
    int Run(ScriptedUi& ui, int position, qint64 rowid, const std::function<void(CRenameDolgDialog&)>& script);

    std::unique_ptr<TempCatalogue> m_cat;
};

void TestRenameDolgDialog::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    QVERIFY(m_cat->IsValid());
}

int TestRenameDolgDialog::Run(
    ScriptedUi& ui, int position, qint64 rowid, const std::function<void(CRenameDolgDialog&)>& script)
{
    ui.ExpectDialog<CRenameDolgDialog>(script);
    CRenameDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.m_nPosition = position;
    dlg.m_nRowId = rowid;
    return dlg.DoModal();
}

void TestRenameDolgDialog::marksAndCodes_data()
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

void TestRenameDolgDialog::marksAndCodes()
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

void TestRenameDolgDialog::loadsAndKeepsStoredMark_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("N") << u"N"_s << 0;
    QTest::newRow("B") << u"B"_s << 1;
    QTest::newRow("C") << u"C"_s << 2;
    QTest::newRow("X") << u"X"_s << 0;
    QTest::newRow("empty") << u""_s << 0;
}

void TestRenameDolgDialog::loadsAndKeepsStoredMark()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    m_cat->AddDebtor({ u"Первый"_s, u"Фильм"_s, u"1.1.2000"_s, u"N"_s });
    m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, stored });
    ScriptedUi ui;
    const int result = Run(ui, 1, -1, [&](CRenameDolgDialog& d) {
        // The mark box shows the stored code, the list its entry.
        QCOMPARE(Form(d), (QStringList { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, stored, QString::number(index) }));
        QVERIFY(Edit(d, 1023)->isReadOnly());
        QVERIFY(d.GetDlgItem(1025)->isHidden());
        QCOMPARE(Edit(d, 1025)->text(), u"1"_s);
        PressKey(Edit(d, 1018), Qt::Key_End);
        TypeText(Edit(d, 1018), u" 2"_s);
        d.SendCommand(1047);
    });
    QCOMPARE(result, app::IDOK);
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s).value(1), (QStringList { u"Иванов"_s, u"Солярис 2"_s, u"12.03.2007"_s, stored }));
    QCOMPARE(m_cat->Rows(u"DOLGI"_s).value(0).value(3), u"N"_s);
}

void TestRenameDolgDialog::chosenMarkIsStoredAsCode_data()
{
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("code");
    QTest::newRow("Отменина") << 0 << u"N"_s;
    QTest::newRow("Белый список") << 1 << u"B"_s;
    QTest::newRow("Черный список") << 2 << u"C"_s;
}

void TestRenameDolgDialog::chosenMarkIsStoredAsCode()
{
    QFETCH(int, chosen);
    QFETCH(QString, code);
    m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"B"_s });
    ScriptedUi ui;
    Run(ui, 0, -1, [&](CRenameDolgDialog& d) {
        ChooseEntry(d.Item<QComboBox>(1020), chosen);
        QCOMPARE(Edit(d, 1023)->text(), debtors::MarkEntries().value(chosen));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s).value(0).value(3), code);
    // Editing never writes the black list.
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
}

void TestRenameDolgDialog::changesOnlyTheRecordAtItsPosition()
{
    const QStringList twin { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"N"_s };
    for (int i = 0; i < 3; ++i)
        m_cat->AddDebtor(twin);
    ScriptedUi ui;
    Run(ui, 1, -1, [](CRenameDolgDialog& d) {
        ChooseEntry(d.Item<QComboBox>(1020), 1);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    const auto rows = m_cat->Rows(u"DOLGI"_s);
    QCOMPARE(rows.value(0), twin);
    QCOMPARE(rows.value(1).value(3), u"B"_s);
    QCOMPARE(rows.value(2), twin);
}

void TestRenameDolgDialog::rowIdWinsOverAStalePosition()
{
    m_cat->AddDebtor({ u"А"_s, u"1"_s, u"1"_s, u"N"_s });
    m_cat->AddDebtor({ u"Б"_s, u"2"_s, u"2"_s, u"N"_s });
    m_cat->AddDebtor({ u"В"_s, u"3"_s, u"3"_s, u"N"_s });
    // The list showed В as its third row; then the first record went away.
    m_cat->Execute(u"DELETE FROM DOLGI WHERE NAME = 'А'"_s);
    ScriptedUi ui;
    Run(ui, 2, 3, [](CRenameDolgDialog& d) {
        QCOMPARE(Edit(d, 1017)->text(), u"В"_s);
        ChooseEntry(d.Item<QComboBox>(1020), 2);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s),
        (QList<QStringList> { { u"Б"_s, u"2"_s, u"2"_s, u"N"_s }, { u"В"_s, u"3"_s, u"3"_s, u"C"_s } }));
}

void TestRenameDolgDialog::noRecordThere_data()
{
    QTest::addColumn<int>("debtors");
    QTest::addColumn<int>("position");
    QTest::addColumn<qint64>("rowid");
    QTest::newRow("empty table") << 0 << 0 << qint64(-1);
    QTest::newRow("past the end") << 2 << 2 << qint64(-1);
    QTest::newRow("far past the end") << 2 << 100000 << qint64(-1);
    QTest::newRow("rowid gone") << 2 << 1 << qint64(7);
}

void TestRenameDolgDialog::noRecordThere()
{
    QFETCH(int, debtors);
    QFETCH(int, position);
    QFETCH(qint64, rowid);
    for (int i = 0; i < debtors; ++i)
        m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"B"_s });
    const auto before = m_cat->Rows(u"DOLGI"_s);
    ScriptedUi ui; // any message (an engine error) fails the script
    const int result = Run(ui, position, rowid, [](CRenameDolgDialog& d) {
        QCOMPARE(Form(d), (QStringList { QString(), QString(), QString(), QString(), u"0"_s }));
        TypeText(Edit(d, 1017), u"Новый"_s);
        d.SendCommand(1047);
    });
    QCOMPARE(result, app::IDOK);
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s), before);
}

void TestRenameDolgDialog::cancelAndEnterChangeNothing()
{
    m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"B"_s });
    const auto before = m_cat->Rows(u"DOLGI"_s);
    ScriptedUi ui;
    const int result = Run(ui, 0, -1, [](CRenameDolgDialog& d) {
        TypeText(Edit(d, 1017), u" Петрович"_s);
        ChooseEntry(d.Item<QComboBox>(1020), 2);
        for (int id : { 1017, 1018, 1019 })
            PressKey(d.GetDlgItem(id), Qt::Key_Return);
        QVERIFY(!d.IsEnded());
        PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
    });
    QCOMPARE(result, app::IDCANCEL);
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s), before);
}

void TestRenameDolgDialog::missingBaseIsReportedNotSaved()
{
    ScriptedUi ui;
    AnyMessages messages;
    ui.ExpectDialog<CRenameDolgDialog>([&](CRenameDolgDialog& d) {
        // The load's error was shown; the form opens empty with the first mark.
        QCOMPARE(messages.Texts().size(), 1);
        QCOMPARE(Form(d), (QStringList { QString(), QString(), QString(), QString(), u"0"_s }));
        TypeText(Edit(d, 1017), u"Иванов"_s);
        d.SendCommand(1047);
        // Nothing could be stored: the user is told and keeps the form.
        QCOMPARE(messages.Texts().size(), 2);
        QVERIFY(!d.IsEnded());
        d.SendCommand(2);
    });
    CRenameDolgDialog dlg;
    dlg.m_strBasePath = QDir(m_cat->Dir()).filePath(u"нет/BaseFilm.mdb"_s);
    QCOMPARE(dlg.DoModal(), app::IDCANCEL);
    VERIFY_SCRIPT(ui);
    QVERIFY(messages.Texts().first().contains(u"не найден"_s));
}

QTEST_MAIN(TestRenameDolgDialog)
#include "test_renamedolgdialog.moc"
