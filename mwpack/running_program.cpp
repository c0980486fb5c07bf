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
const ULONG EXTENDED_PROCESS_INFORMATION = 57;     // SystemExtendedProcessInformation
const size_t LARGEST_LIST = 64 << 20;              // bytes; a system lists far fewer threads
// A command line is a counted text of at most 32,767 characters.
const USHORT LONGEST_TEXT = 0xFFFE;

typedef LONG(NTAPI* QueryProcessProc)(HANDLE, ULONG, PVOID, ULONG, PULONG);
typedef BOOL(WINAPI* ImageNameProc)(HANDLE, DWORD, LPWSTR, PDWORD);
typedef DWORD(WINAPI* ModuleNameProc)(HANDLE, HMODULE, LPWSTR, DWORD);
typedef BOOL(WINAPI* Wow64Proc)(HANDLE, PBOOL);
typedef LONG(NTAPI* QuerySystemProc)(ULONG, PVOID, ULONG, PULONG);
// The WOW64 calls of the 32-bit ntdll on 64-bit Windows, with 64-bit addresses and sizes.
typedef LONG(NTAPI* Query64Proc)(HANDLE, ULONG, PVOID, ULONG, PULONG);
typedef LONG(NTAPI* Read64Proc)(HANDLE, ULONGLONG, PVOID, ULONGLONG, PULONGLONG);

// PROCESS_BASIC_INFORMATION of a 64-bit process.
struct BasicInformation64 {
    LONG exitStatus;
    ULONGLONG pebBaseAddress;
    ULONGLONG affinityMask;
    LONG basePriority;
    ULONGLONG uniqueProcessId;
    ULONGLONG inheritedFromUniqueProcessId;
};
static_assert(sizeof(BasicInformation64) == 48, "the 64-bit layout");

// SYSTEM_EXTENDED_THREAD_INFORMATION: the thread as SystemProcessInformation lists it, and more.
struct ExtendedThread {
    SYSTEM_THREAD_INFORMATION thread;
    PVOID StackBase;
    PVOID StackLimit;
    PVOID Win32StartAddress;
    PVOID TebBase;
    ULONG_PTR Reserved[3];
};

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

bool IsWow64(HANDLE process)
{
    DynamicLibrary kernel("kernel32.dll");
    Wow64Proc wow64 = kernel.function<Wow64Proc>("IsWow64Process");
    BOOL result = FALSE;
    return wow64 && wow64(process, &result) && result;
}

// Where the command line sits in a process of one bitness: the parameter block's pointer in the PEB
// and the counted text in that block, whose buffer pointer follows its two lengths.
struct Layout {
    ULONG pointerSize;
    ULONG parameters;
    ULONG commandLine;
};
const Layout OWN_LAYOUT = { sizeof(void*), offsetof(PEB, ProcessParameters),
                            offsetof(RTL_USER_PROCESS_PARAMETERS, CommandLine) };
const Layout LAYOUT_64 = { 8, 0x20, 0x70 };
// In a 64-bit TEB: its own address (NT_TIB.Self) and the PEB's.
const ULONGLONG TEB_64_SELF = 0x30;
const ULONGLONG TEB_64_PEB = 0x60;

// Another process's memory, read with this build's pointers or, from a 32-bit mwpack on 64-bit
// Windows, at 64-bit addresses through WOW64.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, Read64Proc read64) : process_(process), read64_(read64) {}

    bool read(ULONGLONG address, void* out, ULONG size) const
    {
        if (read64_) {
            ULONGLONG got = 0;
            return read64_(process_, address, out, size, &got) >= 0 && got == size;
        }
        SIZE_T got = 0;
        return address == (ULONG_PTR)address &&
               ReadProcessMemory(process_, (const void*)(ULONG_PTR)address, out, size, &got) && got == size;
    }
    // A pointer of the process's size; the bytes are little-endian, so a 4-byte one fills the low half.
    bool pointer(ULONGLONG address, ULONG size, ULONGLONG& value) const
    {
        value = 0;
        return read(address, &value, size);
    }

private:
    HANDLE process_;
    Read64Proc read64_;
};

bool ReadCommandLine(const RemoteMemory& memory, const Layout& layout, ULONGLONG peb, std::wstring& commandLine,
                     std::string& why)
{
    ULONGLONG parameters = 0;
    ULONGLONG buffer = 0;
    USHORT length = 0;
    if (!peb || !memory.pointer(peb + layout.parameters, layout.pointerSize, parameters) || !parameters ||
        !memory.read(parameters + layout.commandLine, &length, sizeof length) ||
        !memory.pointer(parameters + layout.commandLine + layout.pointerSize, layout.pointerSize, buffer) ||
        length > LONGEST_TEXT || length % sizeof(WCHAR)) {
        why = "the process's parameter block cannot be read";
        return false;
    }
    commandLine.assign(length / sizeof(WCHAR), L'\0');
    if (length && !memory.read(buffer, &commandLine[0], length)) {
        commandLine.clear();
        why = "the process's command line cannot be read";
        return false;
    }
    return true;
}

