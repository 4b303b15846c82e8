// The key map, the about box and the used-files list.
#include "shell/AboutDlg.h"

#include "platform/text/Format.h"
#include "shell/Icons.h"
#include "shell/SettingsStore.h"
#include "shell/ShellStrings.h"
#include "widgets/ControlNames.h"
#include "widgets/SortableList.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <gnu/libc-version.h>

namespace kelvo {

namespace {

const QString kKeyMapPlacement = QStringLiteral("KeyMapDlg");
const QString kKeyMapList = QStringLiteral("KeyMapDlg.ListView");
const QString kAboutPlacement = QStringLiteral("AboutDlg");
const QString kFilesPlacement = QStringLiteral("AboutFilesDlg");

QString CommandText(QString text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
            ++i; // "&&" shows one "&"
        else if (text[i] == QLatin1Char('&'))
            continue;
        out += text[i];
    }
    while (!out.isEmpty() && out.back().isSpace())
        out.chop(1);
    return out;
}

void Walk(const QList<QAction*>& actions, std::vector<KeyMapRow>& rows) {
    for (const QAction* action : actions) {
        if (action->isSeparator())
            continue;
        const QKeySequence key = action->shortcut();
        if (!key.isEmpty() && !action->text().isEmpty())
            rows.push_back({CommandText(action->text()), key.toString(QKeySequence::NativeText)});
        if (const QMenu* menu = action->menu())
            Walk(menu->actions(), rows);
    }
}

QFont LabelFont(int points, bool bold, bool italic, bool underline) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

QLabel* Link(const QString& text, const QString& target, QWidget* parent, const char* name) {
    auto* link = NameControl(new QLabel(parent), name, text);
    link->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff\">%2</a>")
                      .arg(target.toHtmlEscaped(), text.toHtmlEscaped()));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    link->setCursor(Qt::PointingHandCursor);
    return link;
}

} // namespace

std::vector<KeyMapRow> KeyMapRows(const QMenuBar& menus) {
    std::vector<KeyMapRow> rows;
    Walk(menus.actions(), rows);
    return rows;
}

