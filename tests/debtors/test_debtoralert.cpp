// The start-up alert about debtors, and the debtor count the main window keeps after each debtor window.
#include "app/vidarrodlg.h"
#include "debtors/adddolgdialog.h"
#include "debtors/debtorsound.h"
#include "debtors/finddolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "scripted.h"
#include "testmain.h"

#include "ids/main.h"

#include <QFile>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kNoFile = "<no file>";
using Alert = std::tuple<QByteArray, int, QByteArray, QStringList>; // see startUpAlert_data()

// Starts debtor command `index` (add, list, find) from its button, its menu item or its keys.
void Launch(CVidarroDlg& d, int index, const QString& via)
{
    const char key = "ISF"[index];
    if (via == u"button") {
        QTest::mouseClick(d.GetDlgItem(ids::main::Debtors), Qt::LeftButton); // opens the group
        const int command = QList { ids::main::AddDebtor, ids::main::ShowDebtors, ids::main::FindDebtor }[index];
        QTest::mouseClick(d.GetDlgItem(command), Qt::LeftButton);
    } else if (via == u"keys") {
        PressKey(d.FilmList(), Qt::Key(key), Qt::AltModifier);
    } else {
        for (QAction* item : d.findChildren<QAction*>())
            if (item->text().endsWith(u"\tAlt+"_s + QLatin1Char(key))) // none: the window fails to show
                item->trigger();
    }
}

// A debtor window started from the main window: a debtor is stored meanwhile, and it ends with `answer`.
template <class D> void ExpectLaunched(ScriptedUi& ui, TempCatalogue& cat, int answer)
{
    ui.ExpectDialog<D>([&cat, answer](D& d) {
        cat.AddDebtor({ u"Иванов"_s, u"Фильм"_s, u"n/d"_s, u"N"_s });
        d.EndDialog(answer);
    });
}

// Runs the main window; what the alert did, in order: messages (and whether the window showed yet) and sounds.
QStringList RunLogged(ScriptedUi& ui, std::function<void(CVidarroDlg&)> script)
{
    ui.ExpectDialog<CVidarroDlg>(std::move(script));
    QStringList events;
    CVidarroDlg dlg;
    app::SetMessageBoxHook([&](const QString& text, app::Buttons) {
        events << (dlg.isVisible() ? u"message over the window: "_s : u"message: "_s) + text;
        return app::IDOK;
    });
    CDebtorSound::SetPlayObserver([&](const QAudioFormat& f, qsizetype bytes) {
        events << QString::asprintf("sound: %d ch, %d Hz, %d bit, %lld bytes", f.channelCount(), f.sampleRate(),
            f.bytesPerSample() * 8, qlonglong(bytes));
    });
    dlg.DoModal();
    CDebtorSound::SetPlayObserver({});
    return events;
}
} // namespace

