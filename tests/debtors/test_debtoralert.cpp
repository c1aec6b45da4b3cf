#include "app/vidarrodlg.h"
#include "debtors/adddolgdialog.h"
#include "debtors/debtorsound.h"
#include "debtors/finddolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include <QFile>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {
const QString kAlert = u"Внимание Имеются должники."_s;
const QByteArray kNoFile = "<no file>";

QByteArray OwnSound()
{
    QFile f(CDebtorSound::DefaultResourcePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Starts a command of the debtors' group of the main window from its button, its menu item or its keys.
void Launch(CVidarroDlg& d, int command, const QString& via)
{
    const int index = command - 1008;
    if (via == u"button") {
        QTest::mouseClick(d.GetDlgItem(1001), Qt::LeftButton); // opens the group
        QTest::mouseClick(d.GetDlgItem(command), Qt::LeftButton);
    } else if (via == u"keys") {
        PressKey(d.FilmList(), QList<Qt::Key> { Qt::Key_I, Qt::Key_S, Qt::Key_F }[index], Qt::AltModifier);
    } else {
        const QString text = QStringList { u"Добавить"_s, u"Посмотреть список"_s, u"Найти"_s }[index];
        for (QAction* group : d.findChildren<QAction*>())
            if (group->text() == u"Правка должников" && group->menu())
                for (QAction* item : group->menu()->actions())
                    if (item->text().section(u'\t', 0, 0) == text) {
                        item->trigger();
                        return;
                    }
        QFAIL("no menu item");
    }
}

// A window started from the main window: it got the paths, a debtor is stored meanwhile, and it ends with `answer`.
template <class D> void ExpectLaunched(ScriptedUi& ui, TempCatalogue& cat, int answer)
{
    ui.ExpectDialog<D>([&cat, answer](D& d) {
        QCOMPARE(d.m_strBasePath, cat.BasePath());
        if constexpr (!std::is_same_v<D, CAddDolgDialog>)
            QCOMPARE(d.m_strIniPath, cat.IniPath());
        cat.AddDebtor({ u"Иванов"_s, u"Фильм"_s, u"n/d"_s, u"N"_s });
        d.EndDialog(answer);
    });
}

// What the start-up alert did, in order: messages (and whether the main window was shown yet) and sounds.
class AlertLog {
public:
    explicit AlertLog(const CVidarroDlg* window)
    {
        app::SetMessageBoxHook([this, window](const QString& text, app::Buttons) {
            m_events << (window->isVisible() ? u"message over the window: "_s : u"message: "_s) + text;
            return app::IDOK;
        });
        CDebtorSound::SetPlayObserver([this](const QAudioFormat& f, qsizetype bytes) {
            m_events << QString::asprintf("sound: %d ch, %d Hz, %d bit, %lld bytes", f.channelCount(), f.sampleRate(),
                f.bytesPerSample() * 8, qlonglong(bytes));
        });
    }
    ~AlertLog()
    {
        app::SetMessageBoxHook({});
        CDebtorSound::SetPlayObserver({});
    }
    const QStringList& Events() const { return m_events; }

private:
    QStringList m_events;
};
} // namespace

class TestDebtorAlert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_cat = std::make_unique<TempCatalogue>();
        QVERIFY(m_cat->IsValid());
        m_cat->EnterDir();
    }

    void cleanup()
    {
        CDebtorSound::SetResourcePath({});
        m_cat.reset();
    }

    void startUpAlert_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("debtors");
        QTest::addColumn<QByteArray>("sound"); // empty: the program's own
        QTest::addColumn<QStringList>("events");
        const QString message = u"message: "_s + kAlert;
        // Read from the data carried in the program: 13933 frames of 16-bit stereo at 22050 Hz.
        const QString sound = u"sound: 2 ch, 22050 Hz, 16 bit, 55732 bytes"_s;
        const QByteArray mode1 = "[Config]\r\nMessage=1\r\n", mode2 = "[Config]\r\nMessage=2\r\n";
        const QByteArray mode3 = "[Config]\r\nMessage=3\r\n";
        QTest::newRow("no settings file") << QByteArray() << 2 << QByteArray() << QStringList {};
        QTest::newRow("0: none") << QByteArray("[Config]\r\nMessage=0\r\n") << 2 << QByteArray() << QStringList {};
        QTest::newRow("1: message") << mode1 << 2 << QByteArray() << QStringList { message };
        QTest::newRow("2: sound") << mode2 << 1 << QByteArray() << QStringList { sound };
        QTest::newRow("3: message, then sound") << mode3 << 2 << QByteArray() << QStringList { message, sound };
        QTest::newRow("7: none") << QByteArray("[config]\r\nmessage=7\r\n") << 2 << QByteArray() << QStringList {};
        QTest::newRow("abc: none") << QByteArray("[Config]\r\nMessage=abc\r\n") << 2 << QByteArray() << QStringList {};
        QTest::newRow("leading number") << QByteArray("[Config]\r\nMessage=1 (message)\r\n") << 2 << QByteArray()
                                        << QStringList { message };
        QTest::newRow("3 without debtors") << mode3 << 0 << QByteArray() << QStringList {};

        // A sound that is not there or cannot be read is reported instead.
        const QByteArray good = OwnSound();
        auto patched = [&](qsizetype at, QByteArray with) { return QByteArray(good).replace(at, with.size(), with); };
        QTest::newRow("3, no sound file")
            << mode3 << 1 << kNoFile << QStringList { message, u"message: Not Resource"_s };
        const QString notLoad = u"message:  Not Load"_s;
        QTest::newRow("2, not RIFF") << mode2 << 1 << patched(0, "RIFX") << QStringList { notLoad };
        QTest::newRow("2, truncated") << mode2 << 1 << good.left(good.size() / 2) << QStringList { notLoad };
        QTest::newRow("2, float samples")
            << mode2 << 1 << patched(20, QByteArray("\x03\x00", 2)) << QStringList { notLoad };
        QTest::newRow("2, 24-bit samples")
            << mode2 << 1 << patched(34, QByteArray("\x18\x00", 2)) << QStringList { notLoad };
        // A block size that does not fit channels and sample size, though it divides the data.
        QTest::newRow("2, block align 2 for 16-bit stereo")
            << mode2 << 1 << patched(32, QByteArray("\x02\x00", 2)) << QStringList { notLoad };
        QTest::newRow("2, no format chunk") << mode2 << 1 << patched(12, "junk") << QStringList { notLoad };
        QTest::newRow("2, empty data") << mode2 << 1 << patched(40, QByteArray(4, '\0')).left(44)
                                       << QStringList { notLoad };
    }
    void startUpAlert()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, debtors);
        QFETCH(QByteArray, sound);
        QFETCH(QStringList, events);
        if (!ini.isEmpty())
            m_cat->WriteIni(ini);
        for (int i = 0; i < debtors; ++i)
            m_cat->AddDebtor({ u"Должник %1"_s.arg(i), u"Фильм"_s, u"n/d"_s, u"N"_s });
        if (!sound.isEmpty()) {
            const QString path = QDir(m_cat->Dir()).filePath(u"sound.wav"_s);
            QFile f(path);
            QVERIFY(sound == kNoFile || (f.open(QIODevice::WriteOnly) && f.write(sound) == sound.size()));
            CDebtorSound::SetResourcePath(path);
        }
        ScriptedUi ui;
        ui.ExpectDialog<CVidarroDlg>([](CVidarroDlg& d) { d.EndDialog(app::IDOK); });
        CVidarroDlg dlg;
        AlertLog log(&dlg);
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
        QCOMPARE(log.Events(), events);
    }

    void launchersRecountOnlyAfterOk_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("via");
        for (int command : { 1008, 1009, 1010 })
            for (const QString& via : { u"button"_s, u"menu"_s, u"keys"_s })
                QTest::addRow("%d by %s", command, qPrintable(via)) << command << via;
    }
    void launchersRecountOnlyAfterOk()
    {
        QFETCH(int, command);
        QFETCH(QString, via);
        m_cat->WriteIni("[Config]\r\nMessage=3\r\n"); // no debtors at start: no alert, nor after a recount
        ScriptedUi ui;
        ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
            // A debtor stored from a window closed with Cancel is counted after the next "OK" only.
            for (const int shown : { 0, command == 1010 ? 0 : 2 }) {
                Launch(d, command, via);
                QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: %1"_s.arg(shown));
                QCOMPARE(d.GetDlgItem(1042)->isVisible(), shown > 0);
            }
            d.EndDialog(app::IDOK);
        });
        for (const int answer : { app::IDCANCEL, app::IDOK })
            command == 1008       ? ExpectLaunched<CAddDolgDialog>(ui, *m_cat, answer)
                : command == 1009 ? ExpectLaunched<CShowDolgDialog>(ui, *m_cat, answer)
                                  : ExpectLaunched<CFindDolgDialog>(ui, *m_cat, answer);
        CVidarroDlg dlg;
        AlertLog log(&dlg);
        dlg.DoModal();
        VERIFY_SCRIPT(ui);
        QVERIFY(log.Events().isEmpty());
    }

private:
    std::unique_ptr<TempCatalogue> m_cat;
};

REGISTER_TEST(TestDebtorAlert)
#include "test_debtoralert.moc"
