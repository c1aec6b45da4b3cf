// Start-up: the first-run window's three ways, and files that cannot serve as the catalogue.
#include "scripted.h"
#include "testbase.h"
#include "testmain.h"

#include "app/firstrundlg.h"
#include "app/startup.h"
#include "app/vidarrodlg.h"
#include "data/daodb.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
constexpr QDir::Filters kAnyFile = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
}

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // "Создать новый каталог": an empty catalogue in the folder named, and the main window on it.
    void createdCatalogueOpens()
    {
        TempCatalogue base;
        QVERIFY(QFile::remove(base.BasePath()));
        base.EnterDir(); // and back when done
        ScriptedUi ui;
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) {
            QVERIFY(d.Item<QLabel>(1000)->text().contains(base.Dir()));
            d.SendCommand(1001);
        });
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
            QCOMPARE(d.BasePath(), base.BasePath());
            QCOMPARE(d.StatusBar()->GetPaneText(0), u"Колличество фильмов: 0"_s);
            d.SendCommand(app::IDCANCEL);
        });
        QCOMPARE(app::Run({ u"vidarro"_s, base.Dir() }), 0);
        VERIFY_SCRIPT(ui);
    }

    // "Выход" leaves the folder alone; a transfer converts a copy and never touches the chosen file.
    void firstRunExitsOrTransfers()
    {
        QTemporaryDir dir, stick;
        ScriptedUi ui;
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) { d.SendCommand(app::IDCANCEL); });
        QCOMPARE(app::StartupCatalogue(nullptr, dir.path()), QString());
        VERIFY_SCRIPT(ui);
        QVERIFY(QDir(dir.path()).isEmpty(kAnyFile));

        const QString old = FixturePath(u"jet/current-base-jet.mdb"_s);
        const QString chosen = stick.filePath(u"BaseFilm.mdb"_s);
        QVERIFY(QFile::copy(old, chosen));
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) { d.SendCommand(1002); });
        ui.ExpectFile(chosen);
        ui.ExpectMessageContaining(u"Каталог переведён в новый формат."_s);
        QCOMPARE(QFileInfo(app::StartupCatalogue(nullptr, dir.path())).fileName(), u"BaseFilm.mdb"_s);
        VERIFY_SCRIPT(ui);
        QVERIFY(QFile::exists(dir.filePath(u"BaseFilm-access.mdb"_s)));
        QFile a(old), b(chosen);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
        QCOMPARE(QDir(stick.path()).entryList(kAnyFile), QStringList { u"BaseFilm.mdb"_s });
    }

    void unusableFileEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: the file is locked by another connection
        QTest::addColumn<QString>("why");
        QTest::newRow("empty") << QByteArray("") << u"файл пуст"_s;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << u"не база данных Vidarro"_s;
        QTest::newRow("damaged") << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\xff') << u"повреждён"_s;
        QTest::newRow("locked") << QByteArray() << u"занят другой программой"_s;
    }
    void unusableFileEndsTheProgram()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        TempCatalogue base;
        data::CDaoDatabase holder;
        if (bytes.isNull()) {
            holder.Open(base.BasePath());
            holder.Execute(u"BEGIN EXCLUSIVE"_s);
        } else {
            QFile f(base.BasePath());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
        }
        const QByteArray before = base.FileBytes();
        ScriptedUi ui; // no main window is shown
        ui.ExpectMessageContaining(why);
        QCOMPARE(app::StartupCatalogue(nullptr, base.Dir()), QString());
        VERIFY_SCRIPT(ui);
        QCOMPARE(base.FileBytes(), before);
    }

    // A catalogue that lacks a table opens: the step that needs the table says so, the window is whole.
    void missingTableIsReportedAndTheWindowOpens()
    {
        TempCatalogue base;
        base.AddFilm(u"Брат"_s);
        base.Execute(u"DROP TABLE DOLGI"_s);
        ScriptedUi ui;
        ui.ExpectMessageContaining(u"DOLGI"_s);
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
            QCOMPARE(d.FilmList()->GetItemCount(), 1);
            QVERIFY(d.StatusBar());
            d.SendCommand(app::IDCANCEL);
        });
        base.EnterDir(); // and back when done
        QCOMPARE(app::Run({ u"vidarro"_s, base.Dir() }), 0);
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestStartup)
#include "test_startup.moc"
