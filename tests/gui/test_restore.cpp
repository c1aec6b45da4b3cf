// The start-up offer to restore a damaged catalogue, and "Сервис › Восстановить из копии…".
#include "scripted.h"
#include "testbase.h"

#include "app/healthprompt.h"
#include "app/restoredlg.h"
#include "app/vidarrodlg.h"
#include "data/backup.h"

#include <QAction>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Two films in the copy of 01.03.2026, one left in the catalogue.
QString CatalogueWithCopy(TempCatalogue& base)
{
    base.AddFilm(u"Брат"_s);
    base.AddFilm(u"Солярис"_s);
    QDir(base.Dir()).mkdir(u"Backup"_s);
    QFile::copy(base.BasePath(), base.Dir() + u"/Backup/BaseFilm-2026-03-01.mdb"_s);
    base.Execute(u"DELETE FROM KINVORA11 WHERE rowid = 2"_s);
    data::SetBackupClock(QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
    return base.Dir() + u"/Backup/"_s;
}
} // namespace

class TestRestore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void damageAtStartUp_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::newRow("restored") << int(app::IDOK) << u"Восстановить его из резервной копии от 01.03.2026?"_s;
        QTest::newRow("opened as it is") << int(app::IDCANCEL) << u"«Отмена» — открыть повреждённый"_s;
        QTest::newRow("no copy") << int(app::IDOK) << u"исправных резервных копий в папке"_s;
    }
    void damageAtStartUp()
    {
        QFETCH(int, answer);
        QFETCH(QString, question);
        TempCatalogue base;
        const QString backups = CatalogueWithCopy(base);
        if (!qstrcmp(QTest::currentDataTag(), "no copy"))
            QFile::remove(backups + u"BaseFilm-2026-03-01.mdb"_s);
        QFile file(base.BasePath());
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(4096) && file.write(QByteArray(4096, '\0')));
        file.close();
        const QByteArray damaged = base.FileBytes();

        ScriptedUi ui;
        ui.ExpectMessageContaining(question, answer);
        const bool restores = !qstrcmp(QTest::currentDataTag(), "restored");
        if (restores)
            ui.ExpectMessageContaining(u"Повреждённый файл сохранён как"_s);
        QVERIFY(app::CheckCatalogueHealth(nullptr, base.BasePath()));
        VERIFY_SCRIPT(ui);
        QFile kept(backups + u"BaseFilm-damaged-2026-03-02-100000.mdb"_s);
        QCOMPARE(kept.open(QIODevice::ReadOnly) && kept.readAll() == damaged, restores);
        if (restores)
            QCOMPARE(base.Count(u"KINVORA11"_s), 2);
        else
            QCOMPARE(base.FileBytes(), damaged);
    }

    void restoreCommandRefillsTheMainWindow()
    {
        TempCatalogue base;
        const QString backups = CatalogueWithCopy(base);
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
            QCOMPARE(w.StatusBar()->GetPaneText(0), u"Колличество фильмов: 2"_s);
            w.EndDialog(app::IDCANCEL);
        });
        CVidarroDlg dlg;
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
        QVERIFY(QFileInfo::exists(backups + u"BaseFilm-before-restore-2026-03-02-100000.mdb"_s));
    }
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
