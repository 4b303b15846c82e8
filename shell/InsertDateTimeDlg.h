// The date/time insertion dialog: today's date in thirteen pictures, each text once.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QLocale>
#include <QStringList>

class QListWidget;

namespace kelvo {

class SettingsStore;

/// The thirteen date pictures, in the order the dialog lists them.
QStringList DateTimePictures();

/// The texts the dialog offers for `when`: every picture formatted in `locale`, a text that
/// an earlier picture already gave left out.
QStringList DateTimeChoices(const QDateTime& when, const QLocale& locale = QLocale());

class InsertDateTimeDlg : public QDialog {
    Q_OBJECT
public:
    /// `settings` (may be null) keeps the window position under "InsertDateTimeDlg".
    InsertDateTimeDlg(const QDateTime& when, SettingsStore* settings, QWidget* parent = nullptr);
    ~InsertDateTimeDlg() override;

    /// The chosen text (after OK).
    QString Result() const { return m_result; }
    QListWidget* List() const { return m_list; }

private:
    void Take();

    SettingsStore* m_settings;
    QListWidget* m_list = nullptr;
    QString m_result;
};

} // namespace kelvo
