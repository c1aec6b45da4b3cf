// The add dialog: the film form's rules (pickers, rating slider, "n/d", keys) and adding a film.
#include "filmtest.h"
#include "scripted.h"
#include "testbase.h"

#include "films/adddialog.h"
#include "films/filmform.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWheelEvent>

namespace {
const QString kFilms = QStringLiteral("KINVORA11");
const QString kNd = QStringLiteral("n/d");

QStringList AllNd()
{
    return { kNd, kNd, kNd, kNd, QStringLiteral("0"), kNd, kNd, kNd };
}

// Runs the add dialog on a catalogue; the script acts on the shown dialog.
int RunAdd(const TempCatalogue& cat, ScriptedUi& ui, std::function<void(CAddDialog&)> script)
{
    ui.ExpectDialog<CAddDialog>(std::move(script));
    CAddDialog AddDialog;
    AddDialog.m_strBasePath = cat.BasePath();
    return AddDialog.DoModal();
}
} // namespace

class TestAddDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void templates();
    void openingState();
    void pickers_data();
    void pickers();
    void comboOwnTextIsNeverRead();
    void ratingSlider_data();
    void ratingSlider();
    void noDataRule_data();
    void noDataRule();
    void keys();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void multiLineCommentAndDuplicates();
    void failedSaveKeepsInput();
    void missingBase();
};

void TestAddDialog::initTestCase()
{
    QVERIFY(rc::Resources::Get().Errors().isEmpty());
}

void TestAddDialog::templates()
{
    // The lists of the code and of the three film templates are one and the same.
    for (int id : { 130, 132, 134 }) {
        const rc::Dialog* d = rc::Resources::Get().FindDialog(id);
        QVERIFY(d);
        QCOMPARE(d->Find(1020)->items, films::Genres());
        QCOMPARE(d->Find(1024)->items, films::Media());
        QVERIFY(!d->systemMenu);
    }
    QCOMPARE(films::Genres().at(films::kGenreOther), QStringLiteral("Другое"));
    QCOMPARE(films::Media().at(films::kMediumOther), QStringLiteral("Другое"));
    QCOMPARE(films::Genres().size(), 15);
    QCOMPARE(films::Media().size(), 9);

    // The add dialog's comment has several lines.
    CAddDialog dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Добавить."));
    QVERIFY(dlg.Item<QPlainTextEdit>(1027));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowCloseButtonHint));
}

void TestAddDialog::openingState()
{
    TempCatalogue cat;
    ScriptedUi ui;
    RunAdd(cat, ui, [](CAddDialog& d) {
        SaveScreenshot(&d, QStringLiteral("adddialog"));
        QCOMPARE(d.focusWidget(), d.GetDlgItem(1047));
        auto* slider = d.Item<QSlider>(1022);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 10);
        QCOMPARE(slider->value(), 0);
        QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
        QCOMPARE(app::EditText(d.GetDlgItem(1023)), QStringLiteral("0"));
        QCOMPARE(d.Item<QComboBox>(1020)->currentIndex(), 0);
        QCOMPARE(d.Item<QComboBox>(1024)->currentIndex(), 0);
        for (int id : { 1021, 1023, 1025 })
            QVERIFY2(app::IsEditReadOnly(d.GetDlgItem(id)), qPrintable(QString::number(id)));
        for (int id : { 1017, 1018, 1019, 1026, 1027 })
            QVERIFY(!app::IsEditReadOnly(d.GetDlgItem(id)));
        d.SendCommand(2);
    });
    VERIFY_SCRIPT(ui);
}

