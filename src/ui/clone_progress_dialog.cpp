// SPDX-License-Identifier: GPL-3.0-or-later
#include "clone_progress_dialog.h"

#include "base/latin1_text.h"

#include "clone/clone_errors.h"
#include "dialog_placement.h"
#include "twip_scale.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace vireo {

namespace {

// The window's fixed outer size and the bar's place in it, in twips: the bar
// keeps the same margin on the left, top and right.
constexpr int ProgressWindowWidth = 4470;
constexpr int ProgressWindowHeight = 1320;
constexpr int ProgressBarOffset = 120;
constexpr int ProgressBarWidth = ProgressWindowWidth - 2 * ProgressBarOffset;
constexpr int ProgressBarHeight = 280;

} // namespace

CloneProgressDialog::CloneProgressDialog(QWidget *owner, std::function<void()> cancel)
    : QDialog(owner), m_owner(owner), m_cancel(std::move(cancel)), m_bar(new QProgressBar(this)),
      m_stage(new QLabel(this)), m_finishTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("cloneProgressWindow"));
    setWindowTitle(QStringLiteral("Cloning"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    const TwipScale scale = TwipScale::For(owner);
    // The outer size is fixed; without a frame reported yet, it is the inner size.
    const QSize outer = scale.Size(ProgressWindowWidth, ProgressWindowHeight);
    setFixedSize(outer);
    m_bar->setObjectName(QStringLiteral("cloneProgressBar"));
    m_bar->setRange(ProgressMinimum, ProgressMaximum);
    m_bar->setTextVisible(false);
    const int offset = scale.Px(ProgressBarOffset);
    m_bar->setGeometry(offset, offset, scale.Px(ProgressBarWidth), scale.Px(ProgressBarHeight));
    m_stage->setObjectName(QStringLiteral("cloneStageLabel"));
    m_stage->setGeometry(offset, offset * 2 + m_bar->height(), m_bar->width(), scale.Px(ProgressBarHeight));
    m_stage->hide();
    m_finishTimer->setSingleShot(true);
    m_finishTimer->setInterval(1500);
    connect(m_finishTimer, &QTimer::timeout, this, &CloneProgressDialog::Close);
}

void CloneProgressDialog::SetStage(CloneStage stage)
{
    static const char *const texts[] = {
        "Reading the unit's settings...", "Reading the unit's settings to keep a backup...",
        "Writing the settings to the unit...", "Checking: reading the unit back..."};
    m_stage->setText(Latin1Text(texts[static_cast<int>(stage)]));
    m_stage->show();
    m_bar->setValue(ProgressMinimum);
}

void CloneProgressDialog::ShowFinished(const QString &text)
{
    // The run is over: closing the window now cancels nothing.
    m_ending = true;
    m_stage->setText(text);
    m_stage->show();
    m_bar->setValue(ProgressMaximum);
    m_finishTimer->start();
}

bool CloneProgressDialog::ShowModal()
{
    m_ending = false;
    m_bar->setValue(ProgressMinimum);
    if (m_owner)
        PlaceOverOwner(this, m_owner->frameGeometry());
    // The fixed size is the outer one: once the frame is known, the inside gives way to it.
    WhenFramed(this, [this] {
        const QSize frame = frameGeometry().size() - size();
        if (m_owner && frame.width() >= 0 && frame.height() >= 0) {
            setFixedSize(TwipScale::For(m_owner).Size(ProgressWindowWidth, ProgressWindowHeight) - frame);
            PlaceOverOwner(this, m_owner->frameGeometry());
        }
    });
    exec();
    return true;
}

void CloneProgressDialog::SetValue(int value)
{
    m_bar->setValue(ClampProgress(value));
}

int CloneProgressDialog::Value() const
{
    return m_bar->value();
}

void CloneProgressDialog::Close()
{
    // Harmless when the window has already gone (a late end after a cancel).
    m_ending = true;
    m_finishTimer->stop();
    m_stage->hide();
    if (isVisible())
        accept();
}

void CloneProgressDialog::closeEvent(QCloseEvent *event)
{
    // The close box during a run cancels it: the unit is sent the abort
    // frame and the session's end closes this window.
    if (!m_ending && m_cancel)
        m_cancel();
    QDialog::closeEvent(event);
}

void CloneProgressDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close(); // as the close box: cancel the run
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vireo
