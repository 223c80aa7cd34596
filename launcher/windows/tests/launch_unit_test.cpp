// The Windows side of a launch without the control: the shell call and the registry read.
// windows.h comes before every other Windows header.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "test_host.h"
#include "test_main.h"
#include "windows_launch.h"

using namespace quillstart;
using namespace quillstart::test;

namespace {

struct ShellCall {
    int calls = 0;
    ULONG mask = 0;
    HWND owner = reinterpret_cast<HWND>(1);
    std::string verb;
    std::string file;
    std::string parameters;
    int show = -1;
};
ShellCall g_call;

BOOL WINAPI RecordShellCall(SHELLEXECUTEINFOA* info) {
    ++g_call.calls;
    g_call.mask = info->fMask;
    g_call.owner = info->hwnd;
    g_call.verb = info->lpVerb ? info->lpVerb : "";
    g_call.file = info->lpFile ? info->lpFile : "";
    g_call.parameters = info->lpParameters ? info->lpParameters : "";
    g_call.show = info->nShow;
    return FALSE;  // a refused elevation: nothing to report
}

}  // namespace

QS_TEST(unit, StartsElevatedWithoutOwnerOrErrorInterface) {
    g_call = ShellCall{};
    ShellExecuteFunction saved = ShellExecuteHook();
    ShellExecuteHook() = &RecordShellCall;
    StartClientElevated({"C:\\Q\\Quillmark.exe", "HOST=h&PORT=1"});
    ShellExecuteHook() = saved;
    QS_CHECK_EQ(g_call.calls, 1);
    QS_CHECK_EQ(g_call.verb, std::string("runas"));
    QS_CHECK_EQ(g_call.mask, 0x500ul);
    QS_CHECK(g_call.owner == nullptr);
    QS_CHECK_EQ(g_call.show, SW_SHOWNORMAL);
    QS_CHECK_EQ(g_call.file, std::string("C:\\Q\\Quillmark.exe"));
    QS_CHECK_EQ(g_call.parameters, std::string("HOST=h&PORT=1"));
}

QS_TEST(unit, ReadsTheInstallationFolderOnlyWhenItIsABoundedString) {
    SetInstallDir("C:\\Program Files\\Quillmark");
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string("C:\\Program Files\\Quillmark"));
    // 300 bytes: missing, not cut to 260 into another folder.
    SetInstallDir(std::string(299, 'a'));
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string());
    SetInstallDir(std::string(259, 'b'));
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string(259, 'b'));
    // Stored without its terminator.
    SetInstallDirRaw(REG_SZ, "C:\\Q");
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string());
    SetInstallDirRaw(REG_BINARY, std::string("C:\\Q\0", 5));
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string());
    SetInstallDirRaw(REG_SZ, std::string("C:\\Q\0D:\\x\0", 10));
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string());
    RemoveInstallDir();
    QS_CHECK_EQ(ReadInstallDirFromRegistry(), std::string());
}

QS_TEST(unit, TextOfAScriptStringInTheSystemCodePage) {
    QS_CHECK_EQ(BstrToAnsi(L"abc", 3), std::string("abc"));
    QS_CHECK_EQ(BstrToAnsi(L"a\0b", 3), std::string("a\0b", 3));
    QS_CHECK_EQ(BstrToAnsi(nullptr, 0), std::string());
}