void TestAddDialog::pickers_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("stored");

    QTest::newRow("genre entry") << 1020 << QList<int> { 1 } << QString() << "Комедия" << true << "Комедия";
    QTest::newRow("entry, then other keeps the name")
        << 1020 << QList<int> { 1, 14 } << QString() << "Комедия" << false << "Комедия";
    QTest::newRow("other first, nothing typed") << 1020 << QList<int> { 14 } << QString() << "" << false << "n/d";
    QTest::newRow("other, typed") << 1020 << QList<int> { 14 } << "Нуар"
                                  << "Нуар" << false << "Нуар";
    QTest::newRow("other, then choose empties but stays writable") << 1020 << QList<int> { 2, 14, 0 } << "Арт-хаус"
                                                                   << "Арт-хаус" << false << "Арт-хаус";
    QTest::newRow("entry after other is read-only again")
        << 1020 << QList<int> { 14, 8 } << QString() << "Драма" << true << "Драма";
    QTest::newRow("last genre entry") << 1020 << QList<int> { 13 } << QString() << "Порнография" << true
                                      << "Порнография";
    QTest::newRow("entry, then choose") << 1020 << QList<int> { 3, 0 } << QString() << "" << true << "n/d";
    QTest::newRow("medium entry") << 1024 << QList<int> { 4 } << QString() << "Super VCD" << true << "Super VCD";
    QTest::newRow("medium with a blank") << 1024 << QList<int> { 7 } << QString() << "Черный ящик" << true
                                         << "Черный ящик";
    QTest::newRow("medium entry, then other") << 1024 << QList<int> { 1, 8 } << QString() << "DVD" << false << "DVD";
    QTest::newRow("medium other, typed") << 1024 << QList<int> { 8 } << "Blu-ray"
                                         << "Blu-ray" << false << "Blu-ray";
    QTest::newRow("medium other, then choose") << 1024 << QList<int> { 8, 0 } << QString() << "" << false << "n/d";
}

void TestAddDialog::pickers()
{
    QFETCH(int, list);
    QFETCH(QList<int>, choices);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, readOnly);
    QFETCH(QString, stored);
    const int edit = list + 1;

    TempCatalogue cat;
    ScriptedUi ui;
    const int result = RunAdd(cat, ui, [&](CAddDialog& d) {
        for (int index : choices)
            QVERIFY(ChooseEntry(d.Item<QComboBox>(list), index));
        if (!typed.isEmpty())
            TypeText(d.GetDlgItem(edit), typed);
        QCOMPARE(app::EditText(d.GetDlgItem(edit)), shown);
        QCOMPARE(app::IsEditReadOnly(d.GetDlgItem(edit)), readOnly);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    const QList<QStringList> rows = cat.Rows(kFilms);
    QCOMPARE(rows.size(), 1);
    QStringList expected = AllNd();
    expected[list == 1020 ? 3 : 5] = stored;
    QCOMPARE(rows[0], expected);
}

void TestAddDialog::comboOwnTextIsNeverRead()
{
    TempCatalogue cat;
    ScriptedUi ui;
    RunAdd(cat, ui, [](CAddDialog& d) {
        auto* genres = d.Item<QComboBox>(1020);
        auto* media = d.Item<QComboBox>(1024);
        QVERIFY(ChooseEntry(genres, 8));
        genres->lineEdit()->selectAll();
        TypeText(genres->lineEdit(), QStringLiteral("Вестерн"));
        PressKey(genres->lineEdit(), Qt::Key_Return);
        TypeText(media->lineEdit(), QStringLiteral("Кассета"));
        QCOMPARE(app::EditText(d.GetDlgItem(1021)), QStringLiteral("Драма"));
        QCOMPARE(app::EditText(d.GetDlgItem(1025)), QString());
        QVERIFY(!d.IsEnded());
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Rows(kFilms).value(0).value(3), QStringLiteral("Драма"));
    QCOMPARE(cat.Rows(kFilms).value(0).value(5), kNd);
}

void TestAddDialog::ratingSlider_data()
{
    QTest::addColumn<QString>("moves");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("rating");

    // Only a released drag changes the text; the keyboard, the wheel and clicks in the channel move the
    // slider alone.
    QTest::newRow("drag to 7") << "d7" << 7 << "7";
    QTest::newRow("drag to 10") << "d10" << 10 << "10";
    QTest::newRow("drag up, then back to 0") << "d6 d0" << 0 << "0";
    QTest::newRow("arrow keys") << "> > > > > > >" << 7 << "0";
    QTest::newRow("drag, then arrow keys") << "d3 > >" << 5 << "3";
    QTest::newRow("page, end and home keys") << "P E" << 10 << "0";
    QTest::newRow("end, then home") << "E H" << 0 << "0";
    QTest::newRow("wheel") << "w" << 2 << "0";
    QTest::newRow("drag beyond the end holds at 10") << "d14" << 10 << "10";
}

void TestAddDialog::ratingSlider()
{
    QFETCH(QString, moves);
    QFETCH(int, position);
    QFETCH(QString, rating);

    TempCatalogue cat;
    ScriptedUi ui;
    RunAdd(cat, ui, [&](CAddDialog& d) {
        auto* slider = d.Item<QSlider>(1022);
        for (const QString& move : moves.split(u' ')) {
            if (move.startsWith(u'd'))
                DragThumb(slider, move.mid(1).toInt());
            else if (move == u">")
                PressKey(slider, Qt::Key_Right);
            else if (move == u"P")
                PressKey(slider, Qt::Key_PageUp);
            else if (move == u"E")
                PressKey(slider, Qt::Key_End);
            else if (move == u"H")
                PressKey(slider, Qt::Key_Home);
            else if (move == u"w") {
                QWheelEvent wheel(QPointF(5, 5), slider->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(slider, &wheel);
            }
        }
        QCOMPARE(slider->value(), position);
        QCOMPARE(app::EditText(d.GetDlgItem(1023)), rating);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Rows(kFilms).value(0).value(4), rating);
}

void TestAddDialog::noDataRule_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << ""
                           << "n/d";
    QTest::newRow("one blank") << " "
                               << "n/d";
    QTest::newRow("two blanks") << "  "
                                << "  ";
    QTest::newRow("blanks around") << " Тень "
                                   << " Тень ";
    QTest::newRow("the placeholder itself") << "n/d"
                                            << "n/d";
    QTest::newRow("text") << "Сталкер"
                          << "Сталкер";
}

void TestAddDialog::noDataRule()
{
    QFETCH(QString, input);
    QFETCH(QString, stored);

    // Every typed field, and the genre and medium typed after "Другое", follow the same rule.
    TempCatalogue cat;
    ScriptedUi ui;
    RunAdd(cat, ui, [&](CAddDialog& d) {
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1020), 14));
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1024), 8));
        for (int id : { 1017, 1018, 1019, 1021, 1025, 1026, 1027 })
            TypeText(d.GetDlgItem(id), input);
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Rows(kFilms).value(0),
        (QStringList { stored, stored, stored, stored, QStringLiteral("0"), stored, stored, stored }));
}

