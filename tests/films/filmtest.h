#pragma once

// Small helpers shared by the film windows' tests: user actions the dialog layer has no call for.

#include "app/dialoglayer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <QTest>

// Chooses a list entry as a user does: opens the drop-down and clicks the entry.
inline bool ChooseEntry(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    return combo->currentIndex() == index && !view->isVisible();
}

// Drags the slider's thumb to a position and releases it there.
inline void DragThumb(QSlider* slider, int position)
{
    slider->setSliderDown(true);
    slider->setSliderPosition(position);
    slider->setSliderDown(false);
}

// Catches every message box in place of the scripted answers, for texts that come from the database
// engine. Each box is answered with OK.
class MessageCatcher {
public:
    MessageCatcher()
    {
        app::SetMessageBoxHook([this](const QString& text, app::Buttons) {
            m_texts << text;
            return app::IDOK;
        });
    }
    ~MessageCatcher() { app::SetMessageBoxHook({}); }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;
    const QStringList& Texts() const { return m_texts; }

private:
    QStringList m_texts;
};

// With VIDARRO_SCREENSHOTS set to a folder, saves a picture of the window there.
inline void SaveScreenshot(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("VIDARRO_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QCoreApplication::processEvents(); // pending layouts, as on screen
    window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
