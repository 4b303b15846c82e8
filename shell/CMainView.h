// The record editor: the body of the selected record as rich text, loaded from and written
// to the bank as RTF; text formatting, insertion, clipboard, find and replace, wrap modes,
// links and the ruler.
#pragma once

#include "platform/rtf/RtfDocument.h"
#include "shell/RecordViewPort.h"
#include "shell/ui/CParagraphDlg.h"
#include "widgets/ParagraphRuler.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QPointer>
#include <QTextEdit>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QFontComboBox;
class QToolBar;

namespace kelvo {

class CQuorvellineDoc;
class FindReplaceDialog;

class SettingsStore;

/// The replaceable parts of the editor's dealings with the user and the system; tests give
/// their own.
struct EditorHooks {
    std::function<QDateTime()> now;                              ///< the local time
    std::function<std::optional<QColor>(QWidget*)> chooseColour; ///< "Другой..."
    std::function<QString(QWidget*, const QString&, const QString&)> openFile; ///< title, filter
    std::function<void(QWidget*, const QString&)> message;                     ///< an error message
    std::function<std::optional<bool>(QWidget*)> choosePasteFormat;            ///< true: formatted
    std::function<std::optional<QString>(QWidget*, const QDateTime&)> chooseDateTime;
    std::function<void(const QString&)> openLink;
    /// "Шрифт...": the font chosen, starting from the selection's.
    std::function<std::optional<QFont>(QWidget*, const QFont&)> chooseFont;
    /// "Абзац...": what was changed of the first selected paragraph's layout.
    std::function<std::optional<ParagraphChange>(QWidget*, const ParagraphValues&)> chooseParagraph;
};

/// The real dialogs and services.
EditorHooks DefaultEditorHooks(SettingsStore* settings);

/// Word-wrap modes of the editor.
enum class WrapMode { None = 0, Window = 1, Printer = 2 };

/// The links the editor detects in a text: start and length of each, in order.
std::vector<std::pair<int, int>> FindLinks(const QString& text);
/// The address a detected link opens ("www." gets "http://").
QString LinkTarget(const QString& linkText);

/// The text of a file inserted as text: UTF-8 (with or without a byte-order mark) when the
/// bytes are valid UTF-8, UTF-16 with a byte-order mark, Windows-1251 otherwise.
QString DecodeTextFile(const QByteArray& bytes);

class CMainView : public QTextEdit, public RecordViewPort {
    Q_OBJECT
public:
    explicit CMainView(CQuorvellineDoc& doc, QWidget* parent = nullptr);
    ~CMainView() override;

    /// Connects the editor to the main window's formatting toolbar (font name and size boxes)
    /// and puts its ruler into the ruler bar; `settings` keeps dialog positions.
    void AttachFrame(QToolBar* formatBar, QToolBar* rulerBar, SettingsStore* settings);
    void SetHooks(EditorHooks hooks);

    // --- RecordViewPort -------------------------------------------------------------------
    QWidget* Widget() override { return this; }
    bool IsModified() const override;
    void SaveRecordBody(TreeItem* item) override;
    void LoadRecordBody(TreeItem* item) override;
    QString PositionText() const override;
    bool UpdateCommand(int id, CommandState& state) override;
    bool RunCommand(int id) override;

    // --- Operations behind the commands -------------------------------------------------
    WrapMode Wrap() const { return m_wrap; }
    void SetWrap(WrapMode mode);
    /// The width the printer mode wraps to, in twips: the paper less the print margins (A4
    /// until the printer says otherwise).
    void SetPrintableWidth(int twips);
    int PrintableWidth() const { return m_printableWidth; }
    /// Applies a face (from the font box) or a size in points (from the size box) to the
    /// selection; false when the value is refused.
    bool ApplyFontName(const QString& face);
    bool ApplyFontSize(const QString& text);
    /// Replaces the selection by `text` as one undo step.
    void ReplaceSelection(const QString& text);
    void InsertTextFile(const QString& path);
    void InsertPictureFile(const QString& path);
    void PasteSpecial(bool formatted);
    /// The font box and size box texts for the selection; empty when the selection is mixed.
    QString SelectionFace() const;
    QString SelectionSize() const;
    ParagraphRuler* Ruler() const { return m_ruler.data(); }
    /// The record whose body is shown (null: none).
    TreeItem* Record() const { return m_item; }

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Summary;
    const Summary& SelectionSummary() const;
    void Invalidate();
    void ToggleEffect(int id);
    void ToggleVertical(bool superscript);
    void ApplyColour(int id);
    void MergeAtWord(const QTextCharFormat& format);
    void InsertStamp(bool date);
    void RunFindDialog(bool replace);
    void RunInsertTextFile();
    void RunInsertPicture();
    void RunPasteSpecial();
    void RunDateTimeDialog();
    void RunFontDialog();
    void RunParagraphDialog();
    /// Bullets or numbering: on for the selected paragraphs, or off when all have it.
    void ToggleList(bool numbered);
    void UpdateLinks();
    std::optional<QString> LinkAt(const QPoint& viewportPos) const;
    void UpdateFormatBoxes();
    void UpdateRuler();
    void ApplyRuler();
    void ShowEmpty();
    void ShowBody(const RtfDocument& body);
    void WatchDocument();
    void ShowMessage(const QString& text);

    CQuorvellineDoc& m_doc;
    EditorHooks m_hooks;
    SettingsStore* m_settings = nullptr;
    TreeItem* m_item = nullptr;
    bool m_bodyUnreadable = false; ///< the shown record's body could not be read: never saved
    WrapMode m_wrap = WrapMode::Window;
    int m_printableWidth = 11906 - 2 * 720; ///< A4 less two margins of 720 twips
    mutable std::unique_ptr<Summary> m_summary;
    QPointer<QFontComboBox> m_fontBox;
    QPointer<QComboBox> m_sizeBox;
    QPointer<ParagraphRuler> m_ruler;
    QPointer<FindReplaceDialog> m_find;
    class QTimer* m_linkTimer = nullptr;
    bool m_overLink = false;
};

} // namespace kelvo
