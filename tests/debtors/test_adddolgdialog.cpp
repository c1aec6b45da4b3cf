#include "debtors/adddolgdialog.h"
#include "debtors/marks.h"

#include "debtortest.h"
#include "scripted.h"
#include "testbase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kQuestion = u"Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"_s;

QLineEdit* Edit(CAddDolgDialog& d, int id)
{
    return d.Item<QLineEdit>(id);
}

// Types the form as a user would; a mark index below 0 leaves the mark list alone.
void Fill(CAddDolgDialog& d, const QString& name, const QString& film, const QString& date, int mark = -1)
{
    TypeText(Edit(d, 1017), name);
    TypeText(Edit(d, 1018), film);
    TypeText(Edit(d, 1019), date);
    if (mark >= 0)
        ChooseEntry(d.Item<QComboBox>(1020), mark);
}
} // namespace

class TestAddDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void opensWithMarkCancelled();
    void savesFieldsByTheRules_data();
    void savesFieldsByTheRules();
    void markRuleTakesOnlyChosenEntries();

    void blackListCheck_data();
    void blackListCheck();
    void cancelKeepsTheFormAndAsksAgain();
    void blackListMarkAppendsEntry();
    void failedBlackListWriteStoresNothing();

    void enterDoesNothingCancelStoresNothing();
    void missingBaseKeepsDialogOpen();

private:
    // Runs the dialog on the catalogue with a script and the answers to the questions it asks inside;
    // returns its result.
    int Run(ScriptedUi& ui, const std::function<void(CAddDolgDialog&)>& script, QList<int> answers = {});

    std::unique_ptr<TempCatalogue> m_cat;
};

void TestAddDolgDialog::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    QVERIFY(m_cat->IsValid());
}

int TestAddDolgDialog::Run(ScriptedUi& ui, const std::function<void(CAddDolgDialog&)>& script, QList<int> answers)
{
    ui.ExpectDialog<CAddDolgDialog>(script);
    for (int answer : answers)
        ui.ExpectMessage(kQuestion, answer);
    CAddDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    return dlg.DoModal();
}

void TestAddDolgDialog::opensWithMarkCancelled()
{
    ScriptedUi ui;
    const int result = Run(ui, [](CAddDolgDialog& d) {
        auto* combo = d.Item<QComboBox>(1020);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, debtors::MarkEntries());
        QCOMPARE(app::ComboGetCurSel(combo), 0);
        QCOMPARE(Edit(d, 1021)->text(), u"Отменина"_s);
        QCOMPARE(d.focusWidget(), d.GetDlgItem(1047));
        d.SendCommand(2);
    });
    QCOMPARE(result, app::IDCANCEL);
    VERIFY_SCRIPT(ui);
}

void TestAddDolgDialog::savesFieldsByTheRules_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<int>("mark");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("empty form") << QStringList { u""_s, u""_s, u""_s } << -1
                                << QStringList { u"n/d"_s, u"n/d"_s, u"n/d"_s, u"N"_s };
    QTest::newRow("one blank is n/d, two are kept") << QStringList { u" "_s, u"  "_s, u" 1 марта "_s } << -1
                                                    << QStringList { u"n/d"_s, u"  "_s, u" 1 марта "_s, u"N"_s };
    QTest::newRow("white list") << QStringList { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s } << 1
                                << QStringList { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"B"_s };
    QTest::newRow("back to cancelled") << QStringList { u"Пётр"_s, u"CD"_s, u"вчера"_s } << 0
                                       << QStringList { u"Пётр"_s, u"CD"_s, u"вчера"_s, u"N"_s };
}

void TestAddDolgDialog::savesFieldsByTheRules()
{
    QFETCH(QStringList, typed);
    QFETCH(int, mark);
    QFETCH(QStringList, stored);
    m_cat->AddDebtor({ u"Первый"_s, u"Фильм"_s, u"1.1.2000"_s, u"B"_s });
    ScriptedUi ui;
    const int result = Run(ui, [&](CAddDolgDialog& d) {
        Fill(d, typed[0], typed[1], typed[2], mark);
        d.SendCommand(1047);
    });
    QCOMPARE(result, app::IDOK);
    VERIFY_SCRIPT(ui);
    const auto rows = m_cat->Rows(u"DOLGI"_s);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.last(), stored); // appended last
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
}

void TestAddDolgDialog::markRuleTakesOnlyChosenEntries()
{
    ScriptedUi ui;
    Run(ui, [](CAddDolgDialog& d) {
        auto* combo = d.Item<QComboBox>(1020);
        ChooseEntry(combo, 1);
        QCOMPARE(Edit(d, 1021)->text(), u"Белый список"_s);
        // Typed into the combo box's own field and confirmed with Enter: not a choice.
        combo->lineEdit()->clear();
        TypeText(combo->lineEdit(), u"Черный список"_s);
        PressKey(combo->lineEdit(), Qt::Key_Return);
        QVERIFY(!d.IsEnded());
        QCOMPARE(Edit(d, 1021)->text(), u"Белый список"_s);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s).value(0).value(3), u"B"_s);
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
}

