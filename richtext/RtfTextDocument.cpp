// The RTF model <-> QTextDocument adapter, the drawing of embedded objects and RTF on the
// clipboard.
#include "richtext/RtfTextDocument.h"

#include "platform/rtf/Metafile.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTextObjectInterface>
#include <QUrl>

#include <atomic>
#include <cmath>

namespace kelvo {
namespace {

constexpr char16_t kObjectChar = 0xFFFC;
constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;
const char* const kResourceScheme = "kelvo-picture";
const char* const kHandlerProperty = "kelvoRtfHandlers";

// The widest picture inserted from a file, in twips: a page of 21 cm less 2.5 cm margins.
constexpr int kMaxInsertedWidth = 9360;
// Longest side of the bitmap metafile kept for readers that know only metafiles.
constexpr int kMaxFallbackSide = 2048;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

struct Units {
    double dpi = 96.0;
    double Pixels(int twips) const { return twips * dpi / 1440.0; }
    int Twips(double pixels) const { return static_cast<int>(std::lround(pixels * 1440.0 / dpi)); }
};

// --- Character formats ---------------------------------------------------------------------

QTextCharFormat::UnderlineStyle UnderlineStyleOf(const QString& keyword) {
    if (keyword == QLatin1String("uld"))
        return QTextCharFormat::DotLine;
    if (keyword == QLatin1String("uldash"))
        return QTextCharFormat::DashUnderline;
    if (keyword == QLatin1String("uldashd"))
        return QTextCharFormat::DashDotLine;
    if (keyword == QLatin1String("uldashdd"))
        return QTextCharFormat::DashDotDotLine;
    if (keyword.startsWith(QLatin1String("ulwave")) || keyword == QLatin1String("ulhwave"))
        return QTextCharFormat::WaveUnderline;
    return QTextCharFormat::SingleUnderline; // ul, uldb, ulw, ulth...: Qt draws one line
}

QString UnderlineKeywordOf(QTextCharFormat::UnderlineStyle style) {
    switch (style) {
    case QTextCharFormat::DotLine:
        return QStringLiteral("uld");
    case QTextCharFormat::DashUnderline:
        return QStringLiteral("uldash");
    case QTextCharFormat::DashDotLine:
        return QStringLiteral("uldashd");
    case QTextCharFormat::DashDotDotLine:
        return QStringLiteral("uldashdd");
    case QTextCharFormat::WaveUnderline:
        return QStringLiteral("ulwave");
    default:
        return QStringLiteral("ul");
    }
}

bool IsUnderlined(const QTextCharFormat& f) {
    if (f.hasProperty(QTextFormat::TextUnderlineStyle))
        return f.underlineStyle() != QTextCharFormat::NoUnderline;
    return f.fontUnderline();
}

int SymbolCharset(const QString& face) {
    static const char* const kSymbolFaces[] = {"Symbol",      "Wingdings", "Wingdings 2",
                                               "Wingdings 3", "Webdings",  "Marlett"};
    for (const char* name : kSymbolFaces)
        if (face.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return 2;
    return 204;
}

QColor ToQColor(const RtfColor& c) {
    return QColor(c.red, c.green, c.blue);
}

RtfColor FromBrush(const QBrush& brush) {
    if (brush.style() == Qt::NoBrush)
        return {};
    const QColor c = brush.color().toRgb();
    return RtfColor::Rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                         static_cast<std::uint8_t>(c.blue()));
}

void ApplyFont(QTextCharFormat& c, const RtfFont& font) {
    const QString name = FromUtf8(font.name);
    if (!name.isEmpty())
        c.setFontFamilies(QStringList{name});
    c.setProperty(rtfprop::FontName, name);
    c.setProperty(rtfprop::FontCharset, font.charset);
    if (!font.family.empty())
        c.setProperty(rtfprop::FontFamilyKind, FromUtf8(font.family));
    if (font.pitch != 0)
        c.setProperty(rtfprop::FontPitch, font.pitch);
}

QTextCharFormat CharFormatOf(const RtfCharFormat& f) {
    QTextCharFormat c;
    ApplyFont(c, f.font);
    if (f.fontSize > 0)
        c.setFontPointSize(f.fontSize / 2.0);
    c.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    c.setFontItalic(f.italic);
    c.setFontStrikeOut(f.strike);
    if (!f.underline.empty()) {
        const QString keyword = FromUtf8(f.underline);
        c.setUnderlineStyle(UnderlineStyleOf(keyword));
        c.setProperty(rtfprop::Underline, keyword);
    } else {
        c.setUnderlineStyle(QTextCharFormat::NoUnderline);
    }
    switch (f.vertical) {
    case RtfVerticalPosition::Superscript:
        c.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        break;
    case RtfVerticalPosition::Subscript:
        c.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        break;
    case RtfVerticalPosition::Normal:
        break;
    }
    if (f.offset != 0) {
        c.setProperty(rtfprop::Offset, f.offset);
        c.setBaselineOffset(100.0 * f.offset / (f.fontSize > 0 ? f.fontSize : 24));
    }
    if (!f.foreground.automatic)
        c.setForeground(ToQColor(f.foreground));
    if (!f.background.automatic)
        c.setBackground(ToQColor(f.background));
    if (f.language != 0)
        c.setProperty(rtfprop::Language, f.language);
    return c;
}

RtfCharFormat RtfCharFormatOf(const QTextCharFormat& c, const QFont& defaultFont) {
    RtfCharFormat f;
    QString face;
    const QStringList families = c.fontFamilies().toStringList();
    if (!families.isEmpty())
        face = families.front();
    if (face.isEmpty()) // a run read without a face keeps none; typed text gets the default
        face = c.hasProperty(rtfprop::FontName) ? c.stringProperty(rtfprop::FontName)
                                                : defaultFont.family();
    f.font.name = ToUtf8(face);
    if (c.hasProperty(rtfprop::FontName) && c.stringProperty(rtfprop::FontName) == face) {
        f.font.charset = c.intProperty(rtfprop::FontCharset);
        f.font.family = ToUtf8(c.stringProperty(rtfprop::FontFamilyKind));
        f.font.pitch = c.intProperty(rtfprop::FontPitch);
    } else {
        // A face chosen in the editor: Cyrillic, or the symbol set for symbol faces.
        f.font.charset = SymbolCharset(face);
    }
    double points = c.hasProperty(QTextFormat::FontPointSize) ? c.fontPointSize() : 0.0;
    if (points <= 0)
        points = defaultFont.pointSizeF();
    f.fontSize = points > 0 ? static_cast<int>(std::lround(points * 2)) : 20;
    f.bold = c.hasProperty(QTextFormat::FontWeight) ? c.fontWeight() >= QFont::DemiBold
                                                    : defaultFont.weight() >= QFont::DemiBold;
    f.italic = c.hasProperty(QTextFormat::FontItalic) ? c.fontItalic() : defaultFont.italic();
    f.strike =
        c.hasProperty(QTextFormat::FontStrikeOut) ? c.fontStrikeOut() : defaultFont.strikeOut();
    if (IsUnderlined(c)) {
        const QString kept = c.stringProperty(rtfprop::Underline);
        const auto style = c.hasProperty(QTextFormat::TextUnderlineStyle)
                               ? c.underlineStyle()
                               : QTextCharFormat::SingleUnderline;
        f.underline = ToUtf8(
            !kept.isEmpty() && UnderlineStyleOf(kept) == style ? kept : UnderlineKeywordOf(style));
    }
    switch (c.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        f.vertical = RtfVerticalPosition::Superscript;
        break;
    case QTextCharFormat::AlignSubScript:
        f.vertical = RtfVerticalPosition::Subscript;
        break;
    default:
        break;
    }
    if (c.baselineOffset() != 0) {
        f.offset = c.hasProperty(rtfprop::Offset)
                       ? c.intProperty(rtfprop::Offset)
                       : static_cast<int>(std::lround(c.baselineOffset() * f.fontSize / 100.0));
    }
    if (c.hasProperty(QTextFormat::ForegroundBrush))
        f.foreground = FromBrush(c.foreground());
    if (c.hasProperty(QTextFormat::BackgroundBrush))
        f.background = FromBrush(c.background());
    f.language = c.intProperty(rtfprop::Language);
    return f;
}

// --- Paragraph formats ---------------------------------------------------------------------

QTextOption::TabType TabTypeOf(RtfTabKind kind) {
    switch (kind) {
    case RtfTabKind::Center:
        return QTextOption::CenterTab;
    case RtfTabKind::Right:
        return QTextOption::RightTab;
    case RtfTabKind::Decimal:
        return QTextOption::DelimiterTab;
    default:
        return QTextOption::LeftTab; // Qt has no bar tab: kept as a left stop
    }
}

RtfTabKind TabKindOf(QTextOption::TabType type) {
    switch (type) {
    case QTextOption::CenterTab:
        return RtfTabKind::Center;
    case QTextOption::RightTab:
        return RtfTabKind::Right;
    case QTextOption::DelimiterTab:
        return RtfTabKind::Decimal;
    default:
        return RtfTabKind::Left;
    }
}

bool IsListNumbering(const RtfNumbering& n) {
    return !n.level.empty();
}

QTextBlockFormat BlockFormatOf(const RtfParagraph& p, const Units& u) {
    QTextBlockFormat b;
    switch (p.alignment) {
    case RtfAlignment::Center:
        b.setAlignment(Qt::AlignHCenter);
        break;
    case RtfAlignment::Right:
        b.setAlignment(Qt::AlignRight);
        break;
    case RtfAlignment::Justify:
        b.setAlignment(Qt::AlignJustify);
        break;
    case RtfAlignment::Left:
        b.setAlignment(Qt::AlignLeft);
        break;
    }
    b.setLeftMargin(u.Pixels(p.leftIndent));
    b.setRightMargin(u.Pixels(p.rightIndent));
    b.setTopMargin(u.Pixels(p.spaceBefore));
    b.setBottomMargin(u.Pixels(p.spaceAfter));
    if (p.numbering && IsListNumbering(*p.numbering)) {
        // Qt draws the list marker left of the first line: the hanging indent that makes room
        // for it in RTF would push the marker off the page.
        b.setTextIndent(0);
        b.setProperty(rtfprop::FirstIndent, p.firstIndent);
    } else {
        b.setTextIndent(u.Pixels(p.firstIndent));
    }
    if (p.lineSpacing != 0) {
        if (p.lineSpacingMultiple && p.lineSpacing > 0)
            b.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing > 0)
            b.setLineHeight(u.Pixels(p.lineSpacing), QTextBlockFormat::MinimumHeight);
        else
            b.setLineHeight(u.Pixels(-p.lineSpacing), QTextBlockFormat::FixedHeight);
        if (p.lineSpacingMultiple && p.lineSpacing <= 0)
            b.setProperty(rtfprop::LineSpacingMultiple, true);
    }
    if (!p.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const RtfTabStop& stop : p.tabs) {
            QTextOption::Tab tab(u.Pixels(stop.position), TabTypeOf(stop.kind));
            if (stop.kind == RtfTabKind::Decimal)
                tab.delimiter = QLatin1Char(',');
            tabs.append(tab);
        }
        b.setTabPositions(tabs);
        b.setProperty(rtfprop::Tabs, QVariant::fromValue(p.tabs));
    }
    if (p.numbering)
        b.setProperty(rtfprop::Numbering, QVariant::fromValue(*p.numbering));
    return b;
}

