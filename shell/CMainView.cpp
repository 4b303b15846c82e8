// The record editor on QTextEdit.
#include "shell/CMainView.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"

#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "core/TreeItem.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/text/Ansi.h"
#include "richtext/RtfTextDocument.h"
#include "shell/CommandIds.h"
#include "shell/CommandTable.h"
#include "shell/FindReplaceDialog.h"
#include "shell/InsertDateTimeDlg.h"
#include "widgets/ParagraphRuler.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

using Check = CommandState::Check;

constexpr qint64 kMaxInsertedFile = 64 * 1024 * 1024;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

struct Tally {
    int yes = 0;
    int all = 0;
    void Add(bool on) {
        yes += on ? 1 : 0;
        ++all;
    }
    Check State() const {
        return yes == 0     ? CommandState::Unchecked
               : yes == all ? CommandState::Checked
                            : CommandState::Indeterminate;
    }
};

QString Face(const QTextCharFormat& f, const QFont& defaultFont) {
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() || families.front().isEmpty() ? defaultFont.family()
                                                            : families.front();
}

double PointSize(const QTextCharFormat& f, const QFont& defaultFont) {
    const double size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : 0;
    return size > 0 ? size : defaultFont.pointSizeF();
}

QString SizeText(double points) {
    return QString::number(std::round(points * 2) / 2, 'g', 4);
}

QColor TableColour(int index) {
    const auto table = ColourTable();
    const ColourEntry& e = table[static_cast<std::size_t>(index)];
    return QColor(e.red, e.green, e.blue);
}

QString CommandLabel(int id) {
    const CommandInfo* info = FindCommand(id);
    return info ? CommandText(*info) : QString();
}

