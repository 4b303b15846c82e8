// The row order of lists and grids.
#include "widgets/RowOrder.h"

#include <QLocale>

namespace kelvo {

namespace {

// The user's collation; without a language (the "C" locale, which compares code points and
// knows no numbers) that of the program's own language.
QLocale CollationLocale() {
    const QLocale system;
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

} // namespace

RowOrder::RowOrder() : m_collator(CollationLocale()) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(true);
}

} // namespace kelvo
