// The debtor find window: each option's field, whole text with letter case ignored, last record first.
#include "debtors/finddolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/finddebtor.h"

#include <QComboBox>

using namespace Qt::StringLiterals;
namespace id = ids::finddebtor;

namespace {
// Chooses an option, types the text (for marks: chooses it from the list, if it is there) and searches.
QList<QStringList> Search(CFindDolgDialog& d, int option, const QString& text)
{
    Click(d, option);
    auto* marks = d.Item<QComboBox>(id::MarkList);
    if (option != id::ByMark)
        app::SetEditText(d.GetDlgItem(id::FindText), text);
    else if (marks->findText(text) >= 0)
        ChooseEntry(marks, marks->findText(text));
    Click(d, id::Find);
    return ListRows(d.Results());
}
} // namespace

class TestFindDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeTextIgnoringCase_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names"); // the first cells of the results, in list order
        QTest::newRow("Cyrillic name") << id::ByName << u"иванов"_s << u"иванов|ИВАНОВ|Иванов"_s.split(u'|');
        QTest::newRow("title") << id::ByTitle << u"солярис"_s << u"Иванов Петр|Иванов"_s.split(u'|');
        QTest::newRow("date as text") << id::ByDate << u"1.2.2007"_s << QStringList { u"Smith"_s };
        QTest::newRow("white-list mark") << id::ByMark << u"Белый список"_s << u"иванов|n/d|ИВАНОВ"_s.split(u'|');
        QTest::newRow("black-list mark") << id::ByMark << u"Черный список"_s << QStringList { u"Иванов Петр"_s };
        QTest::newRow("no mark chosen") << id::ByMark << QString() << QStringList {};
        QTest::newRow("black list") << id::InBlackList << u"сидоров"_s << u"СИДОРОВ|Сидоров"_s.split(u'|');
        QTest::newRow("black list, not debtors") << id::InBlackList << u"иванов"_s << QStringList {};
    }
    void wholeTextIgnoringCase()
    {
        QFETCH(int, option);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        TempCatalogue cat;
        for (const QString& debtor : { u"Иванов|Солярис|01.02.2007|N"_s, u"ИВАНОВ|Ёжик в тумане|1 марта|B"_s,
                 u"Иванов Петр|СОЛЯРИС|n/d|C"_s, u"Smith|Solaris|1.2.2007|X"_s, u"n/d|n/d|n/d|B"_s, u"|Сталкер|n/d|N"_s,
                 u"иванов|солярис |1 МАРТА|B"_s })
            cat.AddDebtor(debtor.split(u'|'));
        cat.AddBlack(u"Сидоров"_s, u"Не вернул Солярис"_s);
        cat.AddBlack(u"Петров"_s, u"Разбил диск"_s);
        cat.AddBlack(u"СИДОРОВ"_s, u"Опять"_s);
        ScriptedUi ui;
        const int result = RunDialog<CFindDolgDialog>(cat, ui, [&](CFindDolgDialog& d) {
            QCOMPARE(Cells(Search(d, option, text)), names);
            Click(d, id::Close);
        });
        QCOMPARE(result, app::IDOK);
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestFindDolgDialog)
#include "test_finddolgdialog.moc"