int Twips(double pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

bool IsBulletList(const QTextList& list) {
    const QTextListFormat::Style style = list.format().style();
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

// The indent a paragraph gets when it joins a list, and loses when it leaves one: room for
// the bullet or number, with the first line hanging by as much (as rich edit lays out lists).
constexpr int kListIndentTwips = 360;

} // namespace

// What the selection holds, worked out once per change of the selection or the text: the
// menus ask for it several times a second.
struct CMainView::Summary {
    Check bold = CommandState::Unchecked;
    Check italic = CommandState::Unchecked;
    Check underline = CommandState::Unchecked;
    Check strike = CommandState::Unchecked;
    Check superscript = CommandState::Unchecked;
    Check subscript = CommandState::Unchecked;
    bool alignLeft = true;
    bool alignCenter = true;
    bool alignRight = true;
    Check bullets = CommandState::Unchecked;
    Check numbering = CommandState::Unchecked;
    QString face;
    QString size;
};

std::vector<std::pair<int, int>> FindLinks(const QString& text) {
    static const QRegularExpression kLink(
        QStringLiteral("\\b(?:(?:https?|ftp|file|mailto|news|nntp|telnet|gopher|wais|prospero):"
                       "|www\\.)[^\\s<>\"\\x{2028}\\x{FFFC}]+"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<std::pair<int, int>> out;
    auto it = kLink.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        int length = static_cast<int>(match.capturedLength());
        // Punctuation that ends a sentence is not part of the address.
        while (length > 0 &&
               QStringLiteral(".,;:!?)]}'").contains(text[match.capturedStart() + length - 1]))
            --length;
        const QString found = text.mid(match.capturedStart(), length);
        if (found.endsWith(QLatin1Char(':')) ||
            found.compare(QStringLiteral("www."), Qt::CaseInsensitive) == 0)
            continue;
        if (length > 4)
            out.emplace_back(static_cast<int>(match.capturedStart()), length);
    }
    return out;
}

QString LinkTarget(const QString& linkText) {
    if (linkText.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        return QStringLiteral("http://") + linkText;
    return linkText;
}

QString DecodeTextFile(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return QString::fromStdString(AnsiToUtf8(view));
}

EditorHooks DefaultEditorHooks(SettingsStore* settings) {
    EditorHooks hooks;
    hooks.now = [] { return QDateTime::currentDateTime(); };
    hooks.chooseColour = [](QWidget* parent) -> std::optional<QColor> {
        const QColor colour = QColorDialog::getColor(Qt::black, parent);
        if (!colour.isValid())
            return std::nullopt;
        return colour;
    };
    hooks.openFile = [](QWidget* parent, const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    };
    hooks.message = [](QWidget* parent, const QString& text) {
        QMessageBox::warning(parent, QApplication::applicationDisplayName(), text);
    };
    hooks.choosePasteFormat = [](QWidget* parent) -> std::optional<bool> {
        const QStringList items{Tr(text::PasteAsRtf), Tr(text::PasteAsText)};
        bool ok = false;
        const QString item = QInputDialog::getItem(parent, Tr(text::PasteSpecial),
                                                   Tr(text::PasteAs), items, 0, false, &ok);
        if (!ok)
            return std::nullopt;
        return item == items.front();
    };
    hooks.chooseFont = [](QWidget* parent, const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent);
        if (!ok)
            return std::nullopt;
        return font;
    };
    hooks.chooseParagraph =
        [settings](QWidget* parent,
                   const ParagraphValues& values) -> std::optional<ParagraphChange> {
        CParagraphDlg dialog(values, settings, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Result();
    };
    hooks.chooseDateTime = [settings](QWidget* parent,
                                      const QDateTime& when) -> std::optional<QString> {
        InsertDateTimeDlg dialog(when, settings, parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Result();
    };
    hooks.openLink = [](const QString& target) {
        QDesktopServices::openUrl(QUrl::fromUserInput(target));
    };
    return hooks;
}

CMainView::CMainView(CQuorvellineDoc& doc, QWidget* parent)
    : QTextEdit(parent), m_doc(doc), m_hooks(DefaultEditorHooks(nullptr)) {
    setObjectName(QStringLiteral("RecordView"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    const QFont font = DefaultBodyFont();
    setFont(font);
    document()->setDefaultFont(font);
    InstallRtfObjectHandlers(*document());
    SetWrap(WrapMode::Window);

    m_ruler = new ParagraphRuler;
    m_ruler->setObjectName(QStringLiteral("ParagraphRuler"));
    connect(m_ruler, &ParagraphRuler::FormatEdited, this, &CMainView::ApplyRuler);

    m_linkTimer = new QTimer(this);
    m_linkTimer->setSingleShot(true);
    m_linkTimer->setInterval(100);
    connect(m_linkTimer, &QTimer::timeout, this, &CMainView::UpdateLinks);

    auto changed = [this] {
        Invalidate();
        UpdateFormatBoxes();
        UpdateRuler();
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, changed);
    connect(this, &QTextEdit::selectionChanged, this, changed);
    WatchDocument();
    ShowEmpty();
}

CMainView::~CMainView() {
    if (m_ruler && !m_ruler->parent())
        delete m_ruler.data();
}

void CMainView::WatchDocument() {
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        Invalidate();
        UpdateFormatBoxes();
        m_linkTimer->start();
    });
}

void CMainView::ShowBody(const RtfDocument& body) {
    // A new document, filled before the editor lays it out: the editor then lays out the
    // visible part at once and the rest in steps, so a long body shows without a wait.
    // Owned like the editor's first document, which QTextEdit deletes when it is replaced.
    auto* fresh = new QTextDocument(document()->parent());
    fresh->setDefaultFont(document()->defaultFont());
    fresh->setDocumentMargin(document()->documentMargin());
    LoadRtfDocument(*fresh, body, DocumentDpi(*document()));
    fresh->setModified(false);
    setExtraSelections({});
    setDocument(fresh);
    WatchDocument();
    Invalidate();
}

void CMainView::ShowMessage(const QString& text) {
    if (m_hooks.message)
        m_hooks.message(this, text);
}

void CMainView::showEvent(QShowEvent* event) {
    QTextEdit::showEvent(event);
    UpdateFormatBoxes();
    UpdateRuler();
}

void CMainView::hideEvent(QHideEvent* event) {
    QTextEdit::hideEvent(event);
    UpdateFormatBoxes();
}

void CMainView::SetHooks(EditorHooks hooks) {
    m_hooks = std::move(hooks);
}

void CMainView::AttachFrame(QToolBar* formatBar, QToolBar* rulerBar, SettingsStore* settings) {
    m_settings = settings;
    if (settings)
        m_hooks.chooseDateTime = DefaultEditorHooks(settings).chooseDateTime;
    if (rulerBar) {
        // The editor's ruler takes the place of whatever the bar showed.
        for (QAction* action : rulerBar->actions())
            action->setVisible(false);
        rulerBar->addWidget(m_ruler);
    }
    if (formatBar) {
        m_fontBox = formatBar->findChild<QFontComboBox*>(QStringLiteral("FontNameBox"));
        for (QComboBox* box : formatBar->findChildren<QComboBox*>(QStringLiteral("FontSizeBox")))
            if (!qobject_cast<QFontComboBox*>(box))
                m_sizeBox = box;
    }
    if (m_fontBox) {
        m_fontBox->setInsertPolicy(QComboBox::NoInsert);
        connect(m_fontBox, &QComboBox::textActivated, this, [this](const QString& face) {
            ApplyFontName(face);
            setFocus();
        });
        m_fontBox->installEventFilter(this);
        if (m_fontBox->lineEdit()) {
            m_fontBox->lineEdit()->setMaxLength(32);
            m_fontBox->lineEdit()->installEventFilter(this);
        }
    }
    if (m_sizeBox) {
        m_sizeBox->setEditable(true);
        m_sizeBox->setInsertPolicy(QComboBox::NoInsert);
        m_sizeBox->lineEdit()->setMaxLength(4);
        connect(m_sizeBox, &QComboBox::textActivated, this, [this](const QString& text) {
            ApplyFontSize(text);
            setFocus();
        });
        connect(m_sizeBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
            ApplyFontSize(m_sizeBox->currentText());
            setFocus();
        });
        m_sizeBox->installEventFilter(this);
        m_sizeBox->lineEdit()->installEventFilter(this);
    }
    UpdateFormatBoxes();
    UpdateRuler();
}

bool CMainView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            setFocus(); // the box is left; it shows the selection's values again
            UpdateFormatBoxes();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut)
        QTimer::singleShot(0, this, &CMainView::UpdateFormatBoxes);
    return QTextEdit::eventFilter(watched, event);
}

// --- Bodies ---------------------------------------------------------------------------------

bool CMainView::IsModified() const {
    return document()->isModified();
}

void CMainView::ShowEmpty() {
    LoadRtfDocument(*document(), RtfDocument{{RtfParagraph{}}, 720});
    document()->setModified(false);
    setReadOnly(true); // no record: typed text would have nowhere to go
}

void CMainView::LoadRecordBody(TreeItem* item) {
    m_item = item;
    m_bodyUnreadable = false;
    if (!item) {
        ShowEmpty();
        return;
    }
    WaitCursor wait;
    // A record shown for the first time gets its (empty) body stream now.
    std::optional<std::string> body;
    if (auto read = m_doc.LoadBody(item->uid))
        body = std::move(*read);
    if (!body) {
        // The body cannot be read (the bank is held by another program): show nothing and
        // take no typing, so that nothing can be written over the body later.
        ShowEmpty();
        m_bodyUnreadable = true;
        return;
    }
    ShowBody(ReadRtf(*body));
    setReadOnly(false);
    moveCursor(QTextCursor::Start);
    Invalidate();
    UpdateRuler();
    UpdateLinks();
}

void CMainView::SaveRecordBody(TreeItem* item) {
    // Only the record shown can take the editor's text.
    if (!IsModified() || !item || item != m_item || m_bodyUnreadable)
        return;
    WaitCursor wait;
    const Result<void> written = m_doc.SaveBody(*item, WriteRtf(SaveRtfDocument(*document())));
    if (!written) {
        // The text stays in the editor, still marked as changed.
        ShowMessage(QString::fromStdString(ErrorText(written.error())));
        return;
    }
    document()->setModified(false);
}

QString CMainView::PositionText() const {
    const int position = textCursor().selectionStart();
    const QTextBlock block = document()->findBlock(position);
    const int inBlock = position - block.position();
    int line = block.firstLineNumber();
    int column = inBlock;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine textLine = layout->lineForTextPosition(inBlock);
        if (textLine.isValid()) {
            line += textLine.lineNumber();
            column = inBlock - textLine.textStart();
        }
    }
    return Tr(text::PositionPane).arg(line + 1).arg(column + 1);
}

