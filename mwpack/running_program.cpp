#include "mwpack/running_program.h"

#include <stddef.h>
#include <winternl.h>

#include <vector>

#include "base/dynamic_library.h"

namespace {

// Declared here: the headers of the oldest supported system do not have them.
const DWORD QUERY_LIMITED_INFORMATION = 0x1000;    // PROCESS_QUERY_LIMITED_INFORMATION, Vista on
const ULONG COMMAND_LINE_INFORMATION = 60;          // ProcessCommandLineInformation, Windows 8.1 on
const LONG INFO_LENGTH_MISMATCH = (LONG)0xC0000004;
// A command line is a counted text of at most 32,767 characters.
const USHORT LONGEST_TEXT = 0xFFFE;

typedef LONG(NTAPI* QueryProcessProc)(HANDLE, ULONG, PVOID, ULONG, PULONG);
typedef BOOL(WINAPI* ImageNameProc)(HANDLE, DWORD, LPWSTR, PDWORD);
typedef DWORD(WINAPI* ModuleNameProc)(HANDLE, HMODULE, LPWSTR, DWORD);
typedef BOOL(WINAPI* Wow64Proc)(HANDLE, PBOOL);

class ProcessHandle {
public:
    explicit ProcessHandle(DWORD processId)
        : handle_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)), full_(handle_ != nullptr)
    {
        // Processes of other users or of higher integrity may still tell their file.
        if (!handle_)
            handle_ = OpenProcess(QUERY_LIMITED_INFORMATION, FALSE, processId);
    }
    ~ProcessHandle()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    HANDLE get() const { return handle_; }
    bool canRead() const { return full_; }

private:
    HANDLE handle_;
    bool full_;
};

std::wstring ImagePath(const ProcessHandle& process)
{
    WCHAR path[MAX_PATH * 2] = L"";
    DWORD size = ARRAYSIZE(path);
    DynamicLibrary kernel("kernel32.dll");
    ImageNameProc imageName = kernel.function<ImageNameProc>("QueryFullProcessImageNameW");
    if (imageName && imageName(process.get(), 0, path, &size) && size < ARRAYSIZE(path))
        return std::wstring(path, size);
    // Before Vista: the module list, which needs the right to read the process.
    DynamicLibrary psapi("psapi.dll");
    ModuleNameProc moduleName = psapi.function<ModuleNameProc>("GetModuleFileNameExW");
    DWORD length = moduleName && process.canRead() ? moduleName(process.get(), nullptr, path, ARRAYSIZE(path)) : 0;
    return length > 0 && length < ARRAYSIZE(path) ? std::wstring(path, length) : std::wstring();
}

bool AskSystem(QueryProcessProc query, HANDLE process, std::wstring& commandLine)
{
    ULONG needed = 0;
    LONG status = query(process, COMMAND_LINE_INFORMATION, nullptr, 0, &needed);
    if (status != INFO_LENGTH_MISMATCH || needed < sizeof(UNICODE_STRING) || needed > 0x20000)
        return false;
    // Pointer-aligned, as the counted text at its start needs.
    std::vector<ULONG_PTR> buffer(needed / sizeof(ULONG_PTR) + 1);
    if (query(process, COMMAND_LINE_INFORMATION, buffer.data(), needed, &needed) < 0)
        return false;
    const UNICODE_STRING* text = (const UNICODE_STRING*)buffer.data();
    const BYTE* end = (const BYTE*)buffer.data() + needed;
    if (text->Length && (!text->Buffer || (const BYTE*)text->Buffer + text->Length > end))
        return false;
    commandLine.assign(text->Buffer ? text->Buffer : L"", text->Length / sizeof(WCHAR));
    return true;
}

bool ReadRemote(HANDLE process, const void* address, void* out, SIZE_T size)
{
    SIZE_T got = 0;
    return ReadProcessMemory(process, address, out, size, &got) && got == size;
}

bool IsWow64(HANDLE process)
{
    DynamicLibrary kernel("kernel32.dll");
    Wow64Proc wow64 = kernel.function<Wow64Proc>("IsWow64Process");
    BOOL result = FALSE;
    return wow64 && wow64(process, &result) && result;
}

// The command line in the process's parameter block, found through its PEB. The layouts are the
// ones of this build's bitness; a 64-bit process's block is out of a 32-bit reader's reach.
bool ReadParameterBlock(QueryProcessProc query, const ProcessHandle& process, std::wstring& commandLine,
                        std::string& why)
{
    if (!process.canRead()) {
        why = "the process may not be read by this user";
        return false;
    }
    if (IsWow64(GetCurrentProcess()) && !IsWow64(process.get())) {
        why = "a 64-bit program's command line cannot be read by 32-bit mwpack before Windows 8.1";
        return false;
    }
    PROCESS_BASIC_INFORMATION basic;
    ZeroMemory(&basic, sizeof basic);
    void* parameters = nullptr;
    UNICODE_STRING text;
    if (query(process.get(), ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0 || !basic.PebBaseAddress ||
        !ReadRemote(process.get(), (const BYTE*)basic.PebBaseAddress + offsetof(PEB, ProcessParameters), &parameters,
                    sizeof parameters) ||
        !parameters ||
        !ReadRemote(process.get(), (const BYTE*)parameters + offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine),
                    &text, sizeof text) ||
        text.Length > LONGEST_TEXT || text.Length % sizeof(WCHAR)) {
        why = "the process's parameter block cannot be read";
        return false;
    }
    commandLine.assign(text.Length / sizeof(WCHAR), L'\0');
    if (text.Length && !ReadRemote(process.get(), text.Buffer, &commandLine[0], text.Length)) {
        commandLine.clear();
        why = "the process's command line cannot be read";
        return false;
    }
    return true;
}

}  // namespace

RunningProgram ReadRunningProgram(DWORD processId)
{
    RunningProgram program;
    program.commandLineRead = false;
    ProcessHandle process(processId);
    if (!process.get()) {
        program.why = "the process cannot be opened (error " + std::to_string(GetLastError()) + ")";
        return program;
    }
    program.path = ImagePath(process);
    if (program.path.empty()) {
        program.why = "the program's file cannot be read";
        return program;
    }
    DynamicLibrary ntdll("ntdll.dll");
    QueryProcessProc query = ntdll.function<QueryProcessProc>("NtQueryInformationProcess");
    if (!query) {
        program.why = "the system has no way to read another process's command line";
        return program;
    }
    program.commandLineRead = AskSystem(query, process.get(), program.commandLine) ||
                              ReadParameterBlock(query, process, program.commandLine, program.why);
    return program;
}
