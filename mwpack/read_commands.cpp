// The commands that only read packages: list, show, export and check.
#include <windows.h>


#include "mwpack/code_page.h"
#include "mwpack/json_text.h"
#include "mwpack/invocation.h"
#include "mwpack/package_access.h"
#include "mwpack/package_check.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "store/package_folder.h"
#include "store/package_names.h"

namespace {


// Frees the package when the command ends, whichever way.
class ReadPackageGuard {
public:
    ReadPackageGuard(const std::string& path, std::string& error) : package_(ReadPackage(path, error)) {}
    ~ReadPackageGuard() { DestroyPackageFile(package_); }
    ReadPackageGuard(const ReadPackageGuard&) = delete;
    ReadPackageGuard& operator=(const ReadPackageGuard&) = delete;
    PackageFile* get() const { return package_; }

private:
    PackageFile* package_;
};

std::vector<const ProfileBase*> LaunchOrder(const PackageFile& package)
{
    std::vector<const ProfileBase*> order;
    order.reserve(package.loadedCount);
    for (const ProfileBase* node = package.profiles.first; node; node = node->next)
        order.push_back(node);
    return order;
}

std::vector<const ProfileBase*> FileOrder(const PackageFile& package)
{
    std::vector<const ProfileBase*> order(package.loadedCount);
    for (uint32_t i = 0; i < package.loadedCount; ++i)
        order[i] = &package.records[i];
    return order;
}

std::string Plural(size_t count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + " cannot be written: " + SystemMessage(GetLastError());
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
    CloseHandle(file);
    if (!whole) {
        DeleteFileA(path.c_str());
        error = path + " cannot be written";
    }
    return whole;
}

bool FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OnSearchPath(const char* program)
{
    char found[MAX_PATH];
    DWORD length = SearchPathA(nullptr, program, ".exe", sizeof found, found, nullptr);
    return length > 0 && length < sizeof found;
}

const FileSystemProbe SYSTEM_PROBE = { FileExists, FolderExists, OnSearchPath };

bool AddPackageName(const char* name, size_t length, void* context)
{
    std::vector<Profile>& names = *(std::vector<Profile>*)context;
    std::string title(name, length);
    const char* texts[FIELD_COUNT] = { title.c_str() };
    names.push_back(Profile(texts, (uint32_t)names.size()));
    return true;
}

// The titles of the folder's packages, in the order the store gives names; false when there is no
// such folder.
bool PackagesInFolder(const std::string& folder, std::vector<std::string>& titles)
{
    if (!FolderExists(folder.c_str()))
        return false;
    std::vector<Profile> names;   // a name per package, ordered as the store orders names
    ForEachPackage(folder.c_str(), AddPackageName, &names);
    ProfileList order;
    LinkInNameOrder(names.data(), (uint32_t)names.size(), order);
    for (const ProfileBase* node = order.first; node; node = node->next)
        titles.push_back(node->name());
    return true;
}

}  // namespace

bool NamedPackages(const Invocation& call, std::vector<std::string>& paths, std::string& error)
{
    for (const std::string& operand : call.operands)
        paths.push_back(ResolvePackage(operand, call.folder));
    std::vector<std::string> titles;
    if (call.operands.empty() && !PackagesInFolder(call.folder, titles)) {
        error = "the packages folder " + call.folder + " does not exist";
        return false;
    }
    for (const std::string& title : titles)
        paths.push_back(call.folder + "\\" + title + PACKAGE_SUFFIX);
    return true;
}

int ListCommand(const Invocation& call, Console& console)
{
    std::vector<std::string> titles;
    if (!PackagesInFolder(call.folder, titles))
        return Failure(console, "the packages folder " + call.folder + " does not exist");
    int result = EXIT_OK;
    Json list = Json::array();
    std::string text;
    for (const std::string& title : titles) {
        std::string path = call.folder + "\\" + title + PACKAGE_SUFFIX;
        std::string error;
        ReadPackageGuard package(path, error);
        if (!package.get()) {
            result = Failure(console, error);
            continue;
        }
        uint32_t count = package.get()->loadedCount;
        list.push_back(Json{ { "name", ReportText(title.c_str()) }, { "path", ReportText(path.c_str()) },
                             { "profiles", count } });
        text += title + "  " + Plural(count, "profile") + "\n";
    }
    if (call.has("json"))
        console.json(JsonText(Json{ { "folder", ReportText(call.folder.c_str()) }, { "packages", list } }, 2) + "\n");
    else
        console.out(text);
    return result;
}

