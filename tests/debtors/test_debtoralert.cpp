#include "app/vidarrodlg.h"
#include "debtors/adddolgdialog.h"
#include "debtors/debtorsound.h"
#include "debtors/finddolgdialog.h"
#include "debtors/showdolgdialog.h"

#include "debtortest.h"
#include "scripted.h"
#include "testbase.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kAlert = u"Внимание Имеются должники."_s;

QWidget* Indicator(CVidarroDlg& d)
{
    return d.GetDlgItem(1042);
}

QAction* DebtorMenuItem(CVidarroDlg& d, const QString& text)
{
    for (QAction* top : d.findChild<QMenuBar*>()->actions())
        if (top->text() == u"Правка")
            for (QAction* group : top->menu()->actions())
                if (group->text() == u"Правка должников")
                    for (QAction* item : group->menu()->actions())
                        if (item->text().section(u'\t', 0, 0) == text)
                            return item;
    return nullptr;
}

// What the start-up alert did, in order: "message" (with whether the main window was already shown) and "sound".
class AlertLog {
public:
    explicit AlertLog(const CVidarroDlg* window)
    {
        app::SetMessageBoxHook([this, window](const QString& text, app::Buttons) {
            m_events << (window->isVisible() ? u"message over the window: "_s : u"message: "_s) + text;
            return app::IDOK;
        });
        CDebtorSound::SetPlayObserver([this](const QAudioFormat&, qsizetype) { m_events << u"sound"_s; });
    }
    ~AlertLog()
    {
        app::SetMessageBoxHook({});
        CDebtorSound::SetPlayObserver({});
    }
    AlertLog(const AlertLog&) = delete;
    AlertLog& operator=(const AlertLog&) = delete;
    const QStringList& Events() const { return m_events; }

private:
    QStringList m_events;
};
} // namespace

class TestDebtorAlert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startUpAlert_data();
    void startUpAlert();
    void missingOrDamagedSound_data();
    void missingOrDamagedSound();

    void embeddedSoundFormat();
    void damagedWaveIsRefused_data();
    void damagedWaveIsRefused();

    void addDebtorRecountsWithoutAlert_data();
    void addDebtorRecountsWithoutAlert();
    void debtorListRecountsOnlyOnOk();
    void findDebtorGetsThePaths();

private:
    std::unique_ptr<TempCatalogue> m_cat;
};

void TestDebtorAlert::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    QVERIFY(m_cat->IsValid());
    m_cat->EnterDir();
}

void TestDebtorAlert::cleanup()
{
    CDebtorSound::SetResourcePath({});
    m_cat.reset();
}

void TestDebtorAlert::startUpAlert_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("debtors");
    QTest::addColumn<QStringList>("events");
    const QString message = u"message: "_s + kAlert;
    const QByteArray mode3 = "[Config]\r\nMessage=3\r\n";
    QTest::newRow("no settings file") << QByteArray() << 2 << QStringList {};
    QTest::newRow("0: none") << QByteArray("[Config]\r\nMessage=0\r\n") << 2 << QStringList {};
    QTest::newRow("1: message") << QByteArray("[Config]\r\nMessage=1\r\n") << 2 << QStringList { message };
    QTest::newRow("2: sound") << QByteArray("[Config]\r\nMessage=2\r\n") << 1 << QStringList { u"sound"_s };
    QTest::newRow("3: message, then sound") << mode3 << 2 << QStringList { message, u"sound"_s };
    QTest::newRow("7: none") << QByteArray("[config]\r\nmessage=7\r\n") << 2 << QStringList {};
    QTest::newRow("abc: none") << QByteArray("[Config]\r\nMessage=abc\r\n") << 2 << QStringList {};
    QTest::newRow("-1: none") << QByteArray("[Config]\r\nMessage=-1\r\n") << 2 << QStringList {};
    QTest::newRow("leading number") << QByteArray("[Config]\r\nMessage=1 (message)\r\n") << 2
                                    << QStringList { message };
    QTest::newRow("3 without debtors") << mode3 << 0 << QStringList {};
    QTest::newRow("1 without debtors") << QByteArray("[Config]\r\nMessage=1\r\n") << 0 << QStringList {};
}

