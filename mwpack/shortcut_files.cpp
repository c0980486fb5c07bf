#include "mwpack/shortcut_files.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "base/dynamic_library.h"
#include "mwpack/invocation.h"
#include "store/path_rules.h"

namespace {

// The longest arguments text a shortcut holds (the shell's INFOTIPSIZE).
const int ARGUMENTS_SIZE = 1024;

bool ToWidePath(const std::string& path, WCHAR (&wide)[MAX_PATH])
{
    return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, ARRAYSIZE(wide)) > 0;
}

// The show command as the shortcut file's header stores it (a header of 0x4C bytes, the command a
// 32-bit word at byte 60), or 0. Wine's link object gives back SW_SHOWNORMAL whatever is stored.
int StoredShowCommand(const std::string& linkPath)
{
    HANDLE file = CreateFileA(linkPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD header[16] = {};
    DWORD got = 0;
    bool read = ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header;
    CloseHandle(file);
    int show = read && header[0] == 0x4C ? (int)header[15] : 0;
    return show == SW_SHOWNORMAL || show == SW_SHOWMAXIMIZED || show == SW_SHOWMINNOACTIVE ? show : 0;
}

}  // namespace

std::string FileTitle(const std::string& path)
{
    size_t start = 0, length = 0;
    TitleSpan(path.c_str(), &start, &length);
    return path.substr(start, length);
}

std::string ShortcutPathFor(const std::string& folder, const std::string& packagePath)
{
    return folder + "\\" + FileTitle(packagePath) + ".lnk";
}

int RemoveShortcut(const std::string& linkPath, Console& console)
{
    if (!DeleteFileA(linkPath.c_str()))
        return Failure(console, linkPath + " cannot be removed (error " + std::to_string(GetLastError()) + ")");
    console.out("removed " + linkPath + "\n");
    return EXIT_OK;
}

IShellLinkA* CreateShellLink()
{
    // ole32 stays loaded meanwhile: the apartment that the caller holds keeps it.
    typedef HRESULT(WINAPI * CreateProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    DynamicLibrary ole("ole32.dll");
    CreateProc create = ole.function<CreateProc>("CoCreateInstance");
    IShellLinkA* link = nullptr;
    if (!create || FAILED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return nullptr;
    return link;
}

ShortcutReader::ShortcutReader() : link_(CreateShellLink()) {}

ShortcutReader::~ShortcutReader()
{
    if (link_)
        link_->Release();
}

bool ShortcutReader::read(const std::string& linkPath, ShortcutTarget& target, std::string& error)
{
    if (!link_) {
        error = "the shell's link object is not available";
        return false;
    }
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    bool loaded = ToWidePath(linkPath, wide) && SUCCEEDED(link_->QueryInterface(IID_IPersistFile, (void**)&file)) &&
                  SUCCEEDED(file->Load(wide, STGM_READ));
    if (file)
        file->Release();
    if (!loaded) {
        error = linkPath + " cannot be read as a shortcut";
        return false;
    }
    char path[MAX_PATH] = "", directory[MAX_PATH] = "", arguments[ARGUMENTS_SIZE] = "";
    int show = SW_SHOWNORMAL;
    // Without SLGP_RAWPATH the target comes with its environment variables expanded.
    if (FAILED(link_->GetPath(path, ARRAYSIZE(path), nullptr, 0)))
        path[0] = '\0';
    if (FAILED(link_->GetArguments(arguments, ARRAYSIZE(arguments))))
        arguments[0] = '\0';
    if (FAILED(link_->GetWorkingDirectory(directory, ARRAYSIZE(directory))))
        directory[0] = '\0';
    int stored = StoredShowCommand(linkPath);
    if (stored)
        show = stored;
    else if (FAILED(link_->GetShowCmd(&show)))
        show = SW_SHOWNORMAL;
    target.target = path;
    target.arguments = arguments;
    target.directory = directory;
    target.showCommand = show;
    return true;
}