// --- Commands -------------------------------------------------------------------------------

void CMainView::Invalidate() {
    m_summary.reset();
}

const CMainView::Summary& CMainView::SelectionSummary() const {
    if (m_summary)
        return *m_summary;
    auto s = std::make_unique<Summary>();
    const QTextCursor cursor = textCursor();
    const QFont defaultFont = document()->defaultFont();
    Tally bold, italic, underline, strike, superscript, subscript;
    QString face, size;
    bool faceUniform = true, sizeUniform = true, first = true;
    auto visit = [&](const QTextCharFormat& f) {
        bold.Add(f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                        : defaultFont.bold());
        italic.Add(f.fontItalic());
        underline.Add(f.hasProperty(QTextFormat::TextUnderlineStyle)
                          ? f.underlineStyle() != QTextCharFormat::NoUnderline
                          : f.fontUnderline());
        strike.Add(f.fontStrikeOut());
        superscript.Add(f.verticalAlignment() == QTextCharFormat::AlignSuperScript);
        subscript.Add(f.verticalAlignment() == QTextCharFormat::AlignSubScript);
        const QString thisFace = Face(f, defaultFont);
        const QString thisSize = SizeText(PointSize(f, defaultFont));
        if (first) {
            face = thisFace;
            size = thisSize;
            first = false;
        }
        faceUniform = faceUniform && face == thisFace;
        sizeUniform = sizeUniform && size == thisSize;
    };
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    if (cursor.hasSelection()) {
        for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end;
             b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                    continue;
                const QTextCharFormat f = fragment.charFormat();
                if (f.objectType() == QTextFormat::NoObject)
                    visit(f);
            }
    }
    if (first)
        visit(cursor.charFormat());
    Tally bullets, numbering;
    for (QTextBlock b = document()->findBlock(start); b.isValid(); b = b.next()) {
        const QTextList* list = b.textList();
        bullets.Add(list && IsBulletList(*list));
        numbering.Add(list && !IsBulletList(*list));
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        s->alignCenter = s->alignCenter && (a & Qt::AlignHCenter);
        s->alignRight = s->alignRight && (a & Qt::AlignRight);
        s->alignLeft =
            s->alignLeft && !(a & (Qt::AlignHCenter | Qt::AlignRight | Qt::AlignJustify));
        if (b.position() + b.length() > end)
            break;
    }
    s->bullets = bullets.State();
    s->numbering = numbering.State();
    s->bold = bold.State();
    s->italic = italic.State();
    s->underline = underline.State();
    s->strike = strike.State();
    s->superscript = superscript.State();
    s->subscript = subscript.State();
    s->face = faceUniform ? face : QString();
    s->size = sizeUniform ? size : QString();
    m_summary = std::move(s);
    return *m_summary;
}

QString CMainView::SelectionFace() const {
    return SelectionSummary().face;
}

QString CMainView::SelectionSize() const {
    return SelectionSummary().size;
}

