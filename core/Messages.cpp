// The string table of GUI-free code, in UTF-8, and the errors made from it.
#include "core/Messages.h"

#include <cstdio>

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
    {msg::UnknownTime, "(Неизвестно)"},
    {msg::CleanupRecord, "Очистка записи: %s"},
    {msg::CleanupFolder, "Очистка папки: %s"},
    {msg::CleanupPassword, "Очистка пароля: %s"},
    {msg::RootRecordTitle, "Корневая запись"},
    {msg::RootFolderTitle, "Хранилище паролей"},
    {msg::NewFolderTitle, "Новая папка"},
    {msg::NewRecordTitle, "Новая запись"},
    {msg::OpenFailedWithStatus,
     "При открытии банка данных\n%s\nпроизошла ошибка с кодом 0x%08x (%d).\nБанк данных не "
     "может быть открыт.\nВозможно, этот файл не является файлом банка данных Quorvelline 2003 "
     "Professional."},
    {msg::NotABank,
     "Открываемый файл\n%s\nне является банком данных Quorvelline 2003 Professional!"},
    {msg::CleanupNothingChosen, "Необходимо выбрать хотя бы один пункт для очистки!"},
    {msg::CleanupQuestion, "Вы действиельно хотите очистить выбранные данные банка?\nЭто "
                           "действие не удастся отменить!"},
    {msg::CleanupDone,
     "Очистка банка завершена.\nРекомендуется провести сохранение, а затем ревизию банка."},
    {msg::CannotOpenBank,
     "Не удается открыть банк данных из файла:\n%s\nФайл не найден или поврежден."},
    {msg::Untitled, "Безымянный"},
    {msg::PictureConversionFailed, "Сбой при преобразовании рисунка в DIB.\nКод ошибки: %d."},
    {msg::PictureDrawFailed, "Сбой при печати DIB."},
    {msg::PictureReleaseFailed, "Сбой при освобождении памяти."},
    {msg::CommandFailed, "Не удалось выполнить команду."},
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
    {msg::BankBusy, "Банк данных\n%s\nуже открыт для изменения другой копией программы или "
                    "командой kvb.\nЗакройте его там и повторите попытку."},
    {msg::OperationFailed, "Операция не выполнена: %s."},
    {msg::BodySaveFailed, "Не удалось сохранить запись в банке данных: %s."},
    {msg::BodyLoadFailed, "Не удалось прочитать текст записи из банка данных: %s."},
    {msg::NoWorkingFile, "Не удается создать рабочий файл банка данных во временной папке."},
    {msg::BankHasNoFile, "Банк данных еще не сохранен в файл."},
    {msg::StatusCode, "ошибка с кодом 0x%08x (%d)"},
    {msg::CleanupNoWorkingStorage,
     "Не удается открыть банк данных, чтобы удалить тексты записей.\nОчистка не выполнена."},
    {msg::ImportNoWorkingStorage,
     "Не удается открыть банк данных для записи текстов. Записи не импортированы."},
    {msg::ImportBodiesFailed, "Тексты некоторых записей не удалось скопировать (%d). Эти записи "
                              "импортированы без текста."},
    {msg::ImportNothingChosen,
     "Не выбрана запись для импорта или запись, в которую импортировать."},
    {msg::IndexSaveFailed, "Не удалось сохранить индексы в файле банка: %s."},
    {msg::IndexNotLoaded, "Не удалось загрузить индексы из файла банка: %s."},
    {msg::RandomFailed, "Не удалось получить случайные числа от системы."},
    {msg::RandomNotRandom, "Источник случайных чисел выдает неслучайные значения."},
    {msg::PasswordLengthRange, "Введите целое число от 1 до 30."},
    {msg::AlphabetTooLong, "Алфавит пароля слишком длинный."},
    {msg::OtherCharsTooLong, "Введите не более 30 символов."},
    {msg::IndexBuildCancelled, "Построение индексов прервано."},
    {msg::IndexNodeMissing, "Объект %s не найден в банке данных."},
    {msg::ImportWriteFailed,
     "Не удается записать тексты записей в банк данных: %s.\nЗаписи не импортированы."},
    {msg::DeleteBodiesFailed, "Не удалось удалить запись: %s."},
    {msg::CleanupWriteFailed,
     "Не удается удалить тексты записей из банка данных: %s.\nОчистка не выполнена."},
    {msg::PasswordNeeded,
     "Банк данных\n%s\nзащищен паролем. Чтобы открыть его, нужно ввести пароль."},
    {msg::WrongPassword, "Неверный пароль банка данных."},
    {msg::ProtectionDamaged,
     "Описание защиты банка данных\n%s\nповреждено. Банк данных не может быть открыт."},
    {msg::SealedStreamsDamaged, "Часть банка данных повреждена или изменена посторонней "
                                "программой и не может быть прочитана: %s."},
    {msg::ProtectedBankTitle, "Защищённый банк"},
    {msg::ProtectFailed,
     "Не удалось установить защиту банка данных\n%s\n%s.\nБанк данных остался прежним."},
    {msg::UnprotectFailed,
     "Не удалось снять защиту банка данных\n%s\n%s.\nБанк данных остался прежним."},
    {msg::PasswordChangeFailed,
     "Не удалось сменить пароль банка данных\n%s\n%s.\nБанк данных остался прежним."},
    {msg::AlreadyProtected, "Банк данных уже защищен паролем."},
    {msg::NotProtected, "Банк данных не защищен паролем."},
    {msg::EmptyPassword, "Пароль не может быть пустым."},
    {msg::OpenCancelled, "Открытие банка данных отменено."},
    {msg::GradeEmpty, "нет пароля"},
    {msg::GradeVeryWeak, "очень слабый"},
    {msg::GradeWeak, "слабый"},
    {msg::GradeFair, "средний"},
    {msg::GradeStrong, "надежный"},
    // Printing: a device that takes no pages, a PDF file that cannot be written, and a PDF
    // that would be written over the bank it prints.
    {msg::PrintFailed, "Не удалось начать печать: устройство печати недоступно."},
    {msg::PdfWriteFailed, "Не удается записать файл PDF:\n%s"},
    {msg::PdfWouldReplaceBank, "Файл PDF не может быть записан на место банка данных:\n%s"},
    {msg::ImportOpenFailed,
     "Не удается открыть банк данных, из которого импортируются записи:\n%s\n%s."},
    {msg::RevisionNeverSaved,
     "Банк данных ещё не сохранён в файле, поэтому ревизировать нечего. Сохраните банк и "
     "повторите ревизию."},
    {msg::RevisionFailed,
     "Ревизия банка данных не выполнена:\n%s\n%s.\nФайл банка данных оставлен без изменений."},
    {msg::RevisionReopenFailed, "Банк данных сжат, но открыть его заново не удалось:\n%s\n%s"},
    {msg::CleanupWaiting, "Ожидание очистки..."},
    {msg::ImportLoading, "Загрузка структуры банка..."},
    {msg::ImportCopying, "Копирование записи '%s'..."},
    {msg::ImportNotLoaded, "Для импорта необходимо загрузить структуру записей из банка!"},
    {msg::ImportDone, "Импорт записей успешно завершен."},
    {msg::IndexBuildingRecord, "Построение индексов - запись '%s'"},
    {msg::IndexWord, "Обработка слова: '%s'"},
    {msg::IndexSaving, "Сохранение индексов в файл банка..."},
    {msg::IndexSavingWord, "Сохранение слова: %s"},
    {msg::IndexLoading, "Загрузка индексов из файла банка в память..."},
    {msg::IndexLoadingWord, "Загрузка слова: %s"},
    {msg::SearchRunning, "Выполняется поиск..."},
    {msg::SearchDone, "Поиск завершен. Просмотр результатов."},
    {msg::SearchInObject, "Поиск в объекте: %s"},
    {msg::SearchSizeRange, "Введите целое число от %d до %d."},
    {msg::SearchTextEmpty, "Необходимо ввести текст для поиска!"},
    {msg::NoAlphabet, "Не создан алфавит пароля!\nНажмите кнопку Переставить, чтобы создать его."},
    {msg::NoPassword,
     "Не сгенерирован пароль!\nНажмите кнопку Генерировать!, чтобы создать пароль."},
    {msg::KeywordListFound, "Найдено %d слов. Для просмотра результатов выделите нужные слова."},
    {msg::QueryAllWords, "Всего слов %d. Отметьте слова для поиска."},
    {msg::QueryNoMatch, "Совпадений для слов '%s' не надйено."},
    {msg::QueryResults, "Результаты для слов (всего %d): %s"},
    {msg::SearchBankChoice, "Банк данных: %s"},
    {msg::SearchRecordsChoice, "Записи: %s"},
    {msg::SearchFoldersChoice, "Папки паролей: %s"},
    {msg::SizeUnavailable, "(Недоступно)"},
    {msg::NoIndexForPicker,
     "Индексы для банка не построены! В списке будут отображены только введенные слова.\nДля "
     "того, чтобы построить индексы, в главном окне программы выберите из меню команду "
     "Сервис->Просмотр индексоы и утвердительно ответьте на вопрос о построении индексов."},
    {msg::NoIndexCaption, "Индексы не построены"},
    {msg::PickerSummary, "Выбрано %d слов из %d:\n%s"},
};

