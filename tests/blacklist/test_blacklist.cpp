// The black list and its entry dialogs: what each way out of add, change and delete stores and leaves current,
// the "n/d" rule, and an add the base refuses.
#include "blacklist/addblack.h"
#include "blacklist/blacklist.h"
#include "blacklist/renameblack.h"
#include "ids/addblack.h"
#include "ids/blacklist.h"
#include "ids/editblack.h"
#include "scripted.h"
#include "testmain.h"

#include <QPushButton>

using namespace Qt::StringLiterals;
namespace id = ids::blacklist;
namespace form = ids::addblack;
static_assert(
    form::Name == ids::editblack::Name && form::Reason == ids::editblack::Reason && form::Save == ids::editblack::Save,
    "one script drives both entry dialogs");

namespace {
const QString kTable = u"BLACKSPISOK"_s;
enum How { Ok, EnterAtOnce, Escape, Cancel };
} // namespace

class TestBlackList : public QObject {
    Q_OBJECT

    std::unique_ptr<TempCatalogue> m_cat;

private Q_SLOTS:
    void init()
    {
        // Two "Петров" told apart only by place; the second reason's two lines must survive a one-line edit.
        m_cat = std::make_unique<TempCatalogue>();
        m_cat->AddBlack(u"Петров"_s, u"первый"_s);
        m_cat->AddBlack(u"n/d"_s, u"n/d"_s);
        m_cat->AddBlack(u"Петров"_s, u"второй\r\nдиск"_s);
        m_cat->AddBlack(u"Яковлев"_s, u"диск"_s);
    }