void TestAddDialog::keys()
{
    TempCatalogue cat;
    {
        // Enter in any edit, list or the slider neither saves nor closes.
        ScriptedUi ui;
        RunAdd(cat, ui, [](CAddDialog& d) {
            TypeText(d.GetDlgItem(1017), QStringLiteral("Солярис"));
            for (int id : { 1017, 1018, 1019, 1020, 1022, 1026, 1027 }) {
                PressKey(d.GetDlgItem(id), Qt::Key_Return);
                PressKey(d.GetDlgItem(id), Qt::Key_Enter);
            }
            QVERIFY(!d.IsEnded());
            QCOMPARE(app::EditText(d.GetDlgItem(1019)), QString());
            d.SendCommand(2);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(cat.Count(kFilms), 0);
    }
    {
        // Right after opening the focus is on "OK": Enter is a click on it.
        ScriptedUi ui;
        const int result = RunAdd(cat, ui, [](CAddDialog& d) { PressKey(d.focusWidget(), Qt::Key_Return); });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(cat.Rows(kFilms), QList<QStringList> { AllNd() });
    }
    {
        ScriptedUi ui;
        const int result = RunAdd(cat, ui, [](CAddDialog& d) {
            TypeText(d.GetDlgItem(1017), QStringLiteral("Зеркало"));
            d.GetDlgItem(1047)->setFocus();
            PressKey(d.GetDlgItem(1047), Qt::Key_Space);
        });
        VERIFY_SCRIPT(ui);
        QCOMPARE(result, app::IDOK);
        QCOMPARE(cat.Rows(kFilms).value(1).value(0), QStringLiteral("Зеркало"));
    }
}

void TestAddDialog::cancelWritesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Esc in an edit") << "esc-edit";
}

void TestAddDialog::cancelWritesNothing()
{
    QFETCH(QString, how);
    TempCatalogue cat;
    ScriptedUi ui;
    const int result = RunAdd(cat, ui, [&](CAddDialog& d) {
        TypeText(d.GetDlgItem(1017), QStringLiteral("Андрей Рублёв"));
        DragThumb(d.Item<QSlider>(1022), 9);
        if (how == u"button")
            static_cast<QPushButton*>(d.GetDlgItem(2))->click();
        else
            PressKey(how == u"esc" ? d.focusWidget() : d.GetDlgItem(1017), Qt::Key_Escape);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDCANCEL);
    QCOMPARE(cat.Count(kFilms), 0);
}

void TestAddDialog::multiLineCommentAndDuplicates()
{
    TempCatalogue cat;
    cat.AddFilm(QStringLiteral("Сталкер"));
    for (int i = 0; i < 2; ++i) {
        ScriptedUi ui;
        RunAdd(cat, ui, [&](CAddDialog& d) {
            TypeText(d.GetDlgItem(1017), QStringLiteral("Сталкер"));
            TypeText(d.GetDlgItem(1019), QStringLiteral("Кайдановский\nГринько\nСолоницын"));
            TypeText(d.GetDlgItem(1027), QStringLiteral("Первая строка\nВторая строка"));
            TypeText(d.GetDlgItem(1026), QStringLiteral("163 мин"));
            d.SendCommand(1047);
        });
        VERIFY_SCRIPT(ui);
    }
    // Nothing checks for duplicates; the new films come last, line breaks kept.
    const QList<QStringList> rows = cat.Rows(kFilms);
    QCOMPARE(rows.size(), 3);
    for (int i : { 1, 2 }) {
        QCOMPARE(rows[i][0], QStringLiteral("Сталкер"));
        QCOMPARE(rows[i][2], QStringLiteral("Кайдановский\nГринько\nСолоницын"));
        QCOMPARE(rows[i][7], QStringLiteral("Первая строка\nВторая строка"));
        QCOMPARE(rows[i][6], QStringLiteral("163 мин"));
    }
}

void TestAddDialog::failedSaveKeepsInput()
{
    // The film goes in as one INSERT: a failure adds nothing, not even a blank record.
    TempCatalogue cat;
    cat.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON KINVORA11 "
                               "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
    ScriptedUi ui;
    MessageCatcher messages;
    const int result = RunAdd(cat, ui, [&](CAddDialog& d) {
        TypeText(d.GetDlgItem(1017), QStringLiteral("Ностальгия"));
        QVERIFY(ChooseEntry(d.Item<QComboBox>(1020), 8));
        DragThumb(d.Item<QSlider>(1022), 8);
        d.SendCommand(1047);
        QVERIFY(!d.IsEnded());
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY2(
            messages.Texts().value(0).contains(QStringLiteral("disk is full")), qPrintable(messages.Texts().value(0)));
        QCOMPARE(cat.Count(kFilms), 0);
        QCOMPARE(app::EditText(d.GetDlgItem(1017)), QStringLiteral("Ностальгия"));
        QCOMPARE(app::EditText(d.GetDlgItem(1021)), QStringLiteral("Драма"));
        QCOMPARE(app::EditText(d.GetDlgItem(1023)), QStringLiteral("8"));

        // Once the cause is gone, "OK" again adds the film once.
        cat.Execute(QStringLiteral("DROP TRIGGER refuse"));
        d.SendCommand(1047);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(result, app::IDOK);
    QCOMPARE(cat.Rows(kFilms),
        (QList<QStringList> {
            { QStringLiteral("Ностальгия"), kNd, kNd, QStringLiteral("Драма"), QStringLiteral("8"), kNd, kNd, kNd } }));
}

void TestAddDialog::missingBase()
{
    TempCatalogue cat;
    const QString moved = cat.BasePath() + QStringLiteral(".away");
    ScriptedUi ui;
    MessageCatcher messages;
    RunAdd(cat, ui, [&](CAddDialog& d) {
        TypeText(d.GetDlgItem(1017), QStringLiteral("Иваново детство"));
        QVERIFY(QFile::rename(cat.BasePath(), moved));
        d.SendCommand(1047);
        QVERIFY(!d.IsEnded());
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY2(
            messages.Texts().value(0).contains(QStringLiteral("BaseFilm.mdb")), qPrintable(messages.Texts().value(0)));
        QVERIFY(!QFile::exists(cat.BasePath()));
        QCOMPARE(app::EditText(d.GetDlgItem(1017)), QStringLiteral("Иваново детство"));
        QVERIFY(QFile::rename(moved, cat.BasePath()));
        d.SendCommand(2);
    });
    VERIFY_SCRIPT(ui);
    QCOMPARE(cat.Count(kFilms), 0);
}

QTEST_MAIN(TestAddDialog)
#include "test_adddialog.moc"