// Fills "%s", "%d" and "%08x" in order with `args`, literally. A placeholder without an
// argument left stays as it is; any other '%' is kept.
template <class View> std::string Fill(std::string_view format, std::initializer_list<View> args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        std::size_t length = 0;
        if (format[i] == '%' && next != args.end()) {
            const std::string_view rest = format.substr(i);
            if (rest.substr(0, 2) == "%s" || rest.substr(0, 2) == "%d")
                length = 2;
            else if (rest.substr(0, 4) == "%08x")
                length = 4;
        }
        if (length == 0) {
            out.push_back(format[i]);
            continue;
        }
        out.append(*next++);
        i += length - 1;
    }
    return out;
}

std::string Hex(HResult code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", code);
    return buf;
}

std::string Decimal(HResult code) {
    return std::to_string(static_cast<std::int32_t>(code));
}

// Russian descriptions of the statuses a user can meet.
const char* StatusDescription(HResult code) {
    switch (code) {
    case hr::FileNotFound:
        return "файл не найден";
    case hr::PathNotFound:
        return "папка не найдена";
    case hr::AccessDenied:
        return "нет доступа к файлу";
    case hr::ShareViolation:
    case hr::LockViolation:
        return "файл занят другой программой";
    case hr::MediumFull:
        return "нет места на диске";
    case hr::WriteFault:
        return "ошибка записи на диск";
    case hr::ReadFault:
        return "ошибка чтения с диска";
    case hr::InsufficientMemory:
        return "недостаточно памяти";
    case hr::TooManyOpenFiles:
        return "открыто слишком много файлов";
    case hr::InvalidHeader:
    case hr::DocFileCorrupt:
        return "файл поврежден или не является составным файлом";
    case hr::FileAlreadyExists:
        return "файл не является составным файлом";
    case hr::InvalidName:
        return "недопустимое имя";
    default:
        return nullptr;
    }
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

std::string MessageText(int id, std::initializer_list<std::string_view> args) {
    return Fill(StringText(id), args);
}

AnsiString AnsiMessageText(int id, std::initializer_list<AnsiView> args) {
    return Fill(AnsiView(AnsiStringText(id)), args);
}

Error MessageError(HResult code, int id, std::initializer_list<std::string_view> args) {
    return Error{code, MessageText(id, args), id};
}

Error StatusError(int id, std::string_view path, HResult code) {
    return MessageError(code, id, {path, Hex(code), Decimal(code)});
}

Error ErrorWithReason(int id, const Error& cause) {
    if (cause.messageId != 0)
        return cause; // already a text of the table, which says what went wrong
    return MessageError(cause.code, id, {ReasonText(cause)});
}

std::string ReasonText(const Error& error) {
    // An error of the table is its own reason.
    if (error.messageId != 0)
        return error.message;
    std::string reason;
    if (const char* description = StatusDescription(error.code))
        reason = description;
    else
        reason = MessageText(msg::StatusCode, {Hex(error.code), Decimal(error.code)});
    if (!error.message.empty())
        reason += " (" + error.message + ")";
    return reason;
}

std::string ErrorText(const Error& error) {
    if (error.messageId != 0)
        return error.message;
    return MessageText(msg::OperationFailed, {ReasonText(error)});
}

} // namespace kelvo
