// Adding a debtor: the "n/d" rule, the mark, the black-list question, and a save that fails half-way.
#include "scripted.h"
#include "testmain.h"

#include "debtors/adddolgdialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QString kQuestion = u"Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"_s;

// Types name, title and date as a user would; a mark index below 0 leaves the mark list alone.
void Fill(CAddDolgDialog& d, const QStringList& typed, int mark = -1)
{
    for (int i = 0; i < 3; ++i)
        TypeText(d.GetDlgItem(1017 + i), typed[i]);
    if (mark >= 0)
        ChooseEntry(d.Item<QComboBox>(1020), mark);
}
} // namespace

class TestAddDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savesFieldsByTheRules_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("mark");
        QTest::addColumn<QStringList>("stored"); // empty: the form is cancelled
        QTest::newRow("empty form") << QStringList { {}, {}, {} } << -1 << u"n/d|n/d|n/d|N"_s.split(u'|');
        QTest::newRow("one blank is n/d, two are kept")
            << QStringList { u" "_s, u"  "_s, u" 1 марта "_s } << -1 << u"n/d|  | 1 марта |N"_s.split(u'|');
        QTest::newRow("white list") << u"Иванов|Солярис|12.03.2007"_s.split(u'|') << 1
                                    << u"Иванов|Солярис|12.03.2007|B"_s.split(u'|');
        QTest::newRow("cancelled") << u"Пётр|CD|вчера"_s.split(u'|') << 2 << QStringList {};
    }
    void savesFieldsByTheRules()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, mark);
        QFETCH(QStringList, stored);
        TempCatalogue cat;
        ScriptedUi ui;
        const int result = RunDialog<CAddDolgDialog>(cat, ui, [&](CAddDolgDialog& d) {
            Fill(d, typed, mark);
            // Text typed into the mark list's own field is no choice; Enter saves nothing, wherever it is pressed.
            QLineEdit* markField = d.Item<QComboBox>(1020)->lineEdit();
            markField->clear();
            TypeText(markField, u"Черный список"_s);
            for (QWidget* w : { d.GetDlgItem(1017), d.GetDlgItem(1018), d.GetDlgItem(1019), (QWidget*)markField })
                PressKey(w, Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            if (stored.isEmpty())
                qobject_cast<QPushButton*>(d.GetDlgItem(2))->click();
            else
                d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, stored.isEmpty() ? app::IDCANCEL : app::IDOK);
        QCOMPARE(cat.Rows(u"DOLGI"_s), stored.isEmpty() ? QList<QStringList> {} : QList<QStringList> { stored });
        QCOMPARE(cat.Count(u"BLACKSPISOK"_s), 0);
    }

    void blackListCheck_data()
    {
        QTest::addColumn<QStringList>("blackList");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("asked"); // how often the question comes: Cancel to all but the last
        QTest::newRow("same name") << QStringList { u"Сидоров"_s, u"Иванов"_s } << u"Иванов"_s << 1;
        QTest::newRow("listed twice, asked once") << QStringList { u"Иванов"_s, u"Иванов"_s } << u"Иванов"_s << 1;
        QTest::newRow("Cancel keeps the form") << QStringList { u"Иванов"_s } << u"Иванов"_s << 3;
        QTest::newRow("other letter case") << QStringList { u"Иванов"_s } << u"иванов"_s << 0;
        QTest::newRow("trailing blank") << QStringList { u"Иванов"_s } << u"Иванов "_s << 0;
        QTest::newRow("part of a name") << QStringList { u"Иванов Петр"_s } << u"Иванов"_s << 0;
        QTest::newRow("empty name against n/d") << QStringList { u"n/d"_s } << QString() << 0;
        QTest::newRow("typed n/d") << QStringList { u"n/d"_s } << u"n/d"_s << 1;
    }
    void blackListCheck()
    {
        QFETCH(QStringList, blackList);
        QFETCH(QString, typed);
        QFETCH(int, asked);
        TempCatalogue cat;
        QList<QStringList> entries;
        for (const QString& name : blackList) {
            cat.AddBlack(name, u"Не вернул"_s);
            entries << QStringList { name, u"Не вернул"_s };
        }
        ScriptedUi ui;
        // Marked for the black list and without a title: the new entry gets the reason "n/d".
        ui.ExpectDialog<CAddDolgDialog>([&](CAddDolgDialog& d) {
            Fill(d, { typed, QString(), u"1 марта"_s }, 2);
            for (int i = 1; i < asked; ++i) {
                d.SendCommand(1047);
                QVERIFY(!d.IsEnded());
                QCOMPARE(EditTexts(d, { 1017, 1021 }), (QStringList { typed, u"Черный список"_s }));
                QCOMPARE(cat.Count(u"DOLGI"_s), 0);
            }
            d.SendCommand(1047);
        });
        for (int i = 1; i <= asked; ++i)
            ui.ExpectMessage(kQuestion, i == asked ? app::IDOK : app::IDCANCEL);
        QCOMPARE(RunDialog<CAddDolgDialog>(cat, ui, {}), app::IDOK);
        VERIFY_SCRIPT(ui);
        const QString name = typed.isEmpty() ? u"n/d"_s : typed;
        QCOMPARE(cat.Rows(u"DOLGI"_s), (QList<QStringList> { { name, u"n/d"_s, u"1 марта"_s, u"C"_s } }));
        QCOMPARE(cat.Rows(u"BLACKSPISOK"_s), (entries << QStringList { name, u"n/d"_s }));
    }

    void failedSaveStoresNothingAndStaysOpen_data()
    {
        QTest::addColumn<bool>("noBase");
        QTest::addColumn<QString>("reported");
        // The black-list entry is the second write: the debtor written first must not stay behind.
        QTest::newRow("black-list write fails") << false << u"BLACKSPISOK"_s;
        QTest::newRow("no base") << true << u"не найден"_s;
    }
    void failedSaveStoresNothingAndStaysOpen()
    {
        QFETCH(bool, noBase);
        QFETCH(QString, reported);
        TempCatalogue cat;
        cat.Execute(u"CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK BEGIN SELECT RAISE(ABORT, 'test'); END"_s);
        ScriptedUi ui;
        ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) {
            Fill(d, { u"Петров"_s, u"Сталкер"_s, u"1.2.2003"_s }, 2);
            d.SendCommand(1047);
            QVERIFY(!d.IsEnded());
            QCOMPARE(EditTexts(d, { 1017 }), QStringList { u"Петров"_s });
            d.SendCommand(2);
        });
        ui.ExpectMessageContaining(reported);
        const int result = RunDialog<CAddDolgDialog>(cat, ui, {}, [&](CAddDolgDialog& d) {
            if (noBase)
                d.m_strBasePath = QDir(cat.Dir()).filePath(u"нет/BaseFilm.mdb"_s);
        });
        QCOMPARE(result, app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(cat.Count(u"DOLGI"_s) + cat.Count(u"BLACKSPISOK"_s), 0);
    }
};

REGISTER_TEST(TestAddDolgDialog)
#include "test_adddolgdialog.moc"
