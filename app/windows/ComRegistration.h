#pragma once

// The registry entries that let automation clients start the program through the component
// object model, all under HKLM\Software\Classes (Wine does not show per-user classes through
// HKEY_CLASSES_ROOT, and the installer registers per machine):
//   CLSID\{class id}                  LocalServer32 = the program, quoted; ProgID; TypeLib
//   <programmatic id>                 CLSID = {class id}
//   Interface\{automation interface}  ProxyStubClsid32 = the dispatch marshaler; TypeLib
//   TypeLib\{library id}\1.0          0\win64 = the program, whose resource holds the library
// Removing them deletes those four keys with everything below them.
//   std::string error;
//   if (!app::com::WriteRegistration(app::com::ServerEntries(classId, progId, exePath), error))
//       ...;   // error says why, e.g. "Access denied."

#include <windows.h>

#include <string>
#include <vector>

namespace app::com {

// {6A1E0D40-9C37-4B58-A2F1-3D84C95E7B20}, version 1.0.
inline constexpr char kTypeLibraryId[] = "{6A1E0D40-9C37-4B58-A2F1-3D84C95E7B20}";
// The marshaler of dispatch interfaces, which reads the interface from its type library.
inline constexpr char kDispatchMarshaler[] = "{00020420-0000-0000-C000-000000000046}";
// Where the entries go.
inline constexpr char kClassesKey[] = "Software\\Classes";

struct RegistryValue {
    std::string key;   // below HKLM\Software\Classes
    std::string name;  // empty for the key's default value
    std::wstring data;
};

struct ServerEntries {
    // The values to write, parents before children.
    std::vector<RegistryValue> values;
    // The keys that removal deletes with everything below them.
    std::vector<std::string> roots;
};

// The entries of the server at serverPath for the class and programmatic id; the automation
// interface and the type library are the program's own.
ServerEntries MakeServerEntries(const std::string& classId, const std::string& progId,
                                const std::wstring& serverPath);

// Writes every value; stops at the first failure. lastError: the Windows error code.
bool WriteRegistration(const ServerEntries& entries, std::string& error, LONG* lastError = nullptr);
// Deletes the roots; a root that is not there counts as removed.
bool RemoveRegistration(const ServerEntries& entries, std::string& error);

// The program's own path, as GetModuleFileNameW gives it.
std::wstring OwnPath();

}  // namespace app::com
