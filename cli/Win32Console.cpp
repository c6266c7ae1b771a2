#include "cli/Console.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <streambuf>
#include <string>
#include <windows.h>

namespace kronax::cli {
namespace {

// Collects UTF-8 text and writes it to a console as UTF-16 at every flush. The program flushes
// after whole texts, so no character is cut in two.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        pending_ += traits_type::to_char_type(c);
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return count;
    }

    int sync() override {
        if (pending_.empty())
            return 0;
        const int size = static_cast<int>(pending_.size());
        std::wstring wide(static_cast<std::size_t>(size), L'\0');
        const int length =
            MultiByteToWideChar(CP_UTF8, 0, pending_.data(), size, wide.data(), size);
        pending_.clear();
        DWORD written = 0;
        return length > 0 && WriteConsoleW(console_, wide.data(), static_cast<DWORD>(length),
                                           &written, nullptr)
                   ? 0
                   : -1;
    }

private:
    HANDLE console_;
    std::string pending_;
};

// Gives stream a console buffer when its standard handle is a console.
void WriteToConsole(std::ostream& stream, DWORD handleId) {
    const HANDLE handle = GetStdHandle(handleId);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return;
    stream.flush();
    // Never freed: the stream flushes into it until the very end of the program.
    stream.rdbuf(new ConsoleBuffer(handle));
}

} // namespace

void PrepareConsoleOutput() {
    WriteToConsole(std::cout, STD_OUTPUT_HANDLE);
    WriteToConsole(std::cerr, STD_ERROR_HANDLE);
}

void UseStandardInputForFileBytes() {
    _setmode(_fileno(stdin), _O_BINARY);
}

// A console takes the text through its own buffer, which changes no byte.
void UseStandardOutputForFileBytes() {
    std::cout.flush();
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace kronax::cli
