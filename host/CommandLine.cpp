// host/CommandLine.cpp: parsing the arguments. Options take their value as
// the next argument or after "="; "--" ends the options.
#include "CommandLine.h"

namespace
{

enum class Kind { kFlag, kValue };

struct KnownOption {
    const char* pszName;
    Kind kind;
};

const KnownOption kOptions[] = {
    {"--plugin", Kind::kValue},
    {"--options", Kind::kValue},
    {"--options-file", Kind::kValue},
    {"--table", Kind::kValue},
    {"--record-path-column", Kind::kValue},
    {"--registry-key", Kind::kValue},
    {"--quiet", Kind::kFlag},
    {"--info", Kind::kFlag},
    {"--configure", Kind::kFlag},
    {"--map", Kind::kFlag},
    {"--output", Kind::kValue},
    {"--strict", Kind::kFlag},
    {"--explain", Kind::kFlag},
};

const KnownOption* FindOption(const std::string& name)
{
    for (const KnownOption& option : kOptions)
        if (name == option.pszName)
            return &option;
    return nullptr;
}

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

// Options given at most once.
bool SetOnce(std::optional<std::string>& slot, const std::string& name, const std::string& value,
             std::string* pError)
{
    if (slot) {
        *pError = name + " is given twice";
        return false;
    }
    slot = value;
    return true;
}

bool Apply(const std::string& name, const std::string& value, CommandLine* pLine, std::string* pError)
{
    if (name == "--quiet") {
        pLine->bQuiet = true;
    } else if (name == "--info" || name == "--configure") {
        CommandLine::Mode mode = name == "--info" ? CommandLine::kInfo : CommandLine::kConfigure;
        if (pLine->mode != CommandLine::kExport && pLine->mode != mode) {
            *pError = "--info and --configure cannot both be given";
            return false;
        }
        pLine->mode = mode;
    } else if (name == "--map") {
        pLine->bMap = true;
    } else if (name == "--strict" || name == "--explain") {
        (name == "--strict" ? pLine->bStrict : pLine->bExplain) = true;
    } else if (name == "--output" && value.empty()) {
        *pError = "--output needs a path";
        return false;
    } else if (name == "--table") {
        if (value.empty()) {
            *pError = "--table needs a table name";
            return false;
        }
        pLine->tables.push_back(value);
    } else if (name == "--plugin") {
        if (value.empty() || !pLine->plugin.empty()) {
            *pError = value.empty() ? "--plugin needs a path" : "--plugin is given twice";
            return false;
        }
        pLine->plugin = value;
    } else if (name == "--record-path-column" && value.empty()) {
        *pError = "--record-path-column needs a column name";
        return false;
    } else {
        std::optional<std::string>& slot = name == "--options"              ? pLine->options
                                           : name == "--options-file"       ? pLine->optionsFile
                                           : name == "--record-path-column" ? pLine->recordPathColumn
                                           : name == "--output"             ? pLine->output
                                                                            : pLine->registryKey;
        return SetOnce(slot, name, value, pError);
    }
    return true;
}

bool CheckInfo(const CommandLine& line, std::string* pError)
{
    bool bExportArgs = line.options || line.optionsFile || !line.tables.empty() || line.recordPathColumn ||
                       line.registryKey || line.bMap || line.output || line.bStrict || line.bExplain ||
                       !line.database.empty();
    if (bExportArgs)
        *pError = "--info takes no database and no export options, only --plugin";
    return !bExportArgs;
}

// The settings dialog edits an options string: the one given, or the
// stored one, or under a map request the stored one for a map export.
bool CheckConfigure(const CommandLine& line, std::string* pError)
{
    if (!line.tables.empty() || line.recordPathColumn || line.bQuiet || line.output || line.bStrict ||
        line.bExplain || !line.database.empty())
        *pError = "--configure takes no database and no export options, only --plugin, --options or "
                  "--options-file, --map and --registry-key";
    else if (line.options && line.optionsFile)
        *pError = "--options and --options-file cannot both be given";
    else if (line.bMap && (line.options || line.optionsFile))
        *pError =
            "--map asks for the stored options of a map export: it takes no --options or --options-file";
    else
        return true;
    return false;
}

bool CheckExport(const CommandLine& line, std::string* pError)
{
    if (line.bMap)
        *pError = "--map is for --configure only";
    else if (line.options && line.optionsFile)
        *pError = "--options and --options-file cannot both be given";
    else if (!line.options && !line.optionsFile)
        *pError = "an options string is needed: give --options or --options-file";
    else if (line.database.empty())
        *pError = "no database given";
    else
        return true;
    return false;
}

} // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* pLine, std::string* pError)
{
    *pLine = CommandLine();
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (IsHelp(arg)) {
            pLine->mode = CommandLine::kHelp;
            return true;
        }
    }
    bool bOptionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (bOptionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (!pLine->database.empty()) {
                *pError = "unexpected argument " + arg + ": one database is exported at a time";
                return false;
            }
            pLine->database = arg;
            continue;
        }
        if (arg == "--") {
            bOptionsEnded = true;
            continue;
        }
        size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        if (name == "-o")
            name = "--output";
        const KnownOption* pOption = FindOption(name);
        if (!pOption) {
            *pError = "unknown option " + name;
            return false;
        }
        std::string value;
        if (pOption->kind == Kind::kFlag && equals != std::string::npos) {
            *pError = name + " takes no value";
            return false;
        }
        if (pOption->kind == Kind::kValue) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                *pError = name + " needs a value";
                return false;
            }
        }
        if (!Apply(name, value, pLine, pError))
            return false;
    }
    switch (pLine->mode) {
    case CommandLine::kInfo:
        return CheckInfo(*pLine, pError);
    case CommandLine::kConfigure:
        return CheckConfigure(*pLine, pError);
    default:
        return CheckExport(*pLine, pError);
    }
}
