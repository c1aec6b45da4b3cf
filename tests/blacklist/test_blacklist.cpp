// The black-list window: rows in record order, the reason read at each selection, the current entry through
// add, change and delete, the list style, and a missing base.
#include "blacklist/addblack.h"
#include "blacklist/blacklist.h"
#include "blacklist/renameblack.h"
#include "data/daodb.h"
#include "scripted.h"
#include "testbase.h"

#include <QTest>

namespace {
const QString kTable = QStringLiteral("BLACKSPISOK");
constexpr int IDC_ADD = 1000;
constexpr int IDC_CHANGE = 1001;
constexpr int IDC_DELETE = 1002;
constexpr int IDC_REASON = 1017;

QString Reason(const CBlackList& d)
{
    return app::EditText(d.GetDlgItem(IDC_REASON));
}

QStringList Names(const QList<QStringList>& rows)
{
    QStringList names;
    for (const QStringList& row : rows)
        names << row.first();
    return names;
}
} // namespace

class TestBlackList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void listsAndReadsTheReasonAtEachSelection();
    void currentEntryThroughCommands_data();
    void currentEntryThroughCommands();
    void styleAndMissingBase_data();
    void styleAndMissingBase();

private:
    // Opens the window; `expect` adds what the script's actions are to show.
    int Run(ScriptedUi& ui, std::function<void(CBlackList&)> script, const std::function<void()>& expect = {})
    {
        ui.ExpectDialog<CBlackList>(std::move(script));
        if (expect)
            expect();
        CBlackList dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        dlg.m_strIniPath = m_cat->IniPath();
        return dlg.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
};

void TestBlackList::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    m_cat->AddBlack(QStringLiteral("Петров"), QStringLiteral("первый Петров"));
    m_cat->AddBlack(QStringLiteral("n/d"), QStringLiteral("n/d"));
    m_cat->AddBlack(QStringLiteral("Петров"), QStringLiteral("второй Петров"));
    m_cat->AddBlack(QStringLiteral("Яковлев"), QStringLiteral("диск"));
}

void TestBlackList::listsAndReadsTheReasonAtEachSelection()
{
    ScriptedUi ui;
    Run(ui, [this](CBlackList& d) {
        d.List()->SelectRow(2);
        QCOMPARE(d.SelectedEntry(), 3);
        QCOMPARE(Reason(d), QStringLiteral("второй Петров"));
        d.List()->SelectRow(1);
        QCOMPARE(Reason(d), QStringLiteral("n/d"));
        // Nothing is cached: a reason changed in the base shows at the next selection.
        m_cat->Execute(QStringLiteral("UPDATE BLACKSPISOK SET PRICHINA = 'новая причина' WHERE rowid = 3"));
        d.List()->SelectRow(2);
        QCOMPARE(Reason(d), QStringLiteral("новая причина"));
        // Losing the selection leaves the last entry current and its reason standing.
        d.List()->clearSelection();
        QCOMPARE(d.SelectedEntry(), 3);
        QCOMPARE(Reason(d), QStringLiteral("новая причина"));
        d.SendCommand(app::IDOK);
    });
    VERIFY_SCRIPT(ui);
}

void TestBlackList::currentEntryThroughCommands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("row"); // selected first
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("entry"); // current afterwards, 1-based; 0 for none
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QList<QStringList>>("rows"); // listed and stored
    const QStringList p1 { QStringLiteral("Петров"), QStringLiteral("первый Петров") };
    const QStringList nd { QStringLiteral("n/d"), QStringLiteral("n/d") };
    const QStringList p2 { QStringLiteral("Петров"), QStringLiteral("второй Петров") };
    const QStringList ya { QStringLiteral("Яковлев"), QStringLiteral("диск") };
    // The second of two "Петров" goes, and nothing is current any more.
    QTest::newRow("delete") << IDC_DELETE << 2 << app::IDOK << 0 << QString() << QList { p1, nd, ya };
    QTest::newRow("cancelled delete") << IDC_DELETE << 3 << app::IDCANCEL << 0 << ya[1] << QList { p1, nd, p2, ya };
    // The reason shown belonged to the entry before its change, so it is cleared.
    QTest::newRow("change") << IDC_CHANGE << 2 << app::IDOK << 0 << QString()
                            << QList { p1, nd, QStringList { QStringLiteral("Петрова"), p2[1] }, ya };
    QTest::newRow("cancelled change") << IDC_CHANGE << 0 << app::IDCANCEL << 1 << p1[1] << QList { p1, nd, p2, ya };
    // The new entry is last, so the current one keeps its place.
    QTest::newRow("add") << IDC_ADD << 1 << app::IDOK << 2 << nd[1]
                         << QList { p1, nd, p2, ya, QStringList { QStringLiteral("Новиков"), nd[1] } };
}

