// Result<T>: a value or an Error. The one error convention of every layer; no exceptions
// cross a layer.
#pragma once

#include "platform/base/Status.h"

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace kelvo {

/// A failure: its status and what to say of it, always in UTF-8. Errors made above the
/// platform layer carry the id of their text in the program's message table (core/Messages)
/// and `message` is that text, filled in. Errors of the platform layer carry no id: `message`
/// is then the system's reason (see SystemReason), which the core puts into one of its
/// messages before a user sees it.
struct Error {
    HResult code = hr::Fail;
    std::string message;
    int messageId = 0; ///< 0: `message` is a system reason, not a text of the table
};

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(Error error) : m_data(std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(m_data);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(m_data);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_data));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_data);
    }
    HResult code() const { return ok() ? hr::Ok : error().code; }

private:
    std::variant<T, Error> m_data;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_ok(false) {}

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const Error& error() const {
        assert(!m_ok);
        return m_error;
    }
    HResult code() const { return m_ok ? hr::Ok : m_error.code; }

private:
    Error m_error;
    bool m_ok = true;
};

inline Error MakeError(HResult code, std::string message = {}) {
    return Error{code, std::move(message)};
}

} // namespace kelvo
