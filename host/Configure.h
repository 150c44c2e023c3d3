// host/Configure.h: `ferlo-export --configure`, the filter's settings dialog
// opened as the database application opens it.
#pragma once

#include "PluginLoader.h"
#include "TextConvert.h"

#include <optional>

struct ConfigureJob {
    // The options the dialog starts from; none: a null text, so that the
    // filter shows its stored options.
    std::optional<WString> options;
    bool bMap = false; // the map request: the text "MAP" instead of options
    std::optional<WString> registryKey;
};

// Creates a filter, calls its Configure (slot 3) and destroys it. A
// confirmed dialog's options string goes to stdout as one UTF-8 line, exit
// 0; anything else says "cancelled" on stderr, exit 1.
int RunConfigure(const Plugin& plugin, const ConfigureJob& job);
