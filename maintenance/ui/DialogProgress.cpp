// Progress shown in a maintenance dialog.
#include "maintenance/ui/DialogProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace kelvo {

namespace {

int Clamped(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}

} // namespace

DialogProgress::DialogProgress(QLabel* status, QProgressBar* bar) : m_status(status), m_bar(bar) {
    if (m_status)
        m_statusText = m_status->text();
}

bool DialogProgress::Due() const {
    return !m_shown.isValid() || m_shown.elapsed() >= kRepaintIntervalMs;
}

void DialogProgress::Show() {
    if (m_status && m_status->text() != m_statusText) {
        m_status->setText(m_statusText);
        m_status->repaint();
    }
    if (m_bar) {
        m_bar->setRange(0, Clamped(m_upper));
        m_bar->setValue(Clamped(std::min(m_value, m_upper)));
        m_bar->repaint();
    }
    m_shown.start();
}

void DialogProgress::Start(std::size_t upper) {
    m_upper = upper;
    m_value = 0;
    Show();
}

void DialogProgress::Step() {
    ++m_value;
    if (Due())
        Show();
}

void DialogProgress::Finish() {
    m_value = m_upper;
    Show();
}

void DialogProgress::SetStatus(std::string_view utf8) {
    m_statusText = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (Due())
        Show();
}

void DialogProgress::SetCancellable(bool cancellable) {
    if (onCancellable)
        onCancellable(cancellable);
}

bool DialogProgress::CancelRequested() {
    if (Due()) {
        Show();
        QCoreApplication::processEvents();
    }
    return m_cancel;
}

} // namespace kelvo
