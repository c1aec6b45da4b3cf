// The main window's black-list, settings, about and help commands, from their buttons, menu items and keys.
#include "app/aboutdlg.h"
#include "app/helpfile.h"
#include "app/vidarrodlg.h"
#include "blacklist/blacklist.h"
#include "scripted.h"
#include "settings/configdialog.h"
#include "testbase.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {
enum class Via { Button, Menu, Key };

// The header that opens each command's group of the navigation panel.
int GroupOf(int command)
{
    return command == 1016 ? 1001 : command == 1012 ? 1002 : 1003;
}

QAction* MenuItem(const QWidget& window, const QString& text)
{
    for (QAction* action : window.findChildren<QAction*>())
        if (!action->menu() && action->text().section(u'\t', 0, 0) == text)
            return action;
    return nullptr;
}

QString Canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}
} // namespace

class TestLaunchers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyWayOpensTheWindow_data();
    void everyWayOpensTheWindow();
    void settingsOkAppliesTheNewStyle_data();
    void settingsOkAppliesTheNewStyle();
    void settingsCancelKeepsTheStyle();
    void helpWithoutAGuideDoesNothingVisible();

private:
    // Runs the main window on the catalogue; `inside` runs while it is open, expectations of what it opens
    // are added by `expect`.
    void RunMain(ScriptedUi& ui, std::function<void(CVidarroDlg&)> inside, std::function<void()> expect = {})
    {
        ui.ExpectDialog<CVidarroDlg>([inside](CVidarroDlg& main) {
            inside(main);
            main.SendCommand(app::IDCANCEL);
        });
        if (expect)
            expect();
        CVidarroDlg main;
        main.DoModal();
    }

    std::unique_ptr<TempCatalogue> m_cat;
    QList<QUrl> m_opened;
};

void TestLaunchers::init()
{
    m_cat = std::make_unique<TempCatalogue>();
    m_cat->AddFilm(QStringLiteral("Сталкер"));
    m_cat->AddBlack(QStringLiteral("Иванов"), QStringLiteral("диск"));
    m_cat->EnterDir();
    m_opened.clear();
    app::SetDesktopOpenHook([this](const QUrl& url) {
        m_opened << url;
        return true;
    });
}

void TestLaunchers::cleanup()
{
    app::SetDesktopOpenHook({});
    m_cat.reset();
}

void TestLaunchers::everyWayOpensTheWindow_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<Via>("via");
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QKeyCombination>("key");
    const struct {
        int command;
        const char* name;
        QString menu;
        QKeyCombination key;
    } commands[] = {
        { 1016, "black list", QStringLiteral("Черный список"), Qt::ALT | Qt::Key_B },
        { 1012, "settings", QStringLiteral("Настройки"), Qt::CTRL | Qt::Key_C },
        { 1013, "about", QStringLiteral("О программе"), Qt::CTRL | Qt::Key_A },
        { 1014, "help", QStringLiteral("Справка"), QKeyCombination() },
    };
    for (const auto& c : commands) {
        QTest::addRow("%s button", c.name) << c.command << Via::Button << c.menu << c.key;
        QTest::addRow("%s menu", c.name) << c.command << Via::Menu << c.menu << c.key;
        if (c.key != QKeyCombination())
            QTest::addRow("%s key", c.name) << c.command << Via::Key << c.menu << c.key;
    }
}

