// The user's persisted settings: window placements, list layouts, input histories, recent
// banks and the main window's docking layout, in an INI file under the company name. Key
// paths, value names and the binary records are those the program has always written.
#pragma once

#include "shell/UserOptions.h"
#include "widgets/DialogStateStore.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QHeaderView;
class QMainWindow;
class QSettings;
class QWidget;

namespace kelvo {

inline constexpr std::uint32_t kSettingsMagic = 0x12345678;

/// The 32-byte window placement record.
struct WindowPlacement {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0; ///< restored rectangle
    bool maximized = false;
    std::int32_t screenWidth = 0, screenHeight = 0;
};
QByteArray EncodeWindowPlacement(const WindowPlacement& placement);
/// Empty unless the value is exactly 32 bytes (the magic is not examined).
std::optional<WindowPlacement> DecodeWindowPlacement(const QByteArray& bytes);

/// The list layout record (ListLayout): magic, column count, sort column and order, then per
/// column its display order and width.
QByteArray EncodeListLayout(const ListLayout& layout);
/// Empty when the value is shorter than its header or than the columns it announces.
std::optional<ListLayout> DecodeListLayout(const QByteArray& bytes);

/// "a\\\\b\\" -> "a\\b": doubled backslashes become one, a leading and a trailing one go.
QString NormaliseSubPath(QString subPath);

class SettingsStore : public DialogStateStore {
public:
    static inline const char* kCompany = "Tervastine & Company";
    static inline const char* kApplication = "Quorvelline 2003 Professional";

    /// The store of the current user.
    SettingsStore();
    /// A store in the given INI file (tests).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore() override;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QSettings& Settings() { return *m_settings; }
    QString FileName() const;

    /// The program's own key for a sub-path: the program version, then the normalised
    /// sub-path, e.g. "1.0.0.1/Window State Data".
    static QString ProgramKey(const QString& subPath);
    /// "1.0.0.1/Bar State Data/MW", the docking layout's section.
    static QString DockSection();

    /// Screen size used for placements; the primary screen's unless set (tests).
    QSize ScreenSize() const;
    void SetScreenSize(QSize size) { m_screenSize = size; }

    void SaveWindowState(const QWidget& window, const QString& name) override;
    /// Applies the stored placement. Fails (window unchanged) when the value is missing, not
    /// exactly 32 bytes, or was saved at another screen size.
    bool LoadWindowState(QWidget& window, const QString& name) override;
    QByteArray RawValue(const QString& subPath, const QString& name) const;
    void SetRawValue(const QString& subPath, const QString& name, const QByteArray& bytes);

    /// A list layout under `name` in "Window State Data" (the grids and lists of the widget
    /// kit save theirs through these).
    void SaveListLayout(const QString& name, const ListLayout& layout) override;
    std::optional<ListLayout> LoadListLayout(const QString& name) override;

    void SaveListState(const QHeaderView& header, const QString& name, int sortColumn = 0,
                       int sortOrder = 0);
    /// Restores display order and widths; when `sortColumn`/`sortOrder` are given they receive
    /// the stored sort.
    bool LoadListState(QHeaderView& header, const QString& name, int* sortColumn = nullptr,
                       int* sortOrder = nullptr);

    /// Input histories under "Saved Dialog History\\<name>": "Count" and one "%05d" value per
    /// entry.
    QStringList LoadHistory(const QString& name) override;
    void SaveHistory(const QString& name, const QStringList& entries) override;
    void SaveComboHistory(const QComboBox& combo, const QString& name);
    bool LoadComboHistory(QComboBox& combo, const QString& name);
    /// Puts `text` at the top of the combo's list, without repeats and at most `maximum` long;
    /// an empty text is not added.
    static bool AddToComboHistory(QComboBox& combo, const QString& text, int maximum);

    /// The recent banks, at most as many as the options allow.
    QStringList RecentFiles() const;
    void SetRecentFiles(const QStringList& files);
    /// Moves or adds a bank path to the top of the recent list (as long as the options allow).
    void AddRecentFile(const QString& path);

    /// The program's options; a missing or unreadable value gives its default, a number out
    /// of range its nearest bound.
    UserOptions Options() const;
    /// Stores the options (bounded); a shorter recent list drops the banks beyond its end.
    void SetOptions(const UserOptions& options);

    int ProfileInt(const QString& section, const QString& name, int defaultValue) const;
    void WriteProfileInt(const QString& section, const QString& name, int value);

    /// Saves the main window's dock layout with the ids of its bars; `bars` maps each bar id to
    /// its widget (toolbars and dock widgets).
    void SaveDockState(const QMainWindow& frame, const std::map<int, QWidget*>& bars);
    /// Restores the dock layout only when every bar it names still exists; false otherwise
    /// (the window keeps its default layout).
    bool LoadDockState(QMainWindow& frame, const std::map<int, QWidget*>& bars);

    void Sync();

private:
    std::unique_ptr<QSettings> m_settings;
    QSize m_screenSize;
};

} // namespace kelvo
