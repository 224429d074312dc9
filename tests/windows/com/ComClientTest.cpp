// An automation client of its own, not linked with the server: it creates the object through
// the component object model, by programmatic id and by class id, and watches the server's
// process and its window from outside. VELTRIX_COM_SERVER names the server program (Windows
// path); the server is registered with /RegServer before the tests, unless
// VELTRIX_COM_NO_REGISTER says that it is registered already.
// Bounds on real time are generous: Wine starts a process in well under a second on an idle
// machine, and the tests wait up to 20 s for what is expected within 3.

#include <gtest/gtest.h>
#include <oaidl.h>
#include <objbase.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kProgId[] = L"VeltrixInstrumentSettings.Application";
constexpr wchar_t kClassId[] = L"{6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}";
constexpr wchar_t kInterfaceId[] = L"{6A1E0D44-9C37-4B58-A2F1-3D84C95E7B20}";
constexpr wchar_t kTitle[] = L"Veltrix Instrument Settings V 1.05  -  Step 1 of 5";
// The keys that registration writes, below HKLM\Software\Classes.
const wchar_t* const kKeys[] = {
    L"Software\\Classes\\CLSID\\{6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}",
    L"Software\\Classes\\VeltrixInstrumentSettings.Application",
    L"Software\\Classes\\Interface\\{6A1E0D44-9C37-4B58-A2F1-3D84C95E7B20}",
    L"Software\\Classes\\TypeLib\\{6A1E0D40-9C37-4B58-A2F1-3D84C95E7B20}",
};
constexpr auto kPatience = std::chrono::seconds(20);
// Set by the client that is to die once it holds the object.
constexpr wchar_t kHeldEvent[] = L"VeltrixComTestObjectHeld";

std::wstring Server() {
    const char* path = std::getenv("VELTRIX_COM_SERVER");
    std::wstring text;
    for (const char* c = path; c != nullptr && *c != '\0'; ++c)
        text += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    return text;
}

CLSID ClassId() {
    CLSID id{};
    CLSIDFromString(kClassId, &id);
    return id;
}

IID AutomationInterface() {
    IID id{};
    IIDFromString(kInterfaceId, &id);
    return id;
}

