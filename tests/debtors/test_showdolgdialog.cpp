// The debtor list: its rows, the commands that need a current record, deleting and the black list.
#include "debtors/finddolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/debtors.h"
#include "ids/finddebtor.h"

using namespace Qt::StringLiterals;
namespace id = ids::debtors;

namespace {
const QString kAskDelete = u"Вы действительно хотите удалить данную запись?"_s;
const QString kAskBlack = u"Вы действительно хотите занести запись в черный список?"_s;

void Fill(TempCatalogue& cat, const QString& fourth)
{
    for (const QString& debtor :
        { u"Иванов|Солярис|12.03.2007|N"_s, u"Петров|Сталкер|1 марта|B"_s, u"Сидоров|Зеркало|n/d|C"_s, fourth })
        cat.AddDebtor(debtor.split(u'|'));
}
} // namespace

class TestShowDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensFilledInRecordOrder()
    {
        TempCatalogue cat;
        Fill(cat, u"n/d|n/d|n/d|c"_s);
        cat.WriteIni("[Config]\r\nTable=1\r\n");
        ScriptedUi ui;
        const int result = RunDialog<CShowDolgDialog>(cat, ui, [&](CShowDolgDialog& d) {
            QCOMPARE(ListRows(d.DolgList()),
                (QList<QStringList> { { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"Отменина"_s },
                    { u"Петров"_s, u"Сталкер"_s, u"1 марта"_s, u"Белый список"_s },
                    { u"Сидоров"_s, u"Зеркало"_s, u"n/d"_s, u"Черный список"_s },
                    { u"n/d"_s, u"n/d"_s, u"n/d"_s, QString() } }));
            QVERIFY(d.DolgList()->showGrid());
            // Nothing is current on opening; the window's keys win over the list's own.
            ui.ExpectMessage(u"Вы не выбрали запись для изменения."_s);
            ui.ExpectMessage(u"Вы не выбрали запись для удаления."_s);
            ui.ExpectMessage(u"Вы не выбрали запись для занесения в черный список."_s);
            ui.ExpectDialog<CFindDolgDialog>([&](CFindDolgDialog& f) {
                QCOMPARE(f.m_strBasePath, cat.BasePath());
                QCOMPARE(f.m_strIniPath, cat.IniPath());
                f.SendCommand(ids::finddebtor::Close);
            });
            for (const auto& [key, modifiers] :
                QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> { { Qt::Key_E, Qt::AltModifier },
                    { Qt::Key_D, Qt::AltModifier }, { Qt::Key_I, Qt::ControlModifier | Qt::AltModifier },
                    { Qt::Key_F, Qt::AltModifier }, { Qt::Key_Return, Qt::NoModifier } })
                PressKey(d.DolgList(), key, modifiers);
        });
        QCOMPARE(result, app::IDOK); // Enter
        VERIFY_SCRIPT(ui);
    }

    void deleteAndBlackList()
    {
        TempCatalogue cat;
        Fill(cat, u"n/d|Бриллиантовая рука|n/d|N"_s);
        ScriptedUi ui; // an engine error would be an unexpected message
        RunDialog<CShowDolgDialog>(cat, ui, [&](CShowDolgDialog& d) {
            d.DolgList()->SelectRow(1);
            QCOMPARE(d.CurrentDolg(), 2);
            // Cancelled: the list is read anew, the number stays and the same row is asked about again.
            cat.AddDebtor(u"Волков|Кин-дза-дза!|n/d|N"_s.split(u'|'));
            ui.ExpectMessage(kAskDelete, app::IDCANCEL);
            Click(d, id::Delete);
            QCOMPARE(d.DolgList()->GetItemCount(), 5);
            QCOMPARE(d.CurrentDolg(), 2);
            ui.ExpectMessage(kAskDelete, app::IDOK);
            Click(d, id::Delete);
            QCOMPARE(Cells(ListRows(d.DolgList())), (QStringList { u"Иванов"_s, u"Сидоров"_s, u"n/d"_s, u"Волков"_s }));
            QCOMPARE(d.CurrentDolg(), 0); // spent, whatever became of the deletion
            ui.ExpectMessage(u"Вы не выбрали запись для удаления."_s);
            Click(d, id::Delete);
            // To the black list: once cancelled, then twice; the debtor stays listed and current.
            d.DolgList()->SelectRow(2);
            ui.ExpectMessage(kAskBlack, app::IDCANCEL);
            Click(d, id::ToBlackList);
            QCOMPARE(cat.Count(u"BLACKSPISOK"_s), 0);
            for (int i = 0; i < 2; ++i) {
                ui.ExpectMessage(kAskBlack, app::IDOK);
                Click(d, id::ToBlackList);
            }
            QCOMPARE(d.DolgList()->GetItemText(2, 3), u"Черный список"_s);
            QCOMPARE(d.CurrentDolg(), 3);
            // The mark and the entry are written together: when one fails, neither stays.
            cat.Execute(u"CREATE TRIGGER no_mark BEFORE UPDATE ON DOLGI BEGIN SELECT RAISE(ABORT, 'x'); END"_s);
            d.DolgList()->SelectRow(0);
            ui.ExpectMessage(kAskBlack, app::IDOK);
            ui.ExpectMessageContaining(u"DOLGI"_s);
            Click(d, id::ToBlackList);
            QCOMPARE(d.DolgList()->GetItemText(0, 3), u"Отменина"_s);
            d.SendCommand(app::IDOK);
        });
        VERIFY_SCRIPT(ui);
        const QStringList entry { u"n/d"_s, u"Бриллиантовая рука"_s };
        QCOMPARE(cat.Rows(u"DOLGI"_s).value(0).value(3), u"N"_s);
        QCOMPARE(cat.Rows(u"DOLGI"_s).value(2), u"n/d|Бриллиантовая рука|n/d|C"_s.split(u'|'));
        QCOMPARE(cat.Rows(u"BLACKSPISOK"_s), (QList<QStringList> { entry, entry }));
    }
};

REGISTER_TEST(TestShowDolgDialog)
#include "test_showdolgdialog.moc"
