#include "debtors/adddolgdialog.h"
#include "debtors/finddolgdialog.h"
#include "debtors/renamedolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "debtortest.h"
#include "scripted.h"
#include "testbase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kNoEdit = u"Вы не выбрали запись для изменения."_s;
const QString kNoDelete = u"Вы не выбрали запись для удаления."_s;
const QString kNoBlack = u"Вы не выбрали запись для занесения в черный список."_s;
const QString kAskDelete = u"Вы действительно хотите удалить данную запись?"_s;
const QString kAskBlack = u"Вы действительно хотите занести запись в черный список?"_s;

void Click(app::CDialog& d, int id)
{
    qobject_cast<QPushButton*>(d.GetDlgItem(id))->click();
}
} // namespace

class TestShowDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void opensFilledInRecordOrder();
    void tableSetting_data();
    void tableSetting();
    void commandsNeedACurrentRecord();

    void deleteRemovesTheSelectedRecord();
    void deleteCancelledStillRefills();
    void deleteOfARecordGoneMeanwhile();
    void editRefillsAndKeepsTheNumber();
    void addRefillsAndKeepsTheNumber();

    void blackListKeepsDebtorAndAppendsEntry();
    void failedMarkWriteStoresNoEntry();

    void keysWinOverFocusedControl_data();
    void keysWinOverFocusedControl();
    void findOpensAndDoesNotRefill();
    void closingResults();

private:
    void AddThree();
    int Run(ScriptedUi& ui, const std::function<void(CShowDolgDialog&)>& script);

    std::unique_ptr<TempCatalogue> m_cat;
};

void TestShowDolgDialog::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    QVERIFY(m_cat->IsValid());
}

void TestShowDolgDialog::AddThree()
{
    m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"N"_s });
    m_cat->AddDebtor({ u"Петров"_s, u"Сталкер"_s, u"1 марта"_s, u"B"_s });
    m_cat->AddDebtor({ u"Сидоров"_s, u"Зеркало"_s, u"n/d"_s, u"C"_s });
}

int TestShowDolgDialog::Run(ScriptedUi& ui, const std::function<void(CShowDolgDialog&)>& script)
{
    ui.ExpectDialog<CShowDolgDialog>(script);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.m_strIniPath = m_cat->IniPath();
    return dlg.DoModal();
}

void TestShowDolgDialog::opensFilledInRecordOrder()
{
    AddThree();
    m_cat->AddDebtor({ u"n/d"_s, u"n/d"_s, u"n/d"_s, u"X"_s });
    ScriptedUi ui;
    Run(ui, [](CShowDolgDialog& d) {
        app::CListCtrl* list = d.DolgList();
        QCOMPARE(
            Headings(list), (QStringList { u"Имя должника."_s, u"Название Фильма/диска."_s, u"Дата."_s, u"Метка."_s }));
        QCOMPARE(Widths(list), ClassicWidths(d, { 121, 150, 90, 90 }));
        QCOMPARE(ListRows(list),
            (QList<QStringList> { { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"Отменина"_s },
                { u"Петров"_s, u"Сталкер"_s, u"1 марта"_s, u"Белый список"_s },
                { u"Сидоров"_s, u"Зеркало"_s, u"n/d"_s, u"Черный список"_s },
                { u"n/d"_s, u"n/d"_s, u"n/d"_s, QString() } }));
        QCOMPARE(d.CurrentDolg(), 0);
        QCOMPARE(d.focusWidget(), d.GetDlgItem(1));
        d.SendCommand(1);
    });
    VERIFY_SCRIPT(ui);
}

void TestShowDolgDialog::tableSetting_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("grid");
    QTest::newRow("no settings file") << QByteArray() << false;
    QTest::newRow("1") << QByteArray("[Config]\r\nTable=1\r\n") << true;
    QTest::newRow("not a number") << QByteArray("[Config]\r\nTable=abc\r\n") << false;
}

void TestShowDolgDialog::tableSetting()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, grid);
    if (!ini.isEmpty())
        m_cat->WriteIni(ini);
    AddThree();
    ScriptedUi ui;
    Run(ui, [&](CShowDolgDialog& d) {
        QCOMPARE(d.DolgList()->showGrid(), grid);
        QVERIFY(d.DolgList()->GetExtendedStyle() & app::LVS_EX_FULLROWSELECT);
        QCOMPARE(d.DolgList()->selectionBehavior(), QAbstractItemView::SelectRows);
        d.SendCommand(1);
    });
    VERIFY_SCRIPT(ui);
}