void FillParagraph(const QTextBlockFormat& b, const Units& u, RtfParagraph& p) {
    const Qt::Alignment align = b.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        p.alignment = RtfAlignment::Center;
    else if (align & Qt::AlignJustify)
        p.alignment = RtfAlignment::Justify;
    else if (align & Qt::AlignRight)
        p.alignment = RtfAlignment::Right;
    p.leftIndent = u.Twips(b.leftMargin());
    p.rightIndent = u.Twips(b.rightMargin());
    p.firstIndent = u.Twips(b.textIndent());
    p.spaceBefore = u.Twips(b.topMargin());
    p.spaceAfter = u.Twips(b.bottomMargin());
    switch (b.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        p.lineSpacing = static_cast<int>(std::lround(b.lineHeight() * 240.0 / 100.0));
        p.lineSpacingMultiple = true;
        break;
    case QTextBlockFormat::MinimumHeight:
        p.lineSpacing = u.Twips(b.lineHeight());
        break;
    case QTextBlockFormat::FixedHeight:
        p.lineSpacing = -u.Twips(b.lineHeight());
        p.lineSpacingMultiple = b.boolProperty(rtfprop::LineSpacingMultiple);
        break;
    default:
        break;
    }
    const auto kept = b.property(rtfprop::Tabs).value<std::vector<RtfTabStop>>();
    for (const QTextOption::Tab& tab : b.tabPositions()) {
        RtfTabStop stop;
        stop.position = u.Twips(tab.position);
        stop.kind = TabKindOf(tab.type);
        // Leaders and bar stops have no place in Qt: take them from the stop as read.
        for (const RtfTabStop& old : kept)
            if (old.position == stop.position && TabTypeOf(old.kind) == tab.type)
                stop = old;
        p.tabs.push_back(stop);
    }
}

