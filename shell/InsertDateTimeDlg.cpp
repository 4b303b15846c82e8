// The date/time insertion dialog.
#include "shell/InsertDateTimeDlg.h"
#include "shell/ShellStrings.h"

#include "shell/SettingsStore.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

QStringList DateTimePictures() {
    // Windows date pictures; Qt's date format language reads them alike (d, dd, ddd, dddd,
    // M, MM, MMM, yy, yyyy, quoted text).
    return Tr(text::DateTimePictures).split(QLatin1Char('~'));
}

QStringList DateTimeChoices(const QDateTime& when, const QLocale& locale) {
    QStringList out;
    for (const QString& picture : DateTimePictures()) {
        // Only date letters are in the pictures: the text is not formatted a second time as
        // a time, which would take letters of day and month names for hours and minutes.
        const QString text = locale.toString(when.date(), picture);
        if (!out.contains(text))
            out.append(text);
    }
    return out;
}

InsertDateTimeDlg::InsertDateTimeDlg(const QDateTime& when, SettingsStore* settings,
                                     QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(QStringLiteral("InsertDateTimeDlg"));
    setWindowTitle(Tr(text::InsertDateTimeCaption));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Tr(text::AvailableFormats), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Formats"));
    label->setBuddy(m_list);
    m_list->addItems(DateTimeChoices(when));
    m_list->setCurrentRow(0);
    layout->addWidget(label);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(Tr(text::Cancel));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &InsertDateTimeDlg::Take);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &InsertDateTimeDlg::Take);
    resize(320, 300);
    if (m_settings)
        m_settings->LoadWindowState(*this, QStringLiteral("InsertDateTimeDlg"));
}

InsertDateTimeDlg::~InsertDateTimeDlg() {
    if (m_settings)
        m_settings->SaveWindowState(*this, QStringLiteral("InsertDateTimeDlg"));
}

void InsertDateTimeDlg::Take() {
    if (QListWidgetItem* item = m_list->currentItem()) {
        m_result = item->text();
        accept();
    }
}

} // namespace kelvo
