#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace platform {

/// The learner's text for a failed open or read, from the system's error number.
QString fileErrorText(int errorNumber);

/// The text for a lesson file whose length is odd.
QString readPastEndText();

/// Why a file could not be read or written: the system's error number (0 where the system
/// reported none, as for a lesson of odd length) and the learner's text.
struct FileError
{
    int code = 0;
    QString message;

    /// The error of a failed system call, with the learner's text for it.
    static FileError fromErrno(int code) { return {code, fileErrorText(code)}; }
};

/// Ends the program with what was misused: reading the value of a failed result, or the error of a
/// successful one, is a fault in the caller, which must test ok() first. Kept in every build type
/// (an assertion would vanish from Release builds and hand back a default value).
[[noreturn]] void misusedResult(const char *what);

/// What a file function gives back: its value, or the FileError that stopped it.
template<typename T = std::monostate> class [[nodiscard]] FileResult
{
public:
    /// Success, with a default value.
    FileResult() = default;
    FileResult(T value) : m_value(std::move(value)) { }
    FileResult(FileError error) : m_error(std::move(error)) { }

    bool ok() const { return !m_error; }
    /// Only when ok().
    const T &value() const
    {
        if (m_error)
            misusedResult("the value of a failed file result");
        return m_value;
    }
    /// Only when !ok().
    const FileError &error() const
    {
        if (!m_error)
            misusedResult("the error of a successful file result");
        return *m_error;
    }

private:
    T m_value {};
    std::optional<FileError> m_error;
};

} // namespace platform