bool CMainView::UpdateCommand(int id, CommandState& state) {
    using namespace cmd;
    const bool editable = !isReadOnly();
    auto check = [&](bool enabled, Check mark) {
        state.enabled = enabled;
        state.check = mark;
        return true;
    };
    auto onOff = [](bool on) { return on ? CommandState::Checked : CommandState::Unchecked; };
    if ((id >= TextColourFirst && id <= TextColourLast) ||
        (id >= BackColourFirst && id <= BackColourLast) || id == TextColourButton ||
        id == BackColourButton)
        return check(editable, CommandState::NoCheck);
    switch (id) {
    case SaveRecord:
        state.enabled = m_item && IsModified() && !m_bodyUnreadable;
        return true;
    case Undo:
        state.enabled = editable && document()->isUndoAvailable();
        return true;
    case Redo:
        state.enabled = editable && document()->isRedoAvailable();
        return true;
    case Cut:
    case Clear:
        state.enabled = editable && textCursor().hasSelection();
        return true;
    case Copy:
        state.enabled = textCursor().hasSelection();
        return true;
    case Paste:
        state.enabled = editable && canPaste();
        return true;
    case cmd::PasteSpecial: {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        state.enabled = editable && data && (data->hasText() || HasRtfMimeData(*data));
        return true;
    }
    case SelectAll:
        state.enabled = !document()->isEmpty();
        return true;
    case Find:
        state.enabled = !document()->isEmpty();
        return true;
    case Replace:
        state.enabled = editable && !document()->isEmpty();
        return true;
    case PasteLink:
    case OleLinks:
    case OleProperties:
    case OleVerbs:
    case InsertObject:
        // Linking and activating compound-document objects needs the Windows object
        // services; embedded objects are shown and kept, not edited.
        state.enabled = false;
        return true;
    case cmd::InsertTextFile:
    case InsertPicture:
    case InsertDateTime:
    case InsertDate:
    case InsertTime:
        state.enabled = editable;
        return true;
    case Bold:
        return check(editable, SelectionSummary().bold);
    case Italic:
        return check(editable, SelectionSummary().italic);
    case Underline:
        return check(editable, SelectionSummary().underline);
    case StrikeOut:
        return check(editable, SelectionSummary().strike);
    case Superscript:
        return check(editable, SelectionSummary().superscript);
    case Subscript:
        return check(editable, SelectionSummary().subscript);
    case FontDialog:
    case ParagraphDialog:
        state.enabled = editable;
        return true;
    case Bullets:
        return check(editable, SelectionSummary().bullets);
    case Numbering:
        return check(editable, SelectionSummary().numbering);
    case AlignLeft:
        return check(editable, onOff(SelectionSummary().alignLeft));
    case AlignCenter:
        return check(editable, onOff(SelectionSummary().alignCenter));
    case AlignRight:
        return check(editable, onOff(SelectionSummary().alignRight));
    case WrapNone:
        return check(true, onOff(m_wrap == WrapMode::None));
    case WrapWindow:
        return check(true, onOff(m_wrap == WrapMode::Window));
    case WrapPrinter:
        return check(true, onOff(m_wrap == WrapMode::Printer));
    default:
        return false;
    }
}

bool CMainView::RunCommand(int id) {
    using namespace cmd;
    CommandState state;
    if (!UpdateCommand(id, state))
        return false;
    if (!state.enabled)
        return true;
    if ((id >= TextColourFirst && id <= TextColourLast) ||
        (id >= BackColourFirst && id <= BackColourLast)) {
        ApplyColour(id);
        return true;
    }
    switch (id) {
    case SaveRecord:
        SaveRecordBody(m_item);
        break;
    case Undo:
        undo();
        break;
    case Redo:
        redo();
        break;
    case Cut:
        cut();
        break;
    case Copy:
        copy();
        break;
    case Paste:
        paste();
        break;
    case cmd::PasteSpecial:
        RunPasteSpecial();
        break;
    case Clear:
        textCursor().removeSelectedText();
        break;
    case SelectAll:
        selectAll();
        break;
    case Find:
    case Replace:
        RunFindDialog(id == Replace);
        break;
    case cmd::InsertTextFile:
        RunInsertTextFile();
        break;
    case InsertPicture:
        RunInsertPicture();
        break;
    case InsertDateTime:
        RunDateTimeDialog();
        break;
    case InsertDate:
    case InsertTime:
        InsertStamp(id == InsertDate);
        break;
    case Bold:
    case Italic:
    case Underline:
    case StrikeOut:
        ToggleEffect(id);
        break;
    case Superscript:
    case Subscript:
        ToggleVertical(id == Superscript);
        break;
    case FontDialog:
        RunFontDialog();
        break;
    case ParagraphDialog:
        RunParagraphDialog();
        break;
    case Bullets:
    case Numbering:
        ToggleList(id == Numbering);
        break;
    case AlignLeft:
        setAlignment(Qt::AlignLeft);
        break;
    case AlignCenter:
        setAlignment(Qt::AlignHCenter);
        break;
    case AlignRight:
        setAlignment(Qt::AlignRight);
        break;
    case WrapNone:
        SetWrap(WrapMode::None);
        break;
    case WrapWindow:
        SetWrap(WrapMode::Window);
        break;
    case WrapPrinter:
        SetWrap(WrapMode::Printer);
        break;
    default:
        break; // the colour buttons themselves only open their lists
    }
    Invalidate();
    return true;
}

// --- Formatting -----------------------------------------------------------------------------

void CMainView::ToggleEffect(int id) {
    const Summary& s = SelectionSummary();
    QTextCharFormat f;
    switch (id) {
    case cmd::Bold:
        f.setFontWeight(s.bold == CommandState::Checked ? QFont::Normal : QFont::Bold);
        break;
    case cmd::Italic:
        f.setFontItalic(s.italic != CommandState::Checked);
        break;
    case cmd::Underline:
        f.setFontUnderline(s.underline != CommandState::Checked);
        break;
    default:
        f.setFontStrikeOut(s.strike != CommandState::Checked);
        break;
    }
    mergeCurrentCharFormat(f);
    Invalidate();
}

