// Reading the film list: a catalogue damaged part-way keeps the films read before the damage listed, and the
// list read ahead at start-up is used only while the file is as it was read.
#include "scripted.h"
#include "testmain.h"

#include "app/healthprompt.h"
#include "app/vidarrodlg.h"

#include <QFile>

using namespace Qt::StringLiterals;

class TestPartialRead : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsBeforeTheDamageStayListed()
    {
        TempCatalogue base;
        base.Execute(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                     "INSERT INTO KINVORA11 (NAMEFILM, KOMENTAR) SELECT 'Фильм ' || i, printf('%.80c', 'x') FROM n"_s);
        // The file's last page is the film table's last leaf: films added last live there.
        QFile file(base.BasePath());
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 8 * 4096);
        QVERIFY(file.seek(file.size() - 4096) && file.write(QByteArray(4096, '\0')) == 4096);
        file.close();
        ScriptedUi ui;
        ui.ExpectMessageContaining(u"KINVORA11"_s);
        RunMainWindow(base, ui, [&](CVidarroDlg& main) {
            const QStringList titles = Cells(ListRows(main.FilmList()));
            QVERIFY2(titles.size() > 100 && titles.size() < 300, qPrintable(QString::number(titles.size())));
            QCOMPARE(titles.first(), u"Фильм 1"_s);
            QCOMPARE(titles.last(), u"Фильм %1"_s.arg(titles.size()));
        });
        VERIFY_SCRIPT(ui);
    }

    void readAheadFollowsTheFile()
    {
        TempCatalogue base;
        base.AddFilm(u"Один"_s);
        for (bool changed : { false, true }) {
            QVERIFY(app::CheckCatalogueHealth(nullptr, base.BasePath()));
            if (changed)
                base.Execute(u"UPDATE KINVORA11 SET NAMEFILM = 'Два'"_s);
            ScriptedUi ui;
            RunMainWindow(base, ui, [&](CVidarroDlg& main) {
                QCOMPARE(Cells(ListRows(main.FilmList())), QStringList { changed ? u"Два"_s : u"Один"_s });
            });
            VERIFY_SCRIPT(ui);
        }
    }
};

REGISTER_TEST(TestPartialRead)
#include "test_partialread.moc"
