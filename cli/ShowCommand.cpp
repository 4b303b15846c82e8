// kvb show BANK UID [--rtf]: one record's fields and its body as plain text, or the body's
// raw bytes. Reading creates nothing: a record never shown has no body and shows no text.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

#include "platform/rtf/RtfPlainText.h"
#include "platform/text/Format.h"

namespace kelvo::cli {

namespace {

class ShowCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("UID", m_uid, "UID записи")->required();
        app.add_flag("--rtf", m_rtf, "Вывести тело записи как есть (RTF)");
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        TreeNode* node = FindNode(doc, TreeKind::Records, m_uid, io);
        if (!node)
            return kExitRefused;
        auto body = doc.ReadBody(m_uid);
        if (m_rtf) {
            if (body)
                io.out << *body;
            return kExitOk;
        }
        std::optional<std::uint64_t> size;
        std::string text;
        if (body) {
            size = body->size();
            text = RtfToPlainText(*body);
        }
        if (io.json) {
            nlohmann::ordered_json j = NodeJson(doc.records(), *node, size);
            j["text"] = text;
            PrintJson(io, j);
            return kExitOk;
        }
        io.out << "UID: " << node->item.uid << '\n'
               << "Заголовок: " << Utf8(node->title) << '\n'
               << "Ключевые слова: " << Utf8(node->item.keywords) << '\n'
               << "Заметки: " << Utf8(node->item.notes) << '\n'
               << "Создана: " << TimeText(node->item.created) << '\n'
               << "Сохранена: " << TimeText(node->item.saved) << '\n'
               << "Открыта: " << TimeText(node->item.opened) << '\n'
               << "Размер текста: "
               << (size ? Utf8(FormatSizeWithBytes(*size)) : std::string("нет текста")) << '\n';
        if (!text.empty()) {
            // Paragraphs end in CR LF in the body's text; a terminal wants LF.
            std::string lines;
            for (char c : text)
                if (c != '\r')
                    lines.push_back(c);
            text = std::move(lines);
            io.out << "Текст:\n" << text;
            if (text.back() != '\n')
                io.out << '\n';
        }
        return kExitOk;
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
    bool m_rtf = false;
};

} // namespace

std::unique_ptr<Command> MakeShowCommand() {
    return std::make_unique<ShowCommand>();
}

} // namespace kelvo::cli
