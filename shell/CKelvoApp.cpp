// The application: start-up and the document commands.
#include "shell/CKelvoApp.h"

#include "dialogs/ui/CBankProtectDlg.h"
#include "shell/AnsiInput.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/RecordViewPort.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "shell/UserDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <filesystem>

namespace kelvo {
namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QString FromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

} // namespace

CKelvoApp::CKelvoApp(SettingsStore& settings, UserDialogs& dialogs,
                     std::unique_ptr<RecordViewPort> recordView)
    : m_settings(settings), m_dialogs(dialogs) {
    m_frame = std::make_unique<CMainFrame>(m_doc, m_settings, m_dialogs, std::move(recordView));
    m_frame->SetApplicationTarget(this);
    m_frame->SetCloseGuard([this] { return SaveModified(); });
    m_doc.SetPasswordPrompt(WindowPasswordPrompt(m_dialogs, [this] { return m_frame.get(); }));
}

CKelvoApp::~CKelvoApp() {
    m_frame->SetApplicationTarget(nullptr);
    m_frame.reset();
}

bool CKelvoApp::Start(const QStringList& arguments, bool show) {
    QString path;
    for (const QString& argument : arguments)
        if (!argument.startsWith(QLatin1Char('-'))) {
            path = argument;
            break;
        }
    const bool ok = path.isEmpty() ? NewBank() : OpenBank(path, false);
    if (!ok)
        return false;
    // The first start (or one after a change of screen) opens at most 1200 x 820, centred.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size(std::min(1200, area.width() * 9 / 10),
                         std::min(820, area.height() * 9 / 10));
        m_frame->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
    }
    m_frame->RestorePlacement();
    if (show) {
        m_frame->show();
        m_frame->UpdateCommandUi();
    }
    return true;
}

void CKelvoApp::ShowError(const Error& error) {
    m_dialogs.ShowMessage(m_frame.get(), QString::fromStdString(ErrorText(error)));
}

void CKelvoApp::ReportDamagedElements() {
    const std::vector<std::u16string> damaged = m_doc.TakeDamagedElements();
    if (!damaged.empty())
        m_dialogs.ShowMessage(m_frame.get(),
                              QString::fromStdString(MessageText(msg::SealedStreamsDamaged,
                                                                 {DamagedElementsText(damaged)})));
}

bool CKelvoApp::NewBank() {
    const bool ok = m_doc.OnNewDocument().ok();
    m_frame->RefreshTrees();
    m_frame->RefreshTitle();
    m_frame->UpdateCommandUi();
    return ok;
}

bool CKelvoApp::OpenBank(const QString& path, bool ask) {
    if (ask && !SaveModified())
        return false;
    // The document takes the bank's session lock; a bank another copy of the program or a
    // kvb command holds is refused with its message.
    // A protected bank asks its password through the prompt; giving none is no error to
    // report.
    if (auto opened = m_doc.OnOpenDocument(ToPath(path)); !opened) {
        if (opened.error().messageId != msg::OpenCancelled)
            ShowError(opened.error());
        return false;
    }
    ReportDamagedElements();
    AddRecent(FromPath(m_doc.path()));
    m_frame->UpdateCommandUi();
    return true;
}

bool CKelvoApp::SaveTo(const QString& path, bool saveAs) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const Result<void> result = saveAs ? m_doc.SaveAs(ToPath(absolute)) : m_doc.Save();
    if (!result.ok()) {
        ShowError(result.error());
        return false;
    }
    AddRecent(FromPath(m_doc.path()));
    m_frame->RefreshTitle();
    m_frame->UpdateCommandUi();
    return true;
}

bool CKelvoApp::SaveBank() {
    if (!m_doc.hasFile() || m_doc.path().empty())
        return SaveBankAs();
    return SaveTo(FromPath(m_doc.path()), false);
}

bool CKelvoApp::SaveBankAs() {
    QString suggested = m_doc.hasFile() ? FromPath(m_doc.path()) : Tr(text::NewBankName);
    const QString path = m_dialogs.SaveFileName(m_frame.get(), suggested, Tr(text::FileFilter));
    if (path.isEmpty())
        return false;
    return SaveTo(path, true);
}

bool CKelvoApp::SaveModified() {
    m_frame->UpdateCommandUi(); // an edited body counts as a change of the bank
    if (!m_doc.IsModified())
        return true;
    const QString title = FromAnsi(m_doc.title());
    switch (m_dialogs.Ask(m_frame.get(), Tr(StringText(msg::SaveChangesQuestion)).arg(title),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                          QMessageBox::Warning)) {
    case QMessageBox::Yes:
        return SaveBank();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CKelvoApp::AddRecent(const QString& path) {
    m_settings.AddRecentFile(QDir::toNativeSeparators(path));
    m_frame->RebuildRecentMenu(m_settings.RecentFiles());
}

bool CKelvoApp::UpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::FileNew:
    case cmd::FileOpen:
    case cmd::FileSave:
    case cmd::FileSaveAs:
    case cmd::AppExit:
        state.enabled = true;
        return true;
    default:
        if (id >= cmd::RecentFirst && id <= cmd::RecentLast) {
            state.enabled = id - cmd::RecentFirst < m_settings.RecentFiles().size();
            return true;
        }
        return false;
    }
}

bool CKelvoApp::RunCommand(int id) {
    switch (id) {
    case cmd::FileNew:
        if (SaveModified())
            NewBank();
        return true;
    case cmd::FileOpen: {
        if (!SaveModified())
            return true;
        const QString path = m_dialogs.OpenFileName(m_frame.get(), Tr(text::FileFilter));
        if (!path.isEmpty())
            OpenBank(path, false);
        return true;
    }
    case cmd::FileSave:
        SaveBank();
        return true;
    case cmd::FileSaveAs:
        SaveBankAs();
        return true;
    case cmd::AppExit:
        m_frame->close();
        return true;
    default:
        if (id >= cmd::RecentFirst && id <= cmd::RecentLast) {
            const QStringList files = m_settings.RecentFiles();
            const int index = id - cmd::RecentFirst;
            if (index < files.size())
                OpenBank(QDir::fromNativeSeparators(files[index]));
            return true;
        }
        return false;
    }
}

} // namespace kelvo
