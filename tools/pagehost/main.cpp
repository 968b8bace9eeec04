// pagehost.exe: the page host's command line (PageHost.h says what it does).
#include "PageHost.h"

#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main() {
    // Wide arguments from the command line (main's are in the ANSI code page).
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) {
        std::fprintf(stderr, "pagehost: cannot read the command line\n");
        return tavrel::pagehost::kExitBadInput;
    }
    std::vector<std::wstring> arguments(words + (count > 0 ? 1 : 0), words + count);
    LocalFree(words);

    // The report is UTF-8 with plain line ends, also when it goes to a pipe.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return tavrel::pagehost::RunPageHost(arguments, std::cout, std::cerr);
}
