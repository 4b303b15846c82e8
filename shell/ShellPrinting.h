// What the main window prints: the record in the editor as it stands, the record tree as its
// pane lays it out; and the print loop's hooks into the shell (message boxes, the preview page
// count kept in the settings' profile).
#pragma once

#include "print/ui/PrintController.h"

#include <functional>
#include <memory>

namespace kelvo {

class CKelvoCtrl;
class CQuorvellineDoc;
class RecordViewPort;
class SettingsStore;
class UserDialogs;

/// The profile section and value under which the preview page count is kept.
inline constexpr const char* kPreviewPagesSection = "Settings";
inline constexpr const char* kPreviewPagesValue = "PreviewPages";

/// Messages through `dialogs` over `window`, the preview page count in `settings`, and
/// `previewMode` told when a preview opens and closes.
PrintHooks ShellPrintHooks(QWidget* window, UserDialogs& dialogs, SettingsStore& settings,
                           std::function<void(bool)> previewMode);

/// The body in the record editor, unsaved changes included; with a record view that is no
/// editor, the stored body of the selected record.
std::shared_ptr<PageSource> RecordBodyPages(RecordViewPort& view, CQuorvellineDoc& doc);

/// The record tree's visible rows with the pane's own metrics, font, resolution and images.
std::shared_ptr<PageSource> TreePanePages(const CKelvoCtrl& tree);

} // namespace kelvo
