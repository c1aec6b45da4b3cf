#include "debtors/adddolgdialog.h"

#include "scripted.h"
#include "testbase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kQuestion = u"Данный Должник занесён в черный список! Вы уверены, что хотите его добавить?"_s;

// Types name, title and date as a user would; a mark index below 0 leaves the mark list alone.
void Fill(CAddDolgDialog& d, const QString& name, const QString& film, const QString& date, int mark = -1)
{
    TypeText(d.GetDlgItem(1017), name);
    TypeText(d.GetDlgItem(1018), film);
    TypeText(d.GetDlgItem(1019), date);
    if (mark >= 0)
        ChooseEntry(d.Item<QComboBox>(1020), mark);
}
} // namespace

class TestAddDolgDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_cat = std::make_unique<TempCatalogue>();
        QVERIFY(m_cat->IsValid());
    }

    void savesFieldsByTheRules_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("mark");
        QTest::addColumn<QStringList>("stored"); // empty: the form is cancelled
        QTest::newRow("empty form") << QStringList { {}, {}, {} } << -1
                                    << QStringList { u"n/d"_s, u"n/d"_s, u"n/d"_s, u"N"_s };
        QTest::newRow("one blank is n/d, two are kept") << QStringList { u" "_s, u"  "_s, u" 1 марта "_s } << -1
                                                        << QStringList { u"n/d"_s, u"  "_s, u" 1 марта "_s, u"N"_s };
        QTest::newRow("white list") << QStringList { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s } << 1
                                    << QStringList { u"Иванов"_s, u"Солярис"_s, u"12.03.2007"_s, u"B"_s };
        QTest::newRow("cancelled") << QStringList { u"Пётр"_s, u"CD"_s, u"вчера"_s } << 2 << QStringList {};
    }
    void savesFieldsByTheRules()
    {
        QFETCH(QStringList, typed);
        QFETCH(int, mark);
        QFETCH(QStringList, stored);
        ScriptedUi ui;
        const int result = Run(ui, [&](CAddDolgDialog& d) {
            Fill(d, typed[0], typed[1], typed[2], mark);
            // Text typed into the mark list's own field is no choice; Enter saves nothing, wherever it is pressed.
            QLineEdit* markField = d.Item<QComboBox>(1020)->lineEdit();
            markField->clear();
            TypeText(markField, u"Черный список"_s);
            for (QWidget* w : QList<QWidget*> { d.GetDlgItem(1017), d.GetDlgItem(1018), d.GetDlgItem(1019), markField })
                PressKey(w, Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            if (stored.isEmpty())
                qobject_cast<QPushButton*>(d.GetDlgItem(2))->click();
            else
                d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, stored.isEmpty() ? app::IDCANCEL : app::IDOK);
        QCOMPARE(m_cat->Rows(u"DOLGI"_s), stored.isEmpty() ? QList<QStringList> {} : QList<QStringList> { stored });
        QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
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
        QTest::newRow("Latin letter case") << QStringList { u"Smith"_s } << u"SMITH"_s << 0;
        QTest::newRow("trailing blank") << QStringList { u"Иванов"_s } << u"Иванов "_s << 0;
        QTest::newRow("part of a name") << QStringList { u"Иванов Петр"_s } << u"Иванов"_s << 0;
        QTest::newRow("empty name against n/d") << QStringList { u"n/d"_s } << QString() << 0;
        QTest::newRow("typed n/d") << QStringList { u"n/d"_s } << u"n/d"_s << 1;
        QTest::newRow("empty black list") << QStringList {} << u"Иванов"_s << 0;
    }
    void blackListCheck()
    {
        QFETCH(QStringList, blackList);
        QFETCH(QString, typed);
        QFETCH(int, asked);
        QList<QStringList> entries;
        for (const QString& name : blackList) {
            m_cat->AddBlack(name, u"Не вернул"_s);
            entries << QStringList { name, u"Не вернул"_s };
        }
        QList<int> answers(asked, app::IDCANCEL);
        if (asked > 0)
            answers.last() = app::IDOK;
        ScriptedUi ui;
        // Marked for the black list and without a title: the new entry gets the reason "n/d".
        const int result = Run(
            ui,
            [&](CAddDolgDialog& d) {
                Fill(d, typed, QString(), u"1 марта"_s, 2);
                for (int i = 1; i < asked; ++i) {
                    d.SendCommand(1047);
                    QVERIFY(!d.IsEnded());
                    QCOMPARE(d.Item<QLineEdit>(1017)->text(), typed);
                    QCOMPARE(d.Item<QLineEdit>(1021)->text(), u"Черный список"_s);
                    QCOMPARE(m_cat->Count(u"DOLGI"_s), 0);
                }
                d.SendCommand(1047);
            },
            answers);
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        const QString name = typed.isEmpty() ? u"n/d"_s : typed;
        QCOMPARE(m_cat->Rows(u"DOLGI"_s), (QList<QStringList> { { name, u"n/d"_s, u"1 марта"_s, u"C"_s } }));
        QCOMPARE(m_cat->Rows(u"BLACKSPISOK"_s), (entries << QStringList { name, u"n/d"_s }));
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
        m_cat->Execute(
            u"CREATE TRIGGER no_black BEFORE INSERT ON BLACKSPISOK BEGIN SELECT RAISE(ABORT, 'test'); END"_s);
        ScriptedUi ui;
        ui.ExpectDialog<CAddDolgDialog>([](CAddDolgDialog& d) {
            Fill(d, u"Петров"_s, u"Сталкер"_s, u"1.2.2003"_s, 2);
            d.SendCommand(1047);
            QVERIFY(!d.IsEnded());
            QCOMPARE(d.Item<QLineEdit>(1017)->text(), u"Петров"_s);
            d.SendCommand(2);
        });
        ui.ExpectMessageContaining(reported);
        CAddDolgDialog dlg;
        dlg.m_strBasePath = noBase ? QDir(m_cat->Dir()).filePath(u"нет/BaseFilm.mdb"_s) : m_cat->BasePath();
        QCOMPARE(dlg.DoModal(), app::IDCANCEL);
        VERIFY_SCRIPT(ui);
        QCOMPARE(m_cat->Count(u"DOLGI"_s), 0);
        QCOMPARE(m_cat->Count(u"BLACKSPISOK"_s), 0);
    }

private:
    // Runs the dialog with a script; `answers` go to the black-list questions it asks.
    int Run(ScriptedUi& ui, const std::function<void(CAddDolgDialog&)>& script, const QList<int>& answers = {})
    {
        ui.ExpectDialog<CAddDolgDialog>(script);
        for (int answer : answers)
            ui.ExpectMessage(kQuestion, answer);
        CAddDolgDialog dlg;
        dlg.m_strBasePath = m_cat->BasePath();
        return dlg.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
};

QTEST_MAIN(TestAddDolgDialog)
#include "test_adddolgdialog.moc"
