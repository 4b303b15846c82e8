// Copying logins and passwords to the clipboard.
#include "shell/SecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace kelvo {
namespace {

std::string ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text().toStdString() : std::string();
}

} // namespace

SecretClipboard::SecretClipboard(QObject* parent) : QObject(parent), m_timer(SystemClock()) {
    m_tick.setSingleShot(true);
    connect(&m_tick, &QTimer::timeout, this, &SecretClipboard::Poll);
}

SecretClipboard::~SecretClipboard() {
    if (m_timer.Pending() && m_timer.ShouldClearNow(ClipboardText()))
        QGuiApplication::clipboard()->clear();
}

void SecretClipboard::CopySecret(const QString& text) {
    auto* mime = new QMimeData;
    mime->setText(text);
    mime->setData(QString::fromLatin1(kHintFormat), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(mime);
    m_timer.Placed(text.toStdString());
    Arm();
}

void SecretClipboard::CopyText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void SecretClipboard::Poll() {
    if (!m_timer.Pending())
        return;
    if (m_timer.ShouldClear(ClipboardText()))
        QGuiApplication::clipboard()->clear();
    Arm(); // fired early (the clock decides): wait for the rest
}

void SecretClipboard::Arm() {
    const auto left = m_timer.Remaining();
    if (!left) {
        m_tick.stop();
        return;
    }
    m_tick.start(static_cast<int>(left->count()) + 1);
}

} // namespace kelvo