int ShowPackageCommand(const Invocation& call, Console& console)
{
    std::string path = ResolvePackage(call.operands[0], call.folder);
    std::string error;
    ReadPackageGuard package(path, error);
    if (!package.get())
        return Failure(console, error);
    std::vector<const ProfileBase*> order = LaunchOrder(*package.get());
    if (call.has("json")) {
        std::string text;
        if (!ExportText(order, SystemCodePage, text, error))
            return Failure(console, path + ": " + error);
        console.json(text);
        return EXIT_OK;
    }
    static const char* const LABELS[FIELD_COUNT] = { "name:      ", "command:   ", "object:    ", "directory: ",
                                                     "arguments: ", "type:      ", "window:    " };
    std::string text = path + ": " + Plural(order.size(), "profile") + " in launch order\n";
    for (size_t i = 0; i < order.size(); ++i) {
        text += "\n" + std::to_string(i + 1) + "\n";
        for (int field = 0; field < FIELD_COUNT; ++field)
            text += std::string("  ") + LABELS[field] + order[i]->field(field) + "\n";
    }
    console.out(text);
    return EXIT_OK;
}

int ExportCommand(const Invocation& call, Console& console)
{
    std::string path = ResolvePackage(call.operands[0], call.folder);
    std::string error;
    ReadPackageGuard package(path, error);
    if (!package.get())
        return Failure(console, error);
    std::string text;
    if (!ExportText(FileOrder(*package.get()), SystemCodePage, text, error))
        return Failure(console, path + ": " + error);
    if (call.operands.size() < 2) {
        console.json(text);
        return EXIT_OK;
    }
    const std::string& file = call.operands[1];
    if (!call.has("force") && HasPackageSuffix(file.c_str(), file.size()) &&
        GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES)
        return Failure(console, file + " is a package; the text form would replace its records (--force "
                                       "overwrites it)");
    if (!WriteTextFile(file, text, error))
        return Failure(console, error);
    return EXIT_OK;
}

int CheckCommand(const Invocation& call, Console& console)
{
    std::vector<std::string> paths;
    std::string folderError;
    if (!NamedPackages(call, paths, folderError))
        return Failure(console, folderError);

    int result = EXIT_OK;
    Json reports = Json::array();
    std::string text;
    for (const std::string& path : paths) {
        Json report = Json{ { "package", ReportText(path.c_str()) } };
        PackageBytes bytes;
        std::string error;
        if (!ReadPackageBytes(path, bytes, error)) {
            result = Failure(console, error);
            report["error"] = ReportText(error.c_str());
            reports.push_back(report);
            continue;
        }
        std::vector<Problem> problems = CheckPackageBytes(bytes.data(), bytes.size(), SYSTEM_PROBE);
        Json found = Json::array();
        size_t stoppers = 0;
        for (const Problem& problem : problems) {
            Json item = Json{ { "kind", ProblemKindName(problem.kind) },
                              { "severity", problem.stopsStart ? "problem" : "note" } };
            std::string place = problem.stopsStart ? "" : "note: ";
            if (problem.profile >= 0) {
                item["profile"] = problem.profile + 1;
                item["name"] = ReportText(problem.name.c_str());
                place += "profile " + std::to_string(problem.profile + 1) + " " + QuotedExcerpt(problem.name) + ": ";
            }
            item["message"] = ReportText(problem.message.c_str());
            found.push_back(item);
            text += path + ": " + place + problem.message + "\n";
            stoppers += problem.stopsStart;
        }
        if (stoppers == 0)
            text += path + ": no problems found" +
                    (problems.empty() ? std::string() : ", " + Plural(problems.size(), "note")) + "\n";
        else
            result = EXIT_PROBLEMS;
        report["problems"] = found;
        reports.push_back(report);
    }
    if (call.has("json"))
        console.json(JsonText(Json{ { "packages", reports } }, 2) + "\n");
    else
        console.out(text);
    return result;
}
