// host/EntryWin.cpp: the program's entry on Windows. The arguments arrive as
// UTF-16 and go on as UTF-8, and the console takes UTF-8, so that names in
// messages keep their characters.
#include "HostPlatform.h"
#include "TextConvert.h"

int wmain(int argc, wchar_t** argv)
{
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Narrow(argv[i]));
    return HostMain(args);
}
