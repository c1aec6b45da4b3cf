#include "debtors/finddolgdialog.h"

#include "debtortest.h"
#include "scripted.h"
#include "testbase.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kNoMode = u"Вы не выбрали где искать."_s;
const QStringList kDebtorHeadings { u"Имя должника."_s, u"Название Фильма/диска."_s, u"Дата."_s, u"Метка."_s };
const QStringList kBlackHeadings { u"Имя в черном списке."_s, u"Причина занесения."_s };

void Click(app::CDialog& d, int id)
{
    qobject_cast<QAbstractButton*>(d.GetDlgItem(id))->click();
}

QLineEdit* FindEdit(CFindDolgDialog& d)
{
    return d.Item<QLineEdit>(1017);
}

// Chooses an option, types the text and searches; returns the result rows.
QList<QStringList> Search(CFindDolgDialog& d, int option, const QString& text)
{
    Click(d, option);
    FindEdit(d)->setText(text);
    Click(d, 1000);
    return ListRows(d.Results());
}
} // namespace

class TestFindDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void opensWithNoMode();
    void optionsSetColumnsAndLayout_data();
    void optionsSetColumnsAndLayout();
    void blackListColumnsGiveWayToDebtorColumns();

    void wholeTextIgnoringCase_data();
    void wholeTextIgnoringCase();
    void markListPutsCodeInReadOnlyEdit();
    void markWithoutChoiceFindsNothing();
    void resultsStayUntilNextSearch();
    void blackListSearch();

    void enterEscapeAndOk();
    void missingBaseLeavesResultsEmpty();

private:
    int Run(ScriptedUi& ui, const std::function<void(CFindDolgDialog&)>& script);
    void AddDebtors();

    std::unique_ptr<TempCatalogue> m_cat;
};

void TestFindDolgDialog::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    QVERIFY(m_cat->IsValid());
}

int TestFindDolgDialog::Run(ScriptedUi& ui, const std::function<void(CFindDolgDialog&)>& script)
{
    ui.ExpectDialog<CFindDolgDialog>(script);
    CFindDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.m_strIniPath = m_cat->IniPath();
    return dlg.DoModal();
}

void TestFindDolgDialog::AddDebtors()
{
    m_cat->AddDebtor({ u"Иванов"_s, u"Солярис"_s, u"01.02.2007"_s, u"N"_s });
    m_cat->AddDebtor({ u"ИВАНОВ"_s, u"Ёжик в тумане"_s, u"1 марта"_s, u"B"_s });
    m_cat->AddDebtor({ u"Иванов Петр"_s, u"СОЛЯРИС"_s, u"n/d"_s, u"C"_s });
    m_cat->AddDebtor({ u"Smith"_s, u"Solaris"_s, u"1.2.2007"_s, u"X"_s });
    m_cat->AddDebtor({ u"n/d"_s, u"n/d"_s, u"n/d"_s, u"B"_s });
    m_cat->AddDebtor({ u""_s, u"Сталкер"_s, u"n/d"_s, u"N"_s });
    m_cat->AddDebtor({ u"иванов"_s, u"солярис "_s, u"1 МАРТА"_s, u"B"_s });
}

void TestFindDolgDialog::opensWithNoMode()
{
    m_cat->WriteIni("[Config]\r\nTable=1\r\n");
    ScriptedUi ui;
    ui.ExpectDialog<CFindDolgDialog>([](CFindDolgDialog& d) {
        QCOMPARE(d.SearchMode(), CFindDolgDialog::Mode::None);
        QCOMPARE(Headings(d.Results()), kDebtorHeadings);
        QVERIFY(d.Results()->showGrid());
        QVERIFY(d.Results()->GetExtendedStyle() & app::LVS_EX_FULLROWSELECT);
        QVERIFY(d.GetDlgItem(1020)->isHidden());
        QCOMPARE(FindEdit(d)->geometry(), d.MapClassicPixels(QRect(5, 17, 290, 21)));
        QVERIFY(!FindEdit(d)->isReadOnly());
        for (int id = 1029; id <= 1033; ++id)
            QVERIFY(!d.Item<QRadioButton>(id)->isChecked());
        QCOMPARE(d.focusWidget(), d.GetDlgItem(1047));
        Click(d, 1000);
        QVERIFY(!d.IsEnded());
        d.SendCommand(1047);
    });
    ui.ExpectMessage(kNoMode);
    CFindDolgDialog dlg;
    dlg.m_strBasePath = m_cat->BasePath();
    dlg.m_strIniPath = m_cat->IniPath();
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::optionsSetColumnsAndLayout_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<CFindDolgDialog::Mode>("mode");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QRect>("edit");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("markList");
    const QRect normal(5, 17, 290, 21);
    QTest::newRow("by name") << 1029 << CFindDolgDialog::Mode::Name << kDebtorHeadings << normal << false << false;
    QTest::newRow("by title") << 1030 << CFindDolgDialog::Mode::Title << kDebtorHeadings << normal << false << false;
    QTest::newRow("by date") << 1031 << CFindDolgDialog::Mode::Date << kDebtorHeadings << normal << false << false;
    QTest::newRow("by mark") << 1032 << CFindDolgDialog::Mode::Mark << kDebtorHeadings << QRect(165, 17, 130, 21)
                             << true << true;
    QTest::newRow("black list") << 1033 << CFindDolgDialog::Mode::BlackList << kBlackHeadings << normal << false
                                << false;
}

