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

/// What a file function gives back: its value, or the FileError that stopped it.
template<typename T = std::monostate> class [[nodiscard]] FileResult
{
public:
    /// Success, with a default value.
    FileResult() = default;
    FileResult(T value) : m_value(std::move(value)) { }
    FileResult(FileError error) : m_error(std::move(error)) { }

    bool ok() const { return !m_error; }
    const T &value() const { return m_value; }
    /// Only when !ok().
    const FileError &error() const { return *m_error; }

private:
    T m_value {};
    std::optional<FileError> m_error;
};

} // namespace platform
