// A property sheet: pages on tabs above OK and "Отмена". Its fields go into the bank through
// TakeText, which brings up the page of a field the bank's code page cannot hold.
#pragma once

#include "platform/text/Ansi.h"

#include <QDialog>

class QTabWidget;

namespace kelvo {

class UserDialogs;

class PropertySheet : public QDialog {
    Q_OBJECT
public:
    PropertySheet(UserDialogs& dialogs, const QString& caption, QWidget* parent = nullptr);
    ~PropertySheet() override;

    QTabWidget* Pages() const { return m_pages; }
    void AddPage(QWidget* page, const QString& title);

protected:
    /// Converts a field's text for the bank. When it holds characters Windows-1251 cannot
    /// hold, the user is told, the field's page comes up with the field focused, and the
    /// result is false.
    bool TakeText(QWidget* field, const QString& text, const QString& name, AnsiString& out);
    UserDialogs& Dialogs() const { return m_dialogs; }

private:
    UserDialogs& m_dialogs;
    QTabWidget* m_pages;
};

} // namespace kelvo