void CMainView::MergeAtWord(const QTextCharFormat& format) {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        QTextCursor word = cursor;
        word.select(QTextCursor::WordUnderCursor);
        if (word.hasSelection()) {
            word.mergeCharFormat(format);
            Invalidate();
            return;
        }
        mergeCurrentCharFormat(format); // no word here: the format typing will take
    } else {
        cursor.mergeCharFormat(format);
    }
    Invalidate();
}

void CMainView::ToggleVertical(bool superscript) {
    const auto own =
        superscript ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript;
    QTextCursor edit = textCursor();
    edit.beginEditBlock(); // one undo step
    const Summary& before = SelectionSummary();
    const Check opposite = superscript ? before.subscript : before.superscript;
    if (opposite != CommandState::Unchecked) {
        QTextCharFormat normal;
        normal.setVerticalAlignment(QTextCharFormat::AlignNormal);
        MergeAtWord(normal);
    }
    // Read again: with the opposite effect gone, the command's own effect is toggled.
    const Summary& after = SelectionSummary();
    const Check mine = superscript ? after.superscript : after.subscript;
    QTextCharFormat f;
    f.setVerticalAlignment(mine == CommandState::Checked ? QTextCharFormat::AlignNormal : own);
    MergeAtWord(f);
    edit.endEditBlock();
    Invalidate();
}

void CMainView::ApplyColour(int id) {
    const bool text = id >= cmd::TextColourFirst && id <= cmd::TextColourLast;
    const int index = id - (text ? cmd::TextColourFirst : cmd::BackColourFirst);
    QColor colour;
    if (index == 15) { // "Другой..."
        const auto chosen = m_hooks.chooseColour ? m_hooks.chooseColour(this) : std::nullopt;
        if (!chosen)
            return;
        colour = *chosen;
    } else {
        colour = TableColour(index);
    }
    QTextCharFormat f;
    if (text)
        f.setForeground(colour);
    else
        f.setBackground(colour);
    MergeAtWord(f);
}

bool CMainView::ApplyFontName(const QString& face) {
    const QString name = face.trimmed();
    if (name.isEmpty() || name.size() > 32 || isReadOnly())
        return false;
    if (name == SelectionSummary().face)
        return true; // already so: no undo step for nothing
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    mergeCurrentCharFormat(f);
    Invalidate();
    return true;
}

bool CMainView::ApplyFontSize(const QString& text) {
    bool ok = false;
    const double n =
        QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    // The height in twips, n x 20, must lie between 1 and 10000.
    if (!ok || n * 20 < 1 || n * 20 > 10000 || isReadOnly())
        return false;
    if (SizeText(n) == SelectionSummary().size)
        return true;
    QTextCharFormat f;
    f.setFontPointSize(std::round(n * 2) / 2); // RTF holds half-points
    mergeCurrentCharFormat(f);
    Invalidate();
    return true;
}

void CMainView::UpdateFormatBoxes() {
    if (!m_fontBox && !m_sizeBox)
        return;
    const bool active = isVisible();
    for (QComboBox* box : {static_cast<QComboBox*>(m_fontBox.data()), m_sizeBox.data()}) {
        if (!box)
            continue;
        box->setEnabled(active);
        if (box->hasFocus() || (box->lineEdit() && box->lineEdit()->hasFocus()))
            return; // the user is typing in it
    }
    if (!active)
        return;
    const Summary& s = SelectionSummary();
    if (m_fontBox) {
        const QSignalBlocker block(m_fontBox);
        const int index = s.face.isEmpty() ? -1 : m_fontBox->findText(s.face);
        m_fontBox->setCurrentIndex(index);
        if (index < 0)
            m_fontBox->setEditText(s.face); // a face not installed is still named
    }
    if (m_sizeBox) {
        const QSignalBlocker block(m_sizeBox);
        const int index = s.size.isEmpty() ? -1 : m_sizeBox->findText(s.size);
        m_sizeBox->setCurrentIndex(index);
        if (index < 0)
            m_sizeBox->setEditText(s.size);
    }
}

// --- Insertion ------------------------------------------------------------------------------

void CMainView::ReplaceSelection(const QString& text) {
    if (isReadOnly())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock(); // one undo step, never merged with the typing before it
    cursor.insertText(text);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void CMainView::InsertStamp(bool date) {
    const QDateTime now = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
    const QString text = date ? now.toString(QStringLiteral("dd.MM.yyyy"))
                              : now.toString(QStringLiteral("HH:mm:ss"));
    ReplaceSelection(QStringLiteral("[%1]").arg(text));
}

void CMainView::RunDateTimeDialog() {
    const QDateTime now = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
    if (!m_hooks.chooseDateTime)
        return;
    if (const auto text = m_hooks.chooseDateTime(this, now))
        ReplaceSelection(*text);
}

void CMainView::RunFontDialog() {
    if (!m_hooks.chooseFont)
        return;
    // The dialog starts from the selection's first character (the typing format without one).
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && cursor.position() > cursor.anchor())
        cursor.setPosition(cursor.anchor() + 1);
    const QTextCharFormat current = cursor.charFormat();
    const QFont defaultFont = document()->defaultFont();
    QFont initial = defaultFont;
    initial.setFamily(Face(current, defaultFont));
    initial.setPointSizeF(PointSize(current, defaultFont));
    initial.setBold(current.hasProperty(QTextFormat::FontWeight)
                        ? current.fontWeight() >= QFont::DemiBold
                        : defaultFont.bold());
    initial.setItalic(current.fontItalic());
    initial.setUnderline(current.fontUnderline());
    initial.setStrikeOut(current.fontStrikeOut());
    const auto chosen = m_hooks.chooseFont(this, initial);
    if (!chosen)
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{chosen->family()});
    const double points = chosen->pointSizeF() > 0 ? chosen->pointSizeF() : initial.pointSizeF();
    f.setFontPointSize(std::clamp(std::round(points * 2) / 2, 0.5, 500.0)); // RTF holds half-points
    f.setFontWeight(chosen->bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(chosen->italic());
    f.setFontUnderline(chosen->underline());
    f.setFontStrikeOut(chosen->strikeOut());
    mergeCurrentCharFormat(f);
    Invalidate();
}

