// host/CommandLine.h: the arguments of ferlo-export and its help text.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CommandLine {
    enum Mode { kExport, kInfo, kHelp, kConfigure };

    Mode mode = kExport;
    std::string plugin; // empty: the plug-in beside the program
    std::optional<std::string> options;
    std::optional<std::string> optionsFile;
    std::vector<std::string> tables; // empty: every user table
    std::optional<std::string> recordPathColumn;
    std::optional<std::string> registryKey;
    bool bQuiet = false;
    bool bMap = false;                 // --configure for a map export
    std::optional<std::string> output; // the output file, in the system's form
    bool bStrict = false;              // warnings stop the export
    bool bExplain = false;             // print the settings and stop
    std::string database;
};

// Parses the arguments that follow the program's name. False, with a
// one-line message, when they do not make a valid command.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* pLine, std::string* pError);

extern const char kHelpText[];
