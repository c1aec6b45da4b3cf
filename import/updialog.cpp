#include "import/updialog.h"

#include "data/daodb.h"
#include "data/dberror.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "ids/import.h"
#include "import/prevbase.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>

namespace {
namespace id = ids::import;

// The previous version's debtor table and the columns read from its two tables, in the order they are
// written to the catalogue: every film field, the debtor's fields but the mark.
constexpr QLatin1String kPrevDebtors { "DOLGI" };
const QStringList& FilmColumns()
{
    static const QStringList columns = data::FieldList(data::kFilmFields);
    return columns;
}
const QStringList& DebtorColumns()
{
    static const QStringList columns = data::FieldList(std::span(data::kDebtorFields).first(3));
    return columns;
}
// The mark of a copied debtor: "Отменина".
constexpr QLatin1String kCopiedMark { "N" };

// How often the window is painted while records are copied.
constexpr int kPaintIntervalMs = 40;

// The base chosen last and the result of its check, for the rest of the program's run.
QString g_strChosenPath;
bool g_bBaseFits = false;
// A whole catalogue of the Windows version is converted, not loaded: the refusal says how.
const QString& WholeCatalogueText()
{
    static const QString text = QStringLiteral(
        "Это целый каталог Windows-версии программы, а не база предыдущей версии. Чтобы открыть его, "
        "запустите Vidarro в его папке (файл должен называться «BaseFilm.mdb») или переведите его командой "
        "«vidarro-newbase --from ФАЙЛ ПАПКА» и запустите Vidarro в той папке.");
    return text;
}

// Bases loaded in this run: loading one again would add its records a second time.
QStringList g_loadedBases;

QString BaseKey(const QString& path)
{
    const QFileInfo info(path);
    return info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
}

// The film table is matched exactly, letter case included; other names, system tables among them, are
// simply passed over.
bool HasFilmTable(const QStringList& names)
{
    for (const QString& name : names)
        if (name == data::table::PrevFilms)
            return true;
    return false;
}

} // namespace

CUpDialog::CUpDialog(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    OnCommand(id::Open, &CUpDialog::OnOpen);
    OnCommand(id::Load, &CUpDialog::OnLoad);
}

QString CUpDialog::ChosenPath()
{
    return g_strChosenPath;
}

bool CUpDialog::BaseFits()
{
    return g_bBaseFits;
}

void CUpDialog::ResetImportState()
{
    g_strChosenPath.clear();
    g_bBaseFits = false;
    g_loadedBases.clear();
}

void CUpDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, app::IDOK, m_buttonOk);
    app::DDX_Control(pDX, id::Progress, m_progress);
    app::DDX_Control(pDX, id::Report, m_listReport);
}

bool CUpDialog::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    // The report is narrow and has no horizontal scroll bar: a long line, such as an error that names a
    // file, wraps instead of being cut off.
    m_listReport->setWordWrap(true);
    m_listReport->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listReport->setResizeMode(QListView::Adjust);
    return true;
}

void CUpDialog::OnCancel()
{
    // Closing the window half-way through a copy would report a cancel for a base that is being loaded.
    if (m_bCopying)
        return;
    app::CDialog::OnCancel();
}

void CUpDialog::Report(const QString& line)
{
    m_listReport->addItem(line);
    m_listReport->scrollToBottom();
}

void CUpDialog::SetProgressRange(int total)
{
    // An empty range would turn the bar into a busy indicator.
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(0);
}

void CUpDialog::OnOpen()
{
    const QString path = app::GetOpenFileName(
        this, QStringLiteral("Открыть файл."), QStringLiteral("Файл базы"), QStringLiteral("*.mdb"));
    if (path.isEmpty())
        return;
    g_strChosenPath = path;
    Report(QStringLiteral("База Открыта"));
    CheckBase();
    SetProgressRange(m_nTotal);
}

void CUpDialog::CheckBase()
{
    m_nTotal = 0;
    g_bBaseFits = false;
    import::CPrevBase base;
    try {
        base.Open(g_strChosenPath);
    } catch (const data::DbError& e) {
        Report(QStringLiteral("Базы нету."));
        Report(e.Text());
        return;
    }
    g_bBaseFits = HasFilmTable(base.TableNames());
    if (g_bBaseFits) {
        Report(QStringLiteral("Проверка завершена."));
        CountRecords(base);
    } else {
        Report(QStringLiteral("Ошибка база не подходит."));
        if (base.Kind() == import::BaseKind::Jet && base.TableNames().contains(data::table::Films, Qt::CaseInsensitive))
            Report(WholeCatalogueText());
    }
}

void CUpDialog::CountRecords(import::CPrevBase& base)
{
    try {
        // A table read with no columns gives one empty row per record: enough to count them.
        const int films = int(base.ReadTable(data::table::PrevFilms, {}).size());
        if (films == 0)
            return;
        Report(QStringLiteral("Записей фильмов: %1").arg(films));
        m_nTotal += films;

        const QString debtorTable = import::FindTable(base.TableNames(), kPrevDebtors);
        if (debtorTable.isEmpty()) {
            Report(QStringLiteral("В базе нет таблицы должников."));
            return;
        }
        const int debtors = int(base.ReadTable(debtorTable, {}).size());
        if (debtors == 0)
            return;
        Report(QStringLiteral("Записей должников: %1").arg(debtors));
        m_nTotal += debtors;
    } catch (const data::DbError& e) {
        // What cannot be counted cannot be copied either.
        g_bBaseFits = false;
        Report(e.Text());
    }
}

