// Helpers of the shell and window tests: dialogs that answer from a script and record what
// they showed, a clock the test moves, a record view that records what the main window asks
// of it, and answers to modal dialogs.
#pragma once

#include "core/TreeItem.h"
#include "dialogs/SecretClipboard.h"
#include "shell/RecordViewPort.h"
#include "shell/UserDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace kelvo::test {

class ScriptedDialogs : public UserDialogs {
public:
    void ShowMessage(QWidget*, const QString& text, QMessageBox::Icon,
                     const QString& caption) override {
        messages.append(text);
        captions.append(caption);
    }
    QMessageBox::StandardButton Ask(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                    QMessageBox::Icon, const QString& caption) override {
        questions.append(text);
        captions.append(caption);
        if (answers.empty())
            return QMessageBox::No;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString OpenFileName(QWidget*, const QString&) override { return openPath; }
    QString SaveFileName(QWidget*, const QString&, const QString&) override { return savePath; }
    /// Gives the next of `passwords` (nothing once they run out) and records the question.
    std::optional<QString> AskPassword(QWidget*, const QString& text,
                                       const QString& caption) override {
        passwordQuestions.append(text);
        passwordCaptions.append(caption);
        if (passwords.empty())
            return std::nullopt;
        std::optional<QString> answer;
        answer.swap(passwords.front());
        passwords.pop_front();
        return answer;
    }

    QStringList messages;
    QStringList questions;
    /// The captions of the messages and questions, in the order they were shown.
    QStringList captions;
    std::deque<QMessageBox::StandardButton> answers;
    QString openPath;
    QString savePath;
    std::deque<std::optional<QString>> passwords;
    QStringList passwordQuestions;
    QStringList passwordCaptions;
};

/// A clock that moves only when a test moves it on.
class FakeClock : public MonotonicClock {
public:
    TimePoint Now() const override { return now; }
    TimePoint now{std::chrono::seconds(500)};
};

/// A record view that remembers the calls of the main window, in order.
class FakeRecordView : public RecordViewPort {
public:
    FakeRecordView() { m_widget.setObjectName(QStringLiteral("RecordView")); }
    QWidget* Widget() override { return &m_widget; }
    bool IsModified() const override { return modified; }
    void SaveRecordBody(TreeItem* item) override {
        calls.push_back("save " + std::to_string(item ? item->uid : 0));
        if (modified && onSave)
            onSave();
        modified = false;
    }
    void LoadRecordBody(TreeItem* item) override {
        calls.push_back("load " + std::to_string(item ? item->uid : 0));
    }
    QString PositionText() const override { return QStringLiteral("Стр 1, cтб 1"); }
    bool UpdateCommand(int, CommandState&) override { return false; }
    bool RunCommand(int) override { return false; }

    bool modified = false;
    std::vector<std::string> calls;
    std::function<void()> onSave;

private:
    QLabel m_widget;
};

/// Hands the next modal dialog to `answer` once its own event loop runs; a dialog `answer`
/// leaves open is cancelled, so that a test never waits for a user.
inline void AnswerNextModal(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog came up";
            return;
        }
        answer(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace kelvo::test