void TestShowDolgDialog::commandsNeedACurrentRecord()
{
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([](CShowDolgDialog& d) {
        QCOMPARE(d.DolgList()->GetItemCount(), 0);
        Click(d, 1001);
        Click(d, 1002);
        Click(d, 1004);
        d.SendCommand(1);
    });
    ui.ExpectMessage(kNoEdit);
    ui.ExpectMessage(kNoDelete);
    ui.ExpectMessage(kNoBlack);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.m_strIniPath = m_cat->IniPath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

void TestShowDolgDialog::deleteRemovesTheSelectedRecord()
{
    AddThree();
    m_cat->AddDebtor({ u"Козлов"_s, u"Андрей Рублёв"_s, u"2.2.2002"_s, u"N"_s });
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(2);
        QCOMPARE(d.CurrentDolg(), 3);
        Click(d, 1002);
        QCOMPARE(d.CurrentDolg(), 0);
        QCOMPARE(ListRows(d.DolgList()).size(), 3);
        QCOMPARE(d.DolgList()->GetItemText(2, 0), u"Козлов"_s);
        Click(d, 1002);
        d.SendCommand(1);
    });
    ui.ExpectMessage(kAskDelete, app::IDOK);
    ui.ExpectMessage(kNoDelete);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    const auto rows = m_cat->Rows(u"DOLGI"_s);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.value(2).value(0), u"Козлов"_s);
    QCOMPARE(rows.value(1).value(0), u"Петров"_s);
}

void TestShowDolgDialog::deleteCancelledStillRefills()
{
    AddThree();
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(1);
        m_cat->AddDebtor({ u"Козлов"_s, u"Андрей Рублёв"_s, u"2.2.2002"_s, u"N"_s });
        Click(d, 1002);
        QCOMPARE(d.DolgList()->GetItemCount(), 4);
        QCOMPARE(d.CurrentDolg(), 2);
        // The number stays: the same row is asked about again.
        Click(d, 1002);
        d.SendCommand(1);
    });
    ui.ExpectMessage(kAskDelete, app::IDCANCEL);
    ui.ExpectMessage(kAskDelete, app::IDOK);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QStringList names;
    for (const QStringList& r : m_cat->Rows(u"DOLGI"_s))
        names << r.value(0);
    QCOMPARE(names, (QStringList { u"Иванов"_s, u"Сидоров"_s, u"Козлов"_s }));
}

void TestShowDolgDialog::deleteOfARecordGoneMeanwhile()
{
    AddThree();
    ScriptedUi ui; // an engine error would be an unexpected message
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(2);
        m_cat->Execute(u"DELETE FROM DOLGI WHERE NAME = 'Сидоров'"_s);
        Click(d, 1002);
        QCOMPARE(d.CurrentDolg(), 0);
        QCOMPARE(d.DolgList()->GetItemCount(), 2);
        d.SendCommand(1);
    });
    ui.ExpectMessage(kAskDelete, app::IDOK);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 2);
}

void TestShowDolgDialog::editRefillsAndKeepsTheNumber()
{
    AddThree();
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(1);
        Click(d, 1001);
        QCOMPARE(d.DolgList()->GetItemText(1, 0), u"Петров-Водкин"_s);
        QCOMPARE(d.DolgList()->GetItemText(1, 3), u"Черный список"_s);
        QVERIFY(d.DolgList()->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(d.CurrentDolg(), 2);
        // Deleting at once asks about the record just edited.
        Click(d, 1002);
        d.SendCommand(1);
    });
    ui.ExpectDialog<CRenameDolgDialog>([](CRenameDolgDialog& d) {
        QCOMPARE(d.m_nPosition, 1);
        QCOMPARE(d.Item<QLineEdit>(1017)->text(), u"Петров"_s);
        d.Item<QLineEdit>(1017)->setText(u"Петров-Водкин"_s);
        ChooseEntry(d.Item<QComboBox>(1020), 2);
        d.SendCommand(1047);
    });
    ui.ExpectMessage(kAskDelete, app::IDOK);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QStringList names;
    for (const QStringList& r : m_cat->Rows(u"DOLGI"_s))
        names << r.value(0);
    QCOMPARE(names, (QStringList { u"Иванов"_s, u"Сидоров"_s }));
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
}

void TestShowDolgDialog::addRefillsAndKeepsTheNumber()
{
    AddThree();
    m_cat->AddBlack(u"Козлов"_s, u"Не вернул"_s);
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(1);
        Click(d, 1000);
        QCOMPARE(ListRows(d.DolgList()).value(3),
            (QStringList { u"Козлов"_s, u"Андрей Рублёв"_s, u"n/d"_s, u"Отменина"_s }));
        QCOMPARE(d.CurrentDolg(), 2);
        Click(d, 1000); // cancelled: nothing changes
        QCOMPARE(d.DolgList()->GetItemCount(), 4);
        d.SendCommand(1);
    });
    ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) {
        TypeText(d.GetDlgItem(1017), u"Козлов"_s);
        TypeText(d.GetDlgItem(1018), u"Андрей Рублёв"_s);
        d.SendCommand(1047);
    });
    ui.ExpectMessage(u"Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"_s, app::IDOK);
    ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) { d.SendCommand(2); });
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 4);
}

