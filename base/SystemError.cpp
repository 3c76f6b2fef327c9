// SPDX-License-Identifier: MIT
#include "base/SystemError.h"

#include <cerrno>

namespace brelmont {

std::string SystemErrorText(int error) {
    switch (error) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
    case EPERM:
        return "нет прав доступа";
    case EISDIR:
        return "это папка, а не файл";
    case ENOTDIR:
        return "часть пути не является папкой";
    case ENOSPC:
        return "на устройстве нет места";
    case EDQUOT:
        return "превышена дисковая квота";
    case EFBIG:
        return "файл слишком велик";
    case EROFS:
        return "файловая система только для чтения";
    case EIO:
        return "ошибка ввода-вывода";
    case ENOMEM:
        return "не хватает памяти";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case ENAMETOOLONG:
        return "слишком длинное имя файла";
    case ELOOP:
        return "слишком много символических ссылок в пути";
    case EPIPE:
        return "получатель вывода закрыл канал";
    case EBADF:
        return "поток закрыт";
    case EINVAL:
        return "недопустимая операция для этого файла";
    case ENXIO:
    case ENODEV:
        return "нет такого устройства";
    case EAGAIN:
        return "ресурс временно недоступен";
    default:
        return "системная ошибка " + std::to_string(error);
    }
}

} // namespace brelmont
