// Start-up: the command line, the first-run window's three ways, and files that cannot serve as the catalogue.
#include "scripted.h"
#include "testbase.h"

#include "app/firstrundlg.h"
#include "app/startup.h"
#include "app/vidarrodlg.h"
#include "data/daodb.h"

#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QStringList Files(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("user");
        const int run = int(app::CommandLine::Action::Run), error = int(app::CommandLine::Action::Error);
        QTest::newRow("none") << QStringList() << run << QString() << false;
        QTest::newRow("folder") << QStringList { u"/media/диск"_s } << run << u"/media/диск"_s << false;
        QTest::newRow("user") << QStringList { u"--user-catalogue"_s } << run << QString() << true;
        QTest::newRow("help") << QStringList { u"x"_s, u"--help"_s } << int(app::CommandLine::Action::Usage)
                              << QString() << false;
        QTest::newRow("two folders") << QStringList { u"a"_s, u"b"_s } << error << u"a"_s << false;
        QTest::newRow("both") << QStringList { u"a"_s, u"--user-catalogue"_s } << error << u"a"_s << true;
        QTest::newRow("unknown") << QStringList { u"--verbose"_s } << error << QString() << false;
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QString, folder);
        QFETCH(bool, user);
        const app::CommandLine cl = app::ParseCommandLine(QStringList { u"vidarro"_s } + args);
        QCOMPARE(int(cl.action), action);
        QCOMPARE(cl.action == app::CommandLine::Action::Error, !cl.error.isEmpty());
        if (cl.action != app::CommandLine::Action::Usage) {
            QCOMPARE(cl.folder, folder);
            QCOMPARE(cl.userCatalogue, user);
        }
    }

    void userFolderFollowsXdg()
    {
        qputenv("XDG_DATA_HOME", "/srv/data/");
        QCOMPARE(app::UserCatalogueFolder(), u"/srv/data/vidarro"_s);
        qputenv("XDG_DATA_HOME", "relative"); // ignored, as the base directory rules say
        QCOMPARE(app::UserCatalogueFolder(), QDir::homePath() + u"/.local/share/vidarro"_s);
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(app::UserCatalogueFolder(), QDir::homePath() + u"/.local/share/vidarro"_s);
    }

    // The menu entry's command in a fresh account: the folder is made, the first-run window names it, and
    // "Создать новый каталог" leads to the main window on an empty catalogue.
    void userCatalogueIsCreatedOnRequest()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
        const QString folder = home.filePath(u"data/vidarro"_s);
        ScriptedUi ui;
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) {
            QVERIFY(d.Item<QLabel>(1000)->text().contains(folder));
            QVERIFY(Files(folder).isEmpty()); // nothing is made before the user asks
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
        qunsetenv("XDG_DATA_HOME");
        VERIFY_SCRIPT(ui);
        data::CDaoDatabase db;
        db.Open(folder + u"/BaseFilm.mdb"_s); // a catalogue the program opens
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
            QVERIFY(!d.IsEnded());
            d.SendCommand(app::IDCANCEL);
        });
        ui.ExpectFile(chosen);
        QCOMPARE(app::StartupCatalogue(nullptr, dir.path()), QString());
        VERIFY_SCRIPT(ui);
        QVERIFY(Files(dir.path()).isEmpty());
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
            holder.Execute(u"DELETE FROM DOLGI"_s);
        } else {
            QFile f(base.BasePath());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
        }
        const QByteArray before = base.FileBytes();
        ScriptedUi ui; // no main window is shown
        ui.ExpectMessageContaining(why);
        QCOMPARE(app::StartupCatalogue(nullptr, base.Dir()), QString());
        VERIFY_SCRIPT(ui);
        QVERIFY(ui.MessagesSeen().first().contains(base.BasePath()));
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
        const QString old = QDir::currentPath();
        QCOMPARE(app::Run({ u"vidarro"_s, base.Dir() }), 0);
        QDir::setCurrent(old);
        VERIFY_SCRIPT(ui);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