// --- Numbering -----------------------------------------------------------------------------

// Two numbering definitions that continue one list: all but the shown text.
bool SameDefinition(const RtfNumbering& a, const RtfNumbering& b) {
    RtfNumbering x = a, y = b;
    x.text.clear();
    y.text.clear();
    x.textFont = y.textFont = RtfFont{};
    return x == y;
}

QTextListFormat ListFormatOf(const RtfNumbering& n) {
    QTextListFormat f;
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    if (n.level != "pnlvlblt") {
        style = QTextListFormat::ListDecimal;
        if (n.style == "pnlcltr")
            style = QTextListFormat::ListLowerAlpha;
        else if (n.style == "pnucltr")
            style = QTextListFormat::ListUpperAlpha;
        else if (n.style == "pnlcrm")
            style = QTextListFormat::ListLowerRoman;
        else if (n.style == "pnucrm")
            style = QTextListFormat::ListUpperRoman;
        f.setNumberPrefix(FromUtf8(n.before));
        f.setNumberSuffix(FromUtf8(n.after));
        // \pnstart stays in the definition: Qt 6.4 lists always count from one.
    }
    f.setStyle(style);
    f.setIndent(0); // the paragraph's own left indent places it
    RtfNumbering definition = n;
    definition.text.clear();
    f.setProperty(rtfprop::Numbering, QVariant::fromValue(definition));
    return f;
}

