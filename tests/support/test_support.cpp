#include "tests/support/test_support.h"

#include <algorithm>
#include <stdio.h>
#include <string.h>

namespace testing_support {

std::string BinFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string MarlowinPath() { return BinFolder() + "\\Marlowin.exe"; }
std::string RecorderPath() { return BinFolder() + "\\recorder.exe"; }

namespace {

// A path for the wide calls, beyond the 259 characters of the ANSI ones.
std::wstring LongPath(const std::string& path)
{
    std::string full = "\\\\?\\" + path;
    std::wstring wide(full.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, full.c_str(), -1, &wide[0], (int)wide.size());
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

// A path under the temporary folder that no other call of this process gives.
std::string TempName(const char* label)
{
    static LONG counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%smw-%s-%lu-%ld", temp, label, GetCurrentProcessId(), InterlockedIncrement(&counter));
    return name;
}

// Writes the bytes to a file just created, if it was; true when they are all written.
bool WriteAndClose(HANDLE file, const std::string& bytes)
{
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string MakeTempFolder(const char* label)
{
    std::string folder = TempName(label);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string EncodePackage(const std::vector<RecordSpec>& records)
{
    std::string bytes;
    for (const RecordSpec& wanted : records) {
        const char* texts[FIELD_COUNT] = { wanted.name.c_str(), wanted.command.c_str(), wanted.object.c_str(),
                                           wanted.directory.c_str(), wanted.arguments.c_str(), wanted.type.c_str(),
                                           wanted.window.c_str() };
        Profile profile(texts, 0);
        unsigned char record[RECORD_SIZE];
        EncodeRecord(profile, record);
        memcpy(record + RECORD_EXTRA, &wanted.extra, 4);
        bytes.append((const char*)record, RECORD_SIZE);
    }
    return bytes;
}

std::vector<StoredProfile> DecodePackage(const std::string& bytes)
{
    std::vector<StoredProfile> profiles;
    for (size_t at = 0; at + RECORD_SIZE <= bytes.size(); at += RECORD_SIZE) {
        Profile record;
        DecodeRecord((const unsigned char*)bytes.data() + at, record, 0);
        StoredProfile profile;
        for (int i = 0; i < FIELD_COUNT; ++i)
            profile.fields[i] = record.field(i);
        profile.extra = record.extra;
        profiles.push_back(profile);
    }
    return profiles;
}

std::vector<std::string> RecordNames(const std::string& bytes)
{
    std::vector<std::string> names;
    for (const StoredProfile& profile : DecodePackage(bytes))
        names.push_back(profile.name());
    return names;
}

std::vector<std::string> StoredNames(const std::string& path)
{
    return RecordNames(ReadFileBytes(path));
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    WriteAndClose(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), bytes);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

RecordSpec RecorderRecord(const std::string& arguments, const std::string& name, const std::string& directory)
{
    RecordSpec record;
    record.name = name;
    record.object = RecorderPath();
    record.arguments = arguments;
    record.directory = directory;
    record.type = "Executable";
    record.window = "Normal";
    return record;
}

RunResult RunCommandLine(const std::string& commandLine, DWORD timeoutMs, const char* directory, HANDLE output,
                         HANDLE errors)
{
    RunResult result;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = errors;
    }
    PROCESS_INFORMATION process;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    DWORD begin = GetTickCount();
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, output != nullptr, 0, nullptr, directory, &startup,
                        &process))
        return result;
    result.started = true;
    result.processId = process.dwProcessId;
    result.finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    result.elapsedMs = GetTickCount() - begin;
    if (result.finished)
        GetExitCodeProcess(process.hProcess, &result.exitCode);
    else
        TerminateProcess(process.hProcess, 99);  // our own child, ended so later tests start clean
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

RunResult RunMarlowin(const std::string& argument, DWORD timeoutMs)
{
    std::string commandLine = "\"" + MarlowinPath() + "\"";
    if (!argument.empty())
        commandLine += " " + argument;
    return RunCommandLine(commandLine, timeoutMs);
}

double MillisecondsNow()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

RecorderLog::RecorderLog() : path_(TempName("record") + ".log")
{
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA("MW_RECORD_LOG", path_.c_str());
}

RecorderLog::~RecorderLog()
{
    DeleteFileA(path_.c_str());
}

namespace {

// The witness that settle() starts; its line is never part of what a test sees.
const char SETTLE_MARKER[] = "settle-marker";

bool IsSettleMarker(const Recording& line)
{
    const size_t length = sizeof SETTLE_MARKER - 1;
    return line.commandLine.size() >= length &&
           line.commandLine.compare(line.commandLine.size() - length, length, SETTLE_MARKER) == 0;
}

}  // namespace

std::vector<Recording> RecorderLog::read() const
{
    std::vector<Recording> lines;
    std::string text = ReadFileBytes(path_);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            break;
        std::string line = text.substr(start, end - start);
        start = end + 2;
        Recording recording;
        auto value = [&line](const char* key) {
            std::string tag = std::string(key) + "=";
            size_t at = line.find(tag);
            if (at == std::string::npos)
                return std::string();
            at += tag.size();
            size_t stop = std::string(key) == "cmd" ? line.size() : line.find('\t', at);
            return line.substr(at, stop == std::string::npos ? std::string::npos : stop - at);
        };
        recording.created = strtoull(value("time").c_str(), nullptr, 10);
        recording.shown = strtoull(value("shown").c_str(), nullptr, 10);
        recording.flags = strtoul(value("flags").c_str(), nullptr, 10);
        recording.show = (unsigned)strtoul(value("show").c_str(), nullptr, 10);
        recording.directory = value("cwd");
        recording.commandLine = value("cmd");
        lines.push_back(recording);
    }
    lines.erase(std::remove_if(lines.begin(), lines.end(), IsSettleMarker), lines.end());
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Recording& a, const Recording& b) { return a.created < b.created; });
    return lines;
}

