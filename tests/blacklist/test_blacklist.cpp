// The black-list window: rows in record order, the reason read at each selection, and the current entry
// through add, change and delete.
#include "blacklist/addblack.h"
#include "blacklist/blacklist.h"
#include "blacklist/renameblack.h"
#include "data/daodb.h"
#include "dberrortext.h"
#include "scripted.h"
#include "testbase.h"

#include <QTest>

namespace {
const QString kTable = QStringLiteral("BLACKSPISOK");
constexpr int IDC_ADD = 1000;
constexpr int IDC_CHANGE = 1001;
constexpr int IDC_DELETE = 1002;
constexpr int IDC_REASON = 1017;
const QString kNoDeleteSelection = QStringLiteral("Вы не выбрали запись для удаления.");
const QString kNoChangeSelection = QStringLiteral("Вы не выбрали запись для изменения.");
const QString kDeleteQuestion = QStringLiteral("Вы действительно хотите удалить данную запись?");

QStringList Names(const CBlackList& d)
{
    QStringList names;
    for (int row = 0; row < d.List()->GetItemCount(); ++row)
        names << d.List()->GetItemText(row, 0);
    return names;
}

QString Reason(const CBlackList& d)
{
    return app::EditText(d.GetDlgItem(IDC_REASON));
}
} // namespace

class TestBlackList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void listsEveryEntryInRecordOrder();
    void reasonIsReadAtEachSelection();
    void noSelectionMessages();
    void deleteActsOnTheSelectedDuplicate();
    void cancelledDeleteStillResetsTheMarker();
    void changeActsOnTheSelectedDuplicate();
    void cancelledChangeKeepsTheMarker();
    void addKeepsTheMarker();
    void tableStyle_data();
    void tableStyle();
    void missingBase();

private:
    // Opens the window on the catalogue. Expectations for what the script opens follow `ui`'s own.
    int Run(ScriptedUi& ui, std::function<void(CBlackList&)> script, std::function<void()> expectAfter = {})
    {
        ui.ExpectDialog<CBlackList>(std::move(script));
        if (expectAfter)
            expectAfter();
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

void TestBlackList::listsEveryEntryInRecordOrder()
{
    ScriptedUi ui;
    Run(ui, [](CBlackList& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Черный список."));
        QCOMPARE(d.List()->GetColumnCount(), 1);
        QCOMPARE(d.List()->Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Имя"));
        QCOMPARE(d.List()->columnWidth(0), 170);
        QCOMPARE(Names(d),
            (QStringList { QStringLiteral("Петров"), QStringLiteral("n/d"), QStringLiteral("Петров"),
                QStringLiteral("Яковлев") }));
        QCOMPARE(d.SelectedEntry(), 0);
        QVERIFY(Reason(d).isEmpty());
        QCOMPARE(d.focusWidget(), d.GetDlgItem(app::IDOK)); // " Закрыть"
        d.SendCommand(app::IDOK);
    });
    VERIFY_SCRIPT(ui);
}

void TestBlackList::reasonIsReadAtEachSelection()
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
        // Losing the selection leaves the last reason standing.
        d.List()->clearSelection();
        QCOMPARE(d.SelectedEntry(), 3);
        QCOMPARE(Reason(d), QStringLiteral("новая причина"));
        d.SendCommand(app::IDOK);
    });
    VERIFY_SCRIPT(ui);
}

void TestBlackList::noSelectionMessages()
{
    m_cat->Execute(QStringLiteral("DELETE FROM BLACKSPISOK"));
    ScriptedUi ui;
    Run(
        ui,
        [](CBlackList& d) {
            QCOMPARE(d.List()->GetItemCount(), 0);
            d.SendCommand(IDC_DELETE);
            d.SendCommand(IDC_CHANGE);
            QVERIFY(!d.IsEnded());
            d.SendCommand(app::IDOK);
        },
        [&] {
            ui.ExpectMessage(kNoDeleteSelection);
            ui.ExpectMessage(kNoChangeSelection);
        });
    VERIFY_SCRIPT(ui);
}

void TestBlackList::deleteActsOnTheSelectedDuplicate()
{
    ScriptedUi ui;
    Run(
        ui,
        [](CBlackList& d) {
            d.List()->SelectRow(2);
            d.SendCommand(IDC_DELETE);
            QCOMPARE(d.SelectedEntry(), 0);
            QVERIFY(Reason(d).isEmpty());
            QCOMPARE(
                Names(d), (QStringList { QStringLiteral("Петров"), QStringLiteral("n/d"), QStringLiteral("Яковлев") }));
            // Nothing is current any more.
            d.SendCommand(IDC_DELETE);
            d.SendCommand(app::IDOK);
        },
        [&] {
            ui.ExpectMessage(kDeleteQuestion, app::IDOK);
            ui.ExpectMessage(kNoDeleteSelection);
        });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(kTable),
        (QList<QStringList> { { QStringLiteral("Петров"), QStringLiteral("первый Петров") },
            { QStringLiteral("n/d"), QStringLiteral("n/d") }, { QStringLiteral("Яковлев"), QStringLiteral("диск") } }));
}

void TestBlackList::cancelledDeleteStillResetsTheMarker()
{
    const QList<QStringList> before = m_cat->Rows(kTable);
    ScriptedUi ui;
    Run(
        ui,
        [this](CBlackList& d) {
            d.List()->SelectRow(3);
            // An entry added behind the window's back shows once the list is rebuilt.
            m_cat->AddBlack(QStringLiteral("Новиков"), QStringLiteral("x"));
            d.SendCommand(IDC_DELETE);
            QCOMPARE(d.SelectedEntry(), 0);
            QCOMPARE(Reason(d), QStringLiteral("диск"));
            QCOMPARE(d.List()->GetItemCount(), 5);
            d.SendCommand(app::IDOK);
        },
        [&] { ui.ExpectMessage(kDeleteQuestion, app::IDCANCEL); });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(kTable).mid(0, 4), before);
}