std::string Roman(int n, bool upper) {
    static const std::pair<int, const char*> kDigits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    std::string out;
    for (const auto& [value, digits] : kDigits)
        while (n >= value && out.size() < 64) {
            out += digits;
            n -= value;
        }
    if (upper)
        for (char& c : out)
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string Letters(int n, bool upper) {
    std::string out;
    for (; n > 0 && out.size() < 8; n = (n - 1) / 26)
        out.insert(out.begin(), static_cast<char>((upper ? 'A' : 'a') + (n - 1) % 26));
    return out;
}

// The numbering of a paragraph of a list as written: the definition of the list, the text
// the paragraph shows. A paragraph still at the place it was read at keeps its text as read.
RtfNumbering NumberingOf(const QTextBlock& block, QTextList& list, const QFont& defaultFont) {
    const int index = list.itemNumber(block);
    const QVariant kept = block.blockFormat().property(rtfprop::Numbering);
    RtfNumbering n = list.format().property(rtfprop::Numbering).value<RtfNumbering>();
    if (kept.isValid()) {
        const auto old = kept.value<RtfNumbering>();
        if (SameDefinition(old, n) &&
            block.blockFormat().intProperty(rtfprop::NumberIndex) == index) // unchanged position
            return old;
    }
    if (n.level.empty()) {
        // A list that came from elsewhere (pasted HTML): written as rich edit writes bullets
        // and numbers.
        const bool bullet = list.format().style() == QTextListFormat::ListDisc ||
                            list.format().style() == QTextListFormat::ListCircle ||
                            list.format().style() == QTextListFormat::ListSquare;
        if (bullet) {
            n.level = "pnlvlblt";
            n.font = RtfFont{"Symbol", 2, "nil", 0};
            n.before = "\xE2\x80\xA2"; // U+2022, written as the Symbol font's B7
        } else {
            n.level = "pnlvlbody";
            n.style = "pndec";
            n.start = 1;
            n.after = ".";
        }
        n.indent = 0;
    }
    const int number = (n.start > 0 ? n.start : 1) + index;
    std::string label;
    if (n.level == "pnlvlblt") {
        label = n.before;
    } else {
        if (n.style == "pnlcltr" || n.style == "pnucltr")
            label = Letters(number, n.style == "pnucltr");
        else if (n.style == "pnlcrm" || n.style == "pnucrm")
            label = Roman(number, n.style == "pnucrm");
        else
            label = std::to_string(number);
        label = n.before + label + n.after;
    }
    n.text = label + "\t";
    if (n.font) {
        n.textFont = *n.font;
    } else {
        n.textFont.name = ToUtf8(defaultFont.family());
        n.textFont.charset = 204;
    }
    return n;
}

// --- Pictures and objects ------------------------------------------------------------------

// A grey box with a cross; it is stretched to the picture's size when drawn, so a damaged
// body naming a huge picture costs no huge image.
QImage Placeholder(QSize size) {
    QImage image(size.expandedTo(QSize(8, 8)).boundedTo(QSize(256, 256)), QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    painter.drawLine(image.rect().topLeft(), image.rect().bottomRight());
    painter.drawLine(image.rect().bottomLeft(), image.rect().topRight());
    return image;
}

QString NewResourceName() {
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("%1:%2").arg(QLatin1String(kResourceScheme)).arg(++counter);
}

QTextImageFormat ImageFormatOf(const RtfPicture& picture, QTextDocument& doc, const Units& u) {
    QImage image = PictureQImage(picture);
    const TwipSize twips = PictureSize(picture);
    QSizeF size(u.Pixels(twips.width), u.Pixels(twips.height));
    if (size.width() < 1 || size.height() < 1)
        size = image.isNull() ? QSizeF(32, 32) : QSizeF(image.size());
    if (image.isNull())
        image = Placeholder(size.toSize());
    const QString name = NewResourceName();
    doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(size.width());
    f.setHeight(size.height());
    f.setProperty(rtfprop::Picture, QVariant::fromValue(picture));
    return f;
}

QTextCharFormat ObjectFormatOf(const RtfObject& object) {
    QTextCharFormat f;
    f.setObjectType(kRtfObjectType);
    QImage image;
    TwipSize twips{object.width * (object.scaleX > 0 ? object.scaleX : 100) / 100,
                   object.height * (object.scaleY > 0 ? object.scaleY : 100) / 100};
    if (object.result) {
        image = PictureQImage(*object.result);
        if (twips.width <= 0 || twips.height <= 0)
            twips = PictureSize(*object.result);
    }
    if (twips.width <= 0 || twips.height <= 0)
        twips = {480, 480};
    f.setProperty(rtfprop::Object, QVariant::fromValue(object));
    f.setProperty(rtfprop::ObjectImage, image);
    f.setProperty(rtfprop::ObjectSize, QSize(twips.width, twips.height));
    return f;
}

// Draws embedded objects (their result picture, or a frame with the class name) and gives
// hidden-text holders no size.
class RtfObjectHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) override {
        if (format.objectType() != kRtfObjectType)
            return QSizeF(0, 0);
        const QSize twips = format.property(rtfprop::ObjectSize).toSize();
        const Units u{DocumentDpi(*doc)};
        return QSizeF(u.Pixels(twips.width()), u.Pixels(twips.height()));
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                    const QTextFormat& format) override {
        if (format.objectType() != kRtfObjectType)
            return;
        const QImage image = format.property(rtfprop::ObjectImage).value<QImage>();
        if (!image.isNull()) {
            painter->drawImage(rect, image);
            return;
        }
        const auto object = format.property(rtfprop::Object).value<RtfObject>();
        painter->save();
        painter->setPen(QColor(128, 128, 128));
        painter->setBrush(QColor(240, 240, 240));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->drawText(rect, Qt::AlignCenter | Qt::TextWordWrap, FromUtf8(object.className));
        painter->restore();
    }
};

