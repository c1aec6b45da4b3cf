// The start-up offer to restore a damaged catalogue, and "Сервис › Восстановить из копии…".
#include "scripted.h"
#include "testbase.h"

#include "app/healthprompt.h"
#include "app/restoredlg.h"
#include "app/vidarrodlg.h"
#include "data/backup.h"
#include "data/daodb.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QAction>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Two films, and the day's copy of them made by deleting the second one through the record layer.
void CatalogueWithCopy(TempCatalogue& base)
{
    base.AddFilm(u"Брат"_s);
    base.AddFilm(u"Солярис"_s);
    data::ForgetBackupRun();
    data::SetBackupClock(QDateTime(QDate(2026, 3, 1), QTime(10, 0)));
    QVERIFY(app::CheckCatalogueHealth(nullptr, base.BasePath()));
    data::CDaoDatabase db;
    db.Open(base.BasePath());
    data::CDaoRecordset rs(db);
    rs.Open(data::table::Films);
    rs.MoveLast();
    rs.Delete();
}
} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void damageAtStartUp_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("films");
        QTest::newRow("restored") << true << app::IDOK << u"Восстановить его из резервной копии от 01.03.2026?"_s << 2;
        QTest::newRow("opened as it is") << true << app::IDCANCEL << u"«Отмена» — открыть повреждённый"_s << 0;
        QTest::newRow("no copy") << false << app::IDOK << u"исправных резервных копий в папке"_s << 0;
    }
    void damageAtStartUp()
    {
        QFETCH(bool, copy);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(int, films);
        TempCatalogue base;
        CatalogueWithCopy(base);
        if (!copy)
            QVERIFY(QDir(base.Dir() + u"/Backup"_s).removeRecursively());
        QByteArray bytes = base.FileBytes();
        bytes.replace(4096, 4096, QByteArray(4096, '\0')); // the film table's page
        QFile file(base.BasePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        ScriptedUi ui;
        ui.ExpectMessageContaining(question, answer);
        if (films > 0)
            ui.ExpectMessageContaining(u"Повреждённый файл сохранён как"_s);
        QVERIFY(app::CheckCatalogueHealth(nullptr, base.BasePath()));
        VERIFY_SCRIPT(ui);
        if (films > 0)
            QCOMPARE(base.Count(u"KINVORA11"_s), films);
        else
            QCOMPARE(base.FileBytes(), bytes);
    }

    void restoreCommandRefillsTheMainWindow()
    {
        TempCatalogue base;
        CatalogueWithCopy(base);
        base.EnterDir();
        ScriptedUi ui;
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& w) {
            QCOMPARE(w.FilmList()->GetItemCount(), 1);
            ui.ExpectDialog<CRestoreDlg>([](CRestoreDlg& d) {
                QCOMPARE(ListRows(d.List()), QList<QStringList>({ { u"01.03.2026"_s, u"2"_s } }));
                d.SendCommand(1000);
            });
            ui.ExpectMessageContaining(u"Заменить каталог копией от 01.03.2026?"_s);
            ui.ExpectMessageContaining(u"Каталог восстановлен из копии от 01.03.2026. Прежний каталог сохранён как"_s);
            for (QAction* item : w.findChildren<QAction*>())
                if (item->text() == u"Восстановить из копии…"_s)
                    item->trigger();
            QCOMPARE(w.FilmList()->GetItemCount(), 2);
            QCOMPARE(w.StatusBar()->GetPaneText(0), u"Колличество фильмов: 2"_s);
            w.EndDialog(app::IDCANCEL);
        });
        CVidarroDlg dlg;
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
        QVERIFY(QFileInfo::exists(base.Dir() + u"/Backup/BaseFilm-before-restore-2026-03-01-100000.mdb"_s));
    }
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
