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
using Load = std::tuple<QString, QList<int>, int, qint64, int>; // see fieldToForm_data()

QStringList Film(const QString& title)
{
    return { title, u"Режиссёр "_s + title, u"Актёры "_s + title, u"Драма"_s, u"8"_s, u"DVD"_s, u"100 мин"_s,
        u"Комментарий "_s + title };
}
} // namespace

class TestRenameDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldToForm_data()
    {
        // Genre, rating and medium stored; the genre entry, slider and medium entry shown; position, rowid, film
        // loaded. Entries match exactly; "n/d" is "Выбрать"; anything else is "Другое", writable.
        QTest::addColumn<Load>("load");
        QTest::newRow("entries, first") << Load { u"Фантастика|7|Super VCD"_s, { 4, 7, 4 }, 0, -1, 0 };
        QTest::newRow("last entries, second of two equal titles")
            << Load { u"Порнография|10|Черный ящик"_s, { 13, 10, 7 }, 2, -1, 2 };
        QTest::newRow("placeholders; the rowid wins") << Load { u"n/d|n/d|n/d"_s, { 0, 0, 0 }, 0, 3, 2 };
        QTest::newRow("other letter case, blanks") << Load { u"драма| 8 звёзд|VHS "_s, { 14, 8, 8 }, 1, -1, 1 };
        QTest::newRow("Выбрать, N/D, below the scale") << Load { u"Выбрать|-3|N/D"_s, { 14, 0, 8 }, 0, 2, 1 };
        QTest::newRow("empty, as imported") << Load { u"||"_s, { 14, 0, 8 }, 3, -1, 3 };
        QTest::newRow("above the scale") << Load { u"Триллер|15|Flash"_s, { 9, 10, 6 }, 0, 4, 3 };
    }
    void fieldToForm()
    {
        QFETCH(Load, load);
        const auto& [stored, form, position, rowid, loaded] = load;
        // The third film shares the second one's title; its texts of several lines go back unchanged.
        QList<QStringList> films { Film(u"Зеркало"_s), Film(u"Сталкер"_s), Film(u"Сталкер"_s), Film(u"Ностальгия"_s) };
        films[2][1] = u"Другой"_s;
        films[2][2] = u"Банионис\r\nЛеонов"_s;
        films[2][7] = u"Первая строка\r\nВторая строка\r\n\r\nПосле пустой"_s;
        for (int i = 0; i < 3; ++i)
            films[loaded][3 + i] = stored.section(u'|', i, i);
        TempCatalogue cat;
        for (const QStringList& f : films)
            cat.AddFilm(f);
        ScriptedUi ui;
        const auto script = [&](CRenameDialog& d) {
            QCOMPARE(d.LoadedRowId(), qint64(loaded + 1));
            QCOMPARE(EditTexts(d, { id::Director, id::Genre, id::Rating, id::Medium }),
                films[loaded].mid(1, 1) + films[loaded].mid(3, 3));
            QCOMPARE(
                (QList { d.Item<QComboBox>(id::GenreList)->currentIndex(), d.Item<QSlider>(id::RatingSlider)->value(),
                    d.Item<QComboBox>(id::MediumList)->currentIndex() }),
                form);
            QCOMPARE(
                (QList { app::IsEditReadOnly(d.GetDlgItem(id::Genre)), app::IsEditReadOnly(d.GetDlgItem(id::Medium)) }),
                (QList { form[0] != 14, form[2] != 8 }));
            PressKey(d.GetDlgItem(id::RatingSlider), Qt::Key_End); // moves the slider, not the stored rating
            PressKey(d.GetDlgItem(id::Name), Qt::Key_End);
            TypeText(d.GetDlgItem(id::Name), u" (реж. версия)"_s);
            PressKey(d.GetDlgItem(id::Comment), Qt::Key_Return); // saves nothing
            QVERIFY(!d.IsEnded());
            PressKey(d.focusWidget(), Qt::Key_Return); // the focus starts on "OK"
        };
        const int result = RunDialog<CRenameDialog>(cat, ui, script, [&](CRenameDialog& d) {
            d.m_nPosition = position;
            d.m_nRowId = rowid;
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        // Only the loaded film changes, an empty text to "n/d".
        films[loaded][0] += u" (реж. версия)"_s;
        films[loaded].replaceInStrings(QRegularExpression(u"^$"_s), u"n/d"_s);
        QCOMPARE(cat.Rows(u"KINVORA11"_s), films);
    }
};

REGISTER_TEST(TestRenameDialog)
#include "test_renamedialog.moc"
