// The settings file read and written as the Windows profile functions do: names matched without case, the
// first match winning, the 199-character cut, atoi, one line edited with every other byte kept, Windows-1251,
// and writes that fail leaving everything as it was.
#include "testmain.h"

#include "settings/profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;
using settings::GetPrivateProfileInt;
using settings::GetPrivateProfileString;
using settings::WritePrivateProfileString;

class TestProfile : public QObject {
    Q_OBJECT

    QString Path(const QString& name = u"Korvel.ini"_s) const { return m_dir->filePath(name); }
    QString Put(const QByteArray& bytes) const
    {
        QFile file(Path());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return Path();
    }
    QByteArray Bytes() const
    {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QStringList Entries() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // "def" is the default
        const auto row = [](const char* tag, const QByteArray& file, const QString& section, const QString& key,
                             const QString& expected) { QTest::newRow(tag) << file << section << key << expected; };
        const QByteArray odd = "Message=1\r\n[Other]\r\nTable=1\r\n[Config]\r\n;Message=3\r\nMessage\r\n";
        row("key before any section, commented, without '='", odd, u"Config"_s, u"Message"_s, u"def"_s);
        row("key of another section", odd, u"Config"_s, u"Table"_s, u"def"_s);
        row("case of names", "[config]\r\nmESSAGE=3\r\n", u"CONFIG"_s, u"Message"_s, u"3"_s);
        // [Настройки] Цвет=да, in Windows-1251.
        row("case of Cyrillic names", "[\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8]\r\n\xD6\xE2\xE5\xF2=\xE4\xE0\r\n",
            u"НАСТРОЙКИ"_s, u"цВЕТ"_s, u"да"_s);
        row("blanks around everything", "  [ Config ]  \r\n \t Message  =  12 x  \t\r\n", u" Config "_s, u"Message "_s,
            u"12 x"_s);
        row("first key wins", "[Config]\r\nMessage=1\r\nmessage=2\r\n", u"Config"_s, u"Message"_s, u"1"_s);
        row("first section wins", "[Config]\r\nTable=1\r\n[Config]\r\nMessage=2\r\n", u"Config"_s, u"Message"_s,
            u"def"_s);
        row("empty value is no default", "[Config]\r\nMessage=\r\n", u"Config"_s, u"Message"_s, QString());
        row("equals sign in value", "[Config]\r\nPath=a=b\r\n", u"Config"_s, u"Path"_s, u"a=b"_s);
        row("one pair of quotes stripped", "[Config]\r\nA=\"\" 12 \"\"\r\n", u"Config"_s, u"A"_s, u"\" 12 \""_s);
        row("single quotes stripped", "[Config]\r\nA='x'\r\n", u"Config"_s, u"A"_s, u"x"_s);
        row("unmatched quotes kept", "[Config]\r\nA=\"x'\r\n", u"Config"_s, u"A"_s, u"\"x'"_s);
        row("LF, no final newline", "[Config]\nMessage=5", u"Config"_s, u"Message"_s, u"5"_s);
        row("section name to last bracket", "[a]b] ; note\r\nK=1\r\n", u"a]b"_s, u"K"_s, u"1"_s);
        row("UTF-8 with signature", "\xEF\xBB\xBF[Config]\r\nName=\xD0\x94\xD0\xB0\r\n", u"Config"_s, u"Name"_s,
            u"Да"_s);
        row("damaged lines skipped",
            QByteArrayLiteral("\x00\xFF\x13garbage\r\n[\r\n=\r\n[Config]\r\n\x01\x02\r\nMessage=4"), u"Config"_s,
            u"Message"_s, u"4"_s);
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(GetPrivateProfileString(section, key, u"def"_s, Put(file)), expected);
    }