KeyMapDlg::KeyMapDlg(const QMenuBar& menus, SettingsStore* settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(QStringLiteral("KeyMapDlg"));
    setWindowTitle(Tr(text::KeyMapCaption));
    setWindowIcon(AppIcon());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = NameControl(new SortableList(this), "KeyMap", Tr(text::KeyMapListName));
    m_list->SetColumns({{Tr(text::KeyMapCommand), 200}, {Tr(text::KeyMapKey), 110}});
    m_list->SetGridLines(true);
    m_list->SetSortOnHeaderClick(true);
    m_list->header()->setSectionsMovable(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    std::vector<ListRow> rows;
    for (KeyMapRow& entry : KeyMapRows(menus)) {
        ListRow row;
        row.cells = {std::move(entry.command), std::move(entry.key)};
        rows.push_back(std::move(row));
    }
    m_list->SetRows(std::move(rows));
    layout->addWidget(m_list);
    resize(360, 420);
    if (!m_settings || !m_list->LoadLayout(*m_settings, kKeyMapList, true))
        m_list->SortByColumn(0, Qt::AscendingOrder);
    if (m_settings)
        m_settings->LoadWindowState(*this, kKeyMapPlacement);
}

KeyMapDlg::~KeyMapDlg() {
    if (m_settings) {
        m_list->SaveLayout(*m_settings, kKeyMapList, true);
        m_settings->SaveWindowState(*this, kKeyMapPlacement);
    }
}

std::vector<ModuleVersion> UsedModules() {
    const VersionNumbers v = ProgramVersion();
    const QString program = QString::fromStdString(AnsiToUtf8(VersionText(v)));
    const QString qt = QString::fromLatin1(qVersion());
    const char* libc = gnu_get_libc_version();
    auto known = [](const QString& version) {
        return version.isEmpty() ? Tr(text::AboutVersionUnknown) : version;
    };
    return {{QStringLiteral("Kelvo"), known(program)},
            {QStringLiteral("libQt6Core.so.6"), known(qt)},
            {QStringLiteral("libQt6Gui.so.6"), known(qt)},
            {QStringLiteral("libQt6Widgets.so.6"), known(qt)},
            {QStringLiteral("libc.so.6"), known(libc ? QString::fromLatin1(libc) : QString())}};
}

AboutFilesDlg::AboutFilesDlg(SettingsStore* settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(QStringLiteral("AboutFilesDlg"));
    setWindowTitle(Tr(text::AboutFilesCaption));
    auto* layout = new QVBoxLayout(this);
    m_list = NameControl(new SortableList(this), "Files", Tr(text::AboutFilesCaption));
    m_list->SetColumns({{Tr(text::AboutFileColumn), 200}, {Tr(text::AboutVersionColumn), 80}});
    std::vector<ListRow> rows;
    for (ModuleVersion& module : UsedModules()) {
        ListRow row;
        row.cells = {std::move(module.name), std::move(module.version)};
        rows.push_back(std::move(row));
    }
    m_list->SetRows(std::move(rows));
    m_list->SetKeepSorted(true);
    m_list->SortByColumn(0, Qt::AscendingOrder);
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(this);
    auto* close =
        NameControl(buttons->addButton(Tr(text::AboutClose), QDialogButtonBox::RejectRole),
                    "CloseButton", Tr(text::AboutClose));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(340, 260);
    if (m_settings)
        m_settings->LoadWindowState(*this, kFilesPlacement);
}

AboutFilesDlg::~AboutFilesDlg() {
    if (m_settings)
        m_settings->SaveWindowState(*this, kFilesPlacement);
}

AboutDlg::AboutDlg(SettingsStore* settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(Tr(text::AboutCaption));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Icon"));
    icon->setPixmap(AppIcon().pixmap(48, 48));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    auto* product =
        NameControl(new QLabel(Tr(text::AboutProduct), this), "Product", Tr(text::AboutProduct));
    product->setFont(LabelFont(22, true, false, true));
    product->setStyleSheet(QStringLiteral("color: rgb(0, 141, 4);"));
    auto* edition =
        NameControl(new QLabel(Tr(text::AboutEdition), this), "Edition", Tr(text::AboutEdition));
    edition->setFont(LabelFont(10, true, true, false));
    edition->setStyleSheet(QStringLiteral("color: rgb(100, 20, 200);"));
    names->addWidget(product);
    names->addWidget(edition);
    top->addLayout(names, 1);
    layout->addLayout(top);

    const QString version = QString::fromStdString(AnsiToUtf8(VersionText()));
    auto* facts = new QGridLayout;
    auto addFact = [&](int row, const char* label, const QString& value, const char* name) {
        auto* l = new QLabel(Tr(label), this);
        auto* v = NameControl(new QLabel(value, this), name, Tr(label));
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setBuddy(v);
        facts->addWidget(l, row, 0);
        facts->addWidget(v, row, 1);
    };
    addFact(0, text::AboutVersionLabel, version, "Version");
    addFact(1, text::AboutBuildLabel, Tr(text::AboutBuildRelease), "Build");
    layout->addLayout(facts);
    layout->addWidget(
        Link(Tr(text::AboutMailText), Tr(text::AboutMailTarget).arg(version), this, "MailLink"));
    layout->addWidget(Link(Tr(text::AboutWebText), Tr(text::AboutWebTarget), this, "WebLink"));

    auto* buttons = new QDialogButtonBox(this);
    auto* files =
        NameControl(buttons->addButton(Tr(text::AboutFilesButton), QDialogButtonBox::ActionRole),
                    "FilesButton", Tr(text::AboutFilesButton));
    auto* close =
        NameControl(buttons->addButton(Tr(text::AboutClose), QDialogButtonBox::RejectRole),
                    "CloseButton", Tr(text::AboutClose));
    close->setDefault(true);
    connect(files, &QPushButton::clicked, this, &AboutDlg::ShowFiles);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (m_settings)
        m_settings->LoadWindowState(*this, kAboutPlacement);
}

AboutDlg::~AboutDlg() {
    if (m_settings)
        m_settings->SaveWindowState(*this, kAboutPlacement);
}

void AboutDlg::ShowFiles() {
    AboutFilesDlg files(m_settings, this);
    files.exec();
}

} // namespace kelvo
