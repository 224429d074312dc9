#include "app/windows/ComRegistration.h"

#include "app/AutomationNames.h"

namespace app::com {
namespace {

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string ErrorText(LONG code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? std::string(buffer, length) : "error " + std::to_string(code);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::string Below(const std::string& key) {
    return std::string(kClassesKey) + "\\" + key;
}

}  // namespace

ServerEntries MakeServerEntries(const std::string& classId, const std::string& progId,
                                const std::wstring& serverPath) {
    const std::string clsidKey = "CLSID\\" + classId;
    const std::string interfaceKey = "Interface\\" + std::string(kInterfaceId);
    const std::string libraryKey = "TypeLib\\" + std::string(kTypeLibraryId) + "\\1.0";
    const std::wstring title = L"Veltrix Instrument Settings";
    const std::wstring folder = serverPath.substr(0, serverPath.find_last_of(L"\\/") + 1);
    ServerEntries entries;
    entries.values = {
        {clsidKey, "", title},
        // Quoted, so that a path with spaces starts the program and not its first word.
        {clsidKey + "\\LocalServer32", "", L"\"" + serverPath + L"\""},
        {clsidKey + "\\ProgID", "", Wide(progId)},
        {clsidKey + "\\TypeLib", "", Wide(kTypeLibraryId)},
        {progId, "", title},
        {progId + "\\CLSID", "", Wide(classId)},
        {interfaceKey, "", L"IVeltrixInstrumentSettings"},
        {interfaceKey + "\\ProxyStubClsid32", "", Wide(kDispatchMarshaler)},
        {interfaceKey + "\\TypeLib", "", Wide(kTypeLibraryId)},
        {interfaceKey + "\\TypeLib", "Version", L"1.0"},
        {libraryKey, "", title},
        {libraryKey + "\\0\\win64", "", serverPath},
        {libraryKey + "\\FLAGS", "", L"0"},
        {libraryKey + "\\HELPDIR", "", folder},
    };
    entries.roots = {clsidKey, progId, interfaceKey, "TypeLib\\" + std::string(kTypeLibraryId)};
    return entries;
}

bool WriteRegistration(const ServerEntries& entries, std::string& error, LONG* lastError) {
    for (const RegistryValue& value : entries.values) {
        HKEY key = nullptr;
        LONG result =
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, Below(value.key).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
        if (result == ERROR_SUCCESS) {
            const auto bytes = static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t));
            result =
                RegSetValueExW(key, value.name.empty() ? nullptr : Wide(value.name).c_str(), 0,
                               REG_SZ, reinterpret_cast<const BYTE*>(value.data.c_str()), bytes);
            RegCloseKey(key);
        }
        if (result != ERROR_SUCCESS) {
            error = "HKLM\\" + Below(value.key) + ": " + ErrorText(result);
            if (lastError != nullptr) *lastError = result;
            return false;
        }
    }
    return true;
}

bool RemoveRegistration(const ServerEntries& entries, std::string& error) {
    bool ok = true;
    for (const std::string& root : entries.roots) {
        const LONG result = RegDeleteTreeA(HKEY_LOCAL_MACHINE, Below(root).c_str());
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, Below(root).c_str());
            continue;
        }
        error = "HKLM\\" + Below(root) + ": " + ErrorText(result);
        ok = false;
    }
    return ok;
}

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"";
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

}  // namespace app::com
