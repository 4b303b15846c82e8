// The order in which lists and grids sort their rows by a column's text: the user's collation
// without regard to case, numbers inside the texts compared by value ("9" before "10").
#pragma once

#include <QCollator>
#include <QString>

namespace kelvo {

class RowOrder {
public:
    RowOrder();
    /// Negative, 0 or positive as `a` sorts before, with or after `b`.
    int Compare(const QString& a, const QString& b) const { return m_collator.compare(a, b); }
    /// A key comparing as the text does, for sorting many rows.
    QCollatorSortKey Key(const QString& text) const { return m_collator.sortKey(text); }

private:
    QCollator m_collator;
};

} // namespace kelvo