// --- Insertion -----------------------------------------------------------------------------

QString RunText(const std::string& utf8) {
    QString text = FromUtf8(utf8);
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QChar(kLineSeparator));
    text.replace(QChar(kParagraphSeparator), QChar(kLineSeparator));
    text.remove(QChar(kObjectChar)); // would turn into an object without data
    return text;
}

void InsertContent(QTextCursor& cursor, const RtfParagraph& p, const Units& u) {
    QTextDocument& doc = *cursor.document();
    for (const RtfInline& item : p.content) {
        if (const auto* run = std::get_if<RtfRun>(&item)) {
            if (run->format.hidden) {
                QTextCharFormat holder;
                holder.setObjectType(kHiddenTextType);
                holder.setProperty(rtfprop::Hidden, QVariant::fromValue(*run));
                cursor.insertText(QString(QChar(kObjectChar)), holder);
            } else {
                const QString text = RunText(run->text);
                if (!text.isEmpty())
                    cursor.insertText(text, CharFormatOf(run->format));
            }
        } else if (const auto* picture = std::get_if<RtfPicture>(&item)) {
            cursor.insertImage(ImageFormatOf(*picture, doc, u));
        } else if (const auto* object = std::get_if<RtfObject>(&item)) {
            cursor.insertText(QString(QChar(kObjectChar)), ObjectFormatOf(*object));
        }
    }
}