void CMainView::RunParagraphDialog() {
    if (!m_hooks.chooseParagraph)
        return;
    const double dpi = DocumentDpi(*document());
    const QTextBlock firstBlock = document()->findBlock(textCursor().selectionStart());
    const QTextBlockFormat shown = firstBlock.blockFormat();
    ParagraphValues values;
    values.left = Twips(shown.leftMargin(), dpi);
    values.right = Twips(shown.rightMargin(), dpi);
    values.first = firstBlock.textList() && shown.hasProperty(rtfprop::FirstIndent)
                       ? shown.intProperty(rtfprop::FirstIndent)
                       : Twips(shown.textIndent(), dpi);
    values.before = Twips(shown.topMargin(), dpi);
    values.after = Twips(shown.bottomMargin(), dpi);
    const Qt::Alignment align = shown.alignment() & Qt::AlignHorizontal_Mask;
    values.align = align & Qt::AlignHCenter   ? ParagraphValues::Align::Center
                   : align & Qt::AlignJustify ? ParagraphValues::Align::Justify
                   : align & Qt::AlignRight   ? ParagraphValues::Align::Right
                                              : ParagraphValues::Align::Left;
    const auto change = m_hooks.chooseParagraph(this, values);
    if (!change || !change->Any())
        return;
    const ParagraphValues& v = change->values;
    auto px = [dpi](int twips) { return twips * dpi / 1440.0; };
    QTextCursor cursor = textCursor();
    const int end = cursor.selectionEnd();
    cursor.beginEditBlock();
    for (QTextBlock b = firstBlock; b.isValid(); b = b.next()) {
        QTextBlockFormat f;
        if (change->left)
            f.setLeftMargin(px(v.left));
        if (change->right)
            f.setRightMargin(px(v.right));
        if (change->first) {
            if (b.textList())
                f.setProperty(rtfprop::FirstIndent, v.first); // the marker stands in the indent
            else
                f.setTextIndent(px(v.first));
        }
        if (change->before)
            f.setTopMargin(px(v.before));
        if (change->after)
            f.setBottomMargin(px(v.after));
        if (change->align) {
            static constexpr Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignHCenter,
                                                       Qt::AlignRight, Qt::AlignJustify};
            f.setAlignment(kAlign[static_cast<int>(v.align)]);
        }
        QTextCursor(b).mergeBlockFormat(f);
        if (b.position() + b.length() > end)
            break;
    }
    cursor.endEditBlock();
    Invalidate();
    UpdateRuler();
}

void CMainView::ToggleList(bool numbered) {
    const Check state = numbered ? SelectionSummary().numbering : SelectionSummary().bullets;
    const bool off = state == CommandState::Checked;
    const double indent = kListIndentTwips * DocumentDpi(*document()) / 1440.0;
    QTextCursor cursor = textCursor();
    const int end = cursor.selectionEnd();
    std::vector<QTextBlock> blocks;
    for (QTextBlock b = document()->findBlock(cursor.selectionStart()); b.isValid(); b = b.next()) {
        blocks.push_back(b);
        if (b.position() + b.length() > end)
            break;
    }
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    for (QTextBlock& b : blocks) {
        QTextCursor at(b);
        QTextList* old = b.textList();
        const bool wasListed = old != nullptr;
        if (old && (off || IsBulletList(*old) == numbered))
            old->remove(b); // leaves the list it was in, or the list of the other kind
        QTextBlockFormat f = b.blockFormat();
        // What was read with the paragraph's old numbering no longer holds.
        f.clearProperty(rtfprop::Numbering);
        f.clearProperty(rtfprop::NumberIndex);
        f.setIndent(0);
        if (off) {
            f.clearProperty(rtfprop::FirstIndent);
            f.setTextIndent(0);
            f.setLeftMargin(std::max(0.0, f.leftMargin() - indent));
            at.setBlockFormat(f);
            continue;
        }
        if (!wasListed) {
            f.setLeftMargin(f.leftMargin() + indent);
            f.setTextIndent(0);
            f.setProperty(rtfprop::FirstIndent, -kListIndentTwips);
        }
        at.setBlockFormat(f);
        if (b.textList())
            list = b.textList(); // already in a list of this kind: the others join it
        else if (list)
            list->add(b);
        else {
            QTextListFormat lf;
            lf.setStyle(numbered ? QTextListFormat::ListDecimal : QTextListFormat::ListDisc);
            if (numbered)
                lf.setNumberSuffix(QStringLiteral("."));
            lf.setIndent(0); // the paragraph's own left indent places the marker
            list = at.createList(lf);
        }
    }
    cursor.endEditBlock();
    Invalidate();
    UpdateRuler();
}

