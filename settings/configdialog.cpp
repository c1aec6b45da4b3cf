#include "settings/configdialog.h"

#include "data/textrules.h"
#include "ids/config.h"
#include "settings/profile.h"

#include <QComboBox>
#include <QLabel>

namespace {
namespace id = ids::config;

const QString kSection = QStringLiteral("Config");
const QString kMessage = QStringLiteral("Message");
const QString kTable = QStringLiteral("Table");
} // namespace

CConfigDialog::CConfigDialog(QWidget* parent)
    : app::CDialog(id::Dialog, parent)
{
    OnSelChange(id::Message, &CConfigDialog::OnMessageChange);
}

void CConfigDialog::DoDataExchange(app::CDataExchange* pDX)
{
    app::CDialog::DoDataExchange(pDX);
    app::DDX_Control(pDX, id::Table, m_comboTable);
    app::DDX_Control(pDX, id::PicSound, m_picSound);
    app::DDX_Control(pDX, id::PicMessage, m_picMessage);
    app::DDX_Control(pDX, id::Message, m_comboMessage);
}

bool CConfigDialog::OnInitDialog()
{
    app::CDialog::OnInitDialog();
    app::ComboSetCurSel(m_comboMessage, 0);
    app::ComboSetCurSel(m_comboTable, 0);
    m_picMessage->hide();
    m_picSound->hide();
    // A stored index outside a list selects nothing there.
    app::ComboSetCurSel(m_comboMessage, settings::GetPrivateProfileInt(kSection, kMessage, m_strIniPath));
    app::ComboSetCurSel(m_comboTable, settings::GetPrivateProfileInt(kSection, kTable, m_strIniPath));
    UpdatePictures();
    return true;
}

void CConfigDialog::OnMessageChange()
{
    UpdatePictures();
}

void CConfigDialog::UpdatePictures()
{
    const int index = app::ComboGetCurSel(m_comboMessage);
    if (index < 0)
        return;
    // 1 is a message, 2 a sound, 3 both.
    m_picMessage->setVisible(index & 1);
    m_picSound->setVisible(index & 2);
}

void CConfigDialog::OnOK()
{
    // -1 stands for a combo whose own text is no entry of its list.
    const int message = app::ComboGetCurSel(m_comboMessage);
    const int table = app::ComboGetCurSel(m_comboTable);
    // Both or neither: one replacement of the file. A failure is shown and the window stays open.
    settings::WritePrivateProfileStrings(
        kSection, { { kMessage, QString::number(message) }, { kTable, QString::number(table) } }, m_strIniPath);
    EndDialog(app::IDOK);
}
