// tests/tools/fields.h: an object's state as named fields, so that a table row can
// say only which fields a case changes and a failure shows which differ.
#pragma once

#include <map>
#include <sstream>
#include <string>

using Fields = std::map<std::string, std::string>;

// fields with the changes "name=value,name=value" made.
inline Fields Changed(Fields fields, const std::string& changes)
{
    std::istringstream in(changes);
    for (std::string change; std::getline(in, change, ',');)
        fields[change.substr(0, change.find('='))] = change.substr(change.find('=') + 1);
    return fields;
}
