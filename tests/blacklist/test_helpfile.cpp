// The user guide: found in the right place, and opened the first way that works, else named in a message.
#include "app/helpfile.h"
#include "scripted.h"
#include "testmain.h"

#include <QDir>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {
bool Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

class TestHelpFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_opened.clear();
        m_handler = "xchm.desktop\n";
        m_failing.clear();
        // The desktop tools: the CHM handler query answers m_handler, xdg-open fails on m_failing.
        app::SetHelpCommandRunner([this](const QStringList& command, const app::HelpCommandDone& done) {
            if (command.first() == "xdg-mime"_L1)
                return done(m_handler.isNull() ? 1 : 0, m_handler);
            m_opened << command.last();
            done(m_failing.contains(QFileInfo(command.last()).fileName()) ? 3 : 0, {});
        });
    }
    void cleanup() { app::SetHelpCommandRunner({}); }

    void choice_data()
    {
        // The copies in the working directory and installed beside the program; null: none, but a folder of
        // that name in the working directory.
        QTest::addColumn<QByteArray>("inWorkDir");
        QTest::addColumn<QByteArray>("installed");
        QTest::addColumn<QString>("expected");
        const QByteArray chm("ITSF help");
        const QString installed = u"share/vidarro/Vidarro.chm"_s;
        QTest::newRow("working directory first") << chm << chm << u"work/Vidarro.chm"_s;
        QTest::newRow("folder is no guide") << QByteArray() << chm << installed;
        QTest::newRow("empty file skipped") << QByteArray("") << chm << installed;
    }
    void choice()
    {
        QFETCH(QByteArray, inWorkDir);
        QFETCH(QByteArray, installed);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(u"work"_s) && dir.mkpath(u"share/vidarro"_s));
        const QString guide = dir.filePath(u"work/Vidarro.chm"_s);
        QVERIFY(inWorkDir.isNull() ? dir.mkdir(guide) : Write(guide, inWorkDir));
        QVERIFY(installed.isNull() || Write(dir.filePath(u"share/vidarro/Vidarro.chm"_s), installed));
        // Only the two folders under test, not the build tree's copy.
        const QStringList candidates
            = app::HelpFileCandidates(dir.filePath(u"work"_s), dir.filePath(u"bin"_s)).mid(0, 2);
        app::OpenHelpFile(nullptr, candidates, {});
        QCOMPARE(m_opened, QStringList { dir.filePath(expected) });
    }

    void fallbackChain_data()
    {
        // Files there, the CHM handler named, those xdg-open fails on and is asked to open, the message shown.
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QByteArray>("handler");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("message");
        const QStringList both { u"Vidarro.chm"_s, u"index.html"_s }, chm { both[0] }, page { both[1] }, none;
        QTest::newRow("no CHM viewer") << both << QByteArray(" \n") << none << page << QString();
        QTest::newRow("browser fails too") << both << QByteArray("xchm") << both << both << u"или «"_s;
        QTest::newRow("CHM only, no viewer") << chm << QByteArray("") << none << none << u"chm»: на компьютере нет"_s;
        QTest::newRow("nothing installed") << none << QByteArray("x") << none << none << u"не найден"_s;
    }
    void fallbackChain()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, failing);
        QFETCH(QStringList, opened);
        QFETCH(QString, message);
        QFETCH(QByteArray, handler);
        m_handler = handler;
        QTemporaryDir dir;
        const QDir d(dir.path());
        for (const QString& f : present)
            QVERIFY(Write(d.filePath(f), "ITSF"));
        m_failing = failing;
        ScriptedUi ui;
        if (!message.isEmpty())
            ui.ExpectMessageContaining(message);
        app::OpenHelpFile(nullptr, { d.filePath(u"Vidarro.chm"_s) }, { d.filePath(u"index.html"_s) });
        VERIFY_SCRIPT(ui);
        for (QString& f : m_opened)
            f = QFileInfo(f).fileName();
        QCOMPARE(m_opened, opened);
    }

private:
    QStringList m_opened;
    QByteArray m_handler;
    QStringList m_failing;
};

REGISTER_TEST(TestHelpFile)
#include "test_helpfile.moc"
