// host/FailureCause.h: why the filter's operation failed, in words that
// name the file or folder and the system's reason. The filter says only
// its status; the host knows the options and the tables, so it works out
// which file the filter was at and asks the system about it.
#pragma once

#include "OptionsCheck.h"

#include <string>
#include <vector>

// The meaning of a failed status of ParseOptions, BeginTable or Commit in
// this export, nTable being the index of the table the operation was at
// (for Commit, the count of tables); empty where the host cannot tell more
// than the status says.
std::string ExplainFailure(const FilterSettings& settings, const std::vector<std::string>& tables,
                           const char* pszOperation, size_t nTable);
