// The user's persisted settings in an INI file under the company name.
#include "shell/SettingsStore.h"

#include "platform/text/Format.h"

#include <algorithm>

#include <QComboBox>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QToolBar>
#include <QWidget>

namespace kelvo {
namespace {

const QString kWindowStateData = QStringLiteral("Window State Data");
const QString kRecentSection = QStringLiteral("Recent File List");
const QString kOptionsSection = QStringLiteral("Options");
const QString kConfirmItemDelete = QStringLiteral("ConfirmItemDelete");
const QString kConfirmPasswordDelete = QStringLiteral("ConfirmPasswordDelete");
const QString kRecentFileCount = QStringLiteral("RecentFileCount");
const QString kClipboardSeconds = QStringLiteral("ClipboardSeconds");

void PutInt(QByteArray& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t GetInt(const QByteArray& in, qsizetype offset) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[offset + i])) << (8 * i);
    return value;
}

std::int32_t GetSigned(const QByteArray& in, qsizetype offset) {
    return static_cast<std::int32_t>(GetInt(in, offset));
}

QString JoinKey(const QString& group, const QString& name) {
    return group + QLatin1Char('/') + name;
}

QString ScBarSection(int barId) {
    return SettingsStore::DockSection() + QStringLiteral("-SCBar-%1").arg(barId);
}

const char* const kBarSizeNames[6] = {"sizeHorzCX", "sizeHorzCY",  "sizeVertCX",
                                      "sizeVertCY", "sizeFloatCX", "sizeFloatCY"};

} // namespace

QByteArray EncodeWindowPlacement(const WindowPlacement& p) {
    QByteArray out;
    out.reserve(32);
    PutInt(out, kSettingsMagic);
    PutInt(out, static_cast<std::uint32_t>(p.left));
    PutInt(out, static_cast<std::uint32_t>(p.top));
    PutInt(out, static_cast<std::uint32_t>(p.right));
    PutInt(out, static_cast<std::uint32_t>(p.bottom));
    PutInt(out, p.maximized ? 0xFFFFFFFFu : 0u);
    PutInt(out, static_cast<std::uint32_t>(p.screenWidth));
    PutInt(out, static_cast<std::uint32_t>(p.screenHeight));
    return out;
}

std::optional<WindowPlacement> DecodeWindowPlacement(const QByteArray& bytes) {
    if (bytes.size() != 32)
        return std::nullopt;
    WindowPlacement p;
    p.left = GetSigned(bytes, 4);
    p.top = GetSigned(bytes, 8);
    p.right = GetSigned(bytes, 12);
    p.bottom = GetSigned(bytes, 16);
    p.maximized = GetInt(bytes, 20) != 0;
    p.screenWidth = GetSigned(bytes, 24);
    p.screenHeight = GetSigned(bytes, 28);
    return p;
}

QByteArray EncodeListLayout(const ListLayout& layout) {
    QByteArray out;
    PutInt(out, kSettingsMagic);
    PutInt(out, static_cast<std::uint32_t>(layout.columns.size()));
    PutInt(out, static_cast<std::uint32_t>(layout.sortColumn));
    PutInt(out, static_cast<std::uint32_t>(layout.sortOrder));
    for (const ListLayout::Column& column : layout.columns) {
        PutInt(out, static_cast<std::uint32_t>(column.order));
        PutInt(out, static_cast<std::uint32_t>(column.width));
    }
    return out;
}

std::optional<ListLayout> DecodeListLayout(const QByteArray& bytes) {
    if (bytes.size() < 16)
        return std::nullopt;
    const std::uint32_t count = GetInt(bytes, 4);
    // A count the value cannot hold means a damaged record; it is not used at all.
    if (count > static_cast<std::uint32_t>((bytes.size() - 16) / 8))
        return std::nullopt;
    ListLayout layout;
    layout.sortColumn = GetSigned(bytes, 8);
    layout.sortOrder = GetSigned(bytes, 12);
    for (std::uint32_t i = 0; i < count; ++i)
        layout.columns.push_back({GetSigned(bytes, 16 + 8 * static_cast<qsizetype>(i)),
                                  GetSigned(bytes, 20 + 8 * static_cast<qsizetype>(i))});
    return layout;
}

QString NormaliseSubPath(QString subPath) {
    subPath.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    if (subPath.endsWith(QLatin1Char('\\')))
        subPath.chop(1);
    if (subPath.startsWith(QLatin1Char('\\')))
        subPath.remove(0, 1);
    return subPath;
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QString::fromUtf8(kCompany),
                                             QString::fromUtf8(kApplication))) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::FileName() const {
    return m_settings->fileName();
}

