// The record view until the record editor exists: the body of the selected record shown as
// plain text, read-only. It never writes a body.
#pragma once

#include "shell/RecordViewPort.h"

#include <QPlainTextEdit>

#include <functional>
#include <string>

namespace kelvo {

class CQuorvellineDoc;

class PlainRecordView : public QPlainTextEdit, public RecordViewPort {
    Q_OBJECT
public:
    explicit PlainRecordView(CQuorvellineDoc& doc, QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    bool IsModified() const override { return false; }
    void SaveRecordBody(TreeItem*) override {}
    void LoadRecordBody(TreeItem* item) override;
    QString PositionText() const override;

    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

private:
    CQuorvellineDoc& m_doc;
};

/// The text a body shows in the read-only view: its RTF turned into plain text.
QString BodyPlainText(const std::string& rtf);

} // namespace kelvo
