// The film edit window: a stored film shown in the form, and written back to the same record.
#include "scripted.h"
#include "testmain.h"

#include "films/renamedialog.h"
#include "ids/editfilm.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSlider>

using namespace Qt::StringLiterals;
namespace id = ids::editfilm;

namespace {
const QList<int> kForm { id::Name, id::Director, id::Starring, id::Genre, id::Rating, id::Medium, id::Duration,
    id::Comment };
QStringList Film(const QString& title, const QString& genre = u"Драма"_s, const QString& rating = u"8"_s,
    const QString& medium = u"DVD"_s)
{
    return { title, u"Режиссёр "_s + title, u"Актёры "_s + title, genre, rating, medium, u"100 мин"_s,
        u"Комментарий "_s + title };
}

// Runs the edit window on the film at `position`, or on `rowid` when the list row knows it.
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
        QTest::addColumn<QString>("stored"); // genre, rating, medium
        QTest::addColumn<QList<int>>("form"); // genre entry, slider, medium entry
        // Exact, case-sensitive entries; "n/d" is "Выбрать"; anything else is "Другое", writable.
        QTest::newRow("entries") << u"Фантастика|7|Super VCD"_s << QList { 4, 7, 4 };
        QTest::newRow("last entries") << u"Порнография|10|Черный ящик"_s << QList { 13, 10, 7 };
        QTest::newRow("placeholders") << u"n/d|n/d|n/d"_s << QList { 0, 0, 0 };
        QTest::newRow("other letter case, blanks") << u"драма| 8 звёзд|VHS "_s << QList { 14, 8, 8 };
        QTest::newRow("Выбрать, N/D, below the scale") << u"Выбрать|-3|N/D"_s << QList { 14, 0, 8 };
        QTest::newRow("empty, as imported") << u"||"_s << QList { 14, 0, 8 };
        QTest::newRow("above the scale") << u"Триллер|15|Flash"_s << QList { 9, 10, 6 };
    }
    void fieldToForm()
    {
        QFETCH(QString, stored);
        QFETCH(QList<int>, form);
        TempCatalogue cat;
        const QStringList s = stored.split(u'|');
        const QStringList film = Film(u"Сталкер"_s, s[0], s[1], s[2]);
        cat.AddFilm(film);
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, 0, 1, [&](CRenameDialog& d) {
            QCOMPARE(EditTexts(d, kForm), film);
            QCOMPARE(
                (QList { d.Item<QComboBox>(id::GenreList)->currentIndex(), d.Item<QSlider>(id::RatingSlider)->value(),
                    d.Item<QComboBox>(id::MediumList)->currentIndex() }),
                form);
            QCOMPARE(
                (QList { app::IsEditReadOnly(d.GetDlgItem(id::Genre)), app::IsEditReadOnly(d.GetDlgItem(id::Medium)) }),
                (QList { form[0] != 14, form[2] != 8 }));
            PressKey(d.GetDlgItem(id::RatingSlider), Qt::Key_End); // moves the slider, not the stored rating
            PressKey(d.focusWidget(), Qt::Key_Return); // the focus starts on "OK"
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        // Saved untouched: the same texts, an empty one as "n/d".
        QCOMPARE(cat.Rows(u"KINVORA11"_s),
            QList<QStringList> { QStringList(film).replaceInStrings(QRegularExpression(u"^$"_s), u"n/d"_s) });
    }

    void editsByPosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("rowid");
        QTest::addColumn<int>("loaded"); // index into the films
        QTest::newRow("first") << 0 << qint64(-1) << 0;
        QTest::newRow("second of two equal titles") << 2 << qint64(-1) << 2;
        QTest::newRow("the row's rowid wins") << 0 << qint64(3) << 2;
    }
    void editsByPosition()
    {
        QFETCH(int, position);
        QFETCH(qint64, rowid);
        QFETCH(int, loaded);
        // The third film shares the second one's title; its texts of several lines go back unchanged.
        TempCatalogue cat;
        QList<QStringList> films { Film(u"Зеркало"_s), Film(u"Сталкер"_s), Film(u"Сталкер"_s), Film(u"Ностальгия"_s) };
        films[2][1] = u"Другой"_s;
        films[2][2] = u"Банионис\r\nЛеонов"_s;
        films[2][7] = u"Первая строка\r\nВторая строка\r\n\r\nПосле пустой"_s;
        for (const QStringList& f : films)
            cat.AddFilm(f);
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, position, rowid, [&](CRenameDialog& d) {
            QCOMPARE(d.LoadedRowId(), qint64(loaded + 1));
            QCOMPARE(app::EditText(d.GetDlgItem(id::Director)), films[loaded][1]);
            PressKey(d.GetDlgItem(id::Name), Qt::Key_End);
            TypeText(d.GetDlgItem(id::Name), u" (реж. версия)"_s);
            DragThumb(d.Item<QSlider>(id::RatingSlider), 10);
            PressKey(d.GetDlgItem(id::Comment), Qt::Key_Return); // saves nothing
            QVERIFY(!d.IsEnded());
            d.SendCommand(id::Save);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        films[loaded][0] += u" (реж. версия)"_s;
        films[loaded][4] = u"10"_s;
        QCOMPARE(cat.Rows(u"KINVORA11"_s), films);
    }
};

REGISTER_TEST(TestRenameDialog)
#include "test_renamedialog.moc"