// The TEB of one of the process's threads, from the system's thread list. Wine (8.0) tells a
// 32-bit caller no 64-bit PEB, but lists the TEBs, which it places below 4 GB.
ULONGLONG ThreadBlock(const DynamicLibrary& ntdll, DWORD processId)
{
    QuerySystemProc query = ntdll.function<QuerySystemProc>("NtQuerySystemInformation");
    std::vector<ULONGLONG> list(0x10000);
    ULONG needed = 0;
    LONG status = INFO_LENGTH_MISMATCH;
    while (query && status == INFO_LENGTH_MISMATCH && list.size() * sizeof(ULONGLONG) <= LARGEST_LIST) {
        status = query(EXTENDED_PROCESS_INFORMATION, list.data(), (ULONG)(list.size() * sizeof(ULONGLONG)), &needed);
        if (status == INFO_LENGTH_MISMATCH)
            list.resize(list.size() * 2);
    }
    if (status < 0)
        return 0;
    const BYTE* entry = (const BYTE*)list.data();
    const BYTE* end = entry + list.size() * sizeof(ULONGLONG);
    while (entry + sizeof(SYSTEM_PROCESS_INFORMATION) <= end) {
        const SYSTEM_PROCESS_INFORMATION* process = (const SYSTEM_PROCESS_INFORMATION*)entry;
        const BYTE* threads = entry + sizeof(SYSTEM_PROCESS_INFORMATION);
        if ((ULONG_PTR)process->UniqueProcessId == processId)
            return process->NumberOfThreads && threads + sizeof(ExtendedThread) <= end
                       ? (ULONG_PTR)((const ExtendedThread*)threads)->TebBase
                       : 0;
        if (!process->NextEntryOffset || process->NextEntryOffset > (ULONG_PTR)(end - entry))
            return 0;
        entry += process->NextEntryOffset;
    }
    return 0;
}

// The 64-bit PEB of a 64-bit process, for a 32-bit mwpack: WOW64 asks the system for it (64-bit
// Windows from XP x64 on); else a thread's TEB, taken only when it names itself, points to it.
ULONGLONG Peb64(const DynamicLibrary& ntdll, HANDLE process, DWORD processId, const RemoteMemory& memory)
{
    Query64Proc query64 = ntdll.function<Query64Proc>("NtWow64QueryInformationProcess64");
    BasicInformation64 basic;
    ZeroMemory(&basic, sizeof basic);
    if (query64 && query64(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) >= 0 && basic.pebBaseAddress)
        return basic.pebBaseAddress;
    ULONGLONG teb = ThreadBlock(ntdll, processId);
    ULONGLONG self = 0;
    ULONGLONG peb = 0;
    return teb && memory.pointer(teb + TEB_64_SELF, 8, self) && self == teb && memory.pointer(teb + TEB_64_PEB, 8, peb)
               ? peb
               : 0;
}

// The command line in the process's parameter block, found through its PEB: with this build's
// layouts, or the 64-bit ones through WOW64 for a 64-bit process seen by a 32-bit mwpack.
bool ReadParameterBlock(const DynamicLibrary& ntdll, QueryProcessProc query, const ProcessHandle& process,
                        DWORD processId, std::wstring& commandLine, std::string& why)
{
    if (!process.canRead()) {
        why = "the process may not be read by this user";
        return false;
    }
    if (!IsWow64(GetCurrentProcess()) || IsWow64(process.get())) {
        PROCESS_BASIC_INFORMATION basic;
        ZeroMemory(&basic, sizeof basic);
        if (query(process.get(), ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0)
            basic.PebBaseAddress = nullptr;
        return ReadCommandLine(RemoteMemory(process.get(), nullptr), OWN_LAYOUT, (ULONG_PTR)basic.PebBaseAddress,
                               commandLine, why);
    }
    Read64Proc read64 = ntdll.function<Read64Proc>("NtWow64ReadVirtualMemory64");
    RemoteMemory memory(process.get(), read64);
    ULONGLONG peb = read64 ? Peb64(ntdll, process.get(), processId, memory) : 0;
    if (!peb) {
        why = "a 64-bit program's command line cannot be read by 32-bit mwpack on this system";
        return false;
    }
    return ReadCommandLine(memory, LAYOUT_64, peb, commandLine, why);
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
                              ReadParameterBlock(ntdll, query, process, processId, program.commandLine, program.why);
    return program;
}
