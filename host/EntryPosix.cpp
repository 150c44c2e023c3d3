// host/EntryPosix.cpp: the program's entry on Linux, where the arguments
// arrive as bytes, taken to be UTF-8.
#include "HostPlatform.h"

int main(int argc, char** argv)
{
    return HostMain(std::vector<std::string>(argv + 1, argv + argc));
}