class TestDebtorAlert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { CDebtorSound::SetResourcePath({}); }

    void startUpAlert_data()
    {
        // The settings file (none if empty; a value alone is Message's), debtors, the sound (empty: the program's own).
        QTest::addColumn<Alert>("alert");
        const auto row = [](const char* name, const QByteArray& message, int debtors, const QByteArray& sound,
                             const QStringList& events) {
            const QByteArray ini = message.contains('=') ? message : "[Config]\r\nMessage=" + message + "\r\n";
            QTest::newRow(name) << Alert { message.isEmpty() ? message : ini, debtors, sound, events };
        };
        const QString message = u"message: Внимание Имеются должники."_s, notLoad = u"message:  Not Load"_s;
        // The program's own: 13933 frames of 16-bit stereo at 22050 Hz.
        const QString sound = u"sound: 2 ch, 22050 Hz, 16 bit, 55732 bytes"_s;
        row("no settings file", {}, 2, {}, {});
        row("0: none", "0", 2, {}, {});
        row("1: message", "1", 2, {}, { message });
        row("2: sound", "2", 1, {}, { sound });
        row("3: message, then sound", "3", 2, {}, { message, sound });
        row("7, any letter case: none", "[config]\r\nmessage=7\r\n", 2, {}, {});
        row("abc: none", "abc", 2, {}, {});
        row("leading number", "1 (message)", 2, {}, { message });
        row("3 without debtors", "3", 0, {}, {});
        // A sound that is not there or cannot be read is reported instead.
        const QByteArray good = [] {
            QFile f(CDebtorSound::DefaultResourcePath());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const auto patched
            = [&](qsizetype at, const QByteArray& with) { return QByteArray(good).replace(at, with.size(), with); };
        row("3, no sound file", "3", 1, kNoFile, { message, u"message: Not Resource"_s });
        row("2, not RIFF", "2", 1, patched(0, "RIFX"), { notLoad });
        row("2, truncated", "2", 1, good.left(good.size() / 2), { notLoad });
        row("2, float samples", "2", 1, patched(20, QByteArray("\x03\x00", 2)), { notLoad });
        row("2, 24-bit samples", "2", 1, patched(34, QByteArray("\x18\x00", 2)), { notLoad });
        // Block size 2 divides the data but does not fit 16-bit stereo.
        row("2, block align 2", "2", 1, patched(32, QByteArray("\x02\x00", 2)), { notLoad });
        row("2, no format chunk", "2", 1, patched(12, "junk"), { notLoad });
        row("2, empty data", "2", 1, patched(40, QByteArray(4, '\0')).left(44), { notLoad });
    }
    void startUpAlert()
    {
        QFETCH(Alert, alert);
        const auto& [ini, debtors, sound, events] = alert;
        TempCatalogue cat;
        cat.EnterDir();
        if (!ini.isEmpty())
            cat.WriteIni(ini);
        for (int i = 0; i < debtors; ++i)
            cat.AddDebtor({ u"Должник %1"_s.arg(i), u"Фильм"_s, u"n/d"_s, u"N"_s });
        QFile wav(QDir(cat.Dir()).filePath(u"sound.wav"_s));
        QVERIFY(
            sound.isEmpty() || sound == kNoFile || (wav.open(QIODevice::WriteOnly) && wav.write(sound) && wav.flush()));
        CDebtorSound::SetResourcePath(sound.isEmpty() ? QString() : wav.fileName());
        ScriptedUi ui;
        QCOMPARE(RunLogged(ui, [](CVidarroDlg& d) { d.EndDialog(app::IDOK); }), events);
        VERIFY_SCRIPT(ui);
    }

    void launchersRecountOnlyAfterOk_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("via");
        for (int index : { 0, 1, 2 })
            for (const QString& via : { u"button"_s, u"menu"_s, u"keys"_s })
                QTest::addRow("%d by %s", index, qPrintable(via)) << index << via;
    }
    void launchersRecountOnlyAfterOk()
    {
        QFETCH(int, index);
        QFETCH(QString, via);
        TempCatalogue cat;
        cat.EnterDir();
        cat.WriteIni("[Config]\r\nMessage=3\r\n"); // no debtors at start: no alert, nor after a recount
        ScriptedUi ui;
        const auto script = [&](CVidarroDlg& d) {
            for (const int answer : { app::IDCANCEL, app::IDOK })
                index == 0       ? ExpectLaunched<CAddDolgDialog>(ui, cat, answer)
                    : index == 1 ? ExpectLaunched<CShowDolgDialog>(ui, cat, answer)
                                 : ExpectLaunched<CFindDolgDialog>(ui, cat, answer);
            // A debtor stored from a window closed with Cancel is counted after the next "OK" only.
            for (const int shown : { 0, index == 2 ? 0 : 2 }) {
                Launch(d, index, via);
                QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: %1"_s.arg(shown));
                QCOMPARE(d.GetDlgItem(ids::main::DebtorPic)->isVisible(), shown > 0);
            }
            d.EndDialog(app::IDOK);
        };
        QCOMPARE(RunLogged(ui, script), QStringList {});
        VERIFY_SCRIPT(ui);
    }
};

REGISTER_TEST(TestDebtorAlert)
#include "test_debtoralert.moc"
