// The black list's entry dialogs, add and change: the "n/d" rule, the keys that save or cancel, the entry the
// change dialog acts on, and an add the base refuses.
#include "blacklist/addblack.h"
#include "blacklist/renameblack.h"
#include "scripted.h"
#include "testbase.h"

#include <QPushButton>
#include <QTest>

namespace {
const QString kTable = QStringLiteral("BLACKSPISOK");
constexpr int IDC_NAME = 1017;
constexpr int IDC_REASON = 1018;
constexpr int IDC_SAVE = 1047;

// Runs an entry dialog; the change dialog gets the entry at `position`, or the record `rowid` when there is one.
template <class D>
int Run(const TempCatalogue& cat, ScriptedUi& ui, std::function<void(D&)> script, int position = 2, qint64 rowid = -1)
{
    ui.ExpectDialog<D>(std::move(script));
    D dlg;
    dlg.m_strBasePath = cat.BasePath();
    if constexpr (std::is_same_v<D, CRenameBlack>) {
        dlg.m_nPosition = position;
        dlg.m_nRowId = rowid;
    }
    return dlg.DoModal();
}

enum How { ClickOk, EnterAtOnce, Escape, Cancel };
} // namespace

class TestBlackEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void whatEachWayStores_data();
    void whatEachWayStores();
    void changeActsOnItsEntry_data();
    void changeActsOnItsEntry();
    void refusedAddLeavesNoEmptyEntry();

private:
    std::unique_ptr<TempCatalogue> m_cat;
};

void TestBlackEntry::init()
{
    // Two entries with the same name, told apart only by their place; the last one's reason has two lines,
    // which the change dialog's one-line edit must not flatten when it saves.
    m_cat = std::make_unique<TempCatalogue>();
    m_cat->AddBlack(QStringLiteral("Петров"), QStringLiteral("первый"));
    m_cat->AddBlack(QStringLiteral("Сидоров"), QStringLiteral("n/d"));
    m_cat->AddBlack(QStringLiteral("Петров"), QStringLiteral("второй\r\nдиск"));
}

void TestBlackEntry::whatEachWayStores_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("how");
    QTest::addColumn<QStringList>("stored"); // empty: nothing written
    const QString nd = QStringLiteral("n/d");
    for (bool change : { false, true }) {
        const char* dialog = change ? "change" : "add";
        const QString typed = QStringLiteral("Другой");
        // Right after opening the focused "OK" takes Enter.
        QTest::addRow("%s: Enter at once", dialog)
            << change << QString() << QString() << int(EnterAtOnce)
            << (change ? QStringList { QStringLiteral("Петров"), QStringLiteral("второй\r\nдиск") }
                       : QStringList { nd, nd });
        QTest::addRow("%s: cleared, one blank", dialog)
            << change << QStringLiteral("") << QStringLiteral(" ") << int(ClickOk) << QStringList { nd, nd };
        QTest::addRow("%s: two blanks, untrimmed", dialog)
            << change << QStringLiteral("  ") << QStringLiteral(" не вернул ") << int(ClickOk)
            << QStringList { QStringLiteral("  "), QStringLiteral(" не вернул ") };
        QTest::addRow("%s: Esc", dialog) << change << typed << typed << int(Escape) << QStringList();
        QTest::addRow("%s: Отмена", dialog) << change << typed << typed << int(Cancel) << QStringList();
    }
}

