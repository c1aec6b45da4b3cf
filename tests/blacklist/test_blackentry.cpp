// The black list's entry dialogs, add and change: the "n/d" rule, the keys that save or cancel, the entry the
// change dialog acts on, and an add the base refuses.
#include "blacklist/addblack.h"
#include "blacklist/renameblack.h"
#include "scripted.h"
#include "testmain.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QString kTable = u"BLACKSPISOK"_s;
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

    std::unique_ptr<TempCatalogue> m_cat;

private Q_SLOTS:
    void init()
    {
        // Two entries with the same name, told apart only by their place; the last one's reason has two lines,
        // which the change dialog's one-line edit must not flatten when it saves.
        m_cat = std::make_unique<TempCatalogue>();
        m_cat->AddBlack(u"Петров"_s, u"первый"_s);
        m_cat->AddBlack(u"Сидоров"_s, u"n/d"_s);
        m_cat->AddBlack(u"Петров"_s, u"второй\r\nдиск"_s);
    }

    void whatEachWayStores_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("how");
        QTest::addColumn<QStringList>("stored"); // empty: nothing written
        const QString nd = u"n/d"_s;
        for (bool change : { false, true }) {
            const char* dialog = change ? "change" : "add";
            const QString typed = u"Другой"_s;
            // Right after opening the focused "OK" takes Enter.
            QTest::addRow("%s: Enter at once", dialog)
                << change << QString() << QString() << int(EnterAtOnce)
                << (change ? QStringList { u"Петров"_s, u"второй\r\nдиск"_s } : QStringList { nd, nd });
            QTest::addRow("%s: cleared, one blank", dialog)
                << change << u""_s << u" "_s << int(ClickOk) << QStringList { nd, nd };
            QTest::addRow("%s: two blanks, untrimmed", dialog)
                << change << u"  "_s << u" не вернул "_s << int(ClickOk) << QStringList { u"  "_s, u" не вернул "_s };
            QTest::addRow("%s: Esc", dialog) << change << typed << typed << int(Escape) << QStringList();
            QTest::addRow("%s: Отмена", dialog) << change << typed << typed << int(Cancel) << QStringList();
        }
    }

    void whatEachWayStores()
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
                QTest::mouseClick(
                    d.template Item<QPushButton>(how == Cancel ? app::IDCANCEL : IDC_SAVE), Qt::LeftButton);
        };
        ScriptedUi ui;
        const int result = change ? Run<CRenameBlack>(*m_cat, ui, script) : Run<CAddBlack>(*m_cat, ui, script);
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, stored.isEmpty() ? app::IDCANCEL : app::IDOK);
        QCOMPARE(m_cat->Rows(kTable), expected);
    }

    void refusedAddLeavesNoEmptyEntry()
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
            app::SetEditText(d.GetDlgItem(IDC_NAME), u"Запрет"_s);
            d.SendCommand(IDC_SAVE);
            QVERIFY(!d.IsEnded()); // the user can correct the input or cancel
            QCOMPARE(app::EditText(d.GetDlgItem(IDC_NAME)), u"Запрет"_s);
            d.SendCommand(app::IDCANCEL);
        });
        ui.ExpectMessageContaining(u"refused"_s);
        CAddBlack dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        QCOMPARE(dlg.DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Rows(kTable), before);
    }
};

REGISTER_TEST(TestBlackEntry)
#include "test_blackentry.moc"