void TestDebtorAlert::startUpAlert()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, debtors);
    QFETCH(QStringList, events);
    if (!ini.isEmpty())
        m_cat->WriteIni(ini);
    for (int i = 0; i < debtors; ++i)
        m_cat->AddDebtor({ u"Должник %1"_s.arg(i), u"Фильм"_s, u"n/d"_s, u"N"_s });

    ScriptedUi ui;
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
        QCOMPARE(Indicator(d)->isVisible(), debtors > 0);
        QCOMPARE(d.GetDlgItem(1041)->isVisible(), debtors > 0);
        QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: %1"_s.arg(debtors));
        QCOMPARE(d.StatusBar()->GetPaneWidth(2), 190);
        d.EndDialog(app::IDOK);
    });
    CVidarroDlg dlg;
    AlertLog log(&dlg);
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QCOMPARE(log.Events(), events);
}

void TestDebtorAlert::missingOrDamagedSound_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << u"Not Resource"_s;
    QTest::newRow("not RIFF") << QByteArray("this is no sound") << u" Not Load"_s;
    QByteArray wave;
    {
        QFile f(CDebtorSound::DefaultResourcePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        wave = f.readAll();
    }
    QTest::newRow("truncated") << wave.left(wave.size() / 2) << u" Not Load"_s;
}

void TestDebtorAlert::missingOrDamagedSound()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    const QString path = QDir(m_cat->Dir()).filePath(u"sound.wav"_s);
    if (!file.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    CDebtorSound::SetResourcePath(path);
    m_cat->WriteIni("[Config]\r\nMessage=3\r\n");
    m_cat->AddDebtor({ u"Иванов"_s, u"Фильм"_s, u"n/d"_s, u"N"_s });

    ScriptedUi ui;
    ui.ExpectMessage(kAlert);
    ui.ExpectMessage(message);
    ui.ExpectDialog<CVidarroDlg>([](CVidarroDlg& d) {
        QVERIFY(Indicator(d)->isVisible());
        d.EndDialog(app::IDOK);
    });
    CVidarroDlg dlg;
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

void TestDebtorAlert::embeddedSoundFormat()
{
    QFile f(CDebtorSound::DefaultResourcePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size(), 55776);
    const auto wave = CDebtorSound::ParseWave(bytes);
    QVERIFY(wave.has_value());
    QCOMPARE(wave->format.channelCount(), 2);
    QCOMPARE(wave->format.sampleRate(), 22050);
    QCOMPARE(wave->format.sampleFormat(), QAudioFormat::Int16);
    QCOMPARE(wave->pcm.size() % wave->format.bytesPerFrame(), 0);
    QCOMPARE(wave->pcm.size() / wave->format.bytesPerFrame(), 13933);
    QCOMPARE(qRound(wave->format.durationForBytes(int(wave->pcm.size())) / 10000.0), 63); // 0.63 s
}

void TestDebtorAlert::damagedWaveIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QFile f(CDebtorSound::DefaultResourcePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    auto patched = [&](qsizetype at, QByteArray with) { return QByteArray(good).replace(at, with.size(), with); };
    QTest::newRow("not RIFF") << patched(0, "RIFX");
    QTest::newRow("float samples") << patched(20, QByteArray("\x03\x00", 2));
    QTest::newRow("24-bit samples") << patched(34, QByteArray("\x18\x00", 2));
    QTest::newRow("data longer than the file") << good.left(good.size() - 2);
    QTest::newRow("no format chunk") << patched(12, "junk");
    QTest::newRow("empty data") << patched(40, QByteArray(4, '\0')).left(44);
}

void TestDebtorAlert::damagedWaveIsRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!CDebtorSound::ParseWave(bytes).has_value());
}

void TestDebtorAlert::addDebtorRecountsWithoutAlert_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << u"button"_s;
    QTest::newRow("menu") << u"menu"_s;
    QTest::newRow("Alt+I") << u"keys"_s;
}