void TestShowDolgDialog::blackListKeepsDebtorAndAppendsEntry()
{
    AddThree();
    m_cat->AddDebtor({ u"n/d"_s, u"Бриллиантовая рука"_s, u"n/d"_s, u"N"_s });
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(3);
        Click(d, 1004); // cancelled
        QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
        QCOMPARE(d.DolgList()->GetItemText(3, 3), u"Отменина"_s);
        Click(d, 1004);
        QCOMPARE(d.DolgList()->GetItemText(3, 3), u"Черный список"_s);
        QCOMPARE(d.CurrentDolg(), 4);
        Click(d, 1004);
        d.SendCommand(1);
    });
    ui.ExpectMessage(kAskBlack, app::IDCANCEL);
    ui.ExpectMessage(kAskBlack, app::IDOK);
    ui.ExpectMessage(kAskBlack, app::IDOK);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 4);
    QCOMPARE(m_cat->Rows(u"DOLGI"_s).value(3).value(3), u"C"_s);
    const QStringList entry { u"n/d"_s, u"Бриллиантовая рука"_s };
    QCOMPARE(m_cat->Rows(u"BLACKSPISOK"_s), (QList<QStringList> { entry, entry }));
}

void TestShowDolgDialog::failedMarkWriteStoresNoEntry()
{
    AddThree();
    // The black-list entry is written first; the mark that follows it fails.
    m_cat->Execute(u"CREATE TRIGGER no_mark BEFORE UPDATE ON DOLGI BEGIN SELECT RAISE(ABORT, 'test'); END"_s);
    const auto before = m_cat->Rows(u"DOLGI"_s);
    ScriptedUi ui;
    AnyMessages messages({ app::IDOK });
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(0);
        Click(d, 1004);
        QCOMPARE(d.DolgList()->GetItemText(0, 3), u"Отменина"_s);
        d.SendCommand(1);
    });
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(messages.Texts().size(), 2);
    QCOMPARE(messages.Texts().first(), kAskBlack);
    QVERIFY2(messages.Texts().last().contains(u"DOLGI"_s), qPrintable(messages.Texts().last()));
    QCOMPARE(m_cat->Rows(u"DOLGI"_s), before);
    QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
}

void TestShowDolgDialog::keysWinOverFocusedControl_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("opens");
    QTest::newRow("Alt+I add") << int(Qt::Key_I) << int(Qt::AltModifier) << u"add"_s;
    QTest::newRow("Alt+E edit") << int(Qt::Key_E) << int(Qt::AltModifier) << u"edit"_s;
    QTest::newRow("Alt+D delete") << int(Qt::Key_D) << int(Qt::AltModifier) << kAskDelete;
    QTest::newRow("Alt+F find") << int(Qt::Key_F) << int(Qt::AltModifier) << u"find"_s;
    QTest::newRow("Ctrl+Alt+I black list") << int(Qt::Key_I) << int(Qt::ControlModifier | Qt::AltModifier) << kAskBlack;
}

void TestShowDolgDialog::keysWinOverFocusedControl()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, opens);
    AddThree();
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(1);
        // Keys go to the list, which has keys of its own.
        PressKey(d.DolgList(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        d.SendCommand(1);
    });
    if (opens == u"add")
        ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) { d.SendCommand(2); });
    else if (opens == u"edit")
        ui.ExpectDialog<CRenameDolgDialog>([](CRenameDolgDialog& d) { d.SendCommand(2); });
    else if (opens == u"find")
        ui.ExpectDialog<CFindDolgDialog>([](CFindDolgDialog& d) { d.SendCommand(1047); });
    else
        ui.ExpectMessage(opens, app::IDCANCEL);
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 3);
}

void TestShowDolgDialog::findOpensAndDoesNotRefill()
{
    AddThree();
    m_cat->WriteIni("[Config]\r\nTable=1\r\n");
    ScriptedUi ui;
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        m_cat->AddDebtor({ u"Козлов"_s, u"Андрей Рублёв"_s, u"2.2.2002"_s, u"N"_s });
        Click(d, 1003);
        QCOMPARE(d.DolgList()->GetItemCount(), 3);
        d.SendCommand(1);
    });
    ui.ExpectDialog<CFindDolgDialog>([&](CFindDolgDialog& d) {
        QCOMPARE(d.m_strBasePath, m_cat->BasePath());
        QCOMPARE(d.m_strIniPath, m_cat->IniPath());
        QVERIFY(d.Results()->showGrid());
        d.SendCommand(1047);
    });
    CShowDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.m_strIniPath = m_cat->IniPath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

void TestShowDolgDialog::closingResults()
{
    ScriptedUi ui;
    QCOMPARE(Run(ui, [](CShowDolgDialog& d) { Click(d, 1); }), app::IDOK);
    QCOMPARE(Run(ui, [](CShowDolgDialog& d) { PressKey(d.DolgList(), Qt::Key_Return); }), app::IDOK);
    QCOMPARE(Run(ui, [](CShowDolgDialog& d) { PressKey(d.DolgList(), Qt::Key_Escape); }), app::IDCANCEL);
    VERIFY_SCRIPT(ui);
}

QTEST_MAIN(TestShowDolgDialog)
#include "test_showdolgdialog.moc"
