// The pictures of the record tree, and the drawn pictures the program's images fall back on:
// the desktop's icon theme comes first where it has a fitting icon, otherwise the program draws
// its own, so that every picture exists on any desktop and without one (kvb prints the tree
// with them). Qt Gui only.
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

#include <vector>

namespace kelvo {

/// Number of images in the record tree's image list.
inline constexpr int kRecordTreeImageCount = 7;

/// Images of the record tree: 0 the program's (its bundled icon where it is linked in), 3/4
/// record with children, 5/6 record without.
QIcon RecordTreeImage(int index);
/// The record tree's image list as pictures `size` pixels square, in index order.
std::vector<QImage> RecordTreeImageList(int size);

/// Chooses a theme when the platform names none, so that theme icons resolve off a desktop.
void EnsureIconTheme();

/// The theme's icon `name`, else `fallback`.
QIcon ThemedIcon(const char* name, const QIcon& fallback);
/// A folder, closed or open; a sheet of paper, with lines of text or without; a rounded tile
/// with one or two letters; the colours such tiles take by a number.
QIcon FolderIcon(bool open, const QColor& colour);
QIcon PageIcon(const QColor& colour, bool lines);
QIcon LetterIcon(const QString& letters, const QColor& colour);
QColor ImageColour(int seed);

} // namespace kelvo