// Runs a program to its end; its exit code, or -1 when it would not start.
int RunToEnd(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    WaitForSingleObject(process.hThread, 0);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

HANDLE Start(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// The wizard windows by title, visible or not, with their processes.
struct Wizard {
    HWND window;
    DWORD process;
};

std::vector<Wizard> Wizards() {
    std::vector<Wizard> found;
    EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            wchar_t title[128] = {};
            GetWindowTextW(window, title, 128);
            if (std::wstring(title) == kTitle) {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                reinterpret_cast<std::vector<Wizard>*>(list)->push_back({window, process});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

template <typename Condition>
bool WaitFor(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The visible wizard of a process other than those given; waits for it.
Wizard NewWizard(const std::vector<DWORD>& known = {}) {
    Wizard result{nullptr, 0};
    WaitFor([&] {
        for (const Wizard& w : Wizards()) {
            bool old = false;
            for (DWORD p : known)
                old = old || p == w.process;
            if (!old && IsWindowVisible(w.window)) {
                result = w;
                return true;
            }
        }
        return false;
    });
    return result;
}

bool KeyExists(const wchar_t* key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

std::wstring LocalServer() {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    const std::wstring key = std::wstring(kKeys[0]) + L"\\LocalServer32";
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return L"";
    }
    return value;
}

// A process handle that can be waited on; closed with the object.
class Process {
public:
    explicit Process(DWORD id)
        : m_handle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id)) {}
    ~Process() {
        if (m_handle != nullptr) CloseHandle(m_handle);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Running() const { return WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT; }
    bool Ends() const {
        return WaitForSingleObject(
                   m_handle, static_cast<DWORD>(std::chrono::milliseconds(kPatience).count())) ==
               WAIT_OBJECT_0;
    }
    void Kill() const { TerminateProcess(m_handle, 1); }

private:
    HANDLE m_handle;
};

class ComClient : public testing::Test {
protected:
    // VELTRIX_COM_NO_REGISTER: the server is registered already (by the installer).
    static void SetUpTestSuite() {
        if (std::getenv("VELTRIX_COM_NO_REGISTER") == nullptr) {
            ASSERT_EQ(RunToEnd(Quoted(Server()) + L" /RegServer"), 0);
        }
    }
    void SetUp() override {
        ASSERT_FALSE(Server().empty()) << "VELTRIX_COM_SERVER is not set";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { CoUninitialize(); }

    static IUnknown* Create(const CLSID& id) {
        IUnknown* object = nullptr;
        const HRESULT result = CoCreateInstance(id, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                                reinterpret_cast<void**>(&object));
        EXPECT_EQ(result, S_OK);
        return SUCCEEDED(result) ? object : nullptr;
    }
};

class ComClientById : public ComClient, public testing::WithParamInterface<bool> {};

TEST_P(ComClientById, TheObjectAnswersHidesTheClosedWizardAndEndsTheProgramOnRelease) {
    ASSERT_EQ(LocalServer(), Quoted(Server()));
    CLSID id = ClassId();
    if (GetParam()) ASSERT_EQ(CLSIDFromProgID(kProgId, &id), S_OK);
    const std::vector<Wizard> before = Wizards();
    std::vector<DWORD> known;
    for (const Wizard& w : before)
        known.push_back(w.process);

    IUnknown* object = Create(id);
    ASSERT_NE(object, nullptr);
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    IUnknown* automation = nullptr;
    ASSERT_EQ(object->QueryInterface(AutomationInterface(), reinterpret_cast<void**>(&automation)),
              S_OK);
    UINT count = 99;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    wchar_t name[] = L"Visible";
    LPOLESTR names[] = {name};
    DISPID member = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member),
              DISP_E_UNKNOWNNAME);
    DISPPARAMS none{};
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                               nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    const auto created = std::chrono::steady_clock::now();
    const Wizard wizard = NewWizard(known);
    ASSERT_NE(wizard.window, nullptr) << "no wizard window";
    const auto shown = std::chrono::steady_clock::now() - created;
    RecordProperty(
        "window_ms",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(shown).count()));
    Process server(wizard.process);

    // The user closes the wizard while the object is held: it hides, the program serves on.
    PostMessageW(wizard.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(wizard.window); }));
    EXPECT_TRUE(server.Running());
    IUnknown* again = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&again)), S_OK);
    if (again != nullptr) again->Release();

    automation->Release();
    dispatch->Release();
    object->Release();
    EXPECT_TRUE(server.Ends());
}

INSTANTIATE_TEST_SUITE_P(ByClassIdAndProgId, ComClientById, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ProgId" : "ClassId";
                         });

TEST_F(ComClient, EachClientGetsAProgramOfItsOwnThatItsReleaseEnds) {
    std::vector<DWORD> known;
    for (const Wizard& w : Wizards())
        known.push_back(w.process);
    IUnknown* first = Create(ClassId());
    ASSERT_NE(first, nullptr);
    const Wizard one = NewWizard(known);
    ASSERT_NE(one.window, nullptr);
    known.push_back(one.process);
    IUnknown* second = Create(ClassId());
    ASSERT_NE(second, nullptr);
    const Wizard two = NewWizard(known);
    ASSERT_NE(two.window, nullptr);
    EXPECT_NE(one.process, two.process);

    // Released while the wizard is open: a program started for a client ends with it.
    Process firstServer(one.process);
    Process secondServer(two.process);
    first->Release();
    EXPECT_TRUE(firstServer.Ends());
    EXPECT_TRUE(secondServer.Running());
    second->Release();
    EXPECT_TRUE(secondServer.Ends());
}