void CMainView::InsertTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(Tr(text::CannotOpenFile).arg(path));
        return;
    }
    if (file.size() > kMaxInsertedFile) {
        ShowMessage(Tr(text::FileTooLarge).arg(path));
        return;
    }
    QString text = DecodeTextFile(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.remove(QChar(0xFFFC));
    text.remove(QChar(0));
    ReplaceSelection(text);
}

void CMainView::InsertPictureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(Tr(text::CannotOpenFile).arg(path));
        return;
    }
    if (file.size() > kMaxInsertedFile) {
        ShowMessage(Tr(text::FileTooLarge).arg(path));
        return;
    }
    auto picture = PictureFromImageFile(file.readAll());
    if (!picture) {
        ShowMessage(Tr(text::NotAPicture).arg(path));
        return;
    }
    RtfDocument inserted;
    inserted.paragraphs.resize(1);
    inserted.paragraphs[0].content.emplace_back(std::move(*picture));
    QTextCursor cursor = textCursor();
    InsertRtfDocument(cursor, inserted);
    setTextCursor(cursor);
}

void CMainView::RunInsertTextFile() {
    if (!m_hooks.openFile)
        return;
    const QString path = m_hooks.openFile(this, Tr(text::FileAsText), Tr(text::TextFileFilter));
    if (!path.isEmpty())
        InsertTextFile(path);
}

void CMainView::RunInsertPicture() {
    if (!m_hooks.openFile)
        return;
    const QString path =
        m_hooks.openFile(this, Tr(text::PictureFromFile), Tr(text::PictureFileFilter));
    if (!path.isEmpty())
        InsertPictureFile(path);
}

void CMainView::PasteSpecial(bool formatted) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || isReadOnly())
        return;
    if (formatted) {
        insertFromMimeData(data);
    } else if (data->hasText()) {
        ReplaceSelection(CleanPlainText(data->text()));
    }
}

void CMainView::RunPasteSpecial() {
    if (!m_hooks.choosePasteFormat)
        return;
    if (const auto formatted = m_hooks.choosePasteFormat(this))
        PasteSpecial(*formatted);
}

void CMainView::RunFindDialog(bool replace) {
    if (!m_find)
        m_find = new FindReplaceDialog(*this, this);
    m_find->Start(replace && !isReadOnly());
}

// --- Clipboard ------------------------------------------------------------------------------

QMimeData* CMainView::createMimeDataFromSelection() const {
    return CreateRtfMimeData(textCursor().selection(), *document());
}

bool CMainView::canInsertFromMimeData(const QMimeData* source) const {
    return HasRtfMimeData(*source) || QTextEdit::canInsertFromMimeData(source);
}

void CMainView::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly())
        return;
    QTextCursor cursor = textCursor();
    if (InsertRtfMimeData(*source, cursor)) {
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    if (source->hasHtml() || source->hasImage()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    if (source->hasText())
        ReplaceSelection(CleanPlainText(source->text()));
}

// --- Wrapping, links, menu ------------------------------------------------------------------

void CMainView::SetWrap(WrapMode mode) {
    m_wrap = mode;
    switch (mode) {
    case WrapMode::None:
        setLineWrapMode(NoWrap);
        break;
    case WrapMode::Window:
        setLineWrapMode(WidgetWidth);
        break;
    case WrapMode::Printer:
        setLineWrapMode(FixedPixelWidth);
        setLineWrapColumnOrWidth(
            static_cast<int>(std::lround(m_printableWidth * DocumentDpi(*document()) / 1440.0 +
                                         2 * document()->documentMargin())));
        break;
    }
    UpdateRuler();
}

void CMainView::SetPrintableWidth(int twips) {
    if (twips <= 0 || twips == m_printableWidth)
        return;
    m_printableWidth = twips;
    if (m_wrap == WrapMode::Printer)
        SetWrap(m_wrap);
}

void CMainView::UpdateLinks() {
    QList<ExtraSelection> selections;
    if (document()->isEmpty()) {
        setExtraSelections(selections);
        return;
    }
    // Only the visible part: the whole of a long body would cost too much on every change.
    const QTextBlock firstBlock = cursorForPosition(QPoint(0, 0)).block();
    const int bottom =
        cursorForPosition(QPoint(viewport()->width(), viewport()->height())).block().blockNumber();
    QTextCharFormat linkFormat;
    linkFormat.setForeground(QColor(0, 0, 255));
    linkFormat.setFontUnderline(true);
    for (QTextBlock b = firstBlock; b.isValid() && b.blockNumber() <= bottom + 1; b = b.next())
        for (const auto& [start, length] : FindLinks(b.text())) {
            ExtraSelection selection;
            selection.cursor = QTextCursor(document());
            selection.cursor.setPosition(b.position() + start);
            selection.cursor.setPosition(b.position() + start + length, QTextCursor::KeepAnchor);
            selection.format = linkFormat;
            selections.append(selection);
        }
    setExtraSelections(selections);
}

std::optional<QString> CMainView::LinkAt(const QPoint& viewportPos) const {
    const QPointF docPos(viewportPos.x() + horizontalScrollBar()->value(),
                         viewportPos.y() + verticalScrollBar()->value());
    const int position = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
    if (position < 0)
        return std::nullopt;
    const QTextBlock block = document()->findBlock(position);
    const int inBlock = position - block.position();
    const QString text = block.text();
    for (const auto& [start, length] : FindLinks(text))
        if (inBlock >= start && inBlock < start + length)
            return text.mid(start, length);
    return std::nullopt;
}

void CMainView::mouseMoveEvent(QMouseEvent* event) {
    const bool overLink =
        event->buttons() == Qt::NoButton && LinkAt(event->position().toPoint()).has_value();
    if (overLink != m_overLink) {
        m_overLink = overLink;
        viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    }
    if (!overLink)
        QTextEdit::mouseMoveEvent(event);
}

void CMainView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier)) {
        if (const auto link = LinkAt(event->position().toPoint())) {
            WaitCursor wait;
            if (m_hooks.openLink)
                m_hooks.openLink(LinkTarget(*link));
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void CMainView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && LinkAt(event->position().toPoint()) &&
        !textCursor().hasSelection())
        return;
    QTextEdit::mouseReleaseEvent(event);
}

