// A listed record deleted or changed by another program: no other record written, the list refreshed.
#include "app/vidarrodlg.h"
#include "blacklist/blacklist.h"
#include "debtors/showdolgdialog.h"
#include "ids/blacklist.h"
#include "ids/debtors.h"
#include "ids/editblack.h"
#include "ids/editdebtor.h"
#include "ids/editfilm.h"
#include "ids/main.h"
#include "scripted.h"
#include "testmain.h"

using namespace Qt::StringLiterals;

namespace {
const QString kGone = u"Запись удалена или изменена другой программой. Список обновлён."_s;
const QString kAskNew = u"Сохранить введённое как новую запись?"_s;

struct Kind {
    QString table, name; // the table and its first field
    QString fill; // two records, as SQL values
    int list, edit; // the list window's list and edit command
    int formName, formSave; // the edit form's first field and "OK"
};
const Kind kKinds[] = {
    { u"KINVORA11"_s, u"NAMEFILM"_s, u"('А','Р','Р','Ж','5','DVD','90','К'), ('Б','Р','Р','Ж','5','DVD','90','К')"_s,
        ids::main::FilmList, ids::main::EditFilm, ids::editfilm::Name, ids::editfilm::Save },
    { u"DOLGI"_s, u"NAME"_s, u"('А','Ф','1.1','N'), ('Б','Ф','1.1','N')"_s, ids::debtors::List, ids::debtors::Edit,
        ids::editdebtor::Name, ids::editdebtor::Save },
    { u"BLACKSPISOK"_s, u"NAME"_s, u"('А','П'), ('Б','П')"_s, ids::blacklist::List, ids::blacklist::Change,
        ids::editblack::Name, ids::editblack::Save },
};

// Runs the list window of a kind, its two records stored, with the last row selected; the script acts on it.
void RunList(TempCatalogue& cat, ScriptedUi& ui, int kind, std::function<void(app::CDialog&, app::CListCtrl*)> script)
{
    cat.Execute(u"INSERT INTO %1 VALUES %2"_s.arg(kKinds[kind].table, kKinds[kind].fill));
    const auto withLast = [&](app::CDialog& w) {
        auto* list = w.Item<app::CListCtrl>(kKinds[kind].list);
        list->SelectRow(1);
        script(w, list);
        w.EndDialog(app::IDCANCEL);
    };
    if (kind == 0)
        RunMainWindow(cat, ui, withLast);
    else if (kind == 1)
        RunDialog<CShowDolgDialog>(cat, ui, withLast);
    else
        RunDialog<CBlackList>(cat, ui, withLast);
}
} // namespace

class TestVanished : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void editForms_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("reused"); // the last rowid taken again by a new record
        for (int k = 0; k < 3; ++k)
            for (bool reused : { false, true })
                QTest::addRow("%d %s", k, reused ? "reused rowid" : "deleted") << k << reused;
    }
    void editForms()
    {
        QFETCH(int, kind);
        QFETCH(bool, reused);
        const Kind& K = kKinds[kind];
        TempCatalogue cat;
        // Another program deletes the last record, or replaces it by another under the same rowid.
        int changes = 0;
        const auto change = [&] {
            cat.Execute(u"DELETE FROM %1 WHERE rowid = (SELECT max(rowid) FROM %1)"_s.arg(K.table));
            if (!reused)
                return;
            cat.Execute(u"INSERT INTO %1 SELECT * FROM %1 WHERE rowid = 1"_s.arg(K.table));
            cat.Execute(u"UPDATE %1 SET %2 = 'Чужая %3' WHERE rowid = (SELECT max(rowid) FROM %1)"_s.arg(
                K.table, K.name, QString::number(++changes)));
        };
        ScriptedUi ui;
        RunList(cat, ui, kind, [&](app::CDialog& w, app::CListCtrl* list) {
            // Gone before the form opens: no empty form, the list shows the table again.
            change();
            ui.ExpectMessage(kGone);
            w.SendCommand(K.edit);
            QCOMPARE(list->GetItemCount(), cat.Count(K.table));
            // Gone while the form is open: the form stays with its input until saved as a new record.
            list->SelectRow(list->GetItemCount() - 1);
            QList<QStringList> others;
            ui.ExpectDialog<app::CDialog>([&](app::CDialog& d) {
                change();
                others = cat.Rows(K.table);
                app::SetEditText(d.GetDlgItem(K.formName), u"Введённое"_s);
                for (int answer : { app::IDCANCEL, app::IDOK }) {
                    ui.ExpectMessage(kGone);
                    ui.ExpectMessage(kAskNew, answer);
                    d.SendCommand(K.formSave);
                    QCOMPARE(d.IsEnded(), answer == app::IDOK);
                }
            });
            w.SendCommand(K.edit);
            const QList<QStringList> after = cat.Rows(K.table);
            QCOMPARE(after.mid(0, others.size()), others);
            QCOMPARE(after.size(), others.size() + 1);
            QCOMPARE(after.last().value(0), u"Введённое"_s);
            QCOMPARE(list->GetItemCount(), after.size());
        });
        VERIFY_SCRIPT(ui);
    }

    // Deleting a record replaced under its rowid, or putting it on the black list, writes nothing.
    void otherCommands_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("question");
        const QString del = u"Вы действительно хотите удалить данную запись?"_s;
        QTest::newRow("film delete") << 0 << ids::main::DeleteFilm << del;
        QTest::newRow("debtor delete") << 1 << ids::debtors::Delete << del;
        QTest::newRow("to the black list")
            << 1 << ids::debtors::ToBlackList << u"Вы действительно хотите занести запись в черный список?"_s;
    }
    void otherCommands()
    {
        QFETCH(int, kind);
        QFETCH(int, command);
        QFETCH(QString, question);
        TempCatalogue cat;
        ScriptedUi ui;
        RunList(cat, ui, kind, [&](app::CDialog& w, app::CListCtrl* list) {
            cat.Execute(u"UPDATE %1 SET %2 = 'Чужая' WHERE rowid = 2"_s.arg(kKinds[kind].table, kKinds[kind].name));
            const QByteArray before = cat.FileBytes();
            ui.ExpectMessage(question);
            ui.ExpectMessage(kGone);
            w.SendCommand(command);
            QCOMPARE(cat.FileBytes(), before);
            QCOMPARE(ListRows(list).value(1).value(0), u"Чужая"_s);
        });
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestVanished)
#include "test_vanished.moc"
