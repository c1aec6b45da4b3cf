#include "debtors/adddolgdialog.h"
#include "debtors/finddolgdialog.h"
#include "debtors/renamedolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "scripted.h"
#include "testbase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kNoDelete = u"Вы не выбрали запись для удаления."_s;
const QString kAskDelete = u"Вы действительно хотите удалить данную запись?"_s;
const QString kAskBlack = u"Вы действительно хотите занести запись в черный список?"_s;

void Click(app::CDialog& d, int id)
{
    qobject_cast<QPushButton*>(d.GetDlgItem(id))->click();
}

QStringList Names(const QList<QStringList>& rows)
{
    QStringList names;
    for (const QStringList& r : rows)
        names << r.value(0);
    return names;
}
} // namespace

class TestShowDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_cat = std::make_unique<TempCatalogue>();
        QVERIFY(m_cat->IsValid());
    }

    void opensFilledInRecordOrder()
    {
        AddThree();
        m_cat->AddDebtor({ u"n/d"_s, u"n/d"_s, u"n/d"_s, u"X"_s });
        m_cat->WriteIni("[Config]\r\nTable=1\r\n");
        ScriptedUi ui;
        ui.ExpectDialog<CShowDolgDialog>([](CShowDolgDialog& d) {
            QCOMPARE(ListRows(d.DolgList()),
                (QList<QStringList> { { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"Отменина"_s },
                    { u"Петров"_s, u"Сталкер"_s, u"1 марта"_s, u"Белый список"_s },
                    { u"Сидоров"_s, u"Зеркало"_s, u"n/d"_s, u"Черный список"_s },
                    { u"n/d"_s, u"n/d"_s, u"n/d"_s, QString() } }));
            QVERIFY(d.DolgList()->showGrid());
            // Nothing is current on opening: every command that needs a record says so. The window's keys win
            // over the list's own.
            QCOMPARE(d.CurrentDolg(), 0);
            PressKey(d.DolgList(), Qt::Key_E, Qt::AltModifier);
            PressKey(d.DolgList(), Qt::Key_D, Qt::AltModifier);
            PressKey(d.DolgList(), Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
            PressKey(d.DolgList(), Qt::Key_F, Qt::AltModifier);
            PressKey(d.DolgList(), Qt::Key_Return);
        });
        ui.ExpectMessage(u"Вы не выбрали запись для изменения."_s);
        ui.ExpectMessage(kNoDelete);
        ui.ExpectMessage(u"Вы не выбрали запись для занесения в черный список."_s);
        ui.ExpectDialog<CFindDolgDialog>([&](CFindDolgDialog& d) {
            QCOMPARE(d.m_strBasePath, m_cat->BasePath());
            QCOMPARE(d.m_strIniPath, m_cat->IniPath());
            d.SendCommand(1047);
        });
        QCOMPARE(Open(), app::IDOK);
        VERIFY_SCRIPT(ui);
    }

    void deleteAndTheCurrentNumber()
    {
        AddThree();
        ScriptedUi ui; // an engine error would be an unexpected message
        ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
            d.DolgList()->SelectRow(1);
            QCOMPARE(d.CurrentDolg(), 2);
            m_cat->AddDebtor({ u"Козлов"_s, u"Андрей Рублёв"_s, u"2.2.2002"_s, u"N"_s });
            // Cancelled: the list is read anew, the number stays and the same row is asked about again.
            Click(d, 1002);
            QCOMPARE(d.DolgList()->GetItemCount(), 4);
            QCOMPARE(d.CurrentDolg(), 2);
            Click(d, 1002);
            QCOMPARE(Names(ListRows(d.DolgList())), (QStringList { u"Иванов"_s, u"Сидоров"_s, u"Козлов"_s }));
            QCOMPARE(d.CurrentDolg(), 0);
            Click(d, 1002);
            // A record gone meanwhile is no record there, not an engine error.
            d.DolgList()->SelectRow(2);
            m_cat->Execute(u"DELETE FROM DOLGI WHERE NAME = 'Козлов'"_s);
            Click(d, 1002);
            QCOMPARE(d.CurrentDolg(), 0);
            QCOMPARE(d.DolgList()->GetItemCount(), 2);
            d.SendCommand(1);
        });
        ui.ExpectMessage(kAskDelete, app::IDCANCEL);
        ui.ExpectMessage(kAskDelete, app::IDOK);
        ui.ExpectMessage(kNoDelete);
        ui.ExpectMessage(kAskDelete, app::IDOK);
        Open();
        VERIFY_SCRIPT(ui);
        QCOMPARE(Names(m_cat->Rows(u"DOLGI"_s)), (QStringList { u"Иванов"_s, u"Сидоров"_s }));
    }

    void editAndAddKeepTheNumber()
    {
        AddThree();
        ScriptedUi ui;
        ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
            d.DolgList()->SelectRow(1);
            Click(d, 1001);
            QCOMPARE(ListRows(d.DolgList()).value(1),
                (QStringList { u"Петров-Водкин"_s, u"Сталкер"_s, u"1 марта"_s, u"Черный список"_s }));
            QVERIFY(d.DolgList()->selectionModel()->selectedRows().isEmpty());
            QCOMPARE(d.CurrentDolg(), 2);
            Click(d, 1001); // cancelled
            PressKey(d.DolgList(), Qt::Key_I, Qt::AltModifier);
            QCOMPARE(ListRows(d.DolgList()).value(3),
                (QStringList { u"Козлов"_s, u"Андрей Рублёв"_s, u"n/d"_s, u"Отменина"_s }));
            Click(d, 1000); // cancelled
            QCOMPARE(d.DolgList()->GetItemCount(), 4);
            QCOMPARE(d.CurrentDolg(), 2);
            // Deleting now asks about the record edited above.
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
        ui.ExpectDialog<CRenameDolgDialog>([](CRenameDolgDialog& d) { d.SendCommand(2); });
        ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) {
            TypeText(d.GetDlgItem(1017), u"Козлов"_s);
            TypeText(d.GetDlgItem(1018), u"Андрей Рублёв"_s);
            d.SendCommand(1047);
        });
        ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) { d.SendCommand(2); });
        ui.ExpectMessage(kAskDelete);
        Open();
        VERIFY_SCRIPT(ui);
        QCOMPARE(Names(m_cat->Rows(u"DOLGI"_s)), (QStringList { u"Иванов"_s, u"Сидоров"_s, u"Козлов"_s }));
    }

    void blackListKeepsDebtorAndAppendsEntry()
    {
        AddThree();
        m_cat->AddDebtor({ u"n/d"_s, u"Бриллиантовая рука"_s, u"n/d"_s, u"N"_s });
        ScriptedUi ui;
        ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
            d.DolgList()->SelectRow(3);
            Click(d, 1004); // cancelled
            QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
            Click(d, 1004);
            QCOMPARE(d.DolgList()->GetItemText(3, 3), u"Черный список"_s);
            QCOMPARE(d.CurrentDolg(), 4);
            Click(d, 1004);
            // The entry is written first; when the mark that follows fails, neither stays.
            m_cat->Execute(u"CREATE TRIGGER no_mark BEFORE UPDATE ON DOLGI BEGIN SELECT RAISE(ABORT, 'x'); END"_s);
            d.DolgList()->SelectRow(0);
            Click(d, 1004);
            QCOMPARE(d.DolgList()->GetItemText(0, 3), u"Отменина"_s);
            d.SendCommand(1);
        });
        ui.ExpectMessage(kAskBlack, app::IDCANCEL);
        for (int i = 0; i < 3; ++i)
            ui.ExpectMessage(kAskBlack, app::IDOK);
        ui.ExpectMessageContaining(u"DOLGI"_s);
        Open();
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Rows(u"DOLGI"_s).value(0).value(3), u"N"_s);
        QCOMPARE(
            m_cat->Rows(u"DOLGI"_s).value(3), (QStringList { u"n/d"_s, u"Бриллиантовая рука"_s, u"n/d"_s, u"C"_s }));
        const QStringList entry { u"n/d"_s, u"Бриллиантовая рука"_s };
        QCOMPARE(m_cat->Rows(u"BLACKSPISOK"_s), (QList<QStringList> { entry, entry }));
    }

private:
    // Иванов (N), Петров (B), Сидоров (C).
    void AddThree()
    {
        m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"N"_s });
        m_cat->AddDebtor({ u"Петров"_s, u"Сталкер"_s, u"1 марта"_s, u"B"_s });
        m_cat->AddDebtor({ u"Сидоров"_s, u"Зеркало"_s, u"n/d"_s, u"C"_s });
    }

    // Opens the window; the script queued for it comes first.
    int Open()
    {
        CShowDolgDialog dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        dlg.m_strIniPath = m_cat->IniPath();
        return dlg.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
};

QTEST_MAIN(TestShowDolgDialog)
#include "test_showdolgdialog.moc"