void CMainView::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    UpdateRuler();
    m_linkTimer->start();
}

void CMainView::scrollContentsBy(int dx, int dy) {
    QTextEdit::scrollContentsBy(dx, dy);
    if (dx != 0)
        UpdateRuler();
    m_linkTimer->start();
}

void CMainView::contextMenuEvent(QContextMenuEvent* event) {
    using namespace cmd;
    QMenu menu(this);
    auto add = [&](QMenu& into, int id) {
        QAction* action = into.addAction(CommandLabel(id));
        CommandState state;
        UpdateCommand(id, state);
        action->setEnabled(state.enabled);
        if (state.check != CommandState::NoCheck) {
            action->setCheckable(true);
            action->setChecked(state.check != CommandState::Unchecked);
        }
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    };
    for (int id : {Undo,
                   Redo,
                   0,
                   Cut,
                   Copy,
                   Paste,
                   cmd::PasteSpecial,
                   Clear,
                   0,
                   SelectAll,
                   0,
                   Find,
                   Replace,
                   0,
                   InsertDate,
                   InsertTime,
                   InsertDateTime,
                   0,
                   Bold,
                   Italic,
                   Underline,
                   StrikeOut,
                   0,
                   Superscript,
                   Subscript})
        id == 0 ? (void)menu.addSeparator() : add(menu, id);
    menu.addSeparator();
    for (auto [first, title] : {std::pair{TextColourFirst, text::TextColour},
                                std::pair{BackColourFirst, text::BackColour}}) {
        QMenu* colours = menu.addMenu(QString::fromUtf8(title));
        for (int i = 0; i < 16; ++i) {
            if (i == 15)
                colours->addSeparator();
            add(*colours, first + i);
        }
    }
    menu.exec(event->globalPos() + QPoint(2, 0));
}

// --- Ruler ----------------------------------------------------------------------------------

void CMainView::UpdateRuler() {
    if (!m_ruler)
        return;
    const double dpi = DocumentDpi(*document());
    const QTextBlockFormat f = textCursor().blockFormat();
    ParagraphRuler::Format format;
    format.leftIndent = Twips(f.leftMargin(), dpi);
    format.rightIndent = Twips(f.rightMargin(), dpi);
    format.firstIndent = textCursor().block().textList() && f.hasProperty(rtfprop::FirstIndent)
                             ? f.intProperty(rtfprop::FirstIndent)
                             : Twips(f.textIndent(), dpi);
    for (const QTextOption::Tab& tab : f.tabPositions())
        if (format.tabs.size() < ParagraphRuler::kMaxTabs)
            format.tabs.push_back(Twips(tab.position, dpi));
    m_ruler->SetFormat(format);

    const double margin = document()->documentMargin();
    const int origin =
        static_cast<int>(m_ruler->mapFromGlobal(viewport()->mapToGlobal(QPoint(0, 0))).x() +
                         margin - horizontalScrollBar()->value());
    double width = viewport()->width() - 2 * margin;
    if (m_wrap == WrapMode::Printer)
        width = lineWrapColumnOrWidth() - 2 * margin;
    m_ruler->SetGeometry(
        m_ruler->isVisible() || !m_ruler->parentWidget() ? origin : static_cast<int>(margin),
        static_cast<int>(width), dpi);
}

void CMainView::ApplyRuler() {
    if (isReadOnly()) {
        UpdateRuler();
        return;
    }
    const ParagraphRuler::Format& format = m_ruler->CurrentFormat();
    const double dpi = DocumentDpi(*document());
    auto px = [dpi](int twips) { return twips * dpi / 1440.0; };
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    cursor.beginEditBlock();
    for (QTextBlock b = document()->findBlock(start); b.isValid(); b = b.next()) {
        const QTextBlockFormat old = b.blockFormat();
        QTextBlockFormat f;
        f.setLeftMargin(px(format.leftIndent));
        f.setRightMargin(px(format.rightIndent));
        if (b.textList()) {
            f.setProperty(rtfprop::FirstIndent, format.firstIndent);
        } else {
            f.setTextIndent(px(format.firstIndent));
        }
        QList<QTextOption::Tab> tabs;
        const auto oldTabs = old.tabPositions();
        for (int position : format.tabs) {
            QTextOption::Tab tab(px(position), QTextOption::LeftTab);
            for (const QTextOption::Tab& kept : oldTabs) // a stop left in place keeps its kind
                if (Twips(kept.position, dpi) == position)
                    tab = kept;
            tabs.append(tab);
        }
        f.setTabPositions(tabs);
        QTextCursor(b).mergeBlockFormat(f);
        if (b.position() + b.length() > end)
            break;
    }
    cursor.endEditBlock();
    Invalidate();
}

} // namespace kelvo
