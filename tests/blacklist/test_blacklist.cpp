// The black-list window: rows in record order, the reason read at each selection, the current entry through
// add, change and delete, the list style, and a missing base.
#include "blacklist/addblack.h"
#include "blacklist/blacklist.h"
#include "blacklist/renameblack.h"
#include "data/daodb.h"
#include "scripted.h"
#include "testmain.h"

using namespace Qt::StringLiterals;

namespace {
const QString kTable = u"BLACKSPISOK"_s;
constexpr int IDC_ADD = 1000;
constexpr int IDC_CHANGE = 1001;
constexpr int IDC_DELETE = 1002;
constexpr int IDC_REASON = 1017;

QString Reason(const CBlackList& d)
{
    return app::EditText(d.GetDlgItem(IDC_REASON));
}

} // namespace

class TestBlackList : public QObject {
    Q_OBJECT

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

private Q_SLOTS:
    void init()
    {
        m_cat = std::make_unique<TempCatalogue>();
        m_cat->AddBlack(u"Петров"_s, u"первый Петров"_s);
        m_cat->AddBlack(u"n/d"_s, u"n/d"_s);
        m_cat->AddBlack(u"Петров"_s, u"второй Петров"_s);
        m_cat->AddBlack(u"Яковлев"_s, u"диск"_s);
    }

    void listsAndReadsTheReasonAtEachSelection()
    {
        ScriptedUi ui;
        Run(ui, [this](CBlackList& d) {
            d.List()->SelectRow(2);
            QCOMPARE(d.SelectedEntry(), 3);
            QCOMPARE(Reason(d), u"второй Петров"_s);
            d.List()->SelectRow(1);
            QCOMPARE(Reason(d), u"n/d"_s);
            // Nothing is cached: a reason changed in the base shows at the next selection.
            m_cat->Execute(u"UPDATE BLACKSPISOK SET PRICHINA = 'новая причина' WHERE rowid = 3"_s);
            d.List()->SelectRow(2);
            QCOMPARE(Reason(d), u"новая причина"_s);
            // Losing the selection leaves the last entry current and its reason standing.
            d.List()->clearSelection();
            QCOMPARE(d.SelectedEntry(), 3);
            QCOMPARE(Reason(d), u"новая причина"_s);
            d.SendCommand(app::IDOK);
        });
        VERIFY_SCRIPT(ui);
    }

    void currentEntryThroughCommands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("row"); // selected first
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("entry"); // current afterwards, 1-based; 0 for none
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QList<QStringList>>("rows"); // listed and stored
        const QStringList p1 { u"Петров"_s, u"первый Петров"_s };
        const QStringList nd { u"n/d"_s, u"n/d"_s };
        const QStringList p2 { u"Петров"_s, u"второй Петров"_s };
        const QStringList ya { u"Яковлев"_s, u"диск"_s };
        // The second of two "Петров" goes, and nothing is current any more.
        QTest::newRow("delete") << IDC_DELETE << 2 << app::IDOK << 0 << QString() << QList { p1, nd, ya };
        QTest::newRow("cancelled delete") << IDC_DELETE << 3 << app::IDCANCEL << 0 << ya[1] << QList { p1, nd, p2, ya };
        // The reason shown belonged to the entry before its change, so it is cleared.
        QTest::newRow("change") << IDC_CHANGE << 2 << app::IDOK << 0 << QString()
                                << QList { p1, nd, QStringList { u"Петрова"_s, p2[1] }, ya };
        QTest::newRow("cancelled change") << IDC_CHANGE << 0 << app::IDCANCEL << 1 << p1[1] << QList { p1, nd, p2, ya };
        // The new entry is last, so the current one keeps its place.
        QTest::newRow("add") << IDC_ADD << 1 << app::IDOK << 2 << nd[1]
                             << QList { p1, nd, p2, ya, QStringList { u"Новиков"_s, nd[1] } };
    }

    void currentEntryThroughCommands()
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
                QCOMPARE(Cells(ListRows(d.List())), Cells(rows));
                d.SendCommand(app::IDOK);
            },
            [&] {
                if (command == IDC_DELETE)
                    ui.ExpectMessage(u"Вы действительно хотите удалить данную запись?"_s, answer);
                if (command == IDC_CHANGE)
                    ui.ExpectDialog<CRenameBlack>([&](CRenameBlack& r) {
                        QCOMPARE(r.m_nPosition, row);
                        app::SetEditText(r.GetDlgItem(1017), u"Петрова"_s);
                        r.SendCommand(save);
                    });
                if (command == IDC_ADD)
                    ui.ExpectDialog<CAddBlack>([&](CAddBlack& a) {
                        app::SetEditText(a.GetDlgItem(1017), u"Новиков"_s);
                        a.SendCommand(save);
                    });
            });
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Rows(kTable), rows);
    }
};

REGISTER_TEST(TestBlackList)
#include "test_blacklist.moc"
