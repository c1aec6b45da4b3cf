#include "app/cdialog.h"

#include "app/accel.h"
#include "app/ddx.h"
#include "app/listctrl.h"
#include "app/msgbox.h"
#include "app/statusbar.h"
#include "data/dberror.h"
#include "data/errortext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace app {

namespace {
    CDialog::ModalHook& Hook()
    {
        static CDialog::ModalHook hook;
        return hook;
    }
    int g_unanswered = 0;
    int g_unknownIds = 0;

    bool HasCommand(const QList<rc::MenuItem>& items, int id)
    {
        return std::any_of(items.cbegin(), items.cend(),
            [id](const rc::MenuItem& item) { return item.command == id || HasCommand(item.children, id); });
    }

    // Dialog base units of a font: average character width and height. Cyrillic letters count as well as
    // Latin ones, so Russian texts fit the rectangles that were laid out for them.
    QSize BaseUnits(const QFont& font)
    {
        const QFontMetrics fm(font);
        const int latin = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const int cyrillic
            = fm.horizontalAdvance(QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя"));
        const int x = std::max((latin / 26 + 1) / 2, (cyrillic / 32 + 1) / 2);
        return { x, fm.height() };
    }

    int MulDiv(int a, int b, int c)
    {
        return int((qint64(a) * b + (a >= 0 ? c / 2 : -c / 2)) / c);
    }
} // namespace

CDialog::CDialog(int templateId, QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow())
{
    m_template = rc::Resources::Get().FindDialog(templateId);
    if (!m_template)
        qFatal("dialog template %d is missing", templateId);
    KeyRouter::Install();
    Build();
}

CDialog::~CDialog() = default;

void CDialog::SetModalHook(ModalHook hook)
{
    Hook() = std::move(hook);
    g_unanswered = 0;
}

int CDialog::UnansweredModalRuns()
{
    return g_unanswered;
}

int CDialog::UnknownIdCount()
{
    return g_unknownIds;
}

bool CDialog::Defines(int id) const
{
    if (id == IDOK || id == IDCANCEL || m_items.contains(id))
        return true;
    if (m_accel && std::any_of(m_accel->cbegin(), m_accel->cend(), [id](const auto& a) { return a.command == id; }))
        return true;
    const rc::Menu* menu = m_template->menu ? rc::Resources::Get().FindMenu(m_template->menu) : nullptr;
    return menu && HasCommand(menu->popups, id);
}

void CDialog::CountUnknown(int id) const
{
    ++g_unknownIds;
    qWarning("window %d: id %d is in no template, menu or key table", m_template->id, id);
}

QRect CDialog::MapDialogRect(const QRect& du) const
{
    const int x = MulDiv(du.x(), m_baseUnits.width(), 4);
    const int y = MulDiv(du.y(), m_baseUnits.height(), 8);
    const int r = MulDiv(du.x() + du.width(), m_baseUnits.width(), 4);
    const int b = MulDiv(du.y() + du.height(), m_baseUnits.height(), 8);
    return { x, y, r - x, b - y };
}

QRect CDialog::MapClassicPixels(const QRect& px) const
{
    constexpr int kClassicX = 6;
    constexpr int kClassicY = 13;
    const int x = MulDiv(px.x(), m_baseUnits.width(), kClassicX);
    const int y = MulDiv(px.y(), m_baseUnits.height(), kClassicY);
    const int r = MulDiv(px.x() + px.width(), m_baseUnits.width(), kClassicX);
    const int b = MulDiv(px.y() + px.height(), m_baseUnits.height(), kClassicY);
    return { x, y, r - x, b - y };
}

void CDialog::Build()
{
    setWindowTitle(m_template->caption);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (m_template->systemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_template->minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setSizeGripEnabled(false);
    m_baseUnits = BaseUnits(font());

    m_client = new QWidget(this);
    for (const rc::Control& c : m_template->controls) {
        QWidget* w = CreateControl(c);
        if (c.id > 0 && c.id != 0xffff)
            m_items.insert(c.id, w);
    }
    // Frames and group boxes are backgrounds: keep them behind the controls they surround.
    for (QObject* child : m_client->children())
        if (qobject_cast<QGroupBox*>(child) || child->property("vidarroFrame").toBool())
            static_cast<QWidget*>(child)->lower();
    if (m_template->menu)
        BuildMenu(m_template->menu);
    LayoutFrame();
}

QWidget* CDialog::CreateControl(const rc::Control& c)
{
    const QRect r = MapDialogRect(c.rect);
    QWidget* w = nullptr;
    switch (c.kind) {
    case rc::Kind::Label: {
        auto* label = new QLabel(c.text, m_client);
        label->setTextFormat(Qt::PlainText);
        Qt::Alignment h = c.flags & rc::AlignCenter ? Qt::AlignHCenter
            : c.flags & rc::AlignRight              ? Qt::AlignRight
                                                    : Qt::AlignLeft;
        label->setAlignment(h | (c.flags & rc::CenterImage ? Qt::AlignVCenter : Qt::AlignTop));
        label->setWordWrap(!(c.flags & rc::NoWrap));
        if (c.flags & rc::Sunken)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        else if (c.flags & rc::Border)
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
        w = label;
        break;
    }
    case rc::Kind::Button: {
        auto* button = new QPushButton(c.text, m_client);
        button->setAutoDefault(false);
        button->setDefault(false);
        const int id = c.id;
        connect(button, &QPushButton::clicked, this, [this, id] { SendCommand(id); });
        w = button;
        break;
    }
    case rc::Kind::Edit:
        if (c.flags & rc::Multiline) {
            auto* edit = new QPlainTextEdit(m_client);
            edit->setTabChangesFocus(true);
            edit->setVerticalScrollBarPolicy(c.flags & rc::VScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            edit->setLineWrapMode(c.flags & rc::AutoHScroll ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
            w = edit;
        } else {
            w = new QLineEdit(m_client);
        }
        SetEditReadOnly(w, c.flags & rc::ReadOnly);
        break;
    case rc::Kind::Combo: {
        auto* combo = new QComboBox(m_client);
        combo->setEditable(c.flags & rc::DropDown);
        if (combo->isEditable()) {
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
        }
        combo->addItems(c.items);
        combo->setCurrentIndex(-1);
        combo->setMaxVisibleItems(15);
        w = combo;
        break;
    }
    case rc::Kind::ListView: {
        auto* list = new CListCtrl(m_client);
        list->SetSingleSelection(c.flags & rc::SingleSel);
        list->SetShowSelectionAlways(c.flags & rc::ShowSelAlways);
        w = list;
        break;
    }
    case rc::Kind::ListBox: {
        auto* list = new QListWidget(m_client);
        list->setVerticalScrollBarPolicy(c.flags & rc::VScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        list->addItems(c.items);
        w = list;
        break;
    }
    case rc::Kind::GroupBox:
        w = new QGroupBox(c.text, m_client);
        w->setFocusPolicy(Qt::NoFocus);
        break;
    case rc::Kind::Radio: {
        auto* radio = new QRadioButton(c.text, m_client);
        // A click on a radio button is a command of its own, as a push button's is.
        const int id = c.id;
        connect(radio, &QRadioButton::clicked, this, [this, id] { SendCommand(id); });
        w = radio;
        break;
    }
    case rc::Kind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, m_client);
        slider->setTickPosition(c.flags & rc::NoTicks ? QSlider::NoTicks : QSlider::TicksBelow);
        slider->setPageStep(2);
        connect(slider, &QSlider::actionTriggered, this, [this, slider](int action) {
            int code = -1;
            switch (action) {
            case QAbstractSlider::SliderSingleStepAdd:
                code = SB_LINERIGHT;
                break;
            case QAbstractSlider::SliderSingleStepSub:
                code = SB_LINELEFT;
                break;
            case QAbstractSlider::SliderPageStepAdd:
                code = SB_PAGERIGHT;
                break;
            case QAbstractSlider::SliderPageStepSub:
                code = SB_PAGELEFT;
                break;
            case QAbstractSlider::SliderToMinimum:
                code = SB_LEFT;
                break;
            case QAbstractSlider::SliderToMaximum:
                code = SB_RIGHT;
                break;
            case QAbstractSlider::SliderMove:
                code = slider->isSliderDown() ? SB_THUMBTRACK : -1;
                break;
            default:
                break;
            }
            for (const auto& h : m_hscroll)
                if (code >= 0)
                    Guarded([&] { h(code, slider->sliderPosition(), slider); });
        });
        // Releasing the thumb after a drag is the only scroll that reports its final position.
        connect(slider, &QSlider::sliderReleased, this, [this, slider] {
            for (const auto& h : m_hscroll) {
                Guarded([&] { h(SB_THUMBPOSITION, slider->value(), slider); });
                Guarded([&] { h(SB_ENDSCROLL, slider->value(), slider); });
            }
        });
        w = slider;
        break;
    }
    case rc::Kind::Progress: {
        auto* bar = new QProgressBar(m_client);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        w = bar;
        break;
    }
    case rc::Kind::Bitmap: {
        auto* picture = new QLabel(m_client);
        const QPixmap pixmap(QStringLiteral(":/bitmaps/bitmap%1.bmp").arg(c.text.mid(1)));
        if (pixmap.isNull())
            qWarning("bitmap %s is missing", qUtf8Printable(c.text));
        picture->setPixmap(pixmap);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setGeometry(QRect(r.topLeft(), pixmap.isNull() ? r.size() : pixmap.size()));
        w = picture;
        break;
    }
    case rc::Kind::Frame: {
        auto* frame = new QFrame(m_client);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setProperty("vidarroFrame", true);
        w = frame;
        break;
    }
    }
    if (c.kind != rc::Kind::Bitmap)
        w->setGeometry(r);
    if (auto* combo = qobject_cast<QComboBox*>(w)) // the template's height includes the drop-down
        w->setGeometry(r.x(), r.y(), r.width(), combo->sizeHint().height());
    if (c.flags & rc::NoTabStop)
        w->setFocusPolicy(w->focusPolicy() == Qt::NoFocus ? Qt::NoFocus : Qt::ClickFocus);
    if (c.flags & rc::Disabled)
        w->setEnabled(false);
    w->setObjectName(c.id > 0 ? QStringLiteral("idc%1").arg(c.id) : QStringLiteral("static%1").arg(c.line));
    w->setVisible(!(c.flags & rc::Hidden));
    return w;
}

void CDialog::BuildMenu(int menuId)
{
    const rc::Menu* menu = rc::Resources::Get().FindMenu(menuId);
    if (!menu) {
        qWarning("menu %d is missing", menuId);
        return;
    }
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    std::function<void(QMenu*, const QList<rc::MenuItem>&)> fill = [&](QMenu* into, const QList<rc::MenuItem>& items) {
        for (const rc::MenuItem& item : items) {
            if (item.command == 0) {
                fill(into->addMenu(item.text), item.children);
                continue;
            }
            QAction* action = into->addAction(item.text);
            const int id = item.command;
            connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
        }
    };
    for (const rc::MenuItem& popup : menu->popups)
        fill(m_menuBar->addMenu(popup.text), popup.children);
}

void CDialog::AttachStatusBar(CStatusBar* bar)
{
    m_statusBar = bar;
    bar->setParent(this);
    LayoutFrame();
    bar->show();
}

void CDialog::LayoutFrame()
{
    const QSize client = MapDialogRect(QRect(QPoint(0, 0), m_template->size)).size();
    const int top = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    const int bottom = m_statusBar ? m_statusBar->sizeHint().height() : 0;
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, client.width(), top);
    m_client->setGeometry(0, top, client.width(), client.height());
    if (m_statusBar)
        m_statusBar->setGeometry(0, top + client.height(), client.width(), bottom);
    setFixedSize(client.width(), top + client.height() + bottom);
}

QWidget* CDialog::GetDlgItem(int id) const
{
    QWidget* w = m_items.value(id);
    if (!w)
        CountUnknown(id);
    return w;
}

void CDialog::MoveControl(int id, const QRect& pixels)
{
    if (QWidget* w = GetDlgItem(id)) {
        // A combo box's rectangle includes its drop-down, as in the templates.
        if (auto* combo = qobject_cast<QComboBox*>(w))
            w->setGeometry(pixels.x(), pixels.y(), pixels.width(), combo->sizeHint().height());
        else
            w->setGeometry(pixels);
        w->update();
    }
}

void CDialog::ShowControl(int id, bool show)
{
    if (QWidget* w = GetDlgItem(id))
        w->setVisible(show);
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) { }

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnDefaultAction()
{
    SendCommand(IDOK);
}

void CDialog::RunDefaultAction()
{
    Guarded([this] { OnDefaultAction(); });
}

void CDialog::OnCommand(int id, Handler handler)
{
    if (!Defines(id))
        CountUnknown(id);
    m_commands.insert(id, std::move(handler));
}

void CDialog::OnSelChange(int id, Handler handler)
{
    auto* combo = Item<QComboBox>(id);
    Q_ASSERT_X(combo, "OnSelChange", "no combo box with this id");
    if (combo)
        connect(combo, &QComboBox::activated, this, [this, handler = std::move(handler)] { Guarded(handler); });
}

void CDialog::OnHScroll(std::function<void(int, int, QAbstractSlider*)> handler)
{
    m_hscroll << std::move(handler);
}

void CDialog::OnItemChanged(int id, std::function<void(int)> handler)
{
    auto* list = Item<CListCtrl>(id);
    Q_ASSERT_X(list, "OnItemChanged", "no list control with this id");
    if (list)
        connect(list, &CListCtrl::itemChanged, this,
            [this, handler = std::move(handler)](int row) { Guarded([&] { handler(row); }); });
}

void CDialog::SendCommand(int id)
{
    if (const auto it = m_commands.constFind(id); it != m_commands.cend()) {
        const Handler handler = it.value(); // the handler may end and destroy nothing, but keep a copy
        Guarded(handler);
    } else if (id == IDOK) {
        Guarded([this] { OnOK(); });
    } else if (id == IDCANCEL) {
        Guarded([this] { OnCancel(); });
    }
}

void CDialog::Guarded(const Handler& handler)
{
    try {
        handler();
    } catch (const data::DbError& e) {
        MessageBox(this, e.Text());
    } catch (const std::exception& e) {
        MessageBox(this,
            QStringLiteral("Команда прервана из-за непредвиденной ошибки. Повторите её; если ошибка не пройдёт, "
                           "перезапустите программу.")
                + data::Details(QString::fromUtf8(e.what())));
    }
}

void CDialog::LoadAccelerators(int tableId)
{
    m_accel = rc::Resources::Get().FindAccelerators(tableId);
    if (!m_accel)
        qWarning("key table %d is missing", tableId);
}

bool CDialog::TranslateAccelerator(const QKeyEvent& event)
{
    if (!m_accel)
        return false;
    const QKeyCombination key = TableKey(event);
    for (const rc::Accelerator& a : *m_accel) {
        if (a.key[0] == key) {
            SendCommand(a.command);
            return true;
        }
    }
    return false;
}

void CDialog::Initialize()
{
    if (m_initialized)
        return;
    m_initialized = true;
    Guarded([this] { m_defaultFocus = OnInitDialog(); });
}

int CDialog::DoModal()
{
    m_ended = false;
    m_result = IDCANCEL;
    Initialize();
    if (m_ended)
        return m_result;
    if (Hook()) {
        setModal(true);
        show();
        // A copy: the hook may replace itself while it runs (a test scripting a nested window).
        const ModalHook hook = Hook();
        hook(*this);
        if (!m_ended) {
            ++g_unanswered;
            qWarning("modal window \"%s\" was left open by the test", qUtf8Printable(windowTitle()));
            m_result = IDCANCEL;
        }
        hide();
        return m_result;
    }
    m_inExec = true;
    exec();
    m_inExec = false;
    return m_result;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    if (m_inExec)
        done(result);
}

void CDialog::reject()
{
    SendCommand(IDCANCEL);
}

void CDialog::accept()
{
    SendCommand(IDOK);
}

void CDialog::closeEvent(QCloseEvent* event)
{
    if (!m_ended)
        SendCommand(IDCANCEL);
    if (m_ended)
        event->accept();
    else
        event->ignore();
}

void CDialog::FocusFirstTabStop()
{
    for (const rc::Control& c : m_template->controls) {
        QWidget* w = m_items.value(c.id);
        if (w && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_defaultFocus) {
        m_defaultFocus = false;
        FocusFirstTabStop();
    }
}

} // namespace app
