// The edit dialog: a stored film shown in the form, and written back to the same record.
#include "filmtest.h"
#include "scripted.h"
#include "testbase.h"

#include "films/renamedialog.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kFilms = QStringLiteral("KINVORA11");
const QString kNd = QStringLiteral("n/d");

QStringList Film(const QString& title, const QString& genre, const QString& rating, const QString& medium)
{
    return { title, QStringLiteral("Режиссёр ") + title, QStringLiteral("Актёры ") + title, genre, rating, medium,
        QStringLiteral("100 мин"), QStringLiteral("Комментарий ") + title };
}

// Runs the edit dialog on the film at `position` (and `rowid` when the caller knows it).
int RunEdit(
    const TempCatalogue& cat, ScriptedUi& ui, int position, qint64 rowid, std::function<void(CRenameDialog&)> script)
{
    ui.ExpectDialog<CRenameDialog>(std::move(script));
    CRenameDialog RenameDialog;
    RenameDialog.m_nPosition = position;
    RenameDialog.m_nRowId = rowid;
    RenameDialog.m_strBasePath = cat.BasePath();
    return RenameDialog.DoModal();
}

// The form's texts in the order of the film's fields.
QStringList FormTexts(CRenameDialog& d)
{
    QStringList texts;
    for (int id : { 1017, 1018, 1019, 1021, 1023, 1025, 1026, 1027 })
        texts << app::EditText(d.GetDlgItem(id));
    return texts;
}
} // namespace

class TestRenameDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void templateAndFocus();
    void fieldToForm_data();
    void fieldToForm();
    void loadsByPosition_data();
    void loadsByPosition();
    void saveWritesBackByPosition();
    void unchangedSave();
    void multiLineComment();
    void pickersAfterLoading();
    void cancelAndEnter();
    void failedSave();
    void deletedMeanwhile();
};

void TestRenameDialog::templateAndFocus()
{
    TempCatalogue cat;
    cat.AddFilm(
        Film(QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("DVD")));
    ScriptedUi ui;
    RunEdit(cat, ui, 0, -1, [](CRenameDialog& d) {
        SaveScreenshot(&d, QStringLiteral("renamedialog"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Изменить фильм."));
        QCOMPARE(d.focusWidget(), d.GetDlgItem(1047));
        QVERIFY(d.Item<QLineEdit>(1027)); // one line here
        QVERIFY(d.GetDlgItem(1028)->isHidden());
        QCOMPARE(app::EditText(d.GetDlgItem(1028)), QStringLiteral("0"));
        QVERIFY(app::IsEditReadOnly(d.GetDlgItem(1023)));
        d.SendCommand(2);
    });
    VERIFY_SCRIPT(ui);
}

void TestRenameDialog::fieldToForm_data()
{
    QTest::addColumn<QString>("genre");
    QTest::addColumn<QString>("rating");
    QTest::addColumn<QString>("medium");
    QTest::addColumn<int>("genreIndex");
    QTest::addColumn<int>("slider");
    QTest::addColumn<int>("mediumIndex");

    // Exact, case-sensitive entries; "n/d" is "Выбрать"; anything else is "Другое".
    QTest::newRow("entries") << "Фантастика"
                             << "7"
                             << "Super VCD" << 4 << 7 << 4;
    QTest::newRow("last entries") << "Порнография"
                                  << "10"
                                  << "Черный ящик" << 13 << 10 << 7;
    QTest::newRow("first entries") << "Комедия"
                                   << "0"
                                   << "DVD" << 1 << 0 << 1;
    QTest::newRow("placeholders") << "n/d"
                                  << "n/d"
                                  << "n/d" << 0 << 0 << 0;
    QTest::newRow("small letters") << "драма"
                                   << "3 звезды"
                                   << "dvd" << 14 << 3 << 8;
    QTest::newRow("blanks") << " Драма"
                            << " 8"
                            << "VHS " << 14 << 8 << 8;
    QTest::newRow("entry names of the ends") << "Другое"
                                             << "-3"
                                             << "Выбрать" << 14 << 0 << 8;
    QTest::newRow("empty, as imported") << ""
                                        << ""
                                        << "" << 14 << 0 << 8;
    QTest::newRow("rating above the scale") << "Триллер"
                                            << "15"
                                            << "Flash" << 9 << 10 << 6;
    QTest::newRow("placeholder in capitals") << "N/D"
                                             << "abc"
                                             << "N/D" << 14 << 0 << 8;
}

void TestRenameDialog::fieldToForm()
{
    QFETCH(QString, genre);
    QFETCH(QString, rating);
    QFETCH(QString, medium);
    QFETCH(int, genreIndex);
    QFETCH(int, slider);
    QFETCH(int, mediumIndex);

    TempCatalogue cat;
    const QStringList film = Film(QStringLiteral("Сталкер"), genre, rating, medium);
    cat.AddFilm(film);
    ScriptedUi ui;
    const int result = RunEdit(cat, ui, 0, 1, [&](CRenameDialog& d) {
        QCOMPARE(FormTexts(d), film);
        QCOMPARE(d.Item<QComboBox>(1020)->currentIndex(), genreIndex);
        QCOMPARE(d.Item<QComboBox>(1024)->currentIndex(), mediumIndex);
        QCOMPARE(d.Item<QSlider>(1022)->value(), slider);
        QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(1021)), genreIndex != 14);
        QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(1025)), mediumIndex != 8);
        QVERIFY(app::IsEditReadOnly(d.GetDlgItem(1023)));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    // Saved untouched: the same texts, an empty one as "n/d".
    QStringList expected = film;
    for (QString& v : expected)
        if (v.isEmpty())
            v = kNd;
    QCOMPARE(cat.Rows(kFilms), QList<QStringList> { expected });
}