QString SettingsStore::ProgramKey(const QString& subPath) {
    // The INI file stands for "Software\<company>\<application>"; the version and the
    // sub-path follow as groups, with '/' where the registry has '\'.
    QString path =
        QString::fromStdString(VersionText()) + QLatin1Char('\\') + NormaliseSubPath(subPath);
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString SettingsStore::DockSection() {
    return QString::fromStdString(VersionText()) + QStringLiteral("/Bar State Data/MW");
}

QSize SettingsStore::ScreenSize() const {
    if (m_screenSize.isValid())
        return m_screenSize;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size();
    return {};
}

QByteArray SettingsStore::RawValue(const QString& subPath, const QString& name) const {
    return m_settings->value(JoinKey(ProgramKey(subPath), name)).toByteArray();
}

void SettingsStore::SetRawValue(const QString& subPath, const QString& name,
                                const QByteArray& bytes) {
    m_settings->setValue(JoinKey(ProgramKey(subPath), name), bytes);
}

void SettingsStore::SaveWindowState(const QWidget& window, const QString& name) {
    const QRect normal =
        window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
    const QSize screen = ScreenSize();
    WindowPlacement p;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    p.maximized = window.isMaximized() || (window.windowState() & Qt::WindowMaximized);
    p.screenWidth = screen.width();
    p.screenHeight = screen.height();
    SetRawValue(kWindowStateData, name, EncodeWindowPlacement(p));
}

bool SettingsStore::LoadWindowState(QWidget& window, const QString& name) {
    const std::optional<WindowPlacement> p =
        DecodeWindowPlacement(RawValue(kWindowStateData, name));
    if (!p)
        return false;
    const QSize screen = ScreenSize();
    if (p->screenWidth != screen.width() || p->screenHeight != screen.height())
        return false;
    const int width = p->right - p->left;
    const int height = p->bottom - p->top;
    if (width <= 0 || height <= 0)
        return false;
    window.setGeometry(p->left, p->top, width, height);
    if (p->maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}

void SettingsStore::SaveListLayout(const QString& name, const ListLayout& layout) {
    SetRawValue(kWindowStateData, name, EncodeListLayout(layout));
}

std::optional<ListLayout> SettingsStore::LoadListLayout(const QString& name) {
    return DecodeListLayout(RawValue(kWindowStateData, name));
}

void SettingsStore::SaveListState(const QHeaderView& header, const QString& name, int sortColumn,
                                  int sortOrder) {
    SaveListLayout(name, CaptureListLayout(header, sortColumn, sortOrder));
}

bool SettingsStore::LoadListState(QHeaderView& header, const QString& name, int* sortColumn,
                                  int* sortOrder) {
    const std::optional<ListLayout> layout = LoadListLayout(name);
    if (!layout)
        return false;
    ApplyListLayout(header, *layout);
    if (sortColumn)
        *sortColumn = layout->sortColumn;
    if (sortOrder)
        *sortOrder = layout->sortOrder;
    return true;
}

namespace {

QString HistoryGroup(const QString& name) {
    return SettingsStore::ProgramKey(QStringLiteral("Saved Dialog History\\%1").arg(name));
}

QString HistoryValueName(int index) {
    return QStringLiteral("%1").arg(index, 5, 10, QLatin1Char('0'));
}

} // namespace

void SettingsStore::SaveHistory(const QString& name, const QStringList& entries) {
    const QString group = HistoryGroup(name);
    m_settings->remove(group);
    for (int i = 0; i < entries.size(); ++i)
        m_settings->setValue(JoinKey(group, HistoryValueName(i)), entries[i]);
    m_settings->setValue(JoinKey(group, QStringLiteral("Count")), entries.size());
}

QStringList SettingsStore::LoadHistory(const QString& name) {
    const QString group = HistoryGroup(name);
    bool ok = false;
    const int count = m_settings->value(JoinKey(group, QStringLiteral("Count"))).toInt(&ok);
    QStringList entries;
    for (int i = 0; ok && i < count; ++i) {
        const QString text = m_settings->value(JoinKey(group, HistoryValueName(i))).toString();
        if (!text.isEmpty())
            entries.append(text);
    }
    return entries;
}

void SettingsStore::SaveComboHistory(const QComboBox& combo, const QString& name) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries.append(combo.itemText(i));
    SaveHistory(name, entries);
}

bool SettingsStore::LoadComboHistory(QComboBox& combo, const QString& name) {
    bool ok = false;
    m_settings->value(JoinKey(HistoryGroup(name), QStringLiteral("Count"))).toInt(&ok);
    if (!ok)
        return false;
    const QStringList entries = LoadHistory(name);
    for (int i = 0; i < entries.size(); ++i)
        combo.insertItem(qMin(i, combo.count()), entries[i]);
    return true;
}

bool SettingsStore::AddToComboHistory(QComboBox& combo, const QString& text, int maximum) {
    if (text.isEmpty())
        return false;
    while (combo.count() > maximum - 1 && combo.count() > 0)
        combo.removeItem(combo.count() - 1);
    const int existing = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (existing >= 0)
        combo.removeItem(existing);
    combo.insertItem(0, text);
    combo.setCurrentIndex(0);
    return true;
}

QStringList SettingsStore::RecentFiles() const {
    const int count = Options().recentFiles;
    QStringList files;
    for (int i = 1; i <= count; ++i) {
        const QString file =
            m_settings->value(JoinKey(kRecentSection, QStringLiteral("File%1").arg(i))).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void SettingsStore::SetRecentFiles(const QStringList& files) {
    const int count = Options().recentFiles;
    m_settings->remove(kRecentSection);
    for (int i = 0; i < files.size() && i < count; ++i)
        m_settings->setValue(JoinKey(kRecentSection, QStringLiteral("File%1").arg(i + 1)),
                             files[i]);
}

void SettingsStore::AddRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    SetRecentFiles(files);
}

UserOptions UserOptions::Bounded() const {
    UserOptions o = *this;
    o.recentFiles = std::clamp(o.recentFiles, 0, kMaxRecentFiles);
    o.clipboardSeconds = std::clamp(o.clipboardSeconds, kMinClipboardSeconds, kMaxClipboardSeconds);
    return o;
}

UserOptions SettingsStore::Options() const {
    const UserOptions defaults;
    UserOptions o;
    o.confirmItemDelete =
        ProfileInt(kOptionsSection, kConfirmItemDelete, defaults.confirmItemDelete) != 0;
    o.confirmPasswordDelete =
        ProfileInt(kOptionsSection, kConfirmPasswordDelete, defaults.confirmPasswordDelete) != 0;
    o.recentFiles = ProfileInt(kOptionsSection, kRecentFileCount, defaults.recentFiles);
    o.clipboardSeconds = ProfileInt(kOptionsSection, kClipboardSeconds, defaults.clipboardSeconds);
    return o.Bounded();
}

void SettingsStore::SetOptions(const UserOptions& options) {
    const UserOptions o = options.Bounded();
    // The list as it can be shown now, cut to the new length once that is stored.
    const QStringList files = RecentFiles();
    WriteProfileInt(kOptionsSection, kConfirmItemDelete, o.confirmItemDelete ? 1 : 0);
    WriteProfileInt(kOptionsSection, kConfirmPasswordDelete, o.confirmPasswordDelete ? 1 : 0);
    WriteProfileInt(kOptionsSection, kRecentFileCount, o.recentFiles);
    WriteProfileInt(kOptionsSection, kClipboardSeconds, o.clipboardSeconds);
    SetRecentFiles(files);
}

int SettingsStore::ProfileInt(const QString& section, const QString& name, int defaultValue) const {
    bool ok = false;
    const int value = m_settings->value(JoinKey(section, name)).toInt(&ok);
    return ok ? value : defaultValue;
}

void SettingsStore::WriteProfileInt(const QString& section, const QString& name, int value) {
    m_settings->setValue(JoinKey(section, name), value);
}

void SettingsStore::SaveDockState(const QMainWindow& frame, const std::map<int, QWidget*>& bars) {
    const QString section = DockSection();
    QStringList ids, docked;
    for (const auto& [id, bar] : bars) {
        ids.append(QString::number(id));
        const auto* dock = qobject_cast<const QDockWidget*>(bar);
        const auto* toolBar = qobject_cast<const QToolBar*>(bar);
        const bool floating = (dock && dock->isFloating()) || (toolBar && toolBar->isFloating());
        if (!floating)
            docked.append(QString::number(id));
        if (dock) {
            const QString barSection = ScBarSection(id);
            const QSize size = dock->size();
            const int values[6] = {size.width(),  size.height(), size.width(),
                                   size.height(), size.width(),  size.height()};
            for (int i = 0; i < 6; ++i)
                WriteProfileInt(barSection, QString::fromLatin1(kBarSizeNames[i]), values[i]);
        }
    }
    m_settings->setValue(JoinKey(section, QStringLiteral("Bars")), ids);
    m_settings->setValue(JoinKey(section, QStringLiteral("Docked")), docked);
    m_settings->setValue(JoinKey(section, QStringLiteral("State")), frame.saveState(1));
}

bool SettingsStore::LoadDockState(QMainWindow& frame, const std::map<int, QWidget*>& bars) {
    const QString section = DockSection();
    const QByteArray state =
        m_settings->value(JoinKey(section, QStringLiteral("State"))).toByteArray();
    if (state.isEmpty())
        return false;
    // Every bar the layout names (ids reduced to 16 bits) must still be a bar of the frame.
    for (const QString& key : {QStringLiteral("Bars"), QStringLiteral("Docked")}) {
        const QStringList ids = m_settings->value(JoinKey(section, key)).toStringList();
        for (const QString& text : ids) {
            bool ok = false;
            const unsigned id = text.toUInt(&ok) & 0xFFFFu;
            if (!ok || bars.find(static_cast<int>(id)) == bars.end())
                return false;
        }
    }
    for (const auto& [id, bar] : bars) {
        auto* dock = qobject_cast<QDockWidget*>(bar);
        if (!dock)
            continue;
        const QString barSection = ScBarSection(id);
        const QSize minimum = dock->minimumSizeHint();
        const int width = ProfileInt(barSection, QStringLiteral("sizeVertCX"), 0);
        if (width >= minimum.width())
            frame.resizeDocks({dock}, {width}, Qt::Horizontal);
    }
    return frame.restoreState(state, 1);
}

void SettingsStore::Sync() {
    m_settings->sync();
}

} // namespace kelvo