void TestLaunchers::everyWayOpensTheWindow()
{
    QFETCH(int, command);
    QFETCH(Via, via);
    QFETCH(QString, menuText);
    QFETCH(QKeyCombination, key);
    QFile guide(QStringLiteral("Vidarro.chm"));
    QVERIFY(guide.open(QIODevice::WriteOnly) && guide.write("ITSF") == 4);
    guide.close();

    ScriptedUi ui;
    const QString basePath = Canonical(m_cat->BasePath());
    const QString catalogueDir = Canonical(m_cat->Dir());
    RunMain(
        ui,
        [&](CVidarroDlg& main) {
            switch (via) {
            case Via::Button:
                main.SendCommand(GroupOf(command));
                QVERIFY(main.GetDlgItem(command)->isVisible());
                QTest::mouseClick(main.Item<QPushButton>(command), Qt::LeftButton);
                break;
            case Via::Menu: {
                QAction* item = MenuItem(main, menuText);
                QVERIFY(item);
                item->trigger();
                break;
            }
            case Via::Key:
                // Keys win over the focused control, whichever group is open.
                main.SendCommand(1000);
                PressKey(main.FilmList(), key.key(), key.keyboardModifiers());
                break;
            }
        },
        [&] {
            if (command == 1016)
                ui.ExpectDialog<CBlackList>([&](CBlackList& d) {
                    QCOMPARE(Canonical(d.m_strBasePath), basePath);
                    QCOMPARE(Canonical(QFileInfo(d.m_strIniPath).absolutePath()), catalogueDir);
                    QCOMPARE(QFileInfo(d.m_strIniPath).fileName(), QStringLiteral("Korvel.ini"));
                    QCOMPARE(d.List()->GetItemText(0, 0), QStringLiteral("Иванов"));
                    d.SendCommand(app::IDOK);
                });
            if (command == 1012)
                ui.ExpectDialog<CConfigDialog>([&](CConfigDialog& d) {
                    QCOMPARE(Canonical(QFileInfo(d.m_strIniPath).absolutePath()), catalogueDir);
                    QCOMPARE(QFileInfo(d.m_strIniPath).fileName(), QStringLiteral("Korvel.ini"));
                    d.SendCommand(app::IDCANCEL);
                });
            if (command == 1013)
                ui.ExpectDialog<CAboutDlg>([](CAboutDlg& d) { d.SendCommand(app::IDOK); });
        });
    VERIFY_SCRIPT(ui);
    if (command == 1014)
        QCOMPARE(m_opened,
            QList<QUrl> { QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("Vidarro.chm"))) });
    else
        QVERIFY(m_opened.isEmpty());
}

void TestLaunchers::settingsOkAppliesTheNewStyle_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("choice");
    QTest::addColumn<quint32>("style");
    QTest::newRow("grid switched on") << QByteArray("[Config]\r\nTable=0\r\n") << 1 << quint32(0x21);
    QTest::newRow("grid switched off") << QByteArray("[Config]\r\nTable=1\r\n") << 0 << quint32(0x20);
}

void TestLaunchers::settingsOkAppliesTheNewStyle()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, choice);
    QFETCH(quint32, style);
    m_cat->WriteIni(ini);
    ScriptedUi ui;
    quint32 after = 0;
    RunMain(
        ui,
        [&](CVidarroDlg& main) {
            main.SendCommand(1012);
            after = main.FilmList()->GetExtendedStyle();
        },
        [&] {
            ui.ExpectDialog<CConfigDialog>([choice](CConfigDialog& d) {
                app::ComboSetCurSel(d.Item<QComboBox>(1024), choice);
                d.SendCommand(app::IDOK);
            });
        });
    VERIFY_SCRIPT(ui);
    // Full-row selection stays on whatever the table setting says.
    QCOMPARE(after, style);
}

void TestLaunchers::settingsCancelKeepsTheStyle()
{
    m_cat->WriteIni("[Config]\r\nTable=1\r\n");
    ScriptedUi ui;
    quint32 after = 0;
    RunMain(
        ui,
        [&](CVidarroDlg& main) {
            QCOMPARE(main.FilmList()->GetExtendedStyle(), quint32(0x21));
            main.SendCommand(1012);
            after = main.FilmList()->GetExtendedStyle();
        },
        [&] {
            ui.ExpectDialog<CConfigDialog>([this](CConfigDialog& d) {
                // Changed behind the dialog's back: Cancel must not read it.
                m_cat->WriteIni("[Config]\r\nTable=0\r\n");
                d.SendCommand(app::IDCANCEL);
            });
        });
    VERIFY_SCRIPT(ui);
    QCOMPARE(after, quint32(0x21));
}

void TestLaunchers::helpWithoutAGuideDoesNothingVisible()
{
    // No guide in the working directory: the help command shows no message of its own, and whatever it
    // finds elsewhere is a real file.
    ScriptedUi ui;
    RunMain(ui, [](CVidarroDlg& main) { main.SendCommand(1014); });
    VERIFY_SCRIPT(ui);
    for (const QUrl& url : m_opened)
        QVERIFY(QFileInfo(url.toLocalFile()).isFile());
}

QTEST_MAIN(TestLaunchers)
#include "test_launchers.moc"