void TestRenameDialog::loadsByPosition_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<qint64>("rowid");
    QTest::addColumn<int>("loaded"); // index into the films, -1 for none

    QTest::newRow("first") << 0 << qint64(-1) << 0;
    QTest::newRow("last") << 3 << qint64(-1) << 3;
    QTest::newRow("second of two equal titles") << 2 << qint64(-1) << 2;
    QTest::newRow("beyond the table") << 4 << qint64(-1) << -1;
    QTest::newRow("far beyond") << 1000 << qint64(-1) << -1;
    QTest::newRow("the row's rowid wins") << 0 << qint64(3) << 2;
    QTest::newRow("a rowid that is gone") << 0 << qint64(99) << -1;
}

void TestRenameDialog::loadsByPosition()
{
    QFETCH(int, position);
    QFETCH(qint64, rowid);
    QFETCH(int, loaded);

    TempCatalogue cat;
    const QList<QStringList> films {
        Film(QStringLiteral("Зеркало"), QStringLiteral("Драма"), QStringLiteral("8"), QStringLiteral("DVD")),
        Film(QStringLiteral("Сталкер"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("VHS")),
        { QStringLiteral("Сталкер"), QStringLiteral("Другой"), QStringLiteral("Другие"), QStringLiteral("Мистика"),
            QStringLiteral("5"), QStringLiteral("CD"), QStringLiteral("90"), QStringLiteral("Двойник") },
        Film(QStringLiteral("Ностальгия"), QStringLiteral("n/d"), QStringLiteral("n/d"), QStringLiteral("n/d")),
    };
    for (const QStringList& f : films)
        cat.AddFilm(f);
    ScriptedUi ui;
    const int result = RunEdit(cat, ui, position, rowid, [&](CRenameDialog& d) {
        if (loaded < 0) {
            QCOMPARE(FormTexts(d),
                (QStringList { QString(), QString(), QString(), QString(), QStringLiteral("0"), QString(), QString(),
                    QString() }));
            QCOMPARE(d.Item<QComboBox>(1020)->currentIndex(), 0);
            QCOMPARE(d.Item<QComboBox>(1024)->currentIndex(), 0);
            QCOMPARE(d.LoadedRowId(), -1);
            // Typing and "OK" write nothing when no film stood there.
            TypeText(d.GetDlgItem(1017), QStringLiteral("Новый"));
        } else {
            QCOMPARE(FormTexts(d), films[loaded]);
            PressKey(d.GetDlgItem(1017), Qt::Key_End);
            TypeText(d.GetDlgItem(1017), QStringLiteral(" (реж. версия)"));
        }
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QList<QStringList> expected = films;
    if (loaded >= 0)
        expected[loaded][0] += QStringLiteral(" (реж. версия)");
    QCOMPARE(cat.Rows(kFilms), expected);
}

void TestRenameDialog::saveWritesBackByPosition()
{
    TempCatalogue cat;
    cat.AddFilm(Film(QStringLiteral("Сталкер"), QStringLiteral("Драма"), QStringLiteral("8"), QStringLiteral("DVD")));
    cat.AddFilm(Film(QStringLiteral("Сталкер"), QStringLiteral("Драма"), QStringLiteral("8"), QStringLiteral("DVD")));
    ScriptedUi ui;
    RunEdit(cat, ui, 1, 2, [](CRenameDialog& d) {
        auto* title = d.Item<QLineEdit>(1017);
        title->selectAll();
        TypeText(title, QStringLiteral("Солярис"));
        auto* director = d.Item<QLineEdit>(1018);
        director->selectAll();
        PressKey(director, Qt::Key_Delete);
        TypeText(director, QStringLiteral(" "));
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1020), 4));
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1024), 8));
        PressKey(d.GetDlgItem(1025), Qt::Key_End);
        TypeText(d.GetDlgItem(1025), QStringLiteral("-R"));
        DragThumb(d.Item<QSlider>(1022), 10);
        auto* duration = d.Item<QLineEdit>(1026);
        duration->selectAll();
        TypeText(duration, QStringLiteral("  "));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    const QList<QStringList> rows = cat.Rows(kFilms);
    QCOMPARE(
        rows[0], Film(QStringLiteral("Сталкер"), QStringLiteral("Драма"), QStringLiteral("8"), QStringLiteral("DVD")));
    QCOMPARE(rows[1],
        (QStringList { QStringLiteral("Солярис"), kNd, QStringLiteral("Актёры Сталкер"), QStringLiteral("Фантастика"),
            QStringLiteral("10"), QStringLiteral("DVD-R"), QStringLiteral("  "),
            QStringLiteral("Комментарий Сталкер") }));
}

