#include "FileHolders.h"

#include <windows.h>
#include <restartmanager.h>

#include <vector>

namespace platform
{
juce::StringArray programsHolding (const juce::Array<juce::File>& files)
{
    juce::StringArray names;

    if (files.isEmpty())
        return names;

    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};

    if (RmStartSession (&session, 0, key) != ERROR_SUCCESS)
        return names;

    std::vector<std::wstring> paths;
    for (const auto& f : files)
        paths.push_back (f.getFullPathName().toWideCharPointer());

    std::vector<LPCWSTR> pointers;
    for (const auto& p : paths)
        pointers.push_back (p.c_str());

    if (RmRegisterResources (session, (UINT) pointers.size(), pointers.data(), 0, nullptr, 0, nullptr) == ERROR_SUCCESS)
    {
        UINT needed = 0, count = 0;
        DWORD reasons = 0;
        std::vector<RM_PROCESS_INFO> info;

        // The list can grow between the two calls.
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            count = (UINT) info.size();
            const auto result = RmGetList (session, &needed, &count, info.empty() ? nullptr : info.data(), &reasons);

            if (result == ERROR_MORE_DATA)
            {
                info.resize (needed);
                continue;
            }

            if (result == ERROR_SUCCESS)
                for (UINT i = 0; i < count; ++i)
                    names.addIfNotAlreadyThere (juce::String (info[i].strAppName));

            break;
        }
    }

    RmEndSession (session);
    names.removeEmptyStrings();
    return names;
}
} // namespace platform