void CUpDialog::OnLoad()
{
    if (!g_bBaseFits) {
        app::MessageBox(this, QStringLiteral("База не может быть загружена!"));
        return;
    }
    if (g_loadedBases.contains(BaseKey(g_strChosenPath))
        && app::MessageBox(this,
               QStringLiteral("Эта база уже загружена. Загрузить её ещё раз? Записи добавятся повторно."),
               app::Buttons::OkCancel)
            != app::IDOK)
        return;
    // A second click while the base is read or copied must not start another load.
    QPushButton* load = Item<QPushButton>(id::Load);
    load->setEnabled(false);
    const auto enableAgain = qScopeGuard([load] { load->setEnabled(true); });
    m_nPosition = 0;
    m_progress->setValue(0);

    // The whole source is read before anything is written: a damaged file fails here and costs nothing.
    QList<QStringList> films;
    QList<QStringList> debtors;
    bool hasDebtors = false;
    try {
        ReadSource(&films, &debtors, &hasDebtors);
    } catch (const data::DbError& e) {
        Report(QStringLiteral("База не загружена, ничего не добавлено."));
        Report(e.Text());
        return;
    }
    // The bar follows what is copied now, also after a check of another opening or of an empty film table.
    const int total = int(films.size() + debtors.size());
    if (m_progress->maximum() != total)
        SetProgressRange(total);

    try {
        CopyRecords(films, debtors);
    } catch (const data::DbError& e) {
        m_nPosition = 0;
        m_progress->setValue(0);
        Report(QStringLiteral("База не загружена, ничего не добавлено."));
        Report(e.Text());
        return;
    }
    g_loadedBases << BaseKey(g_strChosenPath);
    if (!hasDebtors)
        Report(QStringLiteral("Должники не загружены: в базе нет таблицы должников."));
    Report(QStringLiteral("База загружена."));
}

void CUpDialog::ReadSource(QList<QStringList>* films, QList<QStringList>* debtors, bool* hasDebtors)
{
    import::CPrevBase base;
    base.Open(g_strChosenPath);
    *films = base.ReadTable(data::table::PrevFilms, FilmColumns());
    const QString debtorTable = import::FindTable(base.TableNames(), kPrevDebtors);
    *hasDebtors = !debtorTable.isEmpty();
    if (*hasDebtors)
        *debtors = base.ReadTable(debtorTable, DebtorColumns());
}

void CUpDialog::CopyRecords(const QList<QStringList>& films, const QList<QStringList>& debtors)
{
    using namespace data;
    // While records are copied the window refuses to close, and the bar, which would repaint itself for
    // every few records, is painted only with the window (StepProgress).
    struct Busy {
        CUpDialog& dlg;
        explicit Busy(CUpDialog& d)
            : dlg(d)
        {
            dlg.m_bCopying = true;
            dlg.m_progress->setUpdatesEnabled(false);
        }
        ~Busy()
        {
            dlg.m_bCopying = false;
            dlg.m_progress->setUpdatesEnabled(true);
        }
    } busy(*this);
    m_paintTimer.start();

    // One connection and one transaction: either every record arrives or none does.
    CDaoDatabase cDaoDB;
    cDaoDB.Open(m_strBasePath);
    CDaoDatabase::Transaction transaction(cDaoDB);
    CDaoRecordset rs(cDaoDB);
    rs.SetAppendOnly(true);

    rs.Open(table::Films, { field::NameFilm });
    for (const QStringList& film : films) {
        rs.AddNew();
        for (size_t i = 0; i < kFilmFields.size(); ++i)
            rs.SetFieldValue(kFilmFields[i], film.at(qsizetype(i)));
        rs.Update();
        StepProgress();
    }

    rs.Open(table::Debtors, { field::Name });
    for (const QStringList& debtor : debtors) {
        rs.AddNew();
        rs.SetFieldValue(field::Name, debtor.at(0));
        rs.SetFieldValue(field::NameFilm, debtor.at(1));
        rs.SetFieldValue(field::Data, debtor.at(2));
        rs.SetFieldValue(field::Metka, kCopiedMark);
        rs.Update();
        StepProgress();
    }
    rs.Close();
    transaction.Commit();
}

void CUpDialog::StepProgress()
{
    // One step per record; the window is painted now and then, with paint and expose events only, so the
    // user cannot start another command while the copy runs.
    m_progress->setValue(++m_nPosition);
    if (m_paintTimer.hasExpired(kPaintIntervalMs)) {
        m_progress->setUpdatesEnabled(true);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_progress->setUpdatesEnabled(false);
        m_paintTimer.restart();
    }
}
