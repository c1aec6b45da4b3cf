// The edit dialog of the black list: it reads and writes exactly the entry it was given.
#include "blacklist/renameblack.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "scripted.h"
#include "testbase.h"

#include <QPushButton>
#include <QTest>

namespace {
const QString kTable = QStringLiteral("BLACKSPISOK");
constexpr int IDC_NAME = 1017;
constexpr int IDC_REASON = 1018;
constexpr int IDC_SAVE = 1047;

qint64 RowIdAt(const TempCatalogue& cat, int position)
{
    data::CDaoDatabase db;
    db.Open(cat.BasePath());
    data::CDaoRecordset rs(db);
    rs.Open(data::table::BlackList);
    return rs.MoveToPosition(position) ? rs.RowId() : -1;
}
} // namespace

class TestRenameBlack : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void opensTheEntryItWasGiven_data();
    void opensTheEntryItWasGiven();
    void savesOnlyThatEntry_data();
    void savesOnlyThatEntry();
    void untouchedMultiLineReasonSurvives();
    void keys();
    void entryBeyondTheEnd();

private:
    int Run(int position, qint64 rowid, ScriptedUi& ui, std::function<void(CRenameBlack&)> script)
    {
        ui.ExpectDialog<CRenameBlack>(std::move(script));
        CRenameBlack dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        dlg.m_nPosition = position;
        dlg.m_nRowId = rowid;
        return dlg.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
};

void TestRenameBlack::init()
{
    // Two entries with the same name, told apart only by their place.
    m_cat = std::make_unique<TempCatalogue>();
    m_cat->AddBlack(QStringLiteral("Петров"), QStringLiteral("первый"));
    m_cat->AddBlack(QStringLiteral("Сидоров"), QStringLiteral("n/d"));
    m_cat->AddBlack(QStringLiteral("Петров"), QStringLiteral("второй"));
}

void TestRenameBlack::opensTheEntryItWasGiven_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("byRowId");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("first of two by position") << 0 << false << QStringLiteral("Петров") << QStringLiteral("первый");
    QTest::newRow("second of two by position") << 2 << false << QStringLiteral("Петров") << QStringLiteral("второй");
    QTest::newRow("second of two by rowid") << 2 << true << QStringLiteral("Петров") << QStringLiteral("второй");
    QTest::newRow("n/d shown as stored") << 1 << true << QStringLiteral("Сидоров") << QStringLiteral("n/d");
}

void TestRenameBlack::opensTheEntryItWasGiven()
{
    QFETCH(int, position);
    QFETCH(bool, byRowId);
    QFETCH(QString, name);
    QFETCH(QString, reason);
    const qint64 rowid = byRowId ? RowIdAt(*m_cat, position) : -1;
    if (byRowId) // the rowid still finds its entry when an earlier one went behind the list's back
        m_cat->Execute(QStringLiteral("DELETE FROM BLACKSPISOK WHERE rowid = 1"));
    ScriptedUi ui;
    Run(position, rowid, ui, [&](CRenameBlack& d) {
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_NAME)), name);
        QCOMPARE(app::EditText(d.GetDlgItem(IDC_REASON)), reason);
        d.SendCommand(app::IDCANCEL);
    });
    VERIFY_SCRIPT(ui);
}

void TestRenameBlack::savesOnlyThatEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("stored");
    const QString nd = QStringLiteral("n/d");
    QTest::newRow("changed") << QStringLiteral("Петров-Водкин") << QStringLiteral("не вернул")
                             << QStringList { QStringLiteral("Петров-Водкин"), QStringLiteral("не вернул") };
    QTest::newRow("cleared") << QString() << QString() << QStringList { nd, nd };
    QTest::newRow("one blank") << QStringLiteral(" ") << QStringLiteral(" ") << QStringList { nd, nd };
    QTest::newRow("two blanks") << QStringLiteral("  ") << QStringLiteral("  ")
                                << QStringList { QStringLiteral("  "), QStringLiteral("  ") };
}

