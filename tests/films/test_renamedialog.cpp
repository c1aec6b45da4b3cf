// The edit dialog: a stored film shown in the form, and written back to the same record.
#include "scripted.h"
#include "testmain.h"

#include "films/renamedialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace {
QStringList Film(const QString& title, const QString& genre = u"Драма"_s, const QString& rating = u"8"_s,
    const QString& medium = u"DVD"_s)
{
    return { title, u"Режиссёр "_s + title, u"Актёры "_s + title, genre, rating, medium, u"100 мин"_s,
        u"Комментарий "_s + title };
}

// Runs the edit dialog on the film at `position`, or on `rowid` when the caller knows it.
int RunEdit(
    const TempCatalogue& cat, ScriptedUi& ui, int position, qint64 rowid, std::function<void(CRenameDialog&)> script)
{
    return RunDialog<CRenameDialog>(cat, ui, std::move(script), [&](CRenameDialog& d) {
        d.m_nPosition = position;
        d.m_nRowId = rowid;
    });
}
} // namespace

class TestRenameDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldToForm_data()
    {
        QTest::addColumn<QStringList>("stored"); // genre, rating, medium
        QTest::addColumn<QList<int>>("form"); // genre entry, slider, medium entry
        // Exact, case-sensitive entries; "n/d" is "Выбрать"; anything else is "Другое", writable.
        QTest::newRow("entries") << QStringList { u"Фантастика"_s, u"7"_s, u"Super VCD"_s } << QList<int> { 4, 7, 4 };
        QTest::newRow("last entries") << QStringList { u"Порнография"_s, u"10"_s, u"Черный ящик"_s }
                                      << QList<int> { 13, 10, 7 };
        QTest::newRow("placeholders") << QStringList { u"n/d"_s, u"n/d"_s, u"n/d"_s } << QList<int> { 0, 0, 0 };
        QTest::newRow("other letter case, blanks")
            << QStringList { u"драма"_s, u" 8 звёзд"_s, u"VHS "_s } << QList<int> { 14, 8, 8 };
        QTest::newRow("Выбрать, placeholder in capitals, below the scale")
            << QStringList { u"Выбрать"_s, u"-3"_s, u"N/D"_s } << QList<int> { 14, 0, 8 };
        QTest::newRow("empty, as imported")
            << QStringList { QString(), QString(), QString() } << QList<int> { 14, 0, 8 };
        QTest::newRow("above the scale") << QStringList { u"Триллер"_s, u"15"_s, u"Flash"_s }
                                         << QList<int> { 9, 10, 6 };
    }
    void fieldToForm()
    {
        QFETCH(QStringList, stored);
        QFETCH(QList<int>, form);
        TempCatalogue cat;
        const QStringList film = Film(u"Сталкер"_s, stored[0], stored[1], stored[2]);
        cat.AddFilm(film);
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, 0, 1, [&](CRenameDialog& d) {
            QCOMPARE(EditTexts(d, { 1017, 1018, 1019, 1021, 1023, 1025, 1026, 1027 }), film);
            QCOMPARE(d.Item<QComboBox>(1020)->currentIndex(), form[0]);
            QCOMPARE(d.Item<QSlider>(1022)->value(), form[1]);
            QCOMPARE(d.Item<QComboBox>(1024)->currentIndex(), form[2]);
            QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(1021)), form[0] != 14);
            QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(1025)), form[2] != 8);
            // Keys move the slider, not the stored rating.
            PressKey(d.GetDlgItem(1022), Qt::Key_End);
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        // Saved untouched: the same texts, an empty one as "n/d".
        QStringList expected = film;
        for (QString& v : expected)
            v = v.isEmpty() ? u"n/d"_s : v;
        QCOMPARE(cat.Rows(u"KINVORA11"_s), QList<QStringList> { expected });
    }

    void editsByPosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("rowid");
        QTest::addColumn<int>("loaded"); // index into the films, -1 for none
        QTest::newRow("first") << 0 << qint64(-1) << 0;
        QTest::newRow("second of two equal titles") << 2 << qint64(-1) << 2;
        QTest::newRow("beyond the table") << 4 << qint64(-1) << -1;
        QTest::newRow("the row's rowid wins") << 0 << qint64(3) << 2;
        QTest::newRow("a rowid that is gone") << 0 << qint64(99) << -1;
    }
    void editsByPosition()
    {
        QFETCH(int, position);
        QFETCH(qint64, rowid);
        QFETCH(int, loaded);
        // The third film shares its title with the second; its texts of several lines, shown in the one-line
        // comment edit, go back unchanged.
        TempCatalogue cat;
        QList<QStringList> films { Film(u"Зеркало"_s), Film(u"Сталкер"_s), Film(u"Сталкер"_s), Film(u"Ностальгия"_s) };
        films[2][1] = u"Другой"_s;
        films[2][2] = u"Банионис\r\nЛеонов"_s;
        films[2][7] = u"Первая строка\r\nВторая строка\r\n\r\nПосле пустой"_s;
        for (const QStringList& f : films)
            cat.AddFilm(f);
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, position, rowid, [&](CRenameDialog& d) {
            QCOMPARE(d.LoadedRowId(), qint64(loaded < 0 ? -1 : loaded + 1));
            QCOMPARE(app::EditText(d.GetDlgItem(1018)), loaded < 0 ? QString() : films[loaded][1]);
            // Enter in the form neither saves nor closes; typing and "OK" write nothing when no film stood there.
            PressKey(d.GetDlgItem(1017), Qt::Key_End);
            TypeText(d.GetDlgItem(1017), u" (реж. версия)"_s);
            DragThumb(d.Item<QSlider>(1022), 10);
            for (int id : { 1017, 1019, 1022, 1024, 1027 })
                PressKey(d.GetDlgItem(id), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        if (loaded >= 0) {
            films[loaded][0] += u" (реж. версия)"_s;
            films[loaded][4] = u"10"_s;
        }
        QCOMPARE(cat.Rows(u"KINVORA11"_s), films);
    }

    void keysAndFailedSaves_data()
    {
        QTest::addColumn<QString>("cause"); // empty: no failure
        QTest::addColumn<QString>("message"); // a part of it
        QTest::newRow("none") << QString() << QString();
        QTest::newRow("refused") << u"CREATE TRIGGER refuse BEFORE UPDATE ON KINVORA11 "
                                    "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"_s
                                 << u"disk is full"_s;
        QTest::newRow("deleted meanwhile") << u"DELETE FROM KINVORA11 WHERE rowid = 1"_s << u"уже удалена"_s;
    }
    void keysAndFailedSaves()
    {
        QFETCH(QString, cause);
        QFETCH(QString, message);
        // A database error while saving is shown; the dialog stays with the input and nothing is written. Esc
        // closes without saving; Enter right after opening clicks "OK" and saves unchanged.
        TempCatalogue cat;
        cat.AddFilm(Film(u"Солярис"_s));
        cat.AddFilm(Film(u"Зеркало"_s));
        QList<QStringList> before = cat.Rows(u"KINVORA11"_s);
        ScriptedUi ui;
        const int cancelled = RunEdit(cat, ui, 0, 1, [&](CRenameDialog& d) {
            auto* title = d.Item<QLineEdit>(1017);
            title->selectAll();
            TypeText(title, u"Андрей Рублёв"_s);
            if (!cause.isEmpty()) {
                cat.Execute(cause);
                before = cat.Rows(u"KINVORA11"_s);
                ui.ExpectMessageContaining(message);
                d.SendCommand(1047);
                QVERIFY(!d.IsEnded());
                QCOMPARE(app::EditText(title), u"Андрей Рублёв"_s);
            }
            PressKey(title, Qt::Key_Escape);
        });
        const int saved = cause.isEmpty()
            ? RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); })
            : int(app::IDOK);
        VERIFY_SCRIPT(ui);
        QCOMPARE(cancelled, app::IDCANCEL);
        QCOMPARE(saved, app::IDOK);
        QCOMPARE(cat.Rows(u"KINVORA11"_s), before);
    }
};

REGISTER_TEST(TestRenameDialog)
#include "test_renamedialog.moc"