void TestBlackList::changeActsOnTheSelectedDuplicate()
{
    ScriptedUi ui;
    Run(
        ui,
        [](CBlackList& d) {
            d.List()->SelectRow(2);
            d.SendCommand(IDC_CHANGE);
            QCOMPARE(d.SelectedEntry(), 0);
            // The reason shown belonged to the entry before its change.
            QVERIFY(Reason(d).isEmpty());
            QCOMPARE(d.List()->GetItemText(2, 0), QStringLiteral("Петрова"));
            d.SendCommand(app::IDOK);
        },
        [&] {
            ui.ExpectDialog<CRenameBlack>([](CRenameBlack& r) {
                QCOMPARE(r.m_nPosition, 2);
                QCOMPARE(app::EditText(r.GetDlgItem(1018)), QStringLiteral("второй Петров"));
                app::SetEditText(r.GetDlgItem(1017), QStringLiteral("Петрова"));
                r.SendCommand(1047);
            });
        });
    VERIFY_SCRIPT(ui);
    const QList<QStringList> rows = m_cat->Rows(kTable);
    QCOMPARE(rows[0], (QStringList { QStringLiteral("Петров"), QStringLiteral("первый Петров") }));
    QCOMPARE(rows[2], (QStringList { QStringLiteral("Петрова"), QStringLiteral("второй Петров") }));
}

void TestBlackList::cancelledChangeKeepsTheMarker()
{
    const QList<QStringList> before = m_cat->Rows(kTable);
    ScriptedUi ui;
    Run(
        ui,
        [](CBlackList& d) {
            d.List()->SelectRow(0);
            d.SendCommand(IDC_CHANGE);
            QCOMPARE(d.SelectedEntry(), 1);
            QCOMPARE(Reason(d), QStringLiteral("первый Петров"));
            d.SendCommand(app::IDOK);
        },
        [&] {
            ui.ExpectDialog<CRenameBlack>([](CRenameBlack& r) {
                app::SetEditText(r.GetDlgItem(1017), QStringLiteral("Другой"));
                r.SendCommand(app::IDCANCEL);
            });
        });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Rows(kTable), before);
}

void TestBlackList::addKeepsTheMarker()
{
    ScriptedUi ui;
    Run(
        ui,
        [](CBlackList& d) {
            d.List()->SelectRow(1);
            d.SendCommand(IDC_ADD);
            QCOMPARE(d.List()->GetItemText(4, 0), QStringLiteral("Новиков"));
            QCOMPARE(d.SelectedEntry(), 2);
            // The position still names the same entry: Delete asks about it.
            d.SendCommand(IDC_DELETE);
            QCOMPARE(Names(d),
                (QStringList { QStringLiteral("Петров"), QStringLiteral("Петров"), QStringLiteral("Яковлев"),
                    QStringLiteral("Новиков") }));
            d.SendCommand(app::IDOK);
        },
        [&] {
            ui.ExpectDialog<CAddBlack>([](CAddBlack& a) {
                app::SetEditText(a.GetDlgItem(1017), QStringLiteral("Новиков"));
                a.SendCommand(1047);
            });
            ui.ExpectMessage(kDeleteQuestion, app::IDOK);
        });
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Count(kTable), 4);
}

void TestBlackList::tableStyle_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<quint32>("style");
    QTest::addColumn<bool>("grid");
    QTest::newRow("no settings file") << QByteArray() << quint32(0x20) << false;
    QTest::newRow("no table") << QByteArray("[Config]\r\nTable=0\r\n") << quint32(0x20) << false;
    QTest::newRow("table") << QByteArray("[Config]\r\nTable=1\r\n") << quint32(0x21) << true;
    QTest::newRow("leading number") << QByteArray("[config]\r\ntable= 1abc\r\n") << quint32(0x21) << true;
    QTest::newRow("no selection stored") << QByteArray("[Config]\r\nTable=-1\r\n") << quint32(0xffffffff) << true;
}

void TestBlackList::tableStyle()
{
    QFETCH(QByteArray, ini);
    QFETCH(quint32, style);
    QFETCH(bool, grid);
    if (!ini.isNull())
        m_cat->WriteIni(ini);
    ScriptedUi ui;
    Run(ui, [&](CBlackList& d) {
        QCOMPARE(d.List()->GetExtendedStyle(), style);
        QCOMPARE(d.List()->showGrid(), grid);
        QCOMPARE(d.List()->selectionBehavior(), QAbstractItemView::SelectRows);
        d.SendCommand(app::IDOK);
    });
    VERIFY_SCRIPT(ui);
}

void TestBlackList::missingBase()
{
    // The error is shown and the window still opens, styled and empty, and can be closed.
    m_cat->WriteIni("[Config]\r\nTable=1\r\n");
    QVERIFY(QFile::remove(m_cat->BasePath()));
    const QString error = DbErrorText([&] { data::CDaoDatabase().Open(m_cat->BasePath()); });
    ScriptedUi ui;
    ui.ExpectMessage(error); // while the window starts, before it shows
    const int result = Run(
        ui,
        [](CBlackList& d) {
            QCOMPARE(d.List()->GetItemCount(), 0);
            QCOMPARE(d.List()->GetExtendedStyle(), quint32(0x21));
            d.SendCommand(IDC_DELETE);
            PressKey(d.List(), Qt::Key_Escape);
        },
        [&] { ui.ExpectMessage(kNoDeleteSelection); });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
}

QTEST_MAIN(TestBlackList)
#include "test_blacklist.moc"
