// The settings file read and written as the Windows profile functions do it, in Windows-1251.
#include "prevfixtures.h"
#include "testmain.h"

#include "settings/profile.h"

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using settings::GetPrivateProfileInt;
using settings::GetPrivateProfileString;

class TestProfile : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    QString Path(const QString& name = u"Korvel.ini"_s) const { return m_dir->filePath(name); }
    void Put(const QByteArray& bytes) const { QVERIFY(prev::WriteBytes(Path(), bytes)); }
    QByteArray Bytes() const { return prev::ReadBytes(Path()); }
    QString Get(const QString& section, const QString& key, const QString& def = u"def"_s) const
    {
        return GetPrivateProfileString(section, key, def, Path());
    }
    QString Write(const QString& section, const QList<std::pair<QString, QString>>& entries, QString path = {}) const
    {
        return prev::ErrorOf(
            [&] { settings::WritePrivateProfileStrings(section, entries, path.isEmpty() ? Path() : path); });
    }
    // Only the settings file is in the folder: no temporary file left behind.
    bool Alone() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)
            == QStringList { u"Korvel.ini"_s };
    }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void reading()
    {
        // Odd lines, blanks and quotes; [Настройки] Цвет=да in Windows-1251 last, with LF and no final newline.
        Put("A=0\r\n[Other]\r\nB=1\r\n  [ config ]  \r\n;C=3\r\nC\r\n \t D  =  12 x  \t\r\nd=2\r\nE=\r\nF=a=b\r\n"
            "G=\"\" 12 \"\"\r\nH='x'\r\nI=\"x'\r\n"
            + QByteArrayLiteral("\x00\xFF\x13garbage\r\n[\r\n=\r\n\x01\x02\r\n")
            + "J=\"-4x\"\r\nM=" + QByteArray(250, 'x') + "\r\nN=\"" + QByteArray(250, 'x')
            + "\"\r\n[Config]\r\nK=1\r\n[a]b] ; note\r\nK=1\r\n"
              "[\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8]\n\xD6\xE2\xE5\xF2=\xE4\xE0\nL=5");
        // Names without case, the first match winning; values cut to the buffer, 200 by default, quotes first.
        for (const QString& query : { u"Config|A|def"_s, u"CONFIG|B|def"_s, u"Config|C|def"_s, u" Config |d |12 x"_s,
                 u"Config|E|"_s, u"Config|F|a=b"_s, u"Config|G|\" 12 \""_s, u"Config|H|x"_s, u"Config|I|\"x'"_s,
                 u"Config|J|-4x"_s, u"Config|K|def"_s, u"a]b|K|1"_s, u"НАСТРОЙКИ|цВЕТ|да"_s, u"Настройки|L|5"_s,
                 u"Config|M|"_s + QString(199, u'x'), u"Config|N|"_s + QString(199, u'x') }) {
            const QStringList q = prev::R(query);
            QCOMPARE(q[0] + u'|' + q[1] + u'|' + Get(q[0], q[1]), query);
        }
        QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"J"_s, Path()), -4);
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"M"_s, QString(), Path(), 10), QString(9, u'x'));
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"M"_s, QString(), Path(), 1), QString());
        QCOMPARE(Get(u"Config"_s, u"None"_s, QString(300, u'd')), QString(199, u'd'));
        // A missing file gives the default without its trailing blanks, and is not created.
        QVERIFY(QFile::remove(Path()));
        QCOMPARE(Get(u"Config"_s, u"A"_s, u" 7  "_s), u" 7"_s);
        QVERIFY(!QFile::exists(Path()));
    }

    void writeEditsOneLine()
    {
        // Comments, other sections, odd lines, cp1251 text and spacing stay byte for byte.
        const QByteArray head = "; \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8\r\n[Other]\r\nMessage=9\r\n\r\n[config]\r\n";
        const QByteArray tail = "odd line\r\nTable = 1 \r\n\r\n; end\r\n[Last]\r\nX=\xC4\r\n";
        const std::tuple<QByteArray, QString, QString, QByteArray> rows[]
            = { { QByteArray(), u"Message"_s, u"-1"_s, "[Config]\r\nMessage=-1\r\n" },
                  { head + "  message = 1  \r\n" + tail, u"Message"_s, u"2"_s, head + "  message = 2\r\n" + tail },
                  { "[Config]\r\nMessage=1", u"Message"_s, u"7"_s, "[Config]\r\nMessage=7" },
                  { "[Config]\r\nMessage=1\r\n; note\r\n\r\n[Other]\r\nA=1\r\n", u"Table"_s, u"1"_s,
                      "[Config]\r\nMessage=1\r\n; note\r\nTable=1\r\n\r\n[Other]\r\nA=1\r\n" },
                  { "[Config]", u"Table"_s, u"1"_s, "[Config]\r\nTable=1\r\n" },
                  { "[Config]\r\nA=1\r\n[CONFIG]\r\nMessage=2\r\n", u"Message"_s, u"5"_s,
                      "[Config]\r\nA=1\r\nMessage=5\r\n[CONFIG]\r\nMessage=2\r\n" },
                  { "[Other]\nA=1", u"Message"_s, u"1"_s, "[Other]\nA=1\n\n[Config]\nMessage=1\n" },
                  { QByteArrayLiteral("\x00\xFF\x01\x98\r\n"), u"Message"_s, u"1"_s,
                      QByteArrayLiteral("\x00\xFF\x01\x98\r\n\r\n[Config]\r\nMessage=1\r\n") },
                  { "[Config]\r\n", u"Name"_s, u"€Ёё№Ая"_s, "[Config]\r\nName=\x88\xA8\xB8\xB9\xC0\xFF\r\n" },
                  { "\xEF\xBB\xBF[Config]\r\nName=x\r\n", u"Name"_s, u"Да"_s,
                      "\xEF\xBB\xBF[Config]\r\nName=\xD0\x94\xD0\xB0\r\n" } };
        for (const auto& [before, key, value, after] : rows) { // before: null for no file yet
            if (!before.isNull())
                Put(before);
            QCOMPARE(Write(u"Config"_s, { { key, value } }), QString());
            QCOMPARE(Bytes(), after);
            QCOMPARE(Get(u"Config"_s, key), value);
            QVERIFY(Alone());
        }
    }

    void refusedWritesChangeNothing()
    {
        // A character Windows-1251 lacks (named), or what would not read back; also as the second of two keys.
        const QByteArray before = "[Config]\r\nMessage=1\r\n";
        Put(before);
        for (const QString& row : { u"Config|Message|Müller|«ü»"_s, u"Config|Message|a😀|«😀»"_s, u"Config|Ключ中|1"_s,
                 u" |Message|1"_s, u"Config||1"_s, u"Config|a=b|1"_s, u"Config|;Message|1"_s, u"Config|[Other]|1"_s,
                 u"Con\nfig|Message|1"_s, u"Config|Message|1\r\n[Config]\r\nTable=-1"_s,
                 u"Config|Message|1"_s + QChar(0) + u'2' }) {
            const QStringList r = prev::R(row);
            const QString error = Write(r[0], { { u"Table"_s, u"5"_s }, { r[1], r[2] } });
            QVERIFY2(error.contains(QDir::toNativeSeparators(Path())) && error.contains(r.value(3)), qPrintable(error));
            QVERIFY(!Write(r[0], { { r[1], r[2] } }, Path(u"new.ini"_s)).isEmpty());
        }
        QCOMPARE(Bytes(), before);
        // What cannot be read as a settings file is never replaced by a fresh one.
        Put(QByteArrayLiteral("\xFF\xFE[\x00"));
        QVERIFY(Write(u"Config"_s, { { u"Message"_s, u"1"_s } }).contains(u"Файл не изменён"_s));
        QCOMPARE(Bytes(), QByteArrayLiteral("\xFF\xFE[\x00"));
        // A file size limit makes writing the new file fail after the old one was read: the old one stays.
        Put(before);
        rlimit saved {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0 && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR);
        const rlimit small { 100, saved.rlim_max };
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString error = Write(u"Config"_s, { { u"Message"_s, QString(500, u'9') } });
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY2(error.contains(u"Файл не изменён"_s), qPrintable(error));
        QCOMPARE(Bytes(), before);
        QVERIFY(Alone());
    }

    void sizeLimit()
    {
        // A write past 4 MB is refused byte for byte; two keys fit in one write; a larger file reads up to 4 MB.
        const QByteArray head = "[Config]\r\nMessage=3\r\n";
        const QByteArray pad = "; " + QByteArray(4 * 1024 * 1024 - head.size() - 20, 'x') + "\r\n";
        Put(head + pad);
        QVERIFY(Write(u"Config"_s, { { u"Table"_s, QString(30, u'1') } }).contains(u"больше 4 МБ"_s));
        QCOMPARE(Bytes(), head + pad);
        QCOMPARE(Write(u"Config"_s, { { u"Message"_s, u"2"_s }, { u"Table"_s, u"1"_s } }), QString());
        QCOMPARE(Bytes(), "[Config]\r\nMessage=2\r\n" + pad + "Table=1\r\n");
        Put(head + pad + pad);
        QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Message"_s, Path()), 3);
    }
};

REGISTER_TEST(TestProfile)
#include "test_profile.moc"
