// The about box: its pictures and text, and its own way to the user guide.
#include "app/aboutdlg.h"
#include "app/helpfile.h"
#include "scripted.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestAboutDlg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsNameAndPictures();
    void helpButtonOpensTheGuideAndStays();
};

void TestAboutDlg::showsNameAndPictures()
{
    ScriptedUi ui;
    ui.ExpectDialog<CAboutDlg>([](CAboutDlg& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("О программе Vidarro"));
        QVERIFY(!(d.windowFlags() & Qt::WindowSystemMenuHint));
        QList<QSize> pictures;
        bool text = false;
        for (const QLabel* label : d.findChildren<QLabel*>()) {
            if (!label->pixmap().isNull())
                pictures << label->pixmap().size();
            text = text
                || label->text()
                    == QStringLiteral("Vidarro - программа в которой можно вести учет всех своих фильмов.");
        }
        QCOMPARE(pictures, (QList<QSize> { QSize(224, 106), QSize(160, 129) }));
        QVERIFY(text);
        QCOMPARE(d.Item<QPushButton>(1000)->text(), QStringLiteral("Справка"));
        QCOMPARE(d.Item<QPushButton>(app::IDOK)->text(), QStringLiteral("OK"));
        d.SendCommand(app::IDOK);
    });
    CAboutDlg dlg;
    dlg.DoModal();
    VERIFY_SCRIPT(ui);
}

void TestAboutDlg::helpButtonOpensTheGuideAndStays()
{
    QTemporaryDir work;
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    const QString guide = QDir(work.path()).filePath(QStringLiteral("Vidarro.chm"));
    QFile f(guide);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("ITSF") == 4);
    f.close();
    QList<QUrl> opened;
    app::SetDesktopOpenHook([&](const QUrl& url) {
        opened << url;
        return true;
    });

    ScriptedUi ui;
    ui.ExpectDialog<CAboutDlg>([&](CAboutDlg& d) {
        QTest::mouseClick(d.Item<QPushButton>(1000), Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl> { QUrl::fromLocalFile(guide) });
        QVERIFY(!d.IsEnded());
        QTest::mouseClick(d.Item<QPushButton>(app::IDOK), Qt::LeftButton);
    });
    CAboutDlg dlg;
    QCOMPARE(dlg.DoModal(), app::IDOK);
    VERIFY_SCRIPT(ui);
    app::SetDesktopOpenHook({});
    QDir::setCurrent(old);
}

QTEST_MAIN(TestAboutDlg)
#include "test_aboutdlg.moc"