void TestRenameDialog::unchangedSave()
{
    // A rating the slider cannot show stays as stored unless the thumb is dragged; keys leave it.
    TempCatalogue cat;
    cat.AddFilm({ QStringLiteral("Кин-дза-дза!"), QStringLiteral(" "), QString(), QStringLiteral("Комедия"),
        QStringLiteral("n/d"), QStringLiteral("n/d"), QStringLiteral("135"), QStringLiteral("Ку!") });
    ScriptedUi ui;
    RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) {
        QCOMPARE(d.Item<QSlider>(1022)->value(), 0);
        PressKey(d.GetDlgItem(1022), Qt::Key_Right);
        PressKey(d.GetDlgItem(1022), Qt::Key_End);
        QCOMPARE(app::EditText(d.GetDlgItem(1023)), QStringLiteral("n/d"));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Rows(kFilms).value(0),
        (QStringList { QStringLiteral("Кин-дза-дза!"), kNd, kNd, QStringLiteral("Комедия"), kNd, kNd,
            QStringLiteral("135"), QStringLiteral("Ку!") }));
}

void TestRenameDialog::multiLineComment()
{
    // A comment of several lines, shown in the one-line edit, goes back unchanged unless edited.
    const QString comment = QStringLiteral("Первая строка\r\nВторая строка\r\n\r\nПосле пустой");
    const QString starring = QStringLiteral("Банионис\r\nЛеонов");
    TempCatalogue cat;
    cat.AddFilm({ QStringLiteral("Осенний марафон"), QStringLiteral("Данелия"), starring, QStringLiteral("Драма"),
        QStringLiteral("9"), QStringLiteral("DVD"), QStringLiteral("89"), comment });
    cat.AddFilm({ QStringLiteral("Мимино"), QStringLiteral("Данелия"), starring, QStringLiteral("Комедия"),
        QStringLiteral("9"), QStringLiteral("DVD"), QStringLiteral("97"), comment });
    {
        ScriptedUi ui;
        RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) {
            SaveScreenshot(&d, QStringLiteral("renamedialog-multiline"));
            DragThumb(d.Item<QSlider>(1022), 8);
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
    }
    QCOMPARE(cat.Rows(kFilms).value(0).value(2), starring);
    QCOMPARE(cat.Rows(kFilms).value(0).value(7), comment);
    QCOMPARE(cat.Rows(kFilms).value(0).value(4), QStringLiteral("8"));
    {
        ScriptedUi ui;
        RunEdit(cat, ui, 1, 2, [](CRenameDialog& d) {
            auto* edit = d.Item<QLineEdit>(1027);
            edit->selectAll();
            TypeText(edit, QStringLiteral("Одна строка"));
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
    }
    QCOMPARE(cat.Rows(kFilms).value(1).value(7), QStringLiteral("Одна строка"));
    QCOMPARE(cat.Rows(kFilms).value(1).value(2), starring);
}

void TestRenameDialog::pickersAfterLoading()
{
    TempCatalogue cat;
    cat.AddFilm(Film(
        QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("мой носитель")));
    ScriptedUi ui;
    RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) {
        // "Другое" keeps the loaded name, now writable; "Выбрать" empties a writable edit.
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1020), 14));
        QCOMPARE(app::EditText(d.GetDlgItem(1021)), QStringLiteral("Фантастика"));
        QVERIFY(!app::IsEditReadOnly(d.GetDlgItem(1021)));
        PressKey(d.GetDlgItem(1021), Qt::Key_End);
        TypeText(d.GetDlgItem(1021), QStringLiteral(" и драма"));
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1024), 0));
        QCOMPARE(app::EditText(d.GetDlgItem(1025)), QString());
        QVERIFY(!app::IsEditReadOnly(d.GetDlgItem(1025)));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Rows(kFilms).value(0).value(3), QStringLiteral("Фантастика и драма"));
    QCOMPARE(cat.Rows(kFilms).value(0).value(5), kNd);
}

