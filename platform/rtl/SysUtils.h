#pragma once
// The error types of the program and a few run-time helpers around them.
// Every error the program raises derives from rtl::Exception; code that
// handles "any of our errors" catches that class and nothing else.

#include <windows.h>

#include <exception>
#include <string>

namespace rtl {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    // UTF-8 copy for std::exception users (test frameworks, debuggers).
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::wstring message_;
    std::string narrow_;
};

// File and folder operations that failed.
class EInOutError : public Exception {
public:
    EInOutError(std::wstring message, DWORD errorCode = 0)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    DWORD ErrorCode;
};

// A Windows call that failed where the program cannot go on.
class EOSError : public Exception {
public:
    EOSError(std::wstring message, DWORD errorCode)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    DWORD ErrorCode;
};

// Anything the database components report.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// The system's own text for a Win32 error code, without the line break that
// FormatMessageW puts at its end. Unknown codes get a text that names them.
std::wstring SysErrorMessage(DWORD errorCode);

// EOSError for the calling thread's last error, prefixed with what failed.
[[noreturn]] void RaiseLastOSError(const std::wstring& what);
[[noreturn]] void RaiseOSError(const std::wstring& what, DWORD errorCode);

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

}  // namespace rtl
