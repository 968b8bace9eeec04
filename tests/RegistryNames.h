// Reading back what registration wrote: the names under a registry key, sorted.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tavrel::test {

enum class RegistryNameKind { Subkeys, Values };

// Subkey names, or value names (the default value as ""), of root\path; empty when
// the key is missing.
inline std::vector<std::wstring> RegistryNames(HKEY root, const std::wstring& path, RegistryNameKind kind) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        LSTATUS status = kind == RegistryNameKind::Subkeys
                             ? RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                             : RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tavrel::test
