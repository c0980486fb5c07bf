#include "mwpack/shortcut_files.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "base/dynamic_library.h"
#include "mwpack/file_writer.h"
#include "mwpack/text_conversion.h"
#include "store/path_rules.h"

namespace {

// The longest arguments text a shortcut holds (the shell's INFOTIPSIZE).
const int ARGUMENTS_SIZE = 1024;

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

// The link object's file side: loading and saving, through the same object.
bool LoadOrSave(IShellLinkW* link, const std::string& path, bool save)
{
    IPersistFile* file = nullptr;
    std::wstring wide = WideText(CP_ACP, path);
    bool done = SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) &&
                SUCCEEDED(save ? file->Save(wide.c_str(), FALSE) : file->Load(wide.c_str(), STGM_READ));
    if (file)
        file->Release();
    return done;
}

// A new link object of the shell, or null.
IShellLinkW* CreateLink()
{
    // ole32 stays loaded meanwhile: the apartment that the caller holds keeps it.
    typedef HRESULT(WINAPI * CreateProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    DynamicLibrary ole("ole32.dll");
    CreateProc create = ole.function<CreateProc>("CoCreateInstance");
    IShellLinkW* link = nullptr;
    if (!create || FAILED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&link)))
        return nullptr;
    return link;
}

}  // namespace

std::string FileTitle(const std::string& path)
{
    size_t start = 0, length = 0;
    TitleSpan(path.c_str(), &start, &length);
    return path.substr(start, length);
}

ShortcutFiles::ShortcutFiles() : link_(CreateLink()) {}

ShortcutFiles::~ShortcutFiles()
{
    if (link_)
        link_->Release();
}

bool ShortcutFiles::read(const std::string& linkPath, ShortcutTarget& target, std::string& error)
{
    if (!link_ || !LoadOrSave(link_, linkPath, false)) {
        error = link_ ? linkPath + " cannot be read as a shortcut" : "the shell's link object is not available";
        return false;
    }
    WCHAR path[MAX_PATH] = L"", directory[MAX_PATH] = L"", arguments[ARGUMENTS_SIZE] = L"";
    // Without SLGP_RAWPATH the target comes with its environment variables expanded.
    if (FAILED(link_->GetPath(path, ARRAYSIZE(path), nullptr, 0)))
        path[0] = L'\0';
    if (FAILED(link_->GetArguments(arguments, ARRAYSIZE(arguments))))
        arguments[0] = L'\0';
    if (FAILED(link_->GetWorkingDirectory(directory, ARRAYSIZE(directory))))
        directory[0] = L'\0';
    int show = StoredShowCommand(linkPath);
    if (!show && FAILED(link_->GetShowCmd(&show)))
        show = SW_SHOWNORMAL;
    WORD hotkey = 0;
    if (FAILED(link_->GetHotkey(&hotkey)))
        hotkey = 0;
    target.target = path;
    target.arguments = arguments;
    target.directory = directory;
    target.showCommand = show;
    target.hotkey = hotkey;
    return true;
}

bool ShortcutFiles::write(const std::string& linkPath, const ShortcutTarget& start, const std::string& icon,
                          const std::string& description, uint16_t hotkey, bool replace, std::string& error)
{
    // A fresh object: one that read another shortcut would keep what this one does not set.
    IShellLinkW* link = CreateLink();
    if (!link) {
        error = "the shell's link object is not available";
        return false;
    }
    link->SetPath(start.target.c_str());
    link->SetArguments(start.arguments.c_str());
    link->SetWorkingDirectory(start.directory.c_str());
    link->SetShowCmd(start.showCommand);
    link->SetIconLocation(WideText(CP_ACP, icon).c_str(), 0);
    link->SetDescription(WideText(CP_ACP, description).c_str());
    if (hotkey)
        link->SetHotkey(hotkey);
    FileReplacement file(linkPath);
    bool saved = file.create(error) && LoadOrSave(link, file.temporaryPath(), true);
    link->Release();
    if (!saved) {
        if (error.empty())
            error = linkPath + " cannot be saved";
        return false;
    }
    return file.commit(replace, error);
}