QTextCharFormat FirstRunFormat(const RtfParagraph& p) {
    for (const RtfInline& item : p.content)
        if (const auto* run = std::get_if<RtfRun>(&item))
            if (!run->format.hidden)
                return CharFormatOf(run->format);
    return {};
}

void InsertParagraphs(QTextCursor& cursor, const RtfDocument& rtf, bool wholeDocument,
                      const Units& u) {
    QTextList* list = nullptr;
    const RtfNumbering* listDefinition = nullptr;
    int listIndex = 0;
    for (std::size_t i = 0; i < rtf.paragraphs.size(); ++i) {
        const RtfParagraph& p = rtf.paragraphs[i];
        const bool joinsCursorBlock = i == 0 && !wholeDocument;
        QTextBlockFormat blockFormat = BlockFormatOf(p, u);
        const bool numbered = p.numbering && IsListNumbering(*p.numbering) && !joinsCursorBlock;
        const bool continues =
            numbered && list && listDefinition && SameDefinition(*listDefinition, *p.numbering);
        if (numbered) {
            listIndex = continues ? listIndex + 1 : 0;
            // Where the paragraph stood when read: its text as read stays valid there.
            blockFormat.setProperty(rtfprop::NumberIndex, listIndex);
        }
        if (i == 0) {
            if (wholeDocument) {
                cursor.setBlockFormat(blockFormat);
                cursor.setBlockCharFormat(FirstRunFormat(p));
            }
        } else {
            cursor.insertBlock(blockFormat, FirstRunFormat(p));
        }
        if (numbered) {
            if (continues) {
                list->add(cursor.block());
            } else {
                list = cursor.createList(ListFormatOf(*p.numbering));
                listDefinition = &*p.numbering;
            }
        } else if (!joinsCursorBlock) {
            list = nullptr;
            listDefinition = nullptr;
        }
        InsertContent(cursor, p, u);
    }
}

RtfDocument Convert(const QTextDocument& doc, const Units& u) {
    RtfDocument out;
    const double tabDistance = doc.defaultTextOption().tabStopDistance();
    out.defaultTab = tabDistance > 0 ? u.Twips(tabDistance) : 720;
    const QFont defaultFont = doc.defaultFont();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        RtfParagraph p;
        const QTextBlockFormat blockFormat = block.blockFormat();
        FillParagraph(blockFormat, u, p);
        if (QTextList* list = block.textList()) {
            p.numbering = NumberingOf(block, *list, defaultFont);
            p.firstIndent = blockFormat.hasProperty(rtfprop::FirstIndent)
                                ? blockFormat.intProperty(rtfprop::FirstIndent)
                                : p.firstIndent;
        } else if (blockFormat.hasProperty(rtfprop::Numbering)) {
            // Numbering text without a definition, or a list the paragraph left.
            auto n = blockFormat.property(rtfprop::Numbering).value<RtfNumbering>();
            if (!IsListNumbering(n))
                p.numbering = std::move(n);
        }
        auto addText = [&](const RtfCharFormat& format, std::string text) {
            if (text.empty())
                return;
            if (!p.content.empty())
                if (auto* last = std::get_if<RtfRun>(&p.content.back()))
                    if (last->format == format) {
                        last->text += text;
                        return;
                    }
            p.content.emplace_back(RtfRun{format, std::move(text)});
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString text = fragment.text();
            if (format.isImageFormat() || format.objectType() == kRtfObjectType ||
                format.objectType() == kHiddenTextType) {
                for (QChar ch : text) {
                    if (ch != QChar(kObjectChar))
                        continue;
                    if (format.objectType() == kRtfObjectType) {
                        p.content.emplace_back(format.property(rtfprop::Object).value<RtfObject>());
                    } else if (format.objectType() == kHiddenTextType) {
                        const auto run = format.property(rtfprop::Hidden).value<RtfRun>();
                        addText(run.format, run.text);
                    } else if (format.hasProperty(rtfprop::Picture)) {
                        p.content.emplace_back(
                            format.property(rtfprop::Picture).value<RtfPicture>());
                    } else {
                        // An image that came without our data (pasted HTML): as an inserted
                        // picture.
                        const QTextImageFormat image = format.toImageFormat();
                        const QVariant resource =
                            doc.resource(QTextDocument::ImageResource, QUrl(image.name()));
                        QByteArray png;
                        QBuffer buffer(&png);
                        buffer.open(QIODevice::WriteOnly);
                        if (resource.value<QImage>().save(&buffer, "PNG"))
                            if (auto picture = PictureFromImageFile(png))
                                p.content.emplace_back(std::move(*picture));
                    }
                }
                continue;
            }
            QString plain = text;
            plain.remove(QChar(kObjectChar));
            plain.replace(QChar(kParagraphSeparator), QChar(kLineSeparator));
            addText(RtfCharFormatOf(format, defaultFont), ToUtf8(plain));
        }
        out.paragraphs.push_back(std::move(p));
    }
    if (out.paragraphs.empty())
        out.paragraphs.emplace_back();
    return out;
}

} // namespace

