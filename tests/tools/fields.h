// tests/fields.h: an object's state as named fields, so that a table row can
// say only which fields a case changes and a failure shows which differ.
#pragma once

#include <map>
#include <string>

using Fields = std::map<std::string, std::string>;

// fields with the changes "name=value,name=value" made; a value runs from
// the first "=" after its name to the next ",".
inline Fields Changed(Fields fields, const std::string& changes)
{
    for (size_t nStart = 0; nStart < changes.size();) {
        size_t nEnd = changes.find(',', nStart);
        if (nEnd == std::string::npos)
            nEnd = changes.size();
        size_t nEquals = changes.find('=', nStart);
        fields[changes.substr(nStart, nEquals - nStart)] = changes.substr(nEquals + 1, nEnd - nEquals - 1);
        nStart = nEnd + 1;
    }
    return fields;
}
