// kvb print BANK (--record UID | --structure) --pdf OUT: prints a record's body, or the structure
// of the bank as stored (expanded nodes as saved), into a PDF file through the program's page
// painters. Runs Qt Gui on the offscreen platform: no display and no widgets are needed.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

#include "images/TreeImages.h"
#include "platform/rtf/RtfReader.h"
#include "print/paint/RecordPages.h"
#include "print/paint/StructurePages.h"

#include <QFile>
#include <QGuiApplication>

#include <filesystem>

namespace kelvo::cli {

namespace {

// Pixels of the tree images as they are handed to printing: several times the 16 pixels they
// are drawn at on screen, so that they stay sharp at printer resolution.
constexpr int kPrintedImageSize = 64;

/// A QGuiApplication on the offscreen platform for the time of one command, unless the process
/// has one already. Qt's own warnings (no display, no runtime folder) are not kvb's messages.
class HeadlessGui {
public:
    HeadlessGui() {
        if (QCoreApplication::instance())
            return;
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtFatalMsg)
                    fprintf(stderr, "%s\n", qPrintable(text));
            });
        m_installed = true;
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv.data());
    }
    ~HeadlessGui() {
        m_app.reset();
        if (m_installed)
            qInstallMessageHandler(m_previous);
    }
    bool ok() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

private:
    int m_argc = 3;
    std::array<char*, 4> m_argv{const_cast<char*>("kvb"), const_cast<char*>("-platform"),
                                const_cast<char*>("offscreen"), nullptr};
    std::unique_ptr<QGuiApplication> m_app;
    QtMessageHandler m_previous = nullptr;
    bool m_installed = false;
};

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

class PrintCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        m_recordOption = app.add_option("--record", m_uid, "Напечатать текст записи с этим UID");
        m_structureOption =
            app.add_flag("--structure", m_structure, "Напечатать структуру банка (дерево записей)");
        m_recordOption->excludes(m_structureOption);
        m_structureOption->excludes(m_recordOption);
        app.add_option("--pdf", m_pdf, "Файл PDF, в который печатать")->required();
    }

    int Run(CommandIo& io) override {
        if (m_recordOption->count() == 0 && !m_structure) {
            io.err << "Укажите, что печатать: запись (--record UID) или структуру банка "
                      "(--structure).\nСправка: kvb print --help\n";
            return kExitUsage;
        }
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        // The PDF is written beside itself and renamed over the target: pointed at the bank, it
        // would replace it.
        if (SameFile(m_pdf, m_bank))
            return Refuse(io, MessageText(msg::PdfWouldReplaceBank, {m_pdf}));

        HeadlessGui gui;
        if (!gui.ok())
            return Refuse(io, StringText(msg::PrintFailed).data());
        const QString path = QFile::decodeName(QByteArray::fromStdString(m_pdf));
        std::unique_ptr<PageSource> pages;
        QString title;
        if (m_structure) {
            EnsureIconTheme();
            pages = std::make_unique<StructurePages>(
                StoredStructure(doc.records(), RecordTreeImageList(kPrintedImageSize)));
            title = QString::fromStdString(
                Utf8(doc.records().first() ? doc.records().first()->title : AnsiString()));
        } else {
            TreeNode* node = FindNode(doc, TreeKind::Records, m_uid, io);
            if (!node)
                return kExitRefused;
            // A record never shown has no body yet: it prints as an empty page.
            RtfDocument body;
            Result<std::string> bytes = doc.ReadBody(m_uid);
            if (bytes)
                body = ReadRtf(*bytes);
            else if (bytes.code() != hr::FileNotFound)
                return Refuse(io, ErrorText(bytes.error()));
            pages = std::make_unique<RecordPages>(std::move(body));
            title = QString::fromStdString(Utf8(node->title));
        }
        const Result<int> printed = PrintToPdf(*pages, path, title);
        for (const Error& failure : pages->TakeMessages())
            io.err << ErrorText(failure) << '\n';
        if (!printed)
            return Refuse(io, ErrorText(printed.error()));
        if (io.json) {
            nlohmann::ordered_json j;
            j["pdf"] = m_pdf;
            j["pages"] = *printed;
            PrintJson(io, j);
        } else {
            io.out << "Напечатано страниц: " << *printed << " (" << m_pdf << ")\n";
        }
        return kExitOk;
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
    bool m_structure = false;
    std::string m_pdf;
    CLI::Option* m_recordOption = nullptr;
    CLI::Option* m_structureOption = nullptr;
};

} // namespace

std::unique_ptr<Command> MakePrintCommand() {
    return std::make_unique<PrintCommand>();
}

} // namespace kelvo::cli
