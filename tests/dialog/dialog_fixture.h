// tests/dialog/dialog_fixture.h: runs the tests' dialogs with a user working
// a script beside them.
#pragma once

#include "DialogUser.h"
#include "dialog/ItemDialog.h"
#include "dialog_test_ids.h"

#include <gtest/gtest.h>

#include <string>

// The dialog's result; the user's problems fail the test.
inline int RunDialog(ItemDialog& dialog, DialogUser::Script script, int nTemplate = IDD_ITEMS)
{
    DialogUser user(std::move(script));
    int nResult = dialog.DoModal(nullptr, GetModuleHandleW(nullptr), nTemplate);
    for (const std::string& problem : user.Finish())
        ADD_FAILURE() << problem;
    return nResult;
}

// The folder of this program, with its backslash.
inline std::wstring ProgramFolder()
{
    WCHAR sz[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, sz, MAX_PATH);
    std::wstring path = sz;
    return path.substr(0, path.rfind(L'\\') + 1);
}

// Where the build puts the tests' modules: the help control's stand-in and
// the host's dialog.dll and idx.zrx.
inline std::wstring ModuleFolder()
{
    return ProgramFolder() + L"dialog_modules\\";
}

inline std::string Narrow(const std::wstring& s)
{
    return std::string(s.begin(), s.end());
}
