// The progress window of the index operations.
#include "index/ui/IndexProgressDlg.h"

#include "shell/ShellStrings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

IndexProgressDlg::IndexProgressDlg(QWidget* blocked)
    : QDialog(blocked ? blocked->window() : nullptr), m_blocked(blocked), m_line1(new QLabel(this)),
      m_line2(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(Tr(text::Cancel), this)) {
    setObjectName(QStringLiteral("IndexProgressDlg"));
    setWindowTitle(Tr(text::IndexProgressCaption));
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line2->setObjectName(QStringLiteral("Line2"));
    for (QLabel* line : {m_line1, m_line2}) {
        line->setTextFormat(Qt::PlainText);
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        line->setAccessibleName(Tr(text::IndexProgressCaption));
    }
    m_bar->setObjectName(QStringLiteral("Progress"));
    m_bar->setAccessibleName(Tr(text::IndexProgressCaption));
    m_bar->setTextVisible(false);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setAccessibleName(Tr(text::Cancel));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_line1);
    layout->addWidget(m_line2);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());

    m_progress = std::make_unique<WindowProgress>(m_line1, m_bar, m_line2);
    m_progress->onCancellable = [this](bool cancellable) { m_cancel->setVisible(cancellable); };
    m_progress->onPump = [this] {
        if (!isVisible() && m_age.elapsed() >= kShowDelayMs)
            show();
    };
    connect(m_cancel, &QPushButton::clicked, this, &IndexProgressDlg::Cancel);
    if (m_blocked && m_blocked->isEnabled()) {
        m_blocked->setEnabled(false);
        m_reenable = true;
    }
    m_age.start();
}

IndexProgressDlg::~IndexProgressDlg() {
    if (m_reenable && m_blocked)
        m_blocked->setEnabled(true);
}

void IndexProgressDlg::reject() {
    Cancel();
}

} // namespace kelvo