void TestDebtorAlert::addDebtorRecountsWithoutAlert()
{
    QFETCH(QString, how);
    m_cat->WriteIni("[Config]\r\nMessage=3\r\n");
    ScriptedUi ui;
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
        QVERIFY(!Indicator(d)->isVisible());
        QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: 0"_s);
        if (how == u"button") {
            QTest::mouseClick(d.GetDlgItem(1001), Qt::LeftButton);
            QVERIFY(d.GetDlgItem(1008)->isVisible());
            QTest::mouseClick(d.GetDlgItem(1008), Qt::LeftButton);
        } else if (how == u"menu") {
            QAction* item = DebtorMenuItem(d, u"Добавить"_s);
            QVERIFY(item);
            item->trigger();
        } else {
            PressKey(d.FilmList(), Qt::Key_I, Qt::AltModifier);
        }
        QVERIFY(Indicator(d)->isVisible());
        QVERIFY(d.GetDlgItem(1041)->isVisible());
        QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: 1"_s);
        d.EndDialog(app::IDOK);
    });
    ui.ExpectDialog<CAddDolgDialog>([&](CAddDolgDialog& d) {
        QCOMPARE(d.m_strBasePath, m_cat->BasePath());
        TypeText(d.GetDlgItem(1017), u"Иванов"_s);
        d.SendCommand(1047);
    });
    CVidarroDlg dlg;
    AlertLog log(&dlg);
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
    QVERIFY(log.Events().isEmpty());
    QCOMPARE(m_cat->Count(u"DOLGI"_s), 1);
}

void TestDebtorAlert::debtorListRecountsOnlyOnOk()
{
    for (int i = 0; i < 3; ++i)
        m_cat->AddDebtor({ u"Должник %1"_s.arg(i), u"Фильм"_s, u"n/d"_s, u"N"_s });
    auto deleteFirst = [](CShowDolgDialog& d) {
        d.DolgList()->SelectRow(0);
        d.SendCommand(1002);
    };
    ScriptedUi ui;
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
        // Escape keeps the deletion but not the count.
        PressKey(d.FilmList(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: 3"_s);
        QAction* item = DebtorMenuItem(d, u"Посмотреть список"_s);
        QVERIFY(item);
        item->trigger();
        QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: 1"_s);
        QTest::mouseClick(d.GetDlgItem(1001), Qt::LeftButton);
        QTest::mouseClick(d.GetDlgItem(1009), Qt::LeftButton);
        QCOMPARE(d.StatusBar()->GetPaneText(2), u"Колличество должников: 0"_s);
        QVERIFY(!Indicator(d)->isVisible());
        d.EndDialog(app::IDOK);
    });
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        QCOMPARE(d.m_strIniPath, m_cat->IniPath());
        deleteFirst(d);
        PressKey(d.DolgList(), Qt::Key_Escape);
    });
    ui.ExpectMessage(u"Вы действительно хотите удалить данную запись?"_s);
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        deleteFirst(d);
        d.SendCommand(1);
    });
    ui.ExpectMessage(u"Вы действительно хотите удалить данную запись?"_s);
    ui.ExpectDialog<CShowDolgDialog>([&](CShowDolgDialog& d) {
        deleteFirst(d);
        d.SendCommand(1);
    });
    ui.ExpectMessage(u"Вы действительно хотите удалить данную запись?"_s);
    CVidarroDlg dlg;
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

void TestDebtorAlert::findDebtorGetsThePaths()
{
    m_cat->AddDebtor({ u"Иванов"_s, u"Фильм"_s, u"n/d"_s, u"N"_s });
    ScriptedUi ui;
    ui.ExpectDialog<CVidarroDlg>([&](CVidarroDlg& d) {
        PressKey(d.FilmList(), Qt::Key_F, Qt::AltModifier);
        DebtorMenuItem(d, u"Найти"_s)->trigger();
        QTest::mouseClick(d.GetDlgItem(1001), Qt::LeftButton);
        QTest::mouseClick(d.GetDlgItem(1010), Qt::LeftButton);
        d.EndDialog(app::IDOK);
    });
    for (int i = 0; i < 3; ++i)
        ui.ExpectDialog<CFindDolgDialog>([&](CFindDolgDialog& d) {
            QCOMPARE(d.m_strBasePath, m_cat->BasePath());
            QCOMPARE(d.m_strIniPath, m_cat->IniPath());
            d.SendCommand(1047);
        });
    CVidarroDlg dlg;
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

QTEST_MAIN(TestDebtorAlert)
#include "test_debtoralert.moc"
