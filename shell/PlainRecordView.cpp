// The read-only record view.
#include "shell/PlainRecordView.h"

#include "core/QuorvellineDoc.h"
#include "shell/CommandIds.h"

#include <QTextBlock>

namespace kelvo {

PlainRecordView::PlainRecordView(CQuorvellineDoc& doc, QWidget* parent)
    : QPlainTextEdit(parent), m_doc(doc) {
    setObjectName(QStringLiteral("RecordView"));
    setReadOnly(true);
    setLineWrapMode(WidgetWidth);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    setFont(font);
}

void PlainRecordView::LoadRecordBody(TreeItem* item) {
    if (!item) {
        clear();
        return;
    }
    auto body = m_doc.ReadBody(item->uid);
    setPlainText(body ? BodyPlainText(*body) : QString());
}

QString PlainRecordView::PositionText() const {
    const QTextCursor cursor = textCursor();
    return QStringLiteral("Стр %1, cтб %2")
        .arg(cursor.blockNumber() + 1)
        .arg(cursor.positionInBlock() + 1);
}

bool PlainRecordView::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::Copy:
        state.enabled = textCursor().hasSelection();
        return true;
    case cmd::SelectAll:
        state.enabled = !document()->isEmpty();
        return true;
    default:
        return false;
    }
}

bool PlainRecordView::RunCommand(int id) {
    switch (id) {
    case cmd::Copy:
        copy();
        return true;
    case cmd::SelectAll:
        selectAll();
        return true;
    default:
        return false;
    }
}

} // namespace kelvo
