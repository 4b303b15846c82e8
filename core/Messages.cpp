// The string table of the bank core, in UTF-8.
#include "core/Messages.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace kelvo {

namespace {

struct Entry {
    int id;
    const char* text;
};

// "\n" is a line break inside a message box.
constexpr Entry kTable[] = {
    {msg::ClassRegisterFailed,
     "Не удалось зарегистрировать имя класса окна.\nПродолжение работы невозможно."},
    {msg::RootRecordTitle, "Корневая запись"},
    {msg::RootFolderTitle, "Хранилище паролей"},
    {msg::OpenFailedWithStatus,
     "При открытии банка данных\n%s\nпроизошла ошибка с кодом 0x%08x (%d).\nБанк данных не "
     "может быть открыт.\nВозможно, этот файл не является файлом банка данных Quorvelline 2003 "
     "Professional."},
    {msg::NotABank,
     "Открываемый файл\n%s\nне является банком данных Quorvelline 2003 Professional!"},
    {msg::CannotOpenBank,
     "Не удается открыть банк данных из файла:\n%s\nФайл не найден или поврежден."},
    {msg::Untitled, "Безымянный"},
    {msg::SaveChangesQuestion, "Банк данных \"%1\" был изменен. Сохранить эти изменения?"},
    // Not a text of the original, which reported a failed save as a success.
    {msg::SaveFailed,
     "Не удается сохранить банк данных в файл\n%s\nпроизошла ошибка с кодом 0x%08x (%d).\nБанк "
     "данных не сохранен."},
    // The checks of the user-defined property page.
    {msg::PropertyExists,
     "Свойство '%s' уже существует.\nЕсли вы хотите изменить его тип, то сначала удалите "
     "старое, а затем создайте новое свойство с тем же именем и другим типом."},
    {msg::BadNumber, "Неверный формат числового значения!"},
    {msg::BadDate, "Неверный формат даты или времени!"},
    {msg::PropertyTooLong, "Имя свойства длиннее 100 символов или значение длиннее 200 символов."},
    {msg::Yes, "Да"},
    {msg::No, "Нет"},
    {msg::EmptyValue, "(Пусто)"},
};

// Fills the first "%s" with `path`, then (when present) "%08x" and "%d" with the status. Done
// by hand so that a path holding '%' is never taken for a format.
std::string Fill(std::string_view format, std::string_view path, const std::uint32_t* status) {
    std::string out;
    bool pathDone = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out.push_back(format[i]);
            continue;
        }
        std::string_view rest = format.substr(i);
        char buf[32];
        if (rest.substr(0, 2) == "%s" && !pathDone) {
            out.append(path);
            pathDone = true;
            ++i;
        } else if (status && rest.substr(0, 4) == "%08x") {
            std::snprintf(buf, sizeof buf, "%08x", *status);
            out += buf;
            i += 3;
        } else if (status && rest.substr(0, 2) == "%d") {
            std::snprintf(buf, sizeof buf, "%d", static_cast<std::int32_t>(*status));
            out += buf;
            ++i;
        } else {
            out.push_back('%');
        }
    }
    return out;
}

} // namespace

std::string_view StringText(int id) {
    for (const Entry& e : kTable)
        if (e.id == id)
            return e.text;
    return {};
}

AnsiString AnsiStringText(int id) {
    return Utf8ToAnsiLossy(StringText(id));
}

Message PathMessage(int id, std::string_view path) {
    return Message{id, Fill(StringText(id), path, nullptr)};
}

Message StatusMessage(int id, std::string_view path, std::uint32_t status) {
    return Message{id, Fill(StringText(id), path, &status)};
}

} // namespace kelvo
