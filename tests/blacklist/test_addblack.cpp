// The add dialog of the black list: what is stored, and which keys save or cancel.
#include "blacklist/addblack.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "dberrortext.h"
#include "scripted.h"
#include "testbase.h"

#include <QPushButton>
#include <QTest>

namespace {
const QString kTable = QStringLiteral("BLACKSPISOK");
constexpr int IDC_NAME = 1017;
constexpr int IDC_REASON = 1018;
constexpr int IDC_SAVE = 1047;
} // namespace

class TestAddBlack : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storesByNdRule_data();
    void storesByNdRule();
    void enterInEditsDoesNothing();
    void enterOnFocusedOkSaves();
    void escapeAndCancelWriteNothing();
    void refusedInsertLeavesNoEmptyEntry();
    void missingBaseKeepsDialogOpen();

private:
    // Runs the dialog on the catalogue with a script and returns its result; `message` is a message the
    // script's actions are expected to show.
    int Run(TempCatalogue& cat, ScriptedUi& ui, std::function<void(CAddBlack&)> script, const QString& message = {})
    {
        ui.ExpectDialog<CAddBlack>(std::move(script));
        if (!message.isEmpty())
            ui.ExpectMessage(message);
        CAddBlack dlg;
        dlg.m_strBasePath = cat.BasePath();
        return dlg.DoModal();
    }
};

void TestAddBlack::storesByNdRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("storedReason");
    const QString nd = QStringLiteral("n/d");
    QTest::newRow("both empty") << QString() << QString() << nd << nd;
    QTest::newRow("one blank") << QStringLiteral(" ") << QStringLiteral(" ") << nd << nd;
    QTest::newRow("two blanks stay") << QStringLiteral("  ") << QStringLiteral("  ") << QStringLiteral("  ")
                                     << QStringLiteral("  ");
    QTest::newRow("no trimming") << QStringLiteral(" Иванов ") << QStringLiteral("долг\nне вернул ")
                                 << QStringLiteral(" Иванов ") << QStringLiteral("долг\nне вернул ");
    QTest::newRow("n/d typed") << nd << QStringLiteral("x") << nd << QStringLiteral("x");
}

void TestAddBlack::storesByNdRule()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(QString, storedName);
    QFETCH(QString, storedReason);
    TempCatalogue cat;
    cat.AddBlack(QStringLiteral("Первый"), QStringLiteral("причина"));
    ScriptedUi ui;
    const int result = Run(cat, ui, [&](CAddBlack& d) {
        app::SetEditText(d.GetDlgItem(IDC_NAME), name);
        app::SetEditText(d.GetDlgItem(IDC_REASON), reason);
        d.SendCommand(IDC_SAVE);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    const QList<QStringList> rows = cat.Rows(kTable);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1], (QStringList { storedName, storedReason })); // appended last
}

void TestAddBlack::enterInEditsDoesNothing()
{
    TempCatalogue cat;
    ScriptedUi ui;
    const int result = Run(cat, ui, [](CAddBlack& d) {
        app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Иванов"));
        PressKey(d.GetDlgItem(IDC_NAME), Qt::Key_Return);
        PressKey(d.GetDlgItem(IDC_REASON), Qt::Key_Enter);
        QVERIFY(!d.IsEnded());
        d.SendCommand(app::IDCANCEL);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
    QCOMPARE(cat.Count(kTable), 0);
}

void TestAddBlack::enterOnFocusedOkSaves()
{
    TempCatalogue cat;
    ScriptedUi ui;
    const int result = Run(cat, ui, [](CAddBlack& d) {
        QCOMPARE(d.focusWidget(), d.GetDlgItem(IDC_SAVE));
        PressKey(d.focusWidget(), Qt::Key_Return);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(cat.Rows(kTable), (QList<QStringList> { { QStringLiteral("n/d"), QStringLiteral("n/d") } }));
}

void TestAddBlack::escapeAndCancelWriteNothing()
{
    TempCatalogue cat;
    for (bool escape : { true, false }) {
        ScriptedUi ui;
        const int result = Run(cat, ui, [escape](CAddBlack& d) {
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Иванов"));
            if (escape)
                PressKey(d.GetDlgItem(IDC_NAME), Qt::Key_Escape);
            else
                QTest::mouseClick(d.Item<QPushButton>(app::IDCANCEL), Qt::LeftButton);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
    }
    QCOMPARE(cat.Count(kTable), 0);
}

void TestAddBlack::refusedInsertLeavesNoEmptyEntry()
{
    // The base refuses a name both on insert and on update: an entry written in two steps (an empty
    // record first, then its fields) would stay behind empty.
    TempCatalogue cat;
    cat.Execute(QStringLiteral("CREATE TRIGGER refuse_ins BEFORE INSERT ON BLACKSPISOK WHEN NEW.NAME = 'Запрет' "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    cat.Execute(QStringLiteral("CREATE TRIGGER refuse_upd BEFORE UPDATE ON BLACKSPISOK WHEN NEW.NAME = 'Запрет' "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const QString error = DbErrorText([&] {
        data::CDaoDatabase db;
        db.Open(cat.BasePath());
        data::CDaoRecordset rs(db);
        rs.Open(data::table::BlackList);
        rs.AddNew();
        rs.SetFieldValue(data::field::Name, QStringLiteral("Запрет"));
        rs.SetFieldValue(data::field::Prichina, QStringLiteral("x"));
        rs.Update();
    });
    QVERIFY(error.contains(QLatin1String("refused")));

    ScriptedUi ui;
    const int result = Run(
        cat, ui,
        [](CAddBlack& d) {
            app::SetEditText(d.GetDlgItem(IDC_NAME), QStringLiteral("Запрет"));
            app::SetEditText(d.GetDlgItem(IDC_REASON), QStringLiteral("x"));
            d.SendCommand(IDC_SAVE);
            QVERIFY(!d.IsEnded()); // the user can correct the input or cancel
            QCOMPARE(app::EditText(d.GetDlgItem(IDC_NAME)), QStringLiteral("Запрет"));
            d.SendCommand(app::IDCANCEL);
        },
        error);
    QCOMPARE(cat.Count(kTable), 0);
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
}

void TestAddBlack::missingBaseKeepsDialogOpen()
{
    TempCatalogue cat;
    QVERIFY(QFile::remove(cat.BasePath()));
    ScriptedUi ui;
    const int result = Run(
        cat, ui,
        [](CAddBlack& d) {
            d.SendCommand(IDC_SAVE);
            QVERIFY(!d.IsEnded());
            d.SendCommand(app::IDCANCEL);
        },
        DbErrorText([&] { data::CDaoDatabase().Open(cat.BasePath()); }));
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
    QVERIFY(!QFile::exists(cat.BasePath())); // never created
}

QTEST_MAIN(TestAddBlack)
#include "test_addblack.moc"