void TestFindDolgDialog::optionsSetColumnsAndLayout()
{
    QFETCH(int, option);
    QFETCH(CFindDolgDialog::Mode, mode);
    QFETCH(QStringList, headings);
    QFETCH(QRect, edit);
    QFETCH(bool, readOnly);
    QFETCH(bool, markList);
    ScriptedUi ui;
    Run(ui, [&](CFindDolgDialog& d) {
        // Start from the mark layout so every option has something to undo.
        if (option != 1032) {
            Click(d, 1032);
            ChooseEntry(d.Item<QComboBox>(1020), 1);
        }
        Click(d, option);
        QCOMPARE(d.SearchMode(), mode);
        QVERIFY(d.Item<QRadioButton>(option)->isChecked());
        QCOMPARE(Headings(d.Results()), headings);
        QCOMPARE(FindEdit(d)->geometry(), d.MapClassicPixels(edit));
        QCOMPARE(FindEdit(d)->isReadOnly(), readOnly);
        QCOMPARE(d.GetDlgItem(1020)->isVisible(), markList);
        if (markList) {
            auto* combo = d.Item<QComboBox>(1020);
            const QRect marks = d.MapClassicPixels(QRect(5, 17, 160, 70));
            QCOMPARE(combo->geometry().topLeft(), marks.topLeft());
            QCOMPARE(combo->width(), marks.width());
            QVERIFY(combo->height() < marks.height()); // the height includes the drop-down
            QCOMPARE(combo->currentText(), u"Выбрать"_s);
            QCOMPARE(app::ComboGetCurSel(combo), -1);
            QVERIFY(FindEdit(d)->text().isEmpty());
        } else if (option != 1033) {
            QCOMPARE(FindEdit(d)->text(), u"B"_s); // kept from the mark search
        }
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::blackListColumnsGiveWayToDebtorColumns()
{
    AddDebtors();
    m_cat->AddBlack(u"Иванов"_s, u"Не вернул"_s);
    ScriptedUi ui;
    Run(ui, [](CFindDolgDialog& d) {
        QCOMPARE(Search(d, 1033, u"иванов"_s).size(), 1);
        Click(d, 1033); // again: the columns are set anew and the results go
        QCOMPARE(Headings(d.Results()), kBlackHeadings);
        QCOMPARE(d.Results()->GetItemCount(), 0);
        QCOMPARE(Search(d, 1033, u"иванов"_s).size(), 1);
        Click(d, 1031);
        QCOMPARE(Headings(d.Results()), kDebtorHeadings);
        QCOMPARE(Widths(d.Results()), ClassicWidths(d, { 120, 150, 80, 80 }));
        QCOMPARE(d.Results()->GetItemCount(), 0);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::wholeTextIgnoringCase_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names"); // the names of the results, in list order
    QTest::newRow("Cyrillic name, last first")
        << 1029 << u"иванов"_s << QStringList { u"иванов"_s, u"ИВАНОВ"_s, u"Иванов"_s };
    QTest::newRow("Latin name") << 1029 << u"SMITH"_s << QStringList { u"Smith"_s };
    QTest::newRow("no part of a name") << 1029 << u"Петр"_s << QStringList {};
    QTest::newRow("blanks count") << 1029 << u"иванов "_s << QStringList {};
    QTest::newRow("empty text finds empty names") << 1029 << QString() << QStringList { QString() };
    QTest::newRow("n/d") << 1029 << u"N/D"_s << QStringList { u"n/d"_s };
    QTest::newRow("title") << 1030 << u"солярис"_s << QStringList { u"Иванов Петр"_s, u"Иванов"_s };
    QTest::newRow("title with ё") << 1030 << u"ЁЖИК В ТУМАНЕ"_s << QStringList { u"ИВАНОВ"_s };
    QTest::newRow("Latin title") << 1030 << u"solaris"_s << QStringList { u"Smith"_s };
    QTest::newRow("date as text") << 1031 << u"1.2.2007"_s << QStringList { u"Smith"_s };
    QTest::newRow("date in words") << 1031 << u"1 Марта"_s << QStringList { u"иванов"_s, u"ИВАНОВ"_s };
}

void TestFindDolgDialog::wholeTextIgnoringCase()
{
    QFETCH(int, option);
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    AddDebtors();
    ScriptedUi ui;
    Run(ui, [&](CFindDolgDialog& d) {
        QStringList found;
        for (const QStringList& row : Search(d, option, text))
            found << row.value(0);
        QCOMPARE(found, names);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::markListPutsCodeInReadOnlyEdit()
{
    AddDebtors();
    ScriptedUi ui;
    Run(ui, [](CFindDolgDialog& d) {
        Click(d, 1032);
        ChooseEntry(d.Item<QComboBox>(1020), 1);
        QCOMPARE(FindEdit(d)->text(), u"B"_s);
        QVERIFY(FindEdit(d)->isReadOnly());
        Click(d, 1000);
        QCOMPARE(ListRows(d.Results()),
            (QList<QStringList> { { u"иванов"_s, u"солярис "_s, u"1 МАРТА"_s, u"B"_s },
                { u"n/d"_s, u"n/d"_s, u"n/d"_s, u"B"_s }, { u"ИВАНОВ"_s, u"Ёжик в тумане"_s, u"1 марта"_s, u"B"_s } }));
        ChooseEntry(d.Item<QComboBox>(1020), 2);
        QCOMPARE(FindEdit(d)->text(), u"C"_s);
        Click(d, 1000);
        QCOMPARE(d.Results()->GetItemCount(), 1);
        // The stored code is shown as it is, also one that is no mark.
        QCOMPARE(Search(d, 1029, u"smith"_s).value(0).value(3), u"X"_s);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::markWithoutChoiceFindsNothing()
{
    AddDebtors();
    ScriptedUi ui;
    Run(ui, [](CFindDolgDialog& d) {
        Click(d, 1029);
        FindEdit(d)->setText(u"иванов"_s);
        Click(d, 1032);
        QVERIFY(FindEdit(d)->text().isEmpty());
        Click(d, 1000);
        QCOMPARE(d.Results()->GetItemCount(), 0);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::resultsStayUntilNextSearch()
{
    AddDebtors();
    ScriptedUi ui;
    Run(ui, [](CFindDolgDialog& d) {
        QCOMPARE(Search(d, 1029, u"иванов"_s).size(), 3);
        Click(d, 1030);
        Click(d, 1031);
        Click(d, 1032);
        Click(d, 1029);
        QCOMPARE(d.Results()->GetItemCount(), 3);
        QVERIFY(!FindEdit(d)->isReadOnly());
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::blackListSearch()
{
    AddDebtors();
    m_cat->AddBlack(u"Сидоров"_s, u"Не вернул Солярис"_s);
    m_cat->AddBlack(u"Петров"_s, u"Разбил диск"_s);
    m_cat->AddBlack(u"СИДОРОВ"_s, u"Опять"_s);
    ScriptedUi ui;
    Run(ui, [](CFindDolgDialog& d) {
        QCOMPARE(Search(d, 1033, u"сидоров"_s),
            (QList<QStringList> { { u"СИДОРОВ"_s, u"Опять"_s }, { u"Сидоров"_s, u"Не вернул Солярис"_s } }));
        QCOMPARE(Search(d, 1033, u"иванов"_s).size(), 0); // debtors are not searched
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
}

void TestFindDolgDialog::enterEscapeAndOk()
{
    AddDebtors();
    ScriptedUi ui;
    QCOMPARE(Run(ui,
                 [](CFindDolgDialog& d) {
                     Click(d, 1029);
                     FindEdit(d)->setText(u"иванов"_s);
                     PressKey(FindEdit(d), Qt::Key_Return);
                     QVERIFY(!d.IsEnded());
                     QCOMPARE(d.Results()->GetItemCount(), 0);
                     PressKey(FindEdit(d), Qt::Key_Escape);
                 }),
        app::IDCANCEL);
    QCOMPARE(Run(ui, [](CFindDolgDialog& d) { Click(d, 1047); }), app::IDOK);
    VERIFY_SCRIPT(ui);
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 7);
}

void TestFindDolgDialog::missingBaseLeavesResultsEmpty()
{
    ScriptedUi ui;
    AnyMessages messages;
    ui.ExpectDialog<CFindDolgDialog>([](CFindDolgDialog& d) {
        QCOMPARE(Search(d, 1029, u"иванов"_s).size(), 0);
        d.SendCommand(1047);
    });
    CFindDolgDialog dlg;
    dlg.m_strBasePath = QDir(m_cat->Dir()).filePath(u"нет/BaseFilm.mdb"_s);
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(messages.Texts().size(), 1);
}

QTEST_MAIN(TestFindDolgDialog)
#include "test_finddolgdialog.moc"
