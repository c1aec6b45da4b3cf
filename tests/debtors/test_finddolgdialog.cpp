#include "debtors/finddolgdialog.h"

#include "scripted.h"
#include "testbase.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QStringList kDebtorHeadings { u"Имя должника."_s, u"Название Фильма/диска."_s, u"Дата."_s, u"Метка."_s };
const QStringList kBlackHeadings { u"Имя в черном списке."_s, u"Причина занесения."_s };

void Click(app::CDialog& d, int id)
{
    qobject_cast<QAbstractButton*>(d.GetDlgItem(id))->click();
}

// Chooses an option, gives the text (for marks: the entry chosen from the list, if there is one) and searches.
QList<QStringList> Search(CFindDolgDialog& d, int option, const QString& text)
{
    Click(d, option);
    auto* marks = d.Item<QComboBox>(1020);
    if (option != 1032)
        d.Item<QLineEdit>(1017)->setText(text);
    else if (marks->findText(text) >= 0)
        ChooseEntry(marks, marks->findText(text));
    Click(d, 1000);
    return ListRows(d.Results());
}
} // namespace

class TestFindDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_cat = std::make_unique<TempCatalogue>();
        QVERIFY(m_cat->IsValid());
        for (const QStringList& debtor : QList<QStringList> { { u"Иванов"_s, u"Солярис"_s, u"01.02.2007"_s, u"N"_s },
                 { u"ИВАНОВ"_s, u"Ёжик в тумане"_s, u"1 марта"_s, u"B"_s },
                 { u"Иванов Петр"_s, u"СОЛЯРИС"_s, u"n/d"_s, u"C"_s },
                 { u"Smith"_s, u"Solaris"_s, u"1.2.2007"_s, u"X"_s }, { u"n/d"_s, u"n/d"_s, u"n/d"_s, u"B"_s },
                 { u""_s, u"Сталкер"_s, u"n/d"_s, u"N"_s }, { u"иванов"_s, u"солярис "_s, u"1 МАРТА"_s, u"B"_s } })
            m_cat->AddDebtor(debtor);
        m_cat->AddBlack(u"Сидоров"_s, u"Не вернул Солярис"_s);
        m_cat->AddBlack(u"Петров"_s, u"Разбил диск"_s);
        m_cat->AddBlack(u"СИДОРОВ"_s, u"Опять"_s);
    }

    void optionsSetTheColumns()
    {
        m_cat->WriteIni("[Config]\r\nTable=1\r\n");
        ScriptedUi ui;
        ui.ExpectDialog<CFindDolgDialog>([](CFindDolgDialog& d) {
            QVERIFY(d.Results()->showGrid());
            QCOMPARE(Headings(d.Results()), kDebtorHeadings);
            Click(d, 1000); // no option yet
            // The stored code is shown as it is, also one that is no mark.
            QCOMPARE(Search(d, 1029, u"smith"_s),
                (QList<QStringList> { { u"Smith"_s, u"Solaris"_s, u"1.2.2007"_s, u"X"_s } }));
            // Enter neither searches nor closes.
            d.Item<QLineEdit>(1017)->setText(u"иванов"_s);
            PressKey(d.GetDlgItem(1017), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            QCOMPARE(d.Results()->GetItemCount(), 1);
            // The debtor options share their columns: the results stay.
            for (int option : { 1030, 1031, 1032 })
                Click(d, option);
            QCOMPARE(d.Results()->GetItemCount(), 1);
            QVERIFY(d.GetDlgItem(1020)->isVisible());
            QVERIFY(d.Item<QLineEdit>(1017)->isReadOnly()); // the code comes from the mark list only
            QVERIFY(d.Item<QLineEdit>(1017)->text().isEmpty());
            Click(d, 1033);
            QCOMPARE(Headings(d.Results()), kBlackHeadings);
            QCOMPARE(d.Results()->GetItemCount(), 0);
            QVERIFY(!d.GetDlgItem(1020)->isVisible());
            QVERIFY(!d.Item<QLineEdit>(1017)->isReadOnly());
            QCOMPARE(Search(d, 1033, u"петров"_s).size(), 1);
            Click(d, 1029);
            QCOMPARE(Headings(d.Results()), kDebtorHeadings);
            QCOMPARE(d.Results()->GetItemCount(), 0);
            PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
        });
        ui.ExpectMessage(u"Вы не выбрали где искать."_s);
        QCOMPARE(Open(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
    }

    void wholeTextIgnoringCase_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names"); // the first cells of the results, in list order
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
        QTest::newRow("white-list mark") << 1032 << u"Белый список"_s
                                         << QStringList { u"иванов"_s, u"n/d"_s, u"ИВАНОВ"_s };
        QTest::newRow("black-list mark") << 1032 << u"Черный список"_s << QStringList { u"Иванов Петр"_s };
        QTest::newRow("no mark chosen") << 1032 << QString() << QStringList {};
        QTest::newRow("black list") << 1033 << u"сидоров"_s << QStringList { u"СИДОРОВ"_s, u"Сидоров"_s };
        QTest::newRow("black list, not debtors") << 1033 << u"иванов"_s << QStringList {};
    }
    void wholeTextIgnoringCase()
    {
        QFETCH(int, option);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        ScriptedUi ui;
        ui.ExpectDialog<CFindDolgDialog>([&](CFindDolgDialog& d) {
            QStringList found;
            for (const QStringList& row : Search(d, option, text))
                found << row.value(0);
            QCOMPARE(found, names);
            Click(d, 1047);
        });
        QCOMPARE(Open(), app::IDOK);
        VERIFY_SCRIPT(ui);
    }

    void missingBaseLeavesResultsEmpty()
    {
        ScriptedUi ui;
        ui.ExpectDialog<CFindDolgDialog>([](CFindDolgDialog& d) {
            QCOMPARE(Search(d, 1029, u"иванов"_s).size(), 0);
            d.SendCommand(1047);
        });
        ui.ExpectMessageContaining(u"не найден"_s);
        QFile::remove(m_cat->BasePath());
        Open();
        VERIFY_SCRIPT(ui);
    }

private:
    // Opens the dialog; the script queued for it comes first.
    int Open()
    {
        CFindDolgDialog dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        dlg.m_strIniPath = m_cat->IniPath();
        return dlg.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
};

QTEST_MAIN(TestFindDolgDialog)
#include "test_finddolgdialog.moc"