QFont DefaultBodyFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    return font;
}

double DocumentDpi(const QTextDocument& doc) {
    if (const QAbstractTextDocumentLayout* layout = doc.documentLayout())
        if (const QPaintDevice* device = layout->paintDevice())
            if (device->logicalDpiX() > 0)
                return device->logicalDpiX();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            if (screen->logicalDotsPerInchX() > 0)
                return screen->logicalDotsPerInchX();
    return 96.0;
}

void InstallRtfObjectHandlers(QTextDocument& doc) {
    if (doc.property(kHandlerProperty).toBool())
        return;
    auto* handler = new RtfObjectHandler(&doc); // owned by the document
    doc.documentLayout()->registerHandler(kRtfObjectType, handler);
    doc.documentLayout()->registerHandler(kHiddenTextType, handler);
    doc.setProperty(kHandlerProperty, true);
}

void LoadRtfDocument(QTextDocument& doc, const RtfDocument& rtf) {
    LoadRtfDocument(doc, rtf, DocumentDpi(doc));
}

void LoadRtfDocument(QTextDocument& doc, const RtfDocument& rtf, double dpi) {
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    QTextOption option = doc.defaultTextOption();
    const Units u{dpi};
    option.setTabStopDistance(u.Pixels(rtf.defaultTab > 0 ? rtf.defaultTab : 720));
    doc.setDefaultTextOption(option);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    InsertParagraphs(cursor, rtf, true, u);
    cursor.endEditBlock();
    doc.setUndoRedoEnabled(undo);
    // Last: a document without a layout yet gets one only now, so that nothing was laid out
    // while it was filled.
    InstallRtfObjectHandlers(doc);
}

void InsertRtfDocument(QTextCursor& cursor, const RtfDocument& rtf) {
    QTextDocument& doc = *cursor.document();
    InstallRtfObjectHandlers(doc);
    const Units u{DocumentDpi(doc)};
    cursor.beginEditBlock();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    InsertParagraphs(cursor, rtf, false, u);
    cursor.endEditBlock();
}

RtfDocument SaveRtfDocument(const QTextDocument& doc) {
    return Convert(doc, Units{DocumentDpi(doc)});
}

RtfDocument FragmentToRtf(const QTextDocumentFragment& fragment, const QTextDocument& source) {
    QTextDocument copy;
    copy.setDefaultFont(source.defaultFont());
    copy.setDefaultTextOption(source.defaultTextOption());
    QTextCursor(&copy).insertFragment(fragment);
    // Images pasted from elsewhere keep their pixels only in the source's resources.
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat() && !format.hasProperty(rtfprop::Picture)) {
                const QUrl name(format.toImageFormat().name());
                copy.addResource(QTextDocument::ImageResource, name,
                                 source.resource(QTextDocument::ImageResource, name));
            }
        }
    return Convert(copy, Units{DocumentDpi(source)});
}

