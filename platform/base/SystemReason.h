// The reason the system gives for a failed call (an errno value), in Russian, for the
// message of an Error of the platform layer.
#pragma once

#include <string>

namespace kelvo {

/// "нет места на диске", "нет прав доступа", ... for the errno values a user can meet; the
/// C library's text with the number for the others.
std::string SystemReason(int errnum);

} // namespace kelvo