std::vector<Recording> RecorderLog::waitFor(size_t count, DWORD timeoutMs) const
{
    DWORD begin = GetTickCount();
    std::vector<Recording> lines = read();
    while (lines.size() < count && GetTickCount() - begin < timeoutMs) {
        Sleep(50);
        lines = read();
    }
    return lines;
}

std::vector<Recording> RecorderLog::settle() const
{
    // A witness of our own, started now and waited for, instead of a guessed pause: whatever was
    // started before it has had the same time to write its line.
    RunCommandLine("\"" + RecorderPath() + "\" " + SETTLE_MARKER, 10000, BinFolder().c_str());
    return read();
}

std::string RecorderLog::waitForPage(size_t count) const
{
    // A page goes through the shell and a new process: on a busy machine that can take long.
    std::vector<Recording> seen = waitFor(count, 30000);
    if (seen.size() != count)
        return "(" + std::to_string(seen.size()) + " launches)";
    const std::string& line = seen.back().commandLine;
    size_t open = line.rfind(" \"");
    return open == std::string::npos ? line : line.substr(open + 2, line.size() - open - 3);
}

void RemoveTree(const std::string& folder)
{
    RemoveFolder(LongPath(folder));
}

PackagesFolder::PackagesFolder() : path_(BinFolder() + "\\Packages")
{
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

PackagesFolder::~PackagesFolder()
{
    RemoveTree(path_);
}

bool PackagesFolder::addFile(const std::string& fileName, const std::string& bytes)
{
    return WriteAndClose(CreateFileW(LongPath(path_ + "\\" + fileName).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, 0, nullptr),
                         bytes);
}

std::string PackagesFolder::addPackage(const std::string& name, const std::string& recorderArguments)
{
    addFile(name + ".mwpack", EncodePackage({ RecorderRecord(recorderArguments) }));
    return path_ + "\\" + name + ".mwpack";
}

namespace {

const char* HTTP_COMMAND_KEY = "http\\shell\\open\\command";

}  // namespace

HttpRecorder::HttpRecorder()
{
    char value[1024];
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, HTTP_COMMAND_KEY, value, &size) == ERROR_SUCCESS) {
        former_ = value;
        hadFormer_ = true;
    }
    std::string command = "\"" + RecorderPath() + "\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, HTTP_COMMAND_KEY, REG_SZ, command.c_str(), (DWORD)command.size());
}

HttpRecorder::~HttpRecorder()
{
    if (hadFormer_)
        RegSetValueA(HKEY_CLASSES_ROOT, HTTP_COMMAND_KEY, REG_SZ, former_.c_str(), (DWORD)former_.size());
}

void PressKeys(HWND window, const std::vector<WORD>& keys)
{
    for (WORD key : keys) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &answer);
    return text;
}

void CaptureDisplay(const char* fileName, const RECT* area)
{
    // Pictures only when asked for: MARLOWIN_SCREENSHOTS names the Unix folder that receives them.
    char unixFolder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("MARLOWIN_SCREENSHOTS", unixFolder, sizeof unixFolder);
    if (length == 0 || length >= sizeof unixFolder)
        return;
    std::string target = std::string(unixFolder) + "/" + fileName;
    std::string path = "Z:" + target;
    std::replace(path.begin(), path.end(), '/', '\\');
    DeleteFileA(path.c_str());
    Sleep(400);   // let the X server show what was just painted
    char crop[96] = "";
    if (area)
        snprintf(crop, sizeof crop, " -crop %ldx%ld+%ld+%ld +repage", area->right - area->left,
                 area->bottom - area->top, area->left, area->top);
    std::string command = "Z:\\bin\\sh -c \"import -window root" + std::string(crop) + " 'png:" + target +
                          ".part' && mv '" + target + ".part' '" + target + "'\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A Unix program cannot be waited for from here: wait for its finished file instead.
    WaitUntil([&path] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
}

std::vector<DWORD> BitmapPixels(HBITMAP bitmap, LONG* width, LONG* height)
{
    BITMAP size;
    ZeroMemory(&size, sizeof size);
    GetObjectA(bitmap, sizeof size, &size);
    if (width)
        *width = size.bmWidth;
    if (height)
        *height = size.bmHeight;
    BITMAPINFO format;
    ZeroMemory(&format, sizeof format);
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.bmWidth;
    format.bmiHeader.biHeight = -size.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels((size_t)size.bmWidth * size.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, size.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace testing_support
