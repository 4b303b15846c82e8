// Progress shown in a window's status line and bar.
#include "search/ui/WindowProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

namespace kelvo {

/// Sees the events handled during a pump before their receivers do.
class WindowProgress::InputWatch : public QObject {
public:
    explicit InputWatch(WindowProgress& progress) : m_progress(progress) {}
    bool pumping = false;
    bool seen = false;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (pumping && !seen && IsInput(event->type())) {
            seen = true;
            if (m_progress.onUserInput)
                m_progress.onUserInput();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static bool IsInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::Close:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            return true;
        default:
            return false;
        }
    }

    WindowProgress& m_progress;
};

namespace {
int BarValue(std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, std::numeric_limits<int>::max()));
}
} // namespace

WindowProgress::WindowProgress(QLabel* status, QProgressBar* bar, QLabel* detail)
    : m_watch(std::make_unique<InputWatch>(*this)), m_status(status), m_detail(detail), m_bar(bar) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(m_watch.get());
    m_sincePump.start();
}

WindowProgress::~WindowProgress() = default; // the filter goes with its object

void WindowProgress::Reset() {
    m_cancel = false;
    m_sincePump.restart();
}

void WindowProgress::Start(std::size_t upper) {
    m_upper = upper;
    m_value = 0;
    if (m_bar) {
        m_bar->setRange(0, BarValue(upper));
        m_bar->setValue(0);
    }
}

void WindowProgress::Step() {
    ++m_value;
}

void WindowProgress::Finish() {
    m_value = m_upper;
    if (m_bar)
        m_bar->setValue(m_bar->maximum());
}

void WindowProgress::SetStatus(std::string_view utf8) {
    m_statusText = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    m_statusChanged = true;
    // The first and the last line of an operation show at once; the ones between at the
    // next round of events.
    if (m_sincePump.elapsed() >= m_interval || m_value == 0 || m_value >= m_upper)
        Show();
}

void WindowProgress::SetDetail(std::string_view utf8) {
    m_detailText = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    m_detailChanged = true;
}

void WindowProgress::SetCancellable(bool cancellable) {
    if (onCancellable)
        onCancellable(cancellable);
}

void WindowProgress::Show() {
    if (m_statusChanged && m_status)
        m_status->setText(m_statusText);
    if (m_detailChanged && m_detail)
        m_detail->setText(m_detailText);
    m_statusChanged = m_detailChanged = false;
    if (m_bar && m_bar->value() != BarValue(m_value))
        m_bar->setValue(BarValue(std::min(m_value, m_upper)));
}

bool WindowProgress::PumpDue() const {
    return m_sincePump.elapsed() >= m_interval;
}

void WindowProgress::Pump() {
    Show();
    if (onPump)
        onPump();
    m_watch->pumping = true;
    m_watch->seen = false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_watch->pumping = false;
    m_sincePump.restart();
}

bool WindowProgress::CancelRequested() {
    if (PumpDue())
        Pump();
    return m_cancel;
}

} // namespace kelvo
