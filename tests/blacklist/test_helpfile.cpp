// The user guide: found in the right place, and opened the first way that works, else named in a message.
#include "app/helpfile.h"
#include "scripted.h"
#include "testmain.h"

#include <QDir>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class TestHelpFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { app::SetHelpCommandRunner({}); }

    void openHelp_data()
    {
        // Files present ("name/": a folder, "name=": empty), the desktop's CHM handler, what xdg-open fails on.
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QByteArray>("handler");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("message");
        const QString work = u"work/Vidarro.chm"_s, installed = u"share/vidarro/Vidarro.chm"_s, page = u"index.html"_s;
        const QByteArray xchm("xchm.desktop\n");
        const QStringList none;
        QTest::newRow("working directory first")
            << QStringList { work, installed } << xchm << none << QStringList { work } << QString();
        QTest::newRow("folder is no guide")
            << QStringList { work + u'/', installed } << xchm << none << QStringList { installed } << QString();
        QTest::newRow("empty file skipped")
            << QStringList { work + u'=', installed } << xchm << none << QStringList { installed } << QString();
        QTest::newRow("browser fails too")
            << QStringList { work, page } << QByteArray("xchm") << QStringList { u"Vidarro.chm"_s, page }
            << QStringList { work, page } << u"или «"_s;
        QTest::newRow("no CHM viewer: the HTML copy")
            << QStringList { work, page } << QByteArray() << none << QStringList { page } << QString();
        QTest::newRow("no viewer, no HTML copy")
            << QStringList { work } << QByteArray() << none << none << u"нет программы для её просмотра"_s;
        QTest::newRow("nothing installed") << none << QByteArray("x") << none << none << u"не найден"_s;
    }
    void openHelp()
    {
        QFETCH(QStringList, present);
        QFETCH(QByteArray, handler);
        QFETCH(QStringList, failing);
        QFETCH(QStringList, opened);
        QFETCH(QString, message);
        QTemporaryDir root;
        const QDir dir(root.path());
        for (QString name : present) {
            const QChar kind = name.back();
            if (kind == u'/' || kind == u'=')
                name.chop(1);
            QFile file(dir.filePath(name));
            QVERIFY(dir.mkpath(QFileInfo(file).path()));
            QVERIFY(kind == u'/' ? dir.mkdir(name)
                                 : file.open(QIODevice::WriteOnly) && file.write("ITSF", kind == u'=' ? 0 : 4) >= 0);
        }
        QStringList asked;
        app::SetHelpCommandRunner([&](const QStringList& command, const app::HelpCommandDone& done) {
            if (command.first() == "xdg-mime"_L1)
                return done(0, handler);
            asked << dir.relativeFilePath(command.last());
            done(failing.contains(QFileInfo(command.last()).fileName()) ? 3 : 0, {});
        });
        ScriptedUi ui;
        if (!message.isEmpty())
            ui.ExpectMessageContaining(message);
        // Only the two folders under test, not the build tree's copy.
        app::OpenHelpFile(nullptr, app::HelpFileCandidates(dir.filePath(u"work"_s), dir.filePath(u"bin"_s)).mid(0, 2),
            { dir.filePath(u"index.html"_s) });
        VERIFY_SCRIPT(ui);
        QCOMPARE(asked, opened);
    }
};

REGISTER_TEST(TestHelpFile)
#include "test_helpfile.moc"