TEST_F(ComClient, UnregisteringLeavesNoKeyAndRegisteringQuotesThePath) {
    ASSERT_EQ(RunToEnd(Quoted(Server()) + L" /UnregServer"), 0);
    for (const wchar_t* key : kKeys)
        EXPECT_FALSE(KeyExists(key)) << "left behind";
    IUnknown* object = nullptr;
    EXPECT_EQ(CoCreateInstance(ClassId(), nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              REGDB_E_CLASSNOTREG);
    // Unregistering twice is no failure.
    EXPECT_EQ(RunToEnd(Quoted(Server()) + L" /UnregServer"), 0);

    ASSERT_EQ(RunToEnd(Quoted(Server()) + L" -RegServer"), 0);
    for (const wchar_t* key : kKeys)
        EXPECT_TRUE(KeyExists(key));
    EXPECT_EQ(LocalServer(), Quoted(Server()));
}

// A copy of the server in a folder with spaces registers itself so that COM starts it there.
TEST_F(ComClient, APathWithSpacesRegistersAndStarts) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Veltrix com test";
    const std::wstring copy = folder + L"\\server copy.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Server().c_str(), copy.c_str(), FALSE));
    ASSERT_EQ(RunToEnd(Quoted(copy) + L" /RegServer"), 0);
    EXPECT_EQ(LocalServer(), Quoted(copy));

    std::vector<DWORD> known;
    for (const Wizard& w : Wizards())
        known.push_back(w.process);
    IUnknown* object = Create(ClassId());
    if (object != nullptr) {
        const Wizard wizard = NewWizard(known);
        EXPECT_NE(wizard.window, nullptr);
        Process server(wizard.process);
        object->Release();
        EXPECT_TRUE(server.Ends());
    }
    EXPECT_EQ(RunToEnd(Quoted(Server()) + L" /RegServer"), 0);
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

// A registration that fails leaves the wizard running: here a volatile class key, under which
// no lasting key can be made.
TEST_F(ComClient, AFailedRegistrationDoesNotStopTheWizard) {
    ASSERT_EQ(RunToEnd(Quoted(Server()) + L" /UnregServer"), 0);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeys[0], 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    std::vector<DWORD> known;
    for (const Wizard& w : Wizards())
        known.push_back(w.process);
    HANDLE started = Start(Quoted(Server()));
    ASSERT_NE(started, nullptr);
    const Wizard wizard = NewWizard(known);
    EXPECT_NE(wizard.window, nullptr);
    EXPECT_TRUE(LocalServer().empty());
    if (wizard.window != nullptr) PostMessageW(wizard.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(started, 20000), WAIT_OBJECT_0);
    CloseHandle(started);

    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKeys[0]);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKeys[0]);
    EXPECT_EQ(RunToEnd(Quoted(Server()) + L" /RegServer"), 0);
}

// A client that dies holding the object: the component object model's rundown releases what
// it held, so the program, whose wizard the user has closed, ends.
TEST_F(ComClient, AClientThatDiesDoesNotKeepTheClosedProgramAlive) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, kHeldEvent);
    std::vector<DWORD> known;
    for (const Wizard& w : Wizards())
        known.push_back(w.process);
    HANDLE client = Start(Quoted(self) + L" --hold-object");
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0) << "the client has no object";
    CloseHandle(held);
    const Wizard wizard = NewWizard(known);
    ASSERT_NE(wizard.window, nullptr);
    Process server(wizard.process);

    // Closed while the live client holds the object: only hidden.
    PostMessageW(wizard.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(wizard.window); }));
    EXPECT_TRUE(server.Running());

    TerminateProcess(client, 1);
    WaitForSingleObject(client, 20000);
    CloseHandle(client);
    EXPECT_TRUE(server.Ends());
    if (server.Running()) server.Kill();
}

}  // namespace

int main(int argc, char** argv) {
    // The client that dies: it makes the object and waits to be killed.
    if (argc > 1 && std::string(argv[1]) == "--hold-object") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IUnknown* object = nullptr;
        if (FAILED(CoCreateInstance(ClassId(), nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&object)))) {
            return 1;
        }
        HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, kHeldEvent);
        if (held != nullptr) SetEvent(held);
        Sleep(INFINITE);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