void TestRenameBlack::savesOnlyThatEntry()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(QStringList, stored);
    const QList<QStringList> before = m_cat->Rows(kTable);
    for (bool byRowId : { false, true }) {
        m_cat->Execute(QStringLiteral("UPDATE BLACKSPISOK SET NAME = 'Петров', PRICHINA = 'второй' WHERE rowid = 3"));
        ScriptedUi ui;
        const int result = Run(2, byRowId ? RowIdAt(*m_cat, 2) : -1, ui, [&](CRenameBlack& d) {
            app::SetEditText(d.GetDlgItem(IDC_NAME), name);
            app::SetEditText(d.GetDlgItem(IDC_REASON), reason);
            QTest::mouseClick(d.Item<QPushButton>(IDC_SAVE), Qt::LeftButton);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(m_cat->Rows(kTable), (QList<QStringList> { before[0], before[1], stored }));
    }
}

void TestRenameBlack::untouchedMultiLineReasonSurvives()
{
    // A reason typed on several lines in the add dialog shows on one line here; saving another field
    // must not flatten it.
    m_cat->Execute(QStringLiteral("UPDATE BLACKSPISOK SET PRICHINA = 'строка 1' || char(13, 10) || 'строка 2' "
                                  "WHERE rowid = 1"));
    ScriptedUi ui;
    Run(0, -1, ui, [](CRenameBlack& d) {
        app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Петров А."));
        d.SendCommand(IDC_SAVE);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(kTable).at(0),
        (QStringList { QStringLiteral("Петров А."), QStringLiteral("строка 1\r\nстрока 2") }));
}

void TestRenameBlack::keys()
{
    const QList<QStringList> before = m_cat->Rows(kTable);
    {
        // Enter in an edit neither saves nor closes; Esc closes without saving.
        ScriptedUi ui;
        const int result = Run(0, -1, ui, [](CRenameBlack& d) {
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Другой"));
            PressKey(d.GetDlgItem(IDC_NAME), Qt::Key_Return);
            PressKey(d.GetDlgItem(IDC_REASON), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            PressKey(d.GetDlgItem(IDC_NAME), Qt::Key_Escape);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
        QCOMPARE(m_cat->Rows(kTable), before);
    }
    {
        ScriptedUi ui;
        const int result = Run(0, -1, ui, [](CRenameBlack& d) {
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Другой"));
            QTest::mouseClick(d.Item<QPushButton>(app::IDCANCEL), Qt::LeftButton);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
        QCOMPARE(m_cat->Rows(kTable), before);
    }
    {
        // Enter right after opening presses the focused "OK".
        ScriptedUi ui;
        const int result = Run(0, -1, ui, [](CRenameBlack& d) {
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Другой"));
            d.GetDlgItem(IDC_SAVE)->setFocus();
            PressKey(d.GetDlgItem(IDC_SAVE), Qt::Key_Return);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(m_cat->Rows(kTable).at(0), (QStringList { QStringLiteral("Другой"), QStringLiteral("первый") }));
    }
}

void TestRenameBlack::entryBeyondTheEnd()
{
    // The entry is gone: the edits open empty and "OK" writes nothing, so the opener just refreshes.
    const QList<QStringList> before = m_cat->Rows(kTable);
    for (bool byRowId : { false, true }) {
        ScriptedUi ui;
        const int result = Run(7, byRowId ? 99 : -1, ui, [](CRenameBlack& d) {
            QVERIFY(app::EditText(d.GetDlgItem(IDC_NAME)).isEmpty());
            QVERIFY(app::EditText(d.GetDlgItem(IDC_REASON)).isEmpty());
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Новый"));
            d.SendCommand(IDC_SAVE);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(m_cat->Rows(kTable), before);
    }
}

QTEST_MAIN(TestRenameBlack)
#include "test_renameblack.moc"
