// Start-up: the first-run window's three ways, and files that cannot serve as the catalogue.
#include "scripted.h"
#include "testmain.h"

#include "app/firstrundlg.h"
#include "app/startup.h"
#include "ids/firstrun.h"

using namespace Qt::StringLiterals;

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstRun_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("files"); // the folder's afterwards; none: the program ends
        QTest::newRow("create") << ids::firstrun::Create << QStringList { u"BaseFilm.mdb"_s };
        QTest::newRow("transfer") << ids::firstrun::Transfer
                                  << QStringList { u"BaseFilm-access.mdb"_s, u"BaseFilm.mdb"_s };
        QTest::newRow("exit") << int(app::IDCANCEL) << QStringList();
    }
    void firstRun()
    {
        QFETCH(int, button);
        QFETCH(QStringList, files);
        QTemporaryDir dir, stick;
        // A transfer converts a copy and never touches the chosen file.
        const QString chosen = stick.filePath(u"BaseFilm.mdb"_s);
        QVERIFY(QFile::copy(FixturePath(u"jet/current-base-jet.mdb"_s), chosen));
        ScriptedUi ui;
        ui.ExpectDialog<CFirstRunDlg>([&](CFirstRunDlg& d) { d.SendCommand(button); });
        if (button == ids::firstrun::Transfer) {
            ui.ExpectFile(chosen);
            ui.ExpectMessageContaining(u"Каталог переведён в новый формат."_s);
        }
        const QString opened = app::StartupCatalogue(nullptr, dir.path());
        VERIFY_SCRIPT(ui);
        QCOMPARE(opened, files.isEmpty() ? QString() : dir.filePath(u"BaseFilm.mdb"_s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), files);
        QCOMPARE(QDir(stick.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"BaseFilm.mdb"_s });
    }

    void unusableFileEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QTest::newRow("empty") << QByteArray("") << u"файл пуст"_s;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << u"не база данных Vidarro"_s;
        QTest::newRow("damaged") << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\xff') << u"повреждён"_s;
    }
    void unusableFileEndsTheProgram()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        TempCatalogue base;
        QFile f(base.BasePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush());
        const QByteArray before = base.FileBytes();
        ScriptedUi ui; // no main window is shown
        ui.ExpectMessageContaining(why);
        QCOMPARE(app::StartupCatalogue(nullptr, base.Dir()), QString());
        VERIFY_SCRIPT(ui);
        QCOMPARE(base.FileBytes(), before);
    }
};

REGISTER_TEST(TestStartup)
#include "test_startup.moc"
