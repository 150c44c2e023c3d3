// tests/tools/dialog_fixture.h: runs the dialog tests' templates with a user
// working a script beside them, and the folders of the tests' modules.
#pragma once

#include "DialogUser.h"
#include "dialog/ItemDialog.h"
#include "dialog_test_ids.h"

#include <gtest/gtest.h>

// The dialog's result; the user's problems fail the test.
inline int RunDialog(ItemDialog& dialog, DialogUser::Script script, int nTemplate = IDD_ITEMS)
{
    DialogUser user(std::move(script));
    int nResult = dialog.DoModal(nullptr, GetModuleHandleW(nullptr), nTemplate);
    for (const std::string& problem : user.Finish())
        ADD_FAILURE() << problem;
    return nResult;
}

// The program's folder, with its backslash; the build puts the tests'
// modules into dialog_modules below it.
inline std::wstring ProgramFolder()
{
    WCHAR sz[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, sz, MAX_PATH);
    return std::wstring(sz, wcsrchr(sz, L'\\') + 1);
}

inline std::wstring ModuleFolder()
{
    return ProgramFolder() + L"dialog_modules\\";
}

inline std::string Narrow(const std::wstring& s)
{
    return std::string(s.begin(), s.end());
}
