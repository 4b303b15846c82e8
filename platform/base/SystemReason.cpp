// Russian texts for errno values.
#include "platform/base/SystemReason.h"

#include <cerrno>
#include <cstring>

namespace kelvo {

std::string SystemReason(int errnum) {
    switch (errnum) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
    case EPERM:
        return "нет прав доступа";
    case ENOSPC:
        return "нет места на диске";
    case EDQUOT:
        return "превышена дисковая квота";
    case EROFS:
        return "файловая система доступна только для чтения";
    case EIO:
        return "ошибка ввода-вывода";
    case EISDIR:
        return "это папка, а не файл";
    case ENOTDIR:
        return "часть пути не является папкой";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case ENAMETOOLONG:
        return "слишком длинное имя файла";
    case EEXIST:
        return "файл уже существует";
    case EBUSY:
    case EWOULDBLOCK:
        return "файл занят другой программой";
    case EFBIG:
        return "файл слишком велик";
    case ENOMEM:
        return "недостаточно памяти";
    case ELOOP:
        return "слишком много символических ссылок";
    default:
        return std::string(std::strerror(errnum)) + " (errno " + std::to_string(errnum) + ")";
    }
}

} // namespace kelvo
