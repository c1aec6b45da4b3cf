// The daily backup, its rotation, the start-up health check with its offer, and the restore command.
#include "scripted.h"
#include "testmain.h"

#include "app/healthprompt.h"
#include "app/restoredlg.h"
#include "app/vidarrodlg.h"
#include "data/backup.h"
#include "data/daodb.h"
#include "data/schema.h"
#include "ids/main.h"
#include "ids/restore.h"

using namespace data;
using namespace Qt::StringLiterals;

namespace {
const QDateTime kDay(QDate(2026, 3, 1), QTime(10, 0));

// A record through the program's connection, its first write, on the given day of March.
void Append(const QString& path, QLatin1String table, int day = 1)
{
    SetBackupClock(kDay.addDays(day - 1));
    CDaoDatabase db;
    db.Open(path);
    db.Execute(u"INSERT INTO %1 (%2) VALUES ('Фильм')"_s.arg(table, FieldsOf(table)[0]));
}

// Zeroes the film table's page, the first after the schema's: the file still opens.
void Damage(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(4096) && f.write(QByteArray(4096, '\0')) == 4096);
}

// Three films, checked as at start-up on kDay.
struct Base : TempCatalogue {
    QString path = BasePath();
    Base()
    {
        ForgetBackupRun();
        for (int i = 0; i < 3; ++i) // not checked yet: a catalogue still being made is not copied
            Append(path, table::Films);
        QVERIFY(!QFileInfo::exists(Backup()) && CheckCatalogue(path).ok);
    }
    QString Backup(const QString& name = {}) const { return Dir() + u"/Backup/"_s + name; }
    // Each copy's date and film count, newest first.
    QStringList Copies() const
    {
        QStringList list;
        for (const BackupCopy& c : ListBackups(path, true))
            list << c.date.toString(Qt::ISODate) + u' ' + QString::number(c.films);
        return list;
    }
};
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanupTestCase() { ForgetBackupRun(); } // no other test's catalogue is backed up

    // One copy a day, made before its first write; a failing one never stops the write and warns once a run.
    void firstWriteOfADayMakesOneCopy()
    {
        Base b;
        Append(b.path, table::Films);
        Append(b.path, table::Debtors);
        ForgetBackupRun(); // a second run the same day
        QVERIFY(CheckCatalogue(b.path).ok);
        Append(b.path, table::Films);
        Append(b.path, table::Films, 2);
        QCOMPARE(b.Copies(), QStringList({ u"2026-03-02 5"_s, u"2026-03-01 3"_s }));

        QVERIFY(QDir(b.Backup()).removeRecursively());
        QFile(b.Backup().chopped(1)).open(QIODevice::WriteOnly); // a file where the folder should be
        QStringList warnings;
        SetBackupFailureNotifier([&](const QString& text) { warnings << text; });
        Append(b.path, table::Films, 3);
        Append(b.path, table::Films, 4);
        QFile::remove(b.Backup().chopped(1));
        Append(b.path, table::Films, 5);
        SetBackupFailureNotifier({});
        QCOMPARE(b.Copies(), QStringList { u"2026-03-05 8"_s });
        QVERIFY(warnings.size() == 1 && warnings[0].startsWith(u"Не удалось сделать резервную копию"_s));
    }

    // Ten are kept, and the newest good one even when older; names not of daily copies are left alone.
    void rotation()
    {
        for (bool damaged : { false, true }) { // the catalogue and every copy but the oldest
            Base b;
            QStringList kept { u"BaseFilm-2026-1-1.mdb"_s, u"basefilm-2026-01-01.mdb"_s,
                u"BaseFilm-2026-02-01.mdb.tmp"_s, u"BaseFilm-before-restore-2026-01-01-120000.mdb"_s };
            QDir().mkpath(b.Backup());
            for (const QString& other : kept)
                QFile::copy(b.path, b.Backup(other));
            for (int day = 1; day <= 12; ++day) {
                const QString name = u"BaseFilm-2026-02-%1.mdb"_s.arg(day, 2, 10, QLatin1Char('0'));
                QFile::copy(b.path, b.Backup(name));
                if (damaged && day > 1)
                    Damage(b.Backup(name));
                if (day >= 4 || (damaged && day == 1))
                    kept << name;
            }
            if (damaged)
                Damage(b.path);
            Append(b.path, table::Debtors);
            kept << u"BaseFilm-2026-03-01.mdb"_s;
            kept.sort();
            QCOMPARE(QDir(b.Backup()).entryList(QDir::Files, QDir::Name), kept);
        }
    }

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
        const bool restores = !qstrcmp(QTest::currentDataTag(), "restored");
        Base b;
        Append(b.path, table::Films);
        if (!qstrcmp(QTest::currentDataTag(), "no copy"))
            QFile::remove(b.Backup(u"BaseFilm-2026-03-01.mdb"_s));
        Damage(b.path);
        const QByteArray damaged = b.FileBytes();
        ScriptedUi ui;
        ui.ExpectMessageContaining(question, answer);
        if (restores)
            ui.ExpectMessageContaining(u"Повреждённый файл сохранён как"_s);
        QVERIFY(app::CheckCatalogueHealth(nullptr, b.path));
        VERIFY_SCRIPT(ui);
        QFile kept(b.Backup(u"BaseFilm-damaged-2026-03-01-100000.mdb"_s));
        QCOMPARE(kept.open(QIODevice::ReadOnly) ? kept.readAll() : b.FileBytes(), damaged);
        QCOMPARE(restores ? b.Count(u"KINVORA11"_s) : 3, 3);
        Append(b.path, table::Debtors, 2); // a damaged catalogue is not copied
        QCOMPARE(QFileInfo::exists(b.Backup(u"BaseFilm-2026-03-02.mdb"_s)), restores);
    }

    void restoreCommandRefillsTheMainWindow()
    {
        Base b;
        Append(b.path, table::Films);
        ScriptedUi ui;
        RunMainWindow(b, ui, [&](CVidarroDlg& w) {
            ui.ExpectDialog<CRestoreDlg>([](CRestoreDlg& d) {
                QCOMPARE(ListRows(d.List()), QList<QStringList>({ { u"01.03.2026"_s, u"3"_s } }));
                d.SendCommand(ids::restore::Restore);
            });
            ui.ExpectMessageContaining(u"Заменить каталог копией от 01.03.2026?"_s);
            ui.ExpectMessageContaining(u"Каталог восстановлен из копии от 01.03.2026. Прежний каталог сохранён как"_s);
            w.SendCommand(ids::main::Restore);
            QCOMPARE(w.StatusBar()->GetPaneText(0), u"Колличество фильмов: 3"_s);
        });
        VERIFY_SCRIPT(ui);
        QVERIFY(QFileInfo::exists(b.Backup(u"BaseFilm-before-restore-2026-03-01-100000.mdb"_s)));
    }
};

REGISTER_TEST(TestBackup)
#include "test_backup.moc"