void TestRenameDialog::cancelAndEnter()
{
    TempCatalogue cat;
    const QStringList film
        = Film(QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("DVD"));
    cat.AddFilm(film);
    {
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) {
            TypeText(d.GetDlgItem(1017), QStringLiteral("!!!"));
            for (int id : { 1017, 1019, 1022, 1024, 1027 })
                PressKey(d.GetDlgItem(id), Qt::Key_Return);
            QVERIFY(!d.IsEnded());
            static_cast<QPushButton*>(d.GetDlgItem(2))->click();
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
    }
    {
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) {
            TypeText(d.GetDlgItem(1017), QStringLiteral("!!!"));
            PressKey(d.GetDlgItem(1017), Qt::Key_Escape);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDCANCEL);
    }
    QCOMPARE(cat.Rows(kFilms), QList<QStringList> { film });
    {
        // Enter right after opening clicks "OK": saved unchanged.
        ScriptedUi ui;
        const int result = RunEdit(cat, ui, 0, 1, [](CRenameDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(cat.Rows(kFilms), QList<QStringList> { film });
    }
}

void TestRenameDialog::failedSave()
{
    TempCatalogue cat;
    const QStringList film
        = Film(QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("DVD"));
    cat.AddFilm(film);
    cat.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON KINVORA11 "
                               "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
    ScriptedUi ui;
    MessageCatcher messages;
    const int result = RunEdit(cat, ui, 0, 1, [&](CRenameDialog& d) {
        auto* title = d.Item<QLineEdit>(1017);
        title->selectAll();
        TypeText(title, QStringLiteral("Зеркало"));
        d.SendCommand(1047);
        QVERIFY(!d.IsEnded());
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(messages.Texts().value(0).contains(QStringLiteral("disk is full")));
        QCOMPARE(cat.Rows(kFilms), QList<QStringList> { film });
        QCOMPARE(app::EditText(title), QStringLiteral("Зеркало"));
        cat.Execute(QStringLiteral("DROP TRIGGER refuse"));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(cat.Rows(kFilms).value(0).value(0), QStringLiteral("Зеркало"));
}

void TestRenameDialog::deletedMeanwhile()
{
    // The film vanished while the dialog was open: the user is told, nothing else is written.
    TempCatalogue cat;
    cat.AddFilm(
        Film(QStringLiteral("Солярис"), QStringLiteral("Фантастика"), QStringLiteral("9"), QStringLiteral("DVD")));
    cat.AddFilm(Film(QStringLiteral("Зеркало"), QStringLiteral("Драма"), QStringLiteral("8"), QStringLiteral("DVD")));
    ScriptedUi ui;
    MessageCatcher messages;
    RunEdit(cat, ui, 0, 1, [&](CRenameDialog& d) {
        cat.Execute(QStringLiteral("DELETE FROM KINVORA11 WHERE rowid = 1"));
        d.SendCommand(1047);
        QVERIFY(!d.IsEnded());
        QCOMPARE(messages.Texts().size(), 1);
        d.SendCommand(2);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Rows(kFilms),
        QList<QStringList> {
            Film(QStringLiteral("Зеркало"), QStringLiteral("Драма"), QStringLiteral("8"), QStringLiteral("DVD")) });
}

QTEST_MAIN(TestRenameDialog)
#include "test_renamedialog.moc"
