// Start-up: the command line, the first-run window's three ways, and files that cannot serve as the catalogue.
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
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected"); // action, folder, user catalogue
        QTest::newRow("none") << QStringList() << u"0  0"_s;
        QTest::newRow("folder") << QStringList { u"/media/диск"_s } << u"0 /media/диск 0"_s;
        QTest::newRow("user") << QStringList { u"--user-catalogue"_s } << u"0  1"_s;
        QTest::newRow("both") << QStringList { u"a"_s, u"--user-catalogue"_s } << u"2 a 1"_s;
        QTest::newRow("unknown") << QStringList { u"--verbose"_s } << u"2  0"_s;
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const app::CommandLine cl = app::ParseCommandLine(QStringList { u"vidarro"_s } + args);
        QCOMPARE(u"%1 %2 %3"_s.arg(int(cl.action)).arg(cl.folder).arg(int(cl.userCatalogue)), expected);
    }

    // The menu entry's command in a fresh account: "Создать новый каталог" leads to an empty catalogue.
    void userCatalogueIsCreatedOnRequest()
    {
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(app::UserCatalogueFolder(), QDir::homePath() + u"/.local/share/vidarro"_s);
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
        const QString folder = home.filePath(u"data/vidarro"_s);
        ScriptedUi ui;
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) {
            QVERIFY(d.Item<QLabel>(1000)->text().contains(folder));
            QVERIFY(QDir(folder).isEmpty(kAnyFile)); // nothing is made before the user asks
            d.SendCommand(1001);
        });
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
            QCOMPARE(d.BasePath(), folder + u"/BaseFilm.mdb"_s);
            QCOMPARE(d.StatusBar()->GetPaneText(0), u"Колличество фильмов: 0"_s);
            d.SendCommand(app::IDCANCEL);
        });
        const QString old = QDir::currentPath();
        QCOMPARE(app::Run({ u"vidarro"_s, u"--user-catalogue"_s }), 0);
        QCOMPARE(QDir::currentPath(), folder);
        QDir::setCurrent(old);
        VERIFY_SCRIPT(ui);
    }

    // "Выход", and a transfer the conversion does not complete: nothing in the folder, the chosen file as it was.
    void firstRunLeavesTheFolderAloneUntilACatalogueIsMade()
    {
        QTemporaryDir dir, stick;
        const QString old = FixturePath(u"jet/current-base-jet.mdb"_s);
        const QString chosen = stick.filePath(u"BaseFilm.mdb"_s);
        QVERIFY(QFile::copy(old, chosen));
        ScriptedUi ui;
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) {
            d.SendCommand(1002);
            d.SendCommand(app::IDCANCEL);
        });
        ui.ExpectFile(chosen);
        QCOMPARE(app::StartupCatalogue(nullptr, dir.path()), QString());
        VERIFY_SCRIPT(ui);
        QVERIFY(QDir(dir.path()).isEmpty(kAnyFile));
        QFile a(old), b(chosen);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
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