void TestBlackList::currentEntryThroughCommands()
{
    QFETCH(int, command);
    QFETCH(int, row);
    QFETCH(int, answer);
    QFETCH(int, entry);
    QFETCH(QString, reason);
    QFETCH(QList<QStringList>, rows);
    const int save = answer == app::IDOK ? 1047 : app::IDCANCEL;
    ScriptedUi ui;
    Run(
        ui,
        [&](CBlackList& d) {
            d.List()->SelectRow(row);
            d.SendCommand(command);
            QCOMPARE(d.SelectedEntry(), entry);
            QCOMPARE(Reason(d), reason);
            QCOMPARE(Names(ListRows(d.List())), Names(rows));
            d.SendCommand(app::IDOK);
        },
        [&] {
            if (command == IDC_DELETE)
                ui.ExpectMessage(QStringLiteral("Вы действительно хотите удалить данную запись?"), answer);
            if (command == IDC_CHANGE)
                ui.ExpectDialog<CRenameBlack>([&](CRenameBlack& r) {
                    QCOMPARE(r.m_nPosition, row);
                    app::SetEditText(r.GetDlgItem(1017), QStringLiteral("Петрова"));
                    r.SendCommand(save);
                });
            if (command == IDC_ADD)
                ui.ExpectDialog<CAddBlack>([&](CAddBlack& a) {
                    app::SetEditText(a.GetDlgItem(1017), QStringLiteral("Новиков"));
                    a.SendCommand(save);
                });
        });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(kTable), rows);
}

void TestBlackList::styleAndMissingBase_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<quint32>("style");
    QTest::addColumn<bool>("missing");
    QTest::newRow("no settings file") << QByteArray() << quint32(0x20) << false;
    QTest::newRow("leading number") << QByteArray("[config]\r\ntable= 1abc\r\n") << quint32(0x21) << false;
    // The error is shown while the window starts; it still opens, styled and empty.
    QTest::newRow("no selection stored, base missing")
        << QByteArray("[Config]\r\nTable=-1\r\n") << quint32(0xffffffff) << true;
}

void TestBlackList::styleAndMissingBase()
{
    QFETCH(QByteArray, ini);
    QFETCH(quint32, style);
    QFETCH(bool, missing);
    if (!ini.isNull())
        m_cat->WriteIni(ini);
    ScriptedUi ui;
    if (missing) {
        QVERIFY(QFile::remove(m_cat->BasePath()));
        ui.ExpectMessage(DbErrorText([&] { data::CDaoDatabase().Open(m_cat->BasePath()); }));
    }
    const int result = Run(
        ui,
        [&](CBlackList& d) {
            QCOMPARE(d.List()->GetExtendedStyle(), style);
            QCOMPARE(d.List()->showGrid(), bool(style & 1));
            QCOMPARE(d.List()->GetItemCount(), missing ? 0 : 4);
            // Nothing is current yet.
            d.SendCommand(IDC_DELETE);
            d.SendCommand(IDC_CHANGE);
            PressKey(d.List(), Qt::Key_Escape);
        },
        [&] {
            ui.ExpectMessage(QStringLiteral("Вы не выбрали запись для удаления."));
            ui.ExpectMessage(QStringLiteral("Вы не выбрали запись для изменения."));
        });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
}

QTEST_MAIN(TestBlackList)
#include "test_blacklist.moc"