void TestBlackEntry::whatEachWayStores()
{
    QFETCH(bool, change);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(int, how);
    QFETCH(QStringList, stored);
    QList<QStringList> expected = m_cat->Rows(kTable);
    if (change && !stored.isEmpty())
        expected[2] = stored;
    else if (!stored.isEmpty())
        expected << stored;
    const auto script = [&](auto& d) {
        if (how == EnterAtOnce) {
            QCOMPARE(d.focusWidget(), d.GetDlgItem(IDC_SAVE));
            PressKey(d.focusWidget(), Qt::Key_Return);
            return;
        }
        app::SetEditText(d.GetDlgItem(IDC_NAME), name);
        app::SetEditText(d.GetDlgItem(IDC_REASON), reason);
        // Enter in an edit neither saves nor closes.
        PressKey(d.GetDlgItem(IDC_NAME), Qt::Key_Return);
        PressKey(d.GetDlgItem(IDC_REASON), Qt::Key_Enter);
        QVERIFY(!d.IsEnded());
        if (how == Escape)
            PressKey(d.GetDlgItem(IDC_NAME), Qt::Key_Escape);
        else
            QTest::mouseClick(d.template Item<QPushButton>(how == Cancel ? app::IDCANCEL : IDC_SAVE), Qt::LeftButton);
    };
    ScriptedUi ui;
    const int result = change ? Run<CRenameBlack>(*m_cat, ui, script) : Run<CAddBlack>(*m_cat, ui, script);
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, stored.isEmpty() ? app::IDCANCEL : app::IDOK);
    QCOMPARE(m_cat->Rows(kTable), expected);
}

void TestBlackEntry::changeActsOnItsEntry_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<qint64>("rowid");
    QTest::addColumn<bool>("found");
    QTest::newRow("by position") << 2 << qint64(-1) << true;
    // An earlier entry went behind the list's back: the position now lies beyond the end, the rowid still holds.
    QTest::newRow("by rowid") << 2 << qint64(3) << true;
    // The entry is gone: the edits open empty and "OK" writes nothing, so the opener just refreshes.
    QTest::newRow("gone, by position") << 7 << qint64(-1) << false;
    QTest::newRow("gone, by rowid") << 7 << qint64(99) << false;
}

void TestBlackEntry::changeActsOnItsEntry()
{
    QFETCH(int, position);
    QFETCH(qint64, rowid);
    QFETCH(bool, found);
    if (rowid >= 0)
        m_cat->Execute(QStringLiteral("DELETE FROM BLACKSPISOK WHERE rowid = 1"));
    QList<QStringList> expected = m_cat->Rows(kTable);
    if (found)
        expected.last()[0] = QStringLiteral("Петрова");
    ScriptedUi ui;
    const int result = Run<CRenameBlack>(
        *m_cat, ui,
        [found](CRenameBlack& d) {
            QCOMPARE(app::EditText(d.GetDlgItem(IDC_NAME)), found ? QStringLiteral("Петров") : QString());
            QCOMPARE(app::EditText(d.GetDlgItem(IDC_REASON)).isEmpty(), !found);
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Петрова"));
            d.SendCommand(IDC_SAVE);
        },
        position, rowid);
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(m_cat->Rows(kTable), expected);
}

void TestBlackEntry::refusedAddLeavesNoEmptyEntry()
{
    // The base refuses the name on insert and on update alike: an entry written in two steps (an empty
    // record, then its fields) would stay behind empty.
    for (const char* event : { "INSERT", "UPDATE" })
        m_cat->Execute(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON BLACKSPISOK WHEN NEW.NAME = 'Запрет' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                           .arg(QLatin1String(event)));
    const QList<QStringList> before = m_cat->Rows(kTable);
    ScriptedUi ui;
    ui.ExpectDialog<CAddBlack>([](CAddBlack& d) {
        app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Запрет"));
        d.SendCommand(IDC_SAVE);
        QVERIFY(!d.IsEnded()); // the user can correct the input or cancel
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_NAME)), QStringLiteral("Запрет"));
        d.SendCommand(app::IDCANCEL);
    });
    ui.ExpectMessageContaining(QStringLiteral("refused"));
    CAddBlack dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    QCOMPARE(dlg.DoModal(), app::IDCANCEL);
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(kTable), before);
}

QTEST_MAIN(TestBlackEntry)
#include "test_blackentry.moc"
