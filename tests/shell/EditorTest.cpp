// The record editor inside the main window: bodies written when records are left, saved or
// the bank is saved; formatting commands and their marks; insertion; bodies of the Windows
// program with pictures and objects.
#include "core/RecordBody.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "shell/CMainFrame.h"
#include "shell/CMainView.h"
#include "shell/CommandIds.h"
#include "shell/FindReplaceDialog.h"
#include "shell/InsertDateTimeDlg.h"
#include "richtext/RtfTextDocument.h"
#include "shell/SettingsStore.h"
#include "shell/ui/CParagraphDlg.h"
#include "widgets/ParagraphRuler.h"
#include "widgets/StatusPaneBar.h"

#include "TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kelvo {
namespace {

std::string ReadSample(const std::string& name) {
    std::ifstream in(std::filesystem::path(KELVO_TEST_DATA_DIR) / "rtf" / name, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::string RtfToPlainTextForTest(const std::string& body) {
    return RtfToPlainText(body);
}

std::string WriteRtfForTest(const QTextDocument& doc) {
    return WriteRtf(SaveRtfDocument(doc));
}

template <class T> std::vector<T> Items(const RtfDocument& doc) {
    std::vector<T> out;
    for (const RtfParagraph& p : doc.paragraphs)
        for (const RtfInline& item : p.content)
            if (const auto* value = std::get_if<T>(&item))
                out.push_back(*value);
    return out;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OnNewDocument().ok());
        root = doc.records().selected();
        ASSERT_TRUE(root);
    }

    // The frame is made when the test has put what it needs into the bank.
    void MakeFrame() {
        frame = std::make_unique<CMainFrame>(doc, settings, dialogs);
        editor = dynamic_cast<CMainView*>(&frame->RecordView());
        ASSERT_TRUE(editor);
        EditorHooks hooks = DefaultEditorHooks(nullptr);
        hooks.now = [this] { return clock; };
        hooks.chooseColour = [this](QWidget*) { return chosenColour; };
        hooks.message = [this](QWidget*, const QString& text) { messages.append(text); };
        hooks.openFile = [this](QWidget*, const QString&, const QString&) { return openPath; };
        hooks.chooseDateTime = [this](QWidget*, const QDateTime& when) -> std::optional<QString> {
            return DateTimeChoices(when, QLocale(QLocale::Russian)).value(2);
        };
        hooks.openLink = [this](const QString& target) { links.append(target); };
        editor->SetHooks(hooks);
        // The bank was opened before the window existed: show its selection now.
        frame->OnSelectionChanged(TreeKind::Records, root);
    }

    TreeNode* AddRecord(const char* title) {
        TreeNode* node = doc.AddNode(TreeKind::Records, root, Utf8ToAnsiLossy(title));
        frame->RecordTreeCtrl().Refresh();
        return node;
    }

    std::string Body(const TreeNode* node) {
        auto body = doc.ReadBody(node->item.uid);
        return body ? *body : std::string("<none>");
    }

    // Typing as the keyboard does, one key event a character (Cyrillic included).
    void Type(const QString& text) {
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &release);
        }
    }

    void Select(int from, int to) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    }

    QTextCharFormat FormatAt(int position) {
        QTextCursor cursor(editor->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

    CommandState::Check Mark(int id) { return frame->QueryCommand(id).check; }

    QTemporaryDir dir;
    SettingsStore settings{dir.path() + QStringLiteral("/s.ini")};
    test::ScriptedDialogs dialogs;
    CQuorvellineDoc doc;
    TreeNode* root = nullptr;
    std::unique_ptr<CMainFrame> frame;
    CMainView* editor = nullptr;
    QDateTime clock{QDate(2026, 12, 5), QTime(21, 48, 47)};
    std::optional<QColor> chosenColour;
    QStringList messages;
    QStringList links;
    QString openPath;
};

TEST_F(EditorTest, LeavingARecordWritesItsBodyOnlyAfterTyping) {
    MakeFrame();
    TreeNode* second = AddRecord("Вторая");
    // Showing the root created its empty body.
    EXPECT_EQ(Body(root), "");
    EXPECT_FALSE(second->item.saved.valid);
    EXPECT_EQ(Body(second), "<none>");

    Type(QStringLiteral("Привет, мир"));
    EXPECT_TRUE(editor->IsModified());
    const QPointer<QTextDocument> shown = editor->document();
    frame->RecordTreeCtrl().SelectNode(second);
    EXPECT_TRUE(shown.isNull()); // each body comes in a new document; the old one is gone
    EXPECT_TRUE(root->item.saved.valid);
    EXPECT_EQ(RtfToPlainTextForTest(Body(root)), "Привет, мир");
    EXPECT_EQ(editor->Record(), &second->item);
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    EXPECT_EQ(Body(second), ""); // shown once: an empty stream now

    // Leaving without typing writes nothing and stamps nothing.
    const std::string rootBody = Body(root);
    frame->RecordTreeCtrl().SelectNode(root);
    EXPECT_FALSE(second->item.saved.valid);
    EXPECT_EQ(Body(second), "");
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Привет, мир"));
    EXPECT_FALSE(editor->IsModified());

    // A shorter body leaves nothing of the longer one behind.
    editor->selectAll();
    Type(QStringLiteral("x"));
    frame->RecordTreeCtrl().SelectNode(second);
    EXPECT_LT(Body(root).size(), rootBody.size());
    EXPECT_EQ(RtfToPlainTextForTest(Body(root)), "x");
}

TEST_F(EditorTest, SaveCommandTabSwitchAndBankSaveWriteTheBody) {
    MakeFrame();
    EXPECT_FALSE(frame->QueryCommand(cmd::SaveRecord).enabled);
    Type(QStringLiteral("один"));
    EXPECT_TRUE(frame->QueryCommand(cmd::SaveRecord).enabled);
    EXPECT_TRUE(frame->ExecuteCommand(cmd::SaveRecord));
    EXPECT_EQ(RtfToPlainTextForTest(Body(root)), "один");
    EXPECT_FALSE(editor->IsModified());
    EXPECT_FALSE(frame->QueryCommand(cmd::SaveRecord).enabled);

    Type(QStringLiteral(" два"));
    frame->SwitchTab(1);
    EXPECT_EQ(RtfToPlainTextForTest(Body(root)), "один два");
    frame->SwitchTab(0);

    Type(QStringLiteral(" три"));
    const QString path = dir.path() + QStringLiteral("/банк.Kvb");
    ASSERT_TRUE(doc.SaveAs(path.toStdString()).ok());
    EXPECT_FALSE(editor->IsModified());
    EXPECT_EQ(RtfToPlainTextForTest(Body(root)), "один два три");
}

TEST_F(EditorTest, ModifiedPanesAndPosition) {
    MakeFrame();
    frame->UpdateCommandUi();
    EXPECT_FALSE(frame->StatusPanes().IsPaneOn(cmd::PaneRecordModified));
    EXPECT_FALSE(frame->StatusPanes().IsPaneOn(cmd::PaneBankModified));
    Type(QStringLiteral("строка"));
    QTest::keyClick(editor, Qt::Key_Return);
    Type(QStringLiteral("ab"));
    frame->UpdateCommandUi();
    EXPECT_TRUE(frame->StatusPanes().IsPaneOn(cmd::PaneRecordModified));
    EXPECT_TRUE(frame->StatusPanes().IsPaneOn(cmd::PaneBankModified));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(frame->StatusPanes().PaneText(cmd::PanePosition), QStringLiteral("Стр 2, cтб 3"));
    frame->ExecuteCommand(cmd::SaveRecord);
    frame->UpdateCommandUi();
    EXPECT_FALSE(frame->StatusPanes().IsPaneOn(cmd::PaneRecordModified));
    EXPECT_TRUE(frame->StatusPanes().IsPaneOn(cmd::PaneBankModified)); // until the bank is saved
}

TEST_F(EditorTest, SuperscriptOverSubscriptIsOneCommand) {
    MakeFrame();
    Type(QStringLiteral("H2O x2"));
    Select(1, 2);
    ASSERT_TRUE(frame->ExecuteCommand(cmd::Subscript));
    EXPECT_EQ(FormatAt(1).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(Mark(cmd::Subscript), CommandState::Checked);
    ASSERT_TRUE(frame->ExecuteCommand(cmd::Superscript));
    EXPECT_EQ(FormatAt(1).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(Mark(cmd::Subscript), CommandState::Unchecked);
    EXPECT_EQ(Mark(cmd::Superscript), CommandState::Checked);
    // The same command again clears its own effect.
    frame->ExecuteCommand(cmd::Superscript);
    EXPECT_EQ(FormatAt(1).verticalAlignment(), QTextCharFormat::AlignNormal);
    editor->undo();
    editor->undo(); // superscript over subscript went in one step
    EXPECT_EQ(FormatAt(1).verticalAlignment(), QTextCharFormat::AlignSubScript);
    // A selection half subscript shows the indeterminate mark.
    Select(0, 2);
    EXPECT_EQ(Mark(cmd::Subscript), CommandState::Indeterminate);
    EXPECT_EQ(Mark(cmd::Superscript), CommandState::Unchecked);
    // With no selection the word at the cursor is raised.
    Select(5, 5);
    frame->ExecuteCommand(cmd::Superscript);
    EXPECT_EQ(FormatAt(4).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(FormatAt(5).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(FormatAt(2).verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST_F(EditorTest, EffectsToggleWithCheckAndIndeterminateMarks) {
    MakeFrame();
    Type(QStringLiteral("жирный простой"));
    Select(0, 6);
    frame->ExecuteCommand(cmd::Bold);
    EXPECT_EQ(Mark(cmd::Bold), CommandState::Checked);
    Select(0, 14);
    EXPECT_EQ(Mark(cmd::Bold), CommandState::Indeterminate);
    frame->ExecuteCommand(cmd::Bold); // mixed: set on the whole selection
    EXPECT_EQ(Mark(cmd::Bold), CommandState::Checked);
    frame->ExecuteCommand(cmd::Bold);
    EXPECT_EQ(Mark(cmd::Bold), CommandState::Unchecked);
    for (int id : {cmd::Italic, cmd::Underline, cmd::StrikeOut}) {
        frame->ExecuteCommand(id);
        EXPECT_EQ(Mark(id), CommandState::Checked) << id;
    }
    frame->ExecuteCommand(cmd::AlignCenter);
    EXPECT_EQ(Mark(cmd::AlignCenter), CommandState::Checked);
    EXPECT_EQ(Mark(cmd::AlignLeft), CommandState::Unchecked);
    frame->ExecuteCommand(cmd::Underline);
    const RtfDocument saved = SaveRtfDocument(*editor->document());
    const auto& run = std::get<RtfRun>(saved.paragraphs[0].content[0]);
    EXPECT_TRUE(run.format.italic);
    EXPECT_TRUE(run.format.strike);
    EXPECT_TRUE(run.format.underline.empty());
    EXPECT_EQ(saved.paragraphs[0].alignment, RtfAlignment::Center);
}

TEST_F(EditorTest, ColourWithoutSelectionColoursTheWord) {
    MakeFrame();
    Type(QStringLiteral("один два три"));
    Select(6, 6);                                                 // inside "два"
    ASSERT_TRUE(frame->ExecuteCommand(cmd::TextColourFirst + 8)); // "Красный"
    EXPECT_EQ(FormatAt(5).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatAt(7).foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(FormatAt(1).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(FormatAt(10).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(editor->textCursor().hasSelection());
    frame->ExecuteCommand(cmd::BackColourFirst + 10); // "Желтый"
    EXPECT_EQ(FormatAt(6).background().color(), QColor(255, 255, 0));

    // "Другой..." cancelled changes nothing; chosen, it colours the selection.
    ASSERT_TRUE(frame->ExecuteCommand(cmd::SaveRecord));
    chosenColour.reset();
    frame->ExecuteCommand(cmd::TextColourLast);
    EXPECT_FALSE(editor->IsModified());
    chosenColour = QColor(1, 2, 3);
    Select(0, 4);
    frame->ExecuteCommand(cmd::TextColourLast);
    EXPECT_EQ(FormatAt(0).foreground().color(), QColor(1, 2, 3));
    const std::string body = WriteRtfForTest(*editor->document());
    EXPECT_NE(body.find("\\red1\\green2\\blue3"), std::string::npos);
}

TEST_F(EditorTest, DateAndTimeOnAFixedClockEachOneUndoStep) {
    MakeFrame();
    Type(QStringLiteral("Было: xx"));
    Select(6, 8);
    frame->ExecuteCommand(cmd::InsertDate);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Было: [05.12.2026]"));
    frame->ExecuteCommand(cmd::InsertTime);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Было: [05.12.2026][21:48:47]"));
    editor->undo();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Было: [05.12.2026]"));
    editor->undo();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Было: xx"));
    // The dialog's text goes in without brackets.
    editor->moveCursor(QTextCursor::End);
    frame->ExecuteCommand(cmd::InsertDateTime);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("Было: xx5-12-2026"));
}

TEST(InsertDateTimeDlg, ThirteenPicturesEachTextOnce) {
    ASSERT_EQ(DateTimePictures().size(), 13);
    const QLocale ru(QLocale::Russian);
    const QStringList fifth = DateTimeChoices(QDateTime(QDate(2026, 12, 5), QTime(9, 0)), ru);
    EXPECT_EQ(fifth.size(), 13);
    EXPECT_EQ(fifth[0], QStringLiteral("5-12-26"));
    EXPECT_EQ(fifth[7], QStringLiteral("05.12.2026"));
    EXPECT_TRUE(fifth[12].endsWith(QStringLiteral(", 5 дек. 2026 г.")) ||
                fifth[12].contains(QStringLiteral("2026 г.")));
    // On the 12th of December "d.M.yy" and "dd.MM.yy" give one text, and so on.
    const QStringList twelfth = DateTimeChoices(QDateTime(QDate(2026, 12, 12), QTime(9, 0)), ru);
    EXPECT_EQ(QStringList(twelfth).removeDuplicates(), 0);
    EXPECT_EQ(twelfth.size(), 9);
    EXPECT_EQ(twelfth.mid(0, 4),
              (QStringList{QStringLiteral("12-12-26"), QStringLiteral("12-12-2026"),
                           QStringLiteral("12.12.26"), QStringLiteral("12.12.2026")}));

    InsertDateTimeDlg dialog(QDateTime(QDate(2026, 12, 12), QTime(9, 0)), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Вставка даты/времени"));
    EXPECT_EQ(dialog.List()->count(), twelfth.size());
}

TEST_F(EditorTest, WindowsBodyWithPicturesAndObjectsSurvivesEditing) {
    // The root's body is a body of the Windows program: an object, then a picture paragraph.
    std::string windows = ReadSample("object_pbrush.rtf");
    {
        auto storage = doc.WorkingStorage();
        ASSERT_TRUE(storage.ok());
        ASSERT_TRUE(WriteRecordBody(*storage, root->item.uid, windows).ok());
    }
    MakeFrame();
    const RtfDocument original = ReadRtf(windows);
    EXPECT_TRUE(editor->toPlainText().startsWith(QStringLiteral("Объект:")));
    editor->moveCursor(QTextCursor::End);
    Type(QStringLiteral(" и текст после"));
    editor->moveCursor(QTextCursor::Start);
    Type(QStringLiteral("Начало. "));
    // A picture inserted from a file joins it.
    QDir().mkpath(dir.path() + QStringLiteral("/данные"));
    openPath = dir.path() + QStringLiteral("/данные/рисунок.png");
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(openPath, "PNG"));
    frame->ExecuteCommand(cmd::InsertPicture);

    TreeNode* second = AddRecord("Другая");
    frame->RecordTreeCtrl().SelectNode(second);
    frame->RecordTreeCtrl().SelectNode(root);
    const RtfDocument saved = ReadRtf(Body(root));
    ASSERT_EQ(Items<RtfObject>(saved).size(), 1u);
    EXPECT_EQ(Items<RtfObject>(saved)[0].raw, Items<RtfObject>(original)[0].raw);
    ASSERT_EQ(Items<RtfPicture>(saved).size(), 1u);
    EXPECT_EQ(Items<RtfPicture>(saved)[0].kind, RtfPictureKind::Png);
    EXPECT_TRUE(
        CleanPlainText(editor->toPlainText()).startsWith(QStringLiteral("Начало. Объект:")));
    EXPECT_TRUE(CleanPlainText(editor->toPlainText()).endsWith(QStringLiteral(" и текст после")));

    // Copying everything puts RTF on the clipboard with the object in it.
    editor->selectAll();
    editor->copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasFormat(QString::fromLatin1(kRtfMimeType)));
    const QByteArray rtf = data->data(QString::fromLatin1(kRtfMimeType));
    EXPECT_EQ(Items<RtfObject>(ReadRtf(std::string_view(rtf.constData(), rtf.size()))).size(), 1u);
    // Pasted plain, only the text comes.
    editor->moveCursor(QTextCursor::End);
    editor->PasteSpecial(false);
    EXPECT_EQ(Items<RtfObject>(SaveRtfDocument(*editor->document())).size(), 1u);
    editor->PasteSpecial(true);
    EXPECT_EQ(Items<RtfObject>(SaveRtfDocument(*editor->document())).size(), 2u);

    // A file that is no picture is refused with a message.
    openPath = dir.path() + QStringLiteral("/данные/не рисунок.png");
    QFile bad(openPath);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("text");
    bad.close();
    frame->ExecuteCommand(cmd::InsertPicture);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(EditorTest, TextFilesInUtf8OrWindows1251) {
    EXPECT_EQ(DecodeTextFile(QByteArray("\xEF\xBB\xBFпривет")), QStringLiteral("привет"));
    EXPECT_EQ(DecodeTextFile(QByteArray("привет")), QStringLiteral("привет"));
    EXPECT_EQ(DecodeTextFile(QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2")), QStringLiteral("Привет"));
    EXPECT_EQ(DecodeTextFile(QByteArray("\xFF\xFE\x41\x00\x16\x04", 6)), QStringLiteral("AЖ"));

    MakeFrame();
    openPath = dir.path() + QStringLiteral("/заметка.txt");
    QFile file(openPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xCF\xE5\xF0\xE2\xE0\xFF\r\n\xC2\xF2\xEE\xF0\xE0\xFF");
    file.close();
    Type(QStringLiteral(">"));
    frame->ExecuteCommand(cmd::InsertTextFile);
    EXPECT_EQ(editor->toPlainText(), QStringLiteral(">Первая\nВторая"));
    EXPECT_EQ(editor->document()->blockCount(), 2);
    openPath = dir.path() + QStringLiteral("/нет такого.txt");
    frame->ExecuteCommand(cmd::InsertTextFile);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(EditorTest, FontBoxesFollowTheSelectionAndApplyTheirRules) {
    MakeFrame();
    frame->show();
    auto* sizeBox = frame->findChild<QComboBox*>(QStringLiteral("FontSizeBox"));
    auto* fontBox = frame->findChild<QFontComboBox*>(QStringLiteral("FontNameBox"));
    ASSERT_TRUE(sizeBox && fontBox);
    Type(QStringLiteral("крупно мелко"));
    EXPECT_TRUE(sizeBox->isEnabled());
    EXPECT_EQ(sizeBox->currentText(), QStringLiteral("10"));
    Select(0, 6);
    EXPECT_TRUE(editor->ApplyFontSize(QStringLiteral("14")));
    EXPECT_EQ(FormatAt(0).fontPointSize(), 14.0);
    EXPECT_FALSE(editor->ApplyFontSize(QStringLiteral("0")));
    EXPECT_FALSE(editor->ApplyFontSize(QStringLiteral("501"))); // over 10000 twips
    EXPECT_FALSE(editor->ApplyFontSize(QStringLiteral("abc")));
    EXPECT_TRUE(editor->ApplyFontName(QStringLiteral("Courier New")));
    EXPECT_FALSE(editor->ApplyFontName(QString(33, QLatin1Char('x'))));
    EXPECT_EQ(editor->SelectionSize(), QStringLiteral("14"));
    EXPECT_EQ(sizeBox->currentText(), QStringLiteral("14"));
    Select(0, 12);
    EXPECT_TRUE(editor->SelectionSize().isEmpty()); // mixed: no value shown
    EXPECT_TRUE(sizeBox->currentText().isEmpty());
    // Typing into the size box and pressing Enter applies the size.
    sizeBox->lineEdit()->setFocus();
    sizeBox->lineEdit()->setText(QStringLiteral("20"));
    QTest::keyClick(sizeBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(FormatAt(8).fontPointSize(), 20.0);
    EXPECT_EQ(sizeBox->lineEdit()->maxLength(), 4);
    frame->SwitchTab(1);
    EXPECT_FALSE(sizeBox->isEnabled());
}

TEST_F(EditorTest, FindReplaceAndWrapModes) {
    MakeFrame();
    Type(QStringLiteral("кот и Кот и котёнок"));
    FindReplaceDialog find(*editor);
    find.SetPattern(QStringLiteral("кот"));
    find.SetReplacement(QStringLiteral("пёс"));
    find.SetOptions(true, false);
    editor->moveCursor(QTextCursor::Start);
    EXPECT_TRUE(find.FindNext());
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("кот"));
    EXPECT_EQ(find.ReplaceAll(), 2); // whole words only, either case
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("пёс и пёс и котёнок"));
    editor->undo();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("кот и Кот и котёнок"));
    find.SetPattern(QStringLiteral("собака"));
    EXPECT_FALSE(find.FindNext());
    EXPECT_FALSE(find.Status().isEmpty());

    EXPECT_EQ(Mark(cmd::WrapWindow), CommandState::Checked);
    frame->ExecuteCommand(cmd::WrapNone);
    EXPECT_EQ(editor->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_EQ(Mark(cmd::WrapNone), CommandState::Checked);
    frame->ExecuteCommand(cmd::WrapPrinter);
    EXPECT_EQ(editor->lineWrapMode(), QTextEdit::FixedPixelWidth);
    EXPECT_EQ(Mark(cmd::WrapWindow), CommandState::Unchecked);
}

TEST(EditorLinks, AddressesAreFoundWithoutTrailingPunctuation) {
    const QString text =
        QStringLiteral("См. http://example.com/a?b=1, и www.kelvo.ru. Не ссылка: http:");
    const auto links = FindLinks(text);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(text.mid(links[0].first, links[0].second),
              QStringLiteral("http://example.com/a?b=1"));
    EXPECT_EQ(text.mid(links[1].first, links[1].second), QStringLiteral("www.kelvo.ru"));
    EXPECT_EQ(LinkTarget(QStringLiteral("www.kelvo.ru")), QStringLiteral("http://www.kelvo.ru"));
    EXPECT_EQ(LinkTarget(QStringLiteral("mailto:a@b.ru")), QStringLiteral("mailto:a@b.ru"));
}

TEST_F(EditorTest, ClickOnALinkOpensIt) {
    MakeFrame();
    frame->resize(900, 600);
    frame->show();
    Type(QStringLiteral("http://example.com/page"));
    const QRect at = editor->cursorRect(QTextCursor(editor->document()->findBlockByNumber(0)));
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, at.center() + QPoint(30, 0));
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0], QStringLiteral("http://example.com/page"));
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("http://example.com/page")); // unchanged
}

TEST_F(EditorTest, RulerShowsAndSetsTheParagraphsIndentsAndTabs) {
    MakeFrame();
    Type(QStringLiteral("первый"));
    QTest::keyClick(editor, Qt::Key_Return);
    Type(QStringLiteral("второй"));
    QTest::keyClick(editor, Qt::Key_Return);
    Type(QStringLiteral("третий"));
    ParagraphRuler* ruler = editor->Ruler();
    ASSERT_TRUE(ruler);
    EXPECT_EQ(ruler->CurrentFormat(), ParagraphRuler::Format{});

    Select(0, 10); // the first two paragraphs
    ParagraphRuler::Format format;
    format.leftIndent = 1136;
    format.firstIndent = -568;
    format.rightIndent = 284;
    format.tabs = {2840, 4260};
    ruler->SetFormat(format);
    emit ruler->FormatEdited();
    const RtfDocument saved = SaveRtfDocument(*editor->document());
    for (int i : {0, 1}) {
        EXPECT_EQ(saved.paragraphs[i].leftIndent, 1136);
        EXPECT_EQ(saved.paragraphs[i].firstIndent, -568);
        EXPECT_EQ(saved.paragraphs[i].rightIndent, 284);
        ASSERT_EQ(saved.paragraphs[i].tabs.size(), 2u);
        EXPECT_EQ(saved.paragraphs[i].tabs[1].position, 4260);
    }
    EXPECT_EQ(saved.paragraphs[2].leftIndent, 0);
    editor->undo(); // one step for the whole selection
    EXPECT_EQ(SaveRtfDocument(*editor->document()).paragraphs[1].leftIndent, 0);
    Select(12, 12);
    EXPECT_EQ(ruler->CurrentFormat().leftIndent, 0);
}

TEST_F(EditorTest, WithoutARecordTheEditorTakesNoTyping) {
    MakeFrame();
    editor->LoadRecordBody(nullptr);
    EXPECT_TRUE(editor->isReadOnly());
    Type(QStringLiteral("x"));
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    EXPECT_FALSE(frame->QueryCommand(cmd::Bold).enabled);
    editor->LoadRecordBody(&root->item);
    EXPECT_FALSE(editor->isReadOnly());
    // A body saved for another record than the one shown is refused.
    Type(QStringLiteral("y"));
    TreeItem other;
    other.uid = 99;
    editor->SaveRecordBody(&other);
    EXPECT_TRUE(editor->IsModified());
    EXPECT_EQ(doc.ReadBody(99).ok(), false);
}

TEST_F(EditorTest, ABodyThatCannotBeSavedIsToldInRussianAndKept) {
    const std::filesystem::path bank = std::filesystem::path(dir.path().toStdString()) / "b.Kvb";
    ASSERT_TRUE(doc.SaveAs(bank).ok());
    MakeFrame();
    Type(QStringLiteral("текст"));
    // Another program holds the bank file just now: the save fails and says why.
    auto held = cfb::Storage::OpenFile(bank);
    ASSERT_TRUE(held.ok());
    editor->SaveRecordBody(&root->item);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(
        QStringLiteral("Не удалось сохранить запись в банке данных: файл занят другой программой")))
        << messages[0].toStdString();
    EXPECT_FALSE(messages[0].contains(QStringLiteral("%")));
    EXPECT_TRUE(editor->IsModified());
    *held = cfb::Storage();
    editor->SaveRecordBody(&root->item);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(editor->IsModified());
}

TEST_F(EditorTest, FontDialogStartsFromTheSelectionAndAppliesToItOnly) {
    MakeFrame();
    Type(QStringLiteral("один два"));
    std::optional<QFont> offered;
    std::optional<QFont> answer;
    EditorHooks hooks = DefaultEditorHooks(nullptr);
    hooks.chooseFont = [&](QWidget*, const QFont& initial) {
        offered = initial;
        return answer;
    };
    editor->SetHooks(hooks);
    frame->UpdateCommandUi();
    EXPECT_TRUE(frame->Action(cmd::FontDialog)->isEnabled());
    Select(5, 8); // "два"
    const int steps = editor->document()->availableUndoSteps();
    frame->ExecuteCommand(cmd::FontDialog); // cancelled
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(offered->pointSizeF(), 10);
    EXPECT_EQ(editor->document()->availableUndoSteps(), steps);

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSizeF(14.3);
    chosen.setBold(true);
    chosen.setUnderline(true);
    answer = chosen;
    frame->ExecuteCommand(cmd::FontDialog);
    const RtfDocument saved = ReadRtf(WriteRtfForTest(*editor->document()));
    const auto runs = Items<RtfRun>(saved);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, "один ");
    EXPECT_FALSE(runs[0].format.bold);
    EXPECT_EQ(runs[1].text, "два");
    EXPECT_EQ(runs[1].format.font.name, "DejaVu Serif");
    EXPECT_EQ(runs[1].format.fontSize, 29); // half-points
    EXPECT_TRUE(runs[1].format.bold);
    EXPECT_EQ(runs[1].format.underline, "ul");
    EXPECT_FALSE(runs[1].format.italic);
    // The next opening starts from the font now there.
    frame->ExecuteCommand(cmd::FontDialog);
    EXPECT_EQ(offered->family(), QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(offered->bold());
    frame->SwitchTab(1);
    frame->UpdateCommandUi();
    for (int id : {cmd::FontDialog, cmd::ParagraphDialog, cmd::Bullets, cmd::Numbering})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
}

TEST_F(EditorTest, ParagraphDialogChangesOnlyWhatWasChangedOnEverySelectedParagraph) {
    MakeFrame();
    Type(QStringLiteral("первый"));
    QTest::keyClick(editor, Qt::Key_Return);
    Type(QStringLiteral("второй"));
    QTest::keyClick(editor, Qt::Key_Return);
    Type(QStringLiteral("третий"));
    Select(8, 8);
    frame->ExecuteCommand(cmd::AlignRight); // the second paragraph differs in alignment
    std::optional<ParagraphValues> offered;
    EditorHooks hooks = DefaultEditorHooks(nullptr);
    hooks.chooseParagraph = [&](QWidget*, const ParagraphValues& values) {
        offered = values;
        ParagraphChange change;
        change.values = values;
        change.values.left = 567;
        change.values.first = -283;
        change.values.before = 120;
        change.values.after = 240;
        change.left = change.first = change.before = change.after = true;
        return std::optional<ParagraphChange>(change);
    };
    editor->SetHooks(hooks);
    Select(2, 10); // the first two paragraphs
    frame->ExecuteCommand(cmd::ParagraphDialog);
    ASSERT_TRUE(offered);
    EXPECT_EQ(*offered, ParagraphValues{});
    const RtfDocument saved = ReadRtf(WriteRtfForTest(*editor->document()));
    ASSERT_EQ(saved.paragraphs.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(saved.paragraphs[i].leftIndent, 567) << i;
        EXPECT_EQ(saved.paragraphs[i].firstIndent, -283) << i;
        EXPECT_EQ(saved.paragraphs[i].spaceBefore, 120) << i;
        EXPECT_EQ(saved.paragraphs[i].spaceAfter, 240) << i;
    }
    EXPECT_EQ(saved.paragraphs[0].alignment, RtfAlignment::Left);
    EXPECT_EQ(saved.paragraphs[1].alignment, RtfAlignment::Right);
    EXPECT_EQ(saved.paragraphs[2].leftIndent, 0);
    EXPECT_EQ(editor->Ruler()->CurrentFormat().leftIndent, 567);
    editor->undo(); // one step
    EXPECT_EQ(SaveRtfDocument(*editor->document()).paragraphs[0].spaceBefore, 0);
}

TEST(ParagraphDlg, FieldsLeftAloneCountAsUnchangedDespiteRounding) {
    ParagraphValues values;
    values.left = 100;   // 0.176... cm, shown as 0.18
    values.before = 130; // 6.5 pt
    values.align = ParagraphValues::Align::Center;
    CParagraphDlg dialog(values, nullptr);
    auto* left = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("LeftIndent"));
    auto* after = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("SpaceAfter"));
    ASSERT_TRUE(left && after);
    EXPECT_EQ(left->accessibleName(), QStringLiteral("Слева"));
    ParagraphChange change = dialog.Result();
    EXPECT_FALSE(change.Any());
    EXPECT_EQ(change.values, values);
    left->setValue(1.0);
    after->setValue(12);
    change = dialog.Result();
    EXPECT_TRUE(change.left && change.after);
    EXPECT_FALSE(change.right || change.first || change.before || change.align);
    EXPECT_EQ(change.values.left, 567);
    EXPECT_EQ(change.values.after, 240);
    EXPECT_EQ(change.values.before, 130);
}

TEST_F(EditorTest, BulletsAndNumberingToggleAndComeBackFromTheBankAsLists) {
    MakeFrame();
    for (const char* line : {"альфа", "бета", "гамма"}) {
        Type(QString::fromUtf8(line));
        if (std::string_view(line) != "гамма")
            QTest::keyClick(editor, Qt::Key_Return);
    }
    Select(0, editor->document()->characterCount() - 1);
    frame->ExecuteCommand(cmd::Bullets);
    EXPECT_EQ(Mark(cmd::Bullets), CommandState::Checked);
    EXPECT_EQ(Mark(cmd::Numbering), CommandState::Unchecked);
    RtfDocument saved = ReadRtf(WriteRtfForTest(*editor->document()));
    ASSERT_EQ(saved.paragraphs.size(), 3u);
    for (const RtfParagraph& p : saved.paragraphs) {
        ASSERT_TRUE(p.numbering);
        EXPECT_EQ(p.numbering->level, "pnlvlblt");
        EXPECT_EQ(p.leftIndent, 360);
        EXPECT_EQ(p.firstIndent, -360);
    }

    frame->ExecuteCommand(cmd::Numbering); // bullets become numbers
    EXPECT_EQ(Mark(cmd::Numbering), CommandState::Checked);
    EXPECT_EQ(Mark(cmd::Bullets), CommandState::Unchecked);
    Select(7, 7); // "бета" leaves the list
    frame->ExecuteCommand(cmd::Numbering);
    EXPECT_EQ(Mark(cmd::Numbering), CommandState::Unchecked);
    Select(0, editor->document()->characterCount() - 1);
    EXPECT_EQ(Mark(cmd::Numbering), CommandState::Indeterminate);

    // Through the bank and back: the lists, their numbers and indents are as written.
    frame->ExecuteCommand(cmd::SaveRecord);
    const RtfDocument stored = ReadRtf(Body(root));
    ASSERT_EQ(stored.paragraphs.size(), 3u);
    ASSERT_TRUE(stored.paragraphs[0].numbering && stored.paragraphs[2].numbering);
    EXPECT_FALSE(stored.paragraphs[1].numbering);
    EXPECT_EQ(stored.paragraphs[0].numbering->style, "pndec");
    EXPECT_EQ(stored.paragraphs[0].numbering->text, "1.\t");
    EXPECT_EQ(stored.paragraphs[1].leftIndent, 0);
    EXPECT_EQ(stored.paragraphs[1].firstIndent, 0);
    EXPECT_EQ(stored.paragraphs[2].leftIndent, 360);
    EXPECT_EQ(RtfToPlainTextForTest(Body(root)),
              RtfToPlainTextForTest(WriteRtfForTest(*editor->document())));
    editor->LoadRecordBody(&root->item);
    EXPECT_EQ(ReadRtf(WriteRtfForTest(*editor->document())), stored);
    Select(0, 0);
    EXPECT_EQ(Mark(cmd::Numbering), CommandState::Checked);
    frame->ExecuteCommand(cmd::Numbering); // off again: the indent goes with it
    EXPECT_EQ(SaveRtfDocument(*editor->document()).paragraphs[0].leftIndent, 0);
    EXPECT_FALSE(SaveRtfDocument(*editor->document()).paragraphs[0].numbering);
}

} // namespace
} // namespace kelvo
