#include "debtors/finddolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

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
            QCOMPARE(Cells(Search(d, option, text)), names);
            Click(d, 1047);
        });
        QCOMPARE(RunDialog<CFindDolgDialog>(*m_cat, ui, {}), app::IDOK);
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
        RunDialog<CFindDolgDialog>(*m_cat, ui, {});
        VERIFY_SCRIPT(ui);
    }

private:
    std::unique_ptr<TempCatalogue> m_cat;
};

REGISTER_TEST(TestFindDolgDialog)
#include "test_finddolgdialog.moc"
