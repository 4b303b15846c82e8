// The list of kvb commands, in the order the help shows them.
#include "cli/Commands.h"

namespace kelvo::cli {

const std::vector<CommandEntry>& AllCommands() {
    static const std::vector<CommandEntry> commands = {
        {"new", "Создать пустой банк данных", MakeNewCommand},
        {"info", "Сведения о банке: ревизия, свойства, количества", MakeInfoCommand},
        {"tree", "Дерево записей или папок паролей", MakeTreeCommand},
        {"show", "Одна запись с текстом", MakeShowCommand},
        {"passwords", "Пароли в порядке списка", MakePasswordsCommand},
        {"add-record", "Добавить запись", MakeAddRecordCommand},
        {"add-folder", "Добавить папку паролей", MakeAddFolderCommand},
        {"add-password", "Добавить пароль", MakeAddPasswordCommand},
        {"edit", "Изменить запись или папку", MakeEditCommand},
        {"edit-password", "Изменить или переместить пароль", MakeEditPasswordCommand},
        {"rm", "Удалить запись с подзаписями и текстами или папку паролей", MakeRmCommand},
        {"rm-password", "Удалить пароль", MakeRmPasswordCommand},
        {"mv", "Переместить запись или папку", MakeMvCommand},
        {"import", "Импорт записей из другого банка", MakeImportCommand},
        {"cleanup", "Очистка банка", MakeCleanupCommand},
        {"set-summary", "Изменить свойства банка", MakeSetSummaryCommand},
        {"set-property", "Добавить свойство пользователя", MakeSetPropertyCommand},
        {"rm-property", "Удалить свойство пользователя", MakeRmPropertyCommand},
        {"index", "Индекс ключевых слов (--rebuild: перестроить)", MakeIndexCommand},
        {"query", "Объекты, у которых есть все ключевые слова", MakeQueryCommand},
        {"search", "Поиск в банке данных", MakeSearchCommand},
        {"protect", "Защитить банк данных паролем", MakeProtectCommand},
        {"unprotect", "Снять защиту банка данных", MakeUnprotectCommand},
        {"passwd", "Сменить пароль защищенного банка данных", MakePasswdCommand},
        {"pwgen", "Генератор паролей", MakePwgenCommand},
#ifdef KVB_PRINT
        {"print", "Напечатать запись или структуру банка в файл PDF", MakePrintCommand},
#endif
    };
    return commands;
}

} // namespace kelvo::cli