void TestAddDolgDialog::blackListCheck_data()
{
    QTest::addColumn<QStringList>("blackList");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("asks");
    QTest::newRow("same name") << QStringList { u"Сидоров"_s, u"Иванов"_s } << u"Иванов"_s << true;
    QTest::newRow("listed twice, asked once") << QStringList { u"Иванов"_s, u"Иванов"_s } << u"Иванов"_s << true;
    QTest::newRow("other letter case") << QStringList { u"Иванов"_s } << u"иванов"_s << false;
    QTest::newRow("Latin letter case") << QStringList { u"Smith"_s } << u"SMITH"_s << false;
    QTest::newRow("trailing blank") << QStringList { u"Иванов"_s } << u"Иванов "_s << false;
    QTest::newRow("part of a name") << QStringList { u"Иванов Петр"_s } << u"Иванов"_s << false;
    QTest::newRow("empty name against n/d") << QStringList { u"n/d"_s } << QString() << false;
    QTest::newRow("typed n/d") << QStringList { u"n/d"_s } << u"n/d"_s << true;
    QTest::newRow("empty black list") << QStringList {} << u"Иванов"_s << false;
}

void TestAddDolgDialog::blackListCheck()
{
    QFETCH(QStringList, blackList);
    QFETCH(QString, typed);
    QFETCH(bool, asks);
    for (const QString& name : blackList)
        m_cat->AddBlack(name, u"Не вернул"_s);
    ScriptedUi ui;
    const int result = Run(
        ui,
        [&](CAddDolgDialog& d) {
            Fill(d, typed, u"Сталкер"_s, u"1.2.2003"_s);
            d.SendCommand(1047);
        },
        asks ? QList<int> { app::IDOK } : QList<int> {});
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 1);
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), blackList.size());
}

void TestAddDolgDialog::cancelKeepsTheFormAndAsksAgain()
{
    m_cat->AddBlack(u"Иванов"_s, u"Не вернул"_s);
    ScriptedUi ui;
    const int result = Run(ui,
        [&](CAddDolgDialog& d) {
            Fill(d, u"Иванов"_s, u"Сталкер"_s, u"1.2.2003"_s, 2);
            d.SendCommand(1047);
            QVERIFY(!d.IsEnded());
            QCOMPARE(m_cat->Count(u"DOLGI"_s), 0);
            QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 1);
            QCOMPARE(Edit(d, 1017)->text(), u"Иванов"_s);
            QCOMPARE(Edit(d, 1018)->text(), u"Сталкер"_s);
            QCOMPARE(Edit(d, 1021)->text(), u"Черный список"_s);
            d.SendCommand(1047);
        },
        { app::IDCANCEL, app::IDOK });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s), (QList<QStringList> { { u"Иванов"_s, u"Сталкер"_s, u"1.2.2003"_s, u"C"_s } }));
}

void TestAddDolgDialog::blackListMarkAppendsEntry()
{
    // Already listed, and no title: asked once, then a second entry with the reason "n/d".
    m_cat->AddBlack(u"Сидоров"_s, u"Старая причина"_s);
    ScriptedUi ui;
    Run(ui,
        [](CAddDolgDialog& d) {
            Fill(d, u"Сидоров"_s, QString(), u"1 марта"_s, 2);
            d.SendCommand(1047);
        },
        { app::IDOK });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s), (QList<QStringList> { { u"Сидоров"_s, u"n/d"_s, u"1 марта"_s, u"C"_s } }));
    QCOMPARE(m_cat->Rows(u"BLACKSPISOK"_s),
        (QList<QStringList> { { u"Сидоров"_s, u"Старая причина"_s }, { u"Сидоров"_s, u"n/d"_s } }));
}

void TestAddDolgDialog::failedBlackListWriteStoresNothing()
{
    // The second write of the save fails: the debtor written first must not stay behind.
    m_cat->Execute(u"CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK BEGIN SELECT RAISE(ABORT, 'test'); END"_s);
    ScriptedUi ui;
    AnyMessages messages;
    const int result = Run(ui, [&](CAddDolgDialog& d) {
        Fill(d, u"Петров"_s, u"Сталкер"_s, u"1.2.2003"_s, 2);
        d.SendCommand(1047);
        QVERIFY(!d.IsEnded());
        QCOMPARE(Edit(d, 1017)->text(), u"Петров"_s);
        d.SendCommand(2);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
    QCOMPARE(messages.Texts().size(), 1);
    QVERIFY2(messages.Texts().first().contains(u"BLACKSPISOK"_s), qPrintable(messages.Texts().first()));
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 0);
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
}

void TestAddDolgDialog::enterDoesNothingCancelStoresNothing()
{
    m_cat->AddBlack(u"Иванов"_s, u"Не вернул"_s);
    ScriptedUi ui;
    const int result = Run(ui, [](CAddDolgDialog& d) {
        Fill(d, u"Иванов"_s, u"Сталкер"_s, u"1.2.2003"_s, 2);
        for (int id : { 1017, 1018, 1019, 1021 })
            PressKey(d.GetDlgItem(id), Qt::Key_Return);
        QVERIFY(!d.IsEnded());
        qobject_cast<QPushButton*>(d.GetDlgItem(2))->click();
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 0);
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 1);
}

void TestAddDolgDialog::missingBaseKeepsDialogOpen()
{
    ScriptedUi ui;
    AnyMessages messages;
    ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) {
        Fill(d, u"Иванов"_s, u"Сталкер"_s, u"1.2.2003"_s);
        d.SendCommand(1047);
        QVERIFY(!d.IsEnded());
        QCOMPARE(Edit(d, 1017)->text(), u"Иванов"_s);
        d.SendCommand(2);
    });
    CAddDolgDialog dlg;
    dlg.m_strBasePath = QDir(m_cat->Dir()).filePath(u"missing/BaseFilm.mdb"_s);
    QCOMPARE(dlg.DoModal(), app::IDCANCEL);
    VERIFY_SCRIPT(ui);
    QCOMPARE(messages.Texts().size(), 1);
    QVERIFY(messages.Texts().first().contains(u"не найден"_s));
}

QTEST_MAIN(TestAddDolgDialog)
#include "test_adddolgdialog.moc"
