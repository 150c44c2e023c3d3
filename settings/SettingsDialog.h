// settings/SettingsDialog.h: the settings dialog behind the filter's
// Configure: the stored or given options shown for editing, checked, and on
// OK built into a new options string that is stored and returned.
#pragma once

#include "../mfc/Afx.h"

// Runs the dialog for a filter whose registry key is pszRegistryKey (null
// for the plug-in's own key). pszOptions may be null, empty, or "MAP" for a
// map export. Returns 1 after a confirmed dialog, with the new options
// string in result and in the registry; 0 otherwise, with result a copy of
// pszOptions (empty for null and "MAP") and the registry not written.
int ConfigureSettings(const WCHAR* pszRegistryKey, const WCHAR* pszOptions, CString& result);
