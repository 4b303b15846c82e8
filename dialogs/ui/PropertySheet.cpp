// A property sheet.
#include "dialogs/ui/PropertySheet.h"

#include "dialogs/ui/DialogTexts.h"

#include "shell/AnsiInput.h"
#include "shell/ShellStrings.h"
#include "widgets/ControlNames.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kelvo {

PropertySheet::PropertySheet(UserDialogs& dialogs, const QString& caption, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_pages(new QTabWidget(this)) {
    setWindowTitle(caption);
    m_pages->setObjectName(QStringLiteral("Pages"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    NameControl(buttons->button(QDialogButtonBox::Ok), "OK", Tr(dlgtext::Ok));
    NameControl(buttons->button(QDialogButtonBox::Cancel), "Cancel", Tr(dlgtext::Cancel))
        ->setText(Tr(dlgtext::Cancel));
    // accept() is the sheet's own: it takes the fields before closing.
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
}

PropertySheet::~PropertySheet() = default;

void PropertySheet::AddPage(QWidget* page, const QString& title) {
    m_pages->addTab(page, title);
}

bool PropertySheet::TakeText(QWidget* field, const QString& text, const QString& name,
                             AnsiString& out) {
    if (AcceptAnsiText(m_dialogs, this, text, name, out))
        return true;
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->widget(i)->isAncestorOf(field))
            m_pages->setCurrentIndex(i);
    field->setFocus();
    return false;
}

} // namespace kelvo
