// The questions and reports around a conversion at start-up and at the first run.
#include "prevfixtures.h"
#include "scripted.h"
#include "testbase.h"

#include "import/convertprompt.h"

#include <QTest>

using namespace prev;

class TestConvertPrompt : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUpAsksFirst()
    {
        QTemporaryDir dir;
        const QString base = dir.filePath(u"BaseFilm.mdb"_s);
        const QByteArray jet = ReadBytes(FixturePath(u"jet/current-base-jet.mdb"_s));
        WriteBytes(base, jet);
        ScriptedUi ui;
        ui.ExpectMessage(u"Файл «BaseFilm.mdb» — каталог Windows-версии программы (база Microsoft Access). Перевести "
                         u"его в новый формат? Исходный файл сохранится рядом под именем «BaseFilm-access.mdb»."_s,
            app::IDCANCEL);
        QVERIFY(!import::OfferJetConversion(nullptr, base));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"BaseFilm.mdb"_s });
        QCOMPARE(ReadBytes(base), jet);

        ui.ExpectMessageContaining(u"Перевести его в новый формат?"_s, app::IDOK);
        ui.ExpectMessage(u"Каталог переведён в новый формат.\nФильмов: 5\nДолжников: 4\nВ черном списке: 2\n"
                         u"Исходный файл сохранён как «BaseFilm-access.mdb»."_s);
        QVERIFY(import::OfferJetConversion(nullptr, base));
        VERIFY_SCRIPT(ui);
        QCOMPARE(ReadBytes(dir.filePath(u"BaseFilm-access.mdb"_s)), jet);
    }

    // The chosen file stays as it is; its copy beside the new catalogue is what gets converted.
    void firstRunConvertsACopy()
    {
        QTemporaryDir stick, dir;
        const QString chosen = stick.filePath(u"BASEFILM.MDB"_s);
        const QByteArray jet = ReadBytes(FixturePath(u"jet/prev-3films-2debtors.mdb"_s));
        WriteBytes(chosen, jet);
        ScriptedUi ui;
        ui.ExpectMessage(u"Каталог переведён в новый формат.\nФильмов: 3\nДолжников: 2\nВ черном списке: 0\n"
                         u"В файле нет черного списка (BLACKSPISOK): создан пустой.\n"
                         u"Исходный файл сохранён как «BaseFilm-access.mdb»."_s);
        QVERIFY(import::ConvertChosenFile(nullptr, chosen, dir.path()));
        ui.ExpectMessageContaining(u"уже есть каталог «BaseFilm.mdb». Исходный файл не изменён."_s);
        QVERIFY(!import::ConvertChosenFile(nullptr, chosen, dir.path()));
        VERIFY_SCRIPT(ui);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList { u"BaseFilm-access.mdb"_s, u"BaseFilm.mdb"_s }));
        QCOMPARE(ReadBytes(chosen), jet);
        QCOMPARE(ReadBytes(dir.filePath(u"BaseFilm-access.mdb"_s)), jet);
    }
};

QTEST_MAIN(TestConvertPrompt)
#include "test_convertprompt.moc"
