// What the main window prints, and the print loop's hooks into the shell.
#include "shell/ShellPrinting.h"

#include "core/TreeOperations.h"
#include "images/TreeImages.h"
#include "platform/rtf/RtfReader.h"
#include "print/paint/RecordPages.h"
#include "print/paint/StructurePages.h"
#include "richtext/RtfTextDocument.h"
#include "shell/CKelvoCtrl.h"
#include "shell/RecordViewPort.h"
#include "shell/SettingsStore.h"
#include "shell/UserDialogs.h"

#include <QStyle>
#include <QTextEdit>

namespace kelvo {
namespace {

// Several times the pane's 16 pixels, so that icons stay sharp at printer resolution.
constexpr int kPrintedImageSize = 64;

} // namespace

PrintHooks ShellPrintHooks(QWidget* window, UserDialogs& dialogs, SettingsStore& settings,
                           std::function<void(bool)> previewMode) {
    PrintHooks hooks;
    hooks.showMessage = [window, &dialogs](const QString& text) {
        dialogs.ShowMessage(window, text);
    };
    hooks.previewPages = [&settings] {
        return settings.ProfileInt(QString::fromLatin1(kPreviewPagesSection),
                                   QString::fromLatin1(kPreviewPagesValue), 0);
    };
    hooks.setPreviewPages = [&settings](int count) {
        settings.WriteProfileInt(QString::fromLatin1(kPreviewPagesSection),
                                 QString::fromLatin1(kPreviewPagesValue), count);
    };
    hooks.previewMode = std::move(previewMode);
    return hooks;
}

std::shared_ptr<PageSource> RecordBodyPages(RecordViewPort& view, CQuorvellineDoc& doc) {
    if (auto* editor = qobject_cast<QTextEdit*>(view.Widget()))
        return std::make_shared<RecordPages>(SaveRtfDocument(*editor->document()),
                                             editor->document()->defaultFont());
    RtfDocument body;
    if (TreeNode* node = doc.records().selected())
        if (auto bytes = doc.ReadBody(node->item.uid))
            body = ReadRtf(*bytes);
    return std::make_shared<RecordPages>(std::move(body));
}

std::shared_ptr<PageSource> TreePanePages(const CKelvoCtrl& tree) {
    StructureSource source;
    source.rows = VisibleRows(tree.Tree());
    // The pane's own geometry: its indentation, row height, icon size, and where its top
    // level starts (the pane may be scrolled sideways).
    TreeMetrics& m = source.metrics;
    m.indentation = tree.indentation();
    const QModelIndex first = tree.model()->index(0, 0);
    const QRect item = first.isValid() ? tree.visualRect(first) : QRect();
    if (item.height() > 0)
        m.rowHeight = item.height();
    const QSize icon = tree.iconSize();
    m.iconSize = icon.isValid() && icon.width() > 0
                     ? icon.width()
                     : tree.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &tree);
    m.iconSize = std::min(m.iconSize, m.rowHeight);
    if (first.isValid())
        m.originX = item.x() - (tree.rootIsDecorated() ? m.indentation : 0);
    source.font = tree.font();
    source.screenDpiX = tree.logicalDpiX();
    source.screenDpiY = tree.logicalDpiY();
    source.images = RecordTreeImageList(kPrintedImageSize);
    const RecordTree* records = &tree.Tree();
    source.imageOf = [records](const TreeNode& node) {
        return TreeImageIndex(*records, TreeKind::Records, node, false);
    };
    return std::make_shared<StructurePages>(std::move(source));
}

} // namespace kelvo
