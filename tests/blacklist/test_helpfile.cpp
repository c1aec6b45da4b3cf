// The user guide: built, found in the right place, and opened the first way that works, with a message when
// none does.
#include "app/helpfile.h"
#include "scripted.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

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
        // The desktop tools, stubbed: the CHM handler query answers m_handler, xdg-open fails on m_failing.
        app::SetHelpCommandRunner([this](const QStringList& command, const app::HelpCommandDone& done) {
            if (command.first() == "xdg-mime"_L1) {
                QCOMPARE(command.last(), u"application/vnd.ms-htmlhelp"_s);
                done(m_handler.isNull() ? 1 : 0, m_handler);
                return;
            }
            QCOMPARE(command.first(), u"xdg-open"_s);
            m_opened << command.last();
            done(m_failing.contains(command.last()) ? 3 : 0, {});
        });
    }
    void cleanup() { app::SetHelpCommandRunner({}); }

    void builtGuideIsTheLastResort()
    {
        QFile chm(QStringLiteral(VIDARRO_HELP_FILE));
        QVERIFY2(chm.open(QIODevice::ReadOnly), qPrintable(chm.fileName()));
        QVERIFY(chm.size() > 10 * 1024); // a failed compile leaves an empty file
        QCOMPARE(chm.read(4), QByteArray("ITSF")); // compiled HTML help
        // Run from the build tree without a guide in the working directory.
        QTemporaryDir work;
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        app::OpenHelpFile(nullptr);
        QDir::setCurrent(old);
        QCOMPARE(m_opened, QStringList { QFileInfo(chm).absoluteFilePath() });
        // Without a CHM viewer, the HTML copy in the sources.
        m_opened.clear();
        m_handler = "";
        app::OpenHelpFile(nullptr);
        QCOMPARE(m_opened.size(), 1);
        QVERIFY(m_opened.first().endsWith(u"docs/help/index.html"_s));
    }

    void choice_data()
    {
        // The guide in the working directory and installed beside the program; null: none, but a folder of
        // that name in the working directory.
        QTest::addColumn<QByteArray>("inWorkDir");
        QTest::addColumn<QByteArray>("installed");
        QTest::addColumn<QString>("expected");
        const QByteArray chm("ITSF help");
        const QString installed = u"share/vidarro/Vidarro.chm"_s;
        QTest::newRow("working directory first") << chm << chm << u"work/Vidarro.chm"_s;
        QTest::newRow("folder is no guide") << QByteArray() << chm << installed;
        QTest::newRow("empty file skipped") << QByteArray("") << chm << installed;
        QTest::newRow("none: the HTML copy") << QByteArray("") << QByteArray() << u"share/vidarro/help/index.html"_s;
    }
    void choice()
    {
        QFETCH(QByteArray, inWorkDir);
        QFETCH(QByteArray, installed);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(u"work"_s) && dir.mkpath(u"share/vidarro/help"_s));
        const QString guide = dir.filePath(u"work/Vidarro.chm"_s);
        QVERIFY(inWorkDir.isNull() ? dir.mkdir(guide) : Write(guide, inWorkDir));
        QVERIFY(installed.isNull() || Write(dir.filePath(u"share/vidarro/Vidarro.chm"_s), installed));
        QVERIFY(Write(dir.filePath(u"share/vidarro/help/index.html"_s), "<html>"));
        // Only the folders under test, not the build tree's copies.
        const QString bin = dir.filePath(u"bin"_s);
        app::OpenHelpFile(nullptr, app::HelpFileCandidates(dir.filePath(u"work"_s), bin).mid(0, 2),
            app::HelpPageCandidates(bin).mid(0, 1));
        QCOMPARE(m_opened, QStringList { dir.filePath(expected) });
    }

    void fallbackChain_data()
    {
        QTest::addColumn<bool>("withChm");
        QTest::addColumn<bool>("withPage");
        QTest::addColumn<QByteArray>("handler"); // null: the query itself fails
        QTest::addColumn<QStringList>("failing"); // the files xdg-open fails on
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("message"); // a part of it; empty: none
        const QString chm = u"Vidarro.chm"_s, page = u"index.html"_s;
        QTest::newRow("CHM viewer") << true << true << QByteArray("xchm.desktop") << QStringList()
                                    << QStringList { chm } << QString();
        QTest::newRow("no CHM viewer") << true << true << QByteArray(" \n") << QStringList() << QStringList { page }
                                       << QString();
        QTest::newRow("query fails") << true << true << QByteArray() << QStringList() << QStringList { page }
                                     << QString();
        QTest::newRow("viewer fails") << true << true << QByteArray("xchm.desktop") << QStringList { chm }
                                      << QStringList { chm, page } << QString();
        QTest::newRow("browser fails too") << true << true << QByteArray("xchm.desktop") << QStringList { chm, page }
                                           << QStringList { chm, page } << u"или «"_s;
        QTest::newRow("only the CHM, no viewer") << true << false << QByteArray("") << QStringList() << QStringList()
                                                 << u"Vidarro.chm»: на компьютере нет"_s;
        QTest::newRow("nothing installed")
            << false << false << QByteArray("x") << QStringList() << QStringList() << u"не найден"_s;
    }
    void fallbackChain()
    {
        QFETCH(bool, withChm);
        QFETCH(bool, withPage);
        QFETCH(QByteArray, handler);
        QFETCH(QStringList, failing);
        QFETCH(QStringList, opened);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const auto path = [&](const QString& name) { return dir.filePath(name); };
        QVERIFY(!withChm || Write(path(u"Vidarro.chm"_s), "ITSF"));
        QVERIFY(!withPage || Write(path(u"index.html"_s), "<html>"));
        m_handler = handler;
        for (const QString& f : failing)
            m_failing << path(f);
        ScriptedUi ui;
        if (!message.isEmpty())
            ui.ExpectMessageContaining(message);
        app::OpenHelpFile(nullptr, { path(u"Vidarro.chm"_s) }, { path(u"index.html"_s) });
        VERIFY_SCRIPT(ui);
        QStringList expected;
        for (const QString& f : opened)
            expected << path(f);
        QCOMPARE(m_opened, expected);
    }

private:
    QStringList m_opened;
    QByteArray m_handler;
    QStringList m_failing;
};

QTEST_MAIN(TestHelpFile)
#include "test_helpfile.moc"
