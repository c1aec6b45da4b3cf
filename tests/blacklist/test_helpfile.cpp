// The user guide: built, found in the right place, and handed to the desktop only when it is there.
#include "app/helpfile.h"
#include "testmain.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

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
        app::SetDesktopOpenHook([this](const QUrl& url) {
            m_opened << url.toLocalFile();
            return true;
        });
    }
    void cleanup() { app::SetDesktopOpenHook({}); }

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
        QTest::newRow("none: the desktop is not asked") << QByteArray("") << QByteArray() << QString();
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
        QCOMPARE(app::OpenHelpFile(candidates), !expected.isEmpty());
        QCOMPARE(m_opened, expected.isEmpty() ? QStringList() : QStringList { dir.filePath(expected) });
    }

private:
    QStringList m_opened;
};

REGISTER_TEST(TestHelpFile)
#include "test_helpfile.moc"