void RestorePictureResources(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat() || !format.hasProperty(rtfprop::Picture))
                continue;
            const QUrl name(format.toImageFormat().name());
            if (doc.resource(QTextDocument::ImageResource, name).isValid())
                continue;
            QImage image = PictureQImage(format.property(rtfprop::Picture).value<RtfPicture>());
            if (image.isNull())
                image = Placeholder(QSize(static_cast<int>(format.toImageFormat().width()),
                                          static_cast<int>(format.toImageFormat().height())));
            doc.addResource(QTextDocument::ImageResource, name, image);
        }
}

QString CleanPlainText(QString text) {
    text.remove(QChar(kObjectChar));
    text.replace(QChar(kLineSeparator), QLatin1Char('\n'));
    text.replace(QChar(kParagraphSeparator), QLatin1Char('\n'));
    return text;
}

QMimeData* CreateRtfMimeData(const QTextDocumentFragment& fragment, const QTextDocument& source) {
    auto* data = new QMimeData;
    const std::string rtf = WriteRtf(FragmentToRtf(fragment, source));
    data->setData(QString::fromLatin1(kRtfMimeType),
                  QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size())));
    data->setHtml(fragment.toHtml());
    data->setText(CleanPlainText(fragment.toPlainText()));
    return data;
}

bool HasRtfMimeData(const QMimeData& data) {
    return data.hasFormat(QString::fromLatin1(kRtfMimeType)) ||
           data.hasFormat(QStringLiteral("application/rtf")) ||
           data.hasFormat(QStringLiteral("text/richtext"));
}

bool InsertRtfMimeData(const QMimeData& data, QTextCursor& cursor) {
    QByteArray bytes;
    for (const QString& type : {QString::fromLatin1(kRtfMimeType),
                                QStringLiteral("application/rtf"), QStringLiteral("text/richtext")})
        if (data.hasFormat(type)) {
            bytes = data.data(type);
            break;
        }
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (bytes.isEmpty() || !IsRtf(view))
        return false;
    InsertRtfDocument(cursor, ReadRtf(view));
    return true;
}

QImage PictureQImage(const RtfPicture& picture) {
    const auto bytes = PictureImage(picture);
    if (!bytes)
        return {};
    return QImage::fromData(
        QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size())));
}

std::optional<RtfPicture> PictureFromImageFile(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return std::nullopt;
    RtfPicture picture;
    if (format == "png") {
        picture.kind = RtfPictureKind::Png;
        picture.data.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    } else if (format == "jpeg" || format == "jpg") {
        picture.kind = RtfPictureKind::Jpeg;
        picture.data.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    } else {
        QByteArray png;
        QBuffer out(&png);
        out.open(QIODevice::WriteOnly);
        if (!image.save(&out, "PNG"))
            return std::nullopt;
        picture.kind = RtfPictureKind::Png;
        picture.data.assign(png.constData(), static_cast<std::size_t>(png.size()));
    }
    // Shown at 96 pixels per inch, narrowed to the page's width.
    long long goalWidth = image.width() * 15LL;
    long long goalHeight = image.height() * 15LL;
    if (goalWidth > kMaxInsertedWidth) {
        goalHeight = goalHeight * kMaxInsertedWidth / goalWidth;
        goalWidth = kMaxInsertedWidth;
    }
    picture.goalWidth = static_cast<int>(goalWidth);
    picture.goalHeight = static_cast<int>(std::max(1LL, goalHeight));
    picture.width = static_cast<int>(goalWidth * 2540 / 1440); // HIMETRIC
    picture.height = static_cast<int>(picture.goalHeight * 2540LL / 1440);

    // The metafile older readers show: the bitmap on white, 24 bits, at most 2048 pixels.
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    if (flat.width() > kMaxFallbackSide || flat.height() > kMaxFallbackSide)
        flat = flat.scaled(kMaxFallbackSide, kMaxFallbackSide, Qt::KeepAspectRatio,
                           Qt::SmoothTransformation);
    QByteArray bmp;
    QBuffer bmpBuffer(&bmp);
    bmpBuffer.open(QIODevice::WriteOnly);
    if (flat.save(&bmpBuffer, "BMP")) {
        const std::string_view view(bmp.constData(), static_cast<std::size_t>(bmp.size()));
        if (auto dib = BmpToDib(view))
            if (auto wmf = MakeBitmapMetafile(*dib))
                picture.fallbackMetafile = std::move(*wmf);
    }
    return picture;
}

} // namespace kelvo

#include "RtfTextDocument.moc"