    void commands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("row"); // selected first
        QTest::addColumn<int>("how");
        QTest::addColumn<QStringList>("input"); // name and reason typed into the entry dialog
        QTest::addColumn<int>("entry"); // current afterwards, 1-based; 0 for none
        QTest::addColumn<QString>("reason"); // shown afterwards
        QTest::addColumn<QList<QStringList>>("rows"); // listed and stored
        const QStringList p1 { u"Петров"_s, u"первый"_s }, nd { u"n/d"_s, u"n/d"_s }, ya { u"Яковлев"_s, u"диск"_s };
        const QList<QStringList> all { p1, nd, { u"Петров"_s, u"второй\r\nдиск"_s }, ya };
        const auto changed = [&](const QStringList& entry) { return all.mid(0, 2) + QList { entry, ya }; };
        const auto added = [&](const QStringList& entry) { return all + QList<QStringList> { entry }; };
        // Cleared with one blank: "n/d" twice; two blanks are kept as typed.
        const QStringList blank { QString(), u" "_s }, blanks { u"  "_s, u" не вернул "_s },
            typed { u"Другой"_s, u"Другой"_s };
        const int del = id::Delete, add = id::Add, change = id::Change;
        // The second of two "Петров" goes, and nothing is current any more.
        QTest::newRow("delete") << del << 2 << int(Ok) << QStringList() << 0 << QString() << QList { p1, nd, ya };
        QTest::newRow("delete Отмена") << del << 3 << int(Cancel) << QStringList() << 0 << ya[1] << all;
        // The new entry is last, so the current one keeps its place; right after opening "OK" takes Enter.
        QTest::newRow("add Enter") << add << 1 << int(EnterAtOnce) << QStringList() << 2 << nd[1] << added(nd);
        QTest::newRow("add blank") << add << 1 << int(Ok) << blank << 2 << nd[1] << added(nd);
        QTest::newRow("add blanks") << add << 0 << int(Ok) << blanks << 1 << p1[1] << added(blanks);
        QTest::newRow("add Esc") << add << 0 << int(Escape) << typed << 1 << p1[1] << all;
        QTest::newRow("add Отмена") << add << 3 << int(Cancel) << typed << 4 << ya[1] << all;
        // The reason shown belonged to the entry before its change, so it is cleared.
        QTest::newRow("change Enter") << change << 2 << int(EnterAtOnce) << QStringList() << 0 << QString() << all;
        QTest::newRow("change blank") << change << 2 << int(Ok) << blank << 0 << QString() << changed(nd);
        QTest::newRow("change blanks") << change << 2 << int(Ok) << blanks << 0 << QString() << changed(blanks);
        QTest::newRow("change Esc") << change << 3 << int(Escape) << typed << 4 << ya[1] << all;
        QTest::newRow("change Отмена") << change << 0 << int(Cancel) << typed << 1 << p1[1] << all;
    }

    void commands()
    {
        QFETCH(int, command);
        QFETCH(int, row);
        QFETCH(int, how);
        QFETCH(QStringList, input);
        QFETCH(int, entry);
        QFETCH(QString, reason);
        QFETCH(QList<QStringList>, rows);
        const auto fill = [&](auto& d) {
            if (how == EnterAtOnce) {
                QCOMPARE(d.focusWidget(), d.GetDlgItem(form::Save));
                return PressKey(d.focusWidget(), Qt::Key_Return);
            }
            app::SetEditText(d.GetDlgItem(form::Name), input[0]);
            app::SetEditText(d.GetDlgItem(form::Reason), input[1]);
            // Enter in an edit neither saves nor closes.
            PressKey(d.GetDlgItem(form::Name), Qt::Key_Return);
            PressKey(d.GetDlgItem(form::Reason), Qt::Key_Enter);
            QVERIFY(!d.IsEnded());
            if (how == Escape)
                PressKey(d.GetDlgItem(form::Name), Qt::Key_Escape);
            else
                QTest::mouseClick(
                    d.template Item<QPushButton>(how == Cancel ? app::IDCANCEL : form::Save), Qt::LeftButton);
        };
        ScriptedUi ui;
        RunDialog<CBlackList>(
            *m_cat, ui,
            [&](CBlackList& d) {
                d.List()->SelectRow(row);
                d.SendCommand(command);
                QCOMPARE(d.SelectedEntry(), entry);
                QCOMPARE(app::EditText(d.GetDlgItem(id::Reason)), reason);
                QCOMPARE(Cells(ListRows(d.List())), Cells(rows));
                d.SendCommand(app::IDOK);
            },
            [&](CBlackList&) {
                if (command == id::Delete)
                    ui.ExpectMessage(
                        u"Вы действительно хотите удалить данную запись?"_s, how == Cancel ? app::IDCANCEL : app::IDOK);
                else if (command == id::Add)
                    ui.ExpectDialog<CAddBlack>(fill);
                else
                    ui.ExpectDialog<CRenameBlack>(fill);
            });
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Rows(kTable), rows);
    }

    void refusedAddLeavesNoEmptyEntry()
    {
        // Refused on insert and update alike: an entry written in two steps would stay behind empty.
        for (const char* event : { "INSERT", "UPDATE" })
            m_cat->Execute(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON BLACKSPISOK WHEN NEW.NAME = 'Запрет' "
                                          "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                               .arg(QLatin1String(event)));
        const QList<QStringList> before = m_cat->Rows(kTable);
        ScriptedUi ui;
        const auto script = [](CAddBlack& d) {
            app::SetEditText(d.GetDlgItem(form::Name), u"Запрет"_s);
            d.SendCommand(form::Save);
            QVERIFY(!d.IsEnded()); // the user can correct the input or cancel
            QCOMPARE(app::EditText(d.GetDlgItem(form::Name)), u"Запрет"_s);
            d.SendCommand(app::IDCANCEL);
        };
        QCOMPARE(
            RunDialog<CAddBlack>(*m_cat, ui, script, [&](CAddBlack&) { ui.ExpectMessageContaining(u"refused"_s); }),
            app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Rows(kTable), before);
    }
};

REGISTER_TEST(TestBlackList)
#include "test_blacklist.moc"
