// Record bodies in the editor: the RTF document model converted to and from a QTextDocument,
// pictures and embedded objects kept byte for byte, and RTF on the clipboard.
#pragma once

#include "platform/rtf/RtfDocument.h"

#include <QFont>
#include <QMetaType>
#include <QTextFormat>

#include <optional>

class QByteArray;
class QImage;
class QMimeData;
class QTextCursor;
class QTextDocument;
class QTextDocumentFragment;

Q_DECLARE_METATYPE(kelvo::RtfPicture)
Q_DECLARE_METATYPE(kelvo::RtfObject)
Q_DECLARE_METATYPE(kelvo::RtfRun)
Q_DECLARE_METATYPE(kelvo::RtfNumbering)
Q_DECLARE_METATYPE(std::vector<kelvo::RtfTabStop>)

namespace kelvo {

/// Text-format properties holding what Qt has no place for, so that a body read and written
/// again keeps it.
namespace rtfprop {
enum : int {
    Underline = QTextFormat::UserProperty + 0x4b00, ///< QString: "uld", "uldb"... as written
    FontName,            ///< QString: the face the RTF font below belongs to
    FontCharset,         ///< int: \fcharset of that face
    FontFamilyKind,      ///< QString: "swiss", "roman"...
    FontPitch,           ///< int: \fprq
    Language,            ///< int: \lang
    Offset,              ///< int: \up / \dn in half-points
    Picture,             ///< RtfPicture: the original picture (image formats)
    Object,              ///< RtfObject: the original object group (object formats)
    ObjectImage,         ///< QImage: the picture an object shows
    ObjectSize,          ///< QSize: the size an object is shown at, twips
    Hidden,              ///< RtfRun: a run of hidden text held by an invisible object
    Tabs,                ///< std::vector<RtfTabStop>: the stops as read, for kinds Qt lacks
    Numbering,           ///< RtfNumbering: a paragraph's numbering as read; a list's definition
    NumberIndex,         ///< int: the paragraph's place in its list when read
    FirstIndent,         ///< int: \fi of a numbered paragraph, twips (Qt lays lists out itself)
    LineSpacingMultiple, ///< bool: \slmult1 with a spacing Qt can only hold as exact
};
} // namespace rtfprop

/// Object types of the custom inline objects.
inline constexpr int kRtfObjectType = QTextFormat::UserObject + 1;  ///< embedded object
inline constexpr int kHiddenTextType = QTextFormat::UserObject + 2; ///< hidden run (\v)

/// The clipboard type of RTF, as other programs offer and take it.
inline constexpr const char* kRtfMimeType = "text/rtf";

/// The font of a body's text that names none, the editor's at the insertion point: Tahoma,
/// 10 points, no effects.
QFont DefaultBodyFont();

/// Pixels per inch the document is laid out at: its layout's paint device, else the primary
/// screen, else 96.
double DocumentDpi(const QTextDocument& doc);

/// Replaces the document's content by `rtf`: paragraph formats with indents in real units,
/// the default tab distance, bullets and numbering as lists, pictures as image resources and
/// embedded objects as custom objects. Clears the undo history.
void LoadRtfDocument(QTextDocument& doc, const RtfDocument& rtf);
/// The same at a given resolution. A document that has no layout yet is filled without
/// being laid out (a new document for QTextEdit::setDocument, which then lays it out lazily).
void LoadRtfDocument(QTextDocument& doc, const RtfDocument& rtf, double dpi);

/// Inserts `rtf` at the cursor as one undo step: the first paragraph's content joins the
/// cursor's paragraph, the others follow as paragraphs of their own.
void InsertRtfDocument(QTextCursor& cursor, const RtfDocument& rtf);

/// The document as the model the writer takes.
RtfDocument SaveRtfDocument(const QTextDocument& doc);

/// The selected part of a document as a model (pictures whose resources live in `source`).
RtfDocument FragmentToRtf(const QTextDocumentFragment& fragment, const QTextDocument& source);

/// Registers the handler that draws embedded objects and hidden-text holders in `doc`'s
/// layout (done by LoadRtfDocument; call it for clones made for printing).
void InstallRtfObjectHandlers(QTextDocument& doc);

/// Re-adds the image resources of the document's pictures from their kept bytes; pictures
/// arrive without resources through fragments and undo.
void RestorePictureResources(QTextDocument& doc);

/// Clipboard data of a selection: RTF written by our writer, HTML and plain text (without
/// object characters, soft breaks as line ends).
QMimeData* CreateRtfMimeData(const QTextDocumentFragment& fragment, const QTextDocument& source);

/// True when `data` carries RTF.
bool HasRtfMimeData(const QMimeData& data);

/// Inserts the RTF of `data` at the cursor; false when it carries none.
bool InsertRtfMimeData(const QMimeData& data, QTextCursor& cursor);

/// A picture made from an image file's bytes (PNG, JPEG, BMP, GIF): PNG and JPEG keep their
/// bytes, others become PNG; each gets the bitmap metafile that older readers show. The
/// shown size is the image's at 96 pixels per inch. nullopt when the bytes are no image.
std::optional<RtfPicture> PictureFromImageFile(const QByteArray& bytes);

/// The image a picture shows, or a null image when it cannot be decoded.
QImage PictureQImage(const RtfPicture& picture);

/// Text for the plain-text clipboard and for plain paste: object characters left out, soft
/// line breaks and paragraph separators as "\n".
QString CleanPlainText(QString text);

} // namespace kelvo
