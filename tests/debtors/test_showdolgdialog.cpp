#include "debtors/adddolgdialog.h"
#include "debtors/finddolgdialog.h"
#include "debtors/renamedolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QString kNoDelete = u"Вы не выбрали запись для удаления."_s;
const QString kAskDelete = u"Вы действительно хотите удалить данную запись?"_s;
const QString kAskBlack = u"Вы действительно хотите занести запись в черный список?"_s;

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
        QCOMPARE(RunDialog<CShowDolgDialog>(*m_cat, ui, {}), app::IDOK);
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
            QCOMPARE(Cells(ListRows(d.DolgList())), (QStringList { u"Иванов"_s, u"Сидоров"_s, u"Козлов"_s }));
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
        RunDialog<CShowDolgDialog>(*m_cat, ui, {});
        VERIFY_SCRIPT(ui);
        QCOMPARE(Cells(m_cat->Rows(u"DOLGI"_s)), (QStringList { u"Иванов"_s, u"Сидоров"_s }));
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
        RunDialog<CShowDolgDialog>(*m_cat, ui, {});
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

    std::unique_ptr<TempCatalogue> m_cat;
};

REGISTER_TEST(TestShowDolgDialog)
#include "test_showdolgdialog.moc"
