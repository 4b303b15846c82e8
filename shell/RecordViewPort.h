// What the main window needs of the record view: the body of the selected record, its
// modified mark and its commands. The record editor implements it; tests give their own.
#pragma once

#include "shell/CommandTarget.h"

#include <QString>

class QWidget;

namespace kelvo {

class TreeItem;

class RecordViewPort : public CommandTarget {
public:
    /// The widget shown in the main window while the records tab is current.
    virtual QWidget* Widget() = 0;
    /// The editor holds changes not yet written to the body.
    virtual bool IsModified() const = 0;
    /// Writes the editor's content into the body of `item` when it holds changes.
    virtual void SaveRecordBody(TreeItem* item) = 0;
    /// Shows the body of `item` (null: shows nothing).
    virtual void LoadRecordBody(TreeItem* item) = 0;
    /// The text of the position pane ("Стр %d, cтб %d").
    virtual QString PositionText() const = 0;
};

} // namespace kelvo