    void cutsDefaultsAndNumbers()
    {
        // A missing file gives the default, without its trailing blanks, and is not created.
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Message"_s, u" 7  "_s, Path()), u" 7"_s);
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"Message"_s, QString(), Path()), QString());
        QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Table"_s, Path()), 0);
        QVERIFY(!QFile::exists(Path()));
        // Values and defaults are cut to the buffer, 200 characters by default, as the Windows call does.
        const QByteArray longValue(250, 'x');
        const QString path = Put("[Config]\r\nA=" + longValue + "\r\nB=\"" + longValue + "\"\r\n");
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"A"_s, QString(), path), QString(199, u'x'));
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"B"_s, QString(), path), QString(199, u'x'));
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"A"_s, QString(), path, 10), QString(9, u'x'));
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"A"_s, QString(), path, 1), QString());
        QCOMPARE(GetPrivateProfileString(u"Config"_s, u"None"_s, QString(300, u'd'), path), QString(199, u'd'));
        // Numbers as C atoi reads the value.
        const QList<std::pair<QByteArray, int>> numbers { { "1", 1 }, { " 2abc", 2 }, { "abc", 0 }, { "-1", -1 },
            { "", 0 }, { "\"3\"", 3 } };
        for (const auto& [text, number] : numbers)
            QCOMPARE(GetPrivateProfileInt(u"Config"_s, u"Table"_s, Put("[Config]\r\nTable=" + text + "\r\n")), number);
    }

    void writeEditsOneLine_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file yet
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* tag, const QByteArray& before, const QString& key, const QString& value,
                             const QByteArray& after) { QTest::newRow(tag) << before << key << value << after; };
        // Comments, other sections, odd lines, cp1251 text and spacing stay byte for byte.
        const QByteArray head = "; \xED\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8\r\n[Other]\r\nMessage=9\r\n\r\n[config]\r\n";
        const QByteArray tail = "odd line\r\nTable = 1 \r\n\r\n; end\r\n[Last]\r\nX=\xC4\r\n";
        row("replace, names in another case", head + "  message = 1  \r\n" + tail, u"Message"_s, u"2"_s,
            head + "  message = 2\r\n" + tail);
        row("mixed endings kept", "[Config]\r\nMessage=1\nTable=1\r\n", u"Table"_s, u"0"_s,
            "[Config]\r\nMessage=1\nTable=0\r\n");
        row("no final newline, replace", "[Config]\r\nMessage=1", u"Message"_s, u"7"_s, "[Config]\r\nMessage=7");
        row("key added after the section's last line", "[Config]\r\nMessage=1\r\n; note\r\n\r\n[Other]\r\nA=1\r\n",
            u"Table"_s, u"1"_s, "[Config]\r\nMessage=1\r\n; note\r\nTable=1\r\n\r\n[Other]\r\nA=1\r\n");
        row("key added to bare header", "[Config]", u"Table"_s, u"1"_s, "[Config]\r\nTable=1\r\n");
        row("key goes to first of equal sections", "[Config]\r\nA=1\r\n[CONFIG]\r\nMessage=2\r\n", u"Message"_s, u"5"_s,
            "[Config]\r\nA=1\r\nMessage=5\r\n[CONFIG]\r\nMessage=2\r\n");
        row("section added", "[Other]\r\nA=1\r\n", u"Message"_s, u"1"_s,
            "[Other]\r\nA=1\r\n\r\n[Config]\r\nMessage=1\r\n");
        row("section added, LF, no final newline", "[Other]\nA=1", u"Message"_s, u"1"_s,
            "[Other]\nA=1\n\n[Config]\nMessage=1\n");
        row("no file", QByteArray(), u"Message"_s, u"-1"_s, "[Config]\r\nMessage=-1\r\n");
        row("empty file", "", u"Message"_s, u"1"_s, "[Config]\r\nMessage=1\r\n");
        row("damaged bytes kept", QByteArrayLiteral("\x00\xFF\x01\x98\r\n"), u"Message"_s, u"1"_s,
            QByteArrayLiteral("\x00\xFF\x01\x98\r\n\r\n[Config]\r\nMessage=1\r\n"));
        row("UTF-8 with signature stays UTF-8", "\xEF\xBB\xBF[Config]\r\nName=x\r\n", u"Name"_s, u"Да"_s,
            "\xEF\xBB\xBF[Config]\r\nName=\xD0\x94\xD0\xB0\r\n");
    }

    void writeEditsOneLine()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            Put(before);
        QString error;
        QVERIFY2(WritePrivateProfileString(u"Config"_s, key, value, Path(), &error), qPrintable(error));
        QCOMPARE(Bytes(), after);
        QCOMPARE(GetPrivateProfileString(u"Config"_s, key, u"def"_s, Path()), value);
        QCOMPARE(Entries(), QStringList { u"Korvel.ini"_s }); // no temporary file left behind
    }

    void cp1251RoundTrip()
    {
        const QString value = u"Ёжик №5 — «тест», ЯЯ яя"_s;
        QString error;
        QVERIFY2(WritePrivateProfileString(u"Настройки"_s, u"Имя"_s, value, Path(), &error), qPrintable(error));
        QCOMPARE(GetPrivateProfileString(u"НАСТРОЙКИ"_s, u"имя"_s, QString(), Path()), value);

        // Every upper byte means its Windows-1251 character and is written back as the same byte.
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b)
            high += char(b);
        Put("[Config]\r\nAll=" + high + "\r\n");
        const QString all = GetPrivateProfileString(u"Config"_s, u"All"_s, QString(), Path());
        QCOMPARE(all.size(), 128);
        QCOMPARE(QString { all[0x08] } + all[0x28] + all[0x38] + all[0x39] + all[0x40] + all[0x7F], u"€Ёё№Ая"_s);
        QVERIFY2(WritePrivateProfileString(u"Config"_s, u"Copy"_s, all, Path(), &error), qPrintable(error));
        QCOMPARE(Bytes(), "[Config]\r\nAll=" + high + "\r\nCopy=" + high + "\r\n");
    }

    void refusedNamesAndValues()
    {
        // A character Windows-1251 lacks (named in the message), or what the file could not read back.
        const QList<QStringList> refused { { u"Config"_s, u"Message"_s, u"Müller"_s, u"«ü»"_s },
            { u"Config"_s, u"Message"_s, u"a😀"_s, u"«😀»"_s }, { u"Config"_s, u"Ключ中"_s, u"1"_s },
            { u" "_s, u"Message"_s, u"1"_s }, { u"Config"_s, QString(), u"1"_s }, { u"Config"_s, u"a=b"_s, u"1"_s },
            { u"Config"_s, u";Message"_s, u"1"_s }, { u"Config"_s, u"[Other]"_s, u"1"_s },
            { u"Con\nfig"_s, u"Message"_s, u"1"_s }, { u"Config"_s, u"Message"_s, u"1\r\n[Config]\r\nTable=-1"_s },
            { u"Config"_s, u"Message"_s, QString::fromUtf16(u"1\0002", 3) } };
        const QByteArray before = "[Config]\r\nMessage=1\r\n";
        Put(before);
        for (const QStringList& r : refused) {
            QString error;
            QVERIFY2(!WritePrivateProfileString(r[0], r[1], r[2], Path(), &error), qPrintable(r.join(u'|')));
            QVERIFY2(error.contains(QDir::toNativeSeparators(Path())) && error.contains(r.value(3)), qPrintable(error));
            QVERIFY(!WritePrivateProfileString(r[0], r[1], r[2], Path(u"new.ini"_s), &error));
        }
        QCOMPARE(Bytes(), before);
        QCOMPARE(Entries(), QStringList { u"Korvel.ini"_s });
    }

    void failedWritesChangeNothing()
    {
        // Tests run as root, which writes into read-only folders: these failures stop root too. A folder in the
        // file's place or as its parent is in test_configdialog.
        QString error;
        // What cannot be read as a settings file is never replaced by a fresh one.
        Put(QByteArrayLiteral("\xFF\xFE[\x00"));
        QVERIFY(!WritePrivateProfileString(u"Config"_s, u"Message"_s, u"1"_s, Path(), &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(Path())) && error.contains(u"Файл не изменён"_s),
            qPrintable(error));
        QCOMPARE(Bytes(), QByteArrayLiteral("\xFF\xFE[\x00"));

#ifdef Q_OS_UNIX
        // A file size limit makes writing the new file fail after the old one was read: the old one stays.
        const QByteArray before = "; keep me\r\n[Config]\r\nMessage=1\r\nTable=1\r\n";
        Put(before);
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = WritePrivateProfileString(u"Config"_s, u"Message"_s, QString(500, u'9'), Path(), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QVERIFY2(error.contains(QDir::toNativeSeparators(Path())) && error.contains(u"Файл не изменён"_s),
            qPrintable(error));
        QCOMPARE(Bytes(), before);
        QCOMPARE(Entries(), QStringList { u"Korvel.ini"_s });
#endif
    }
};

REGISTER_TEST(TestProfile)
#include "test_profile.moc"
