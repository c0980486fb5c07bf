// The commands that only read packages: list, show, export and check.
#include <windows.h>

#include "mwpack/file_writer.h"
#include "mwpack/invocation.h"
#include "mwpack/json_text.h"
#include "mwpack/package_access.h"
#include "mwpack/package_check.h"
#include "mwpack/quoted_text.h"
#include "mwpack/text_conversion.h"
#include "mwpack/text_form.h"
#include "store/name_order.h"
#include "store/package_folder.h"
#include "store/package_names.h"

namespace {

std::string Plural(size_t count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

bool FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const char* path)
{
    return FolderExists(path);
}

bool OnSearchPath(const char* program)
{
    char found[MAX_PATH];
    DWORD length = SearchPathA(nullptr, program, ".exe", sizeof found, found, nullptr);
    return length > 0 && length < sizeof found;
}

const FileSystemProbe SYSTEM_PROBE = { FileExists, IsFolder, OnSearchPath };

bool AddPackageName(const char* name, size_t length, void* context)
{
    std::vector<Profile>& names = *(std::vector<Profile>*)context;
    std::string title(name, length);
    const char* texts[FIELD_COUNT] = { title.c_str() };
    names.push_back(Profile(texts, (uint32_t)names.size()));
    return true;
}

// The paths of the folder's packages, in the order the store gives names; false when there is no
// such folder.
bool PackagesInFolder(const std::string& folder, std::vector<std::string>& paths, std::vector<std::string>& titles)
{
    if (!FolderExists(folder))
        return false;
    std::vector<Profile> names;   // a name per package, ordered as the store orders names
    ForEachPackage(folder.c_str(), AddPackageName, &names);
    ProfileList order;
    LinkInNameOrder(names.data(), (uint32_t)names.size(), order);
    for (const ProfileBase* node = order.first; node; node = node->next) {
        titles.push_back(node->name());
        paths.push_back(folder + "\\" + node->name() + PACKAGE_SUFFIX);
    }
    return true;
}

}  // namespace

bool NamedPackages(const Invocation& call, std::vector<std::string>& paths, std::string& error)
{
    for (const std::string& operand : call.operands)
        paths.push_back(ResolvePackage(operand, call.folder));
    std::vector<std::string> titles;
    if (call.operands.empty() && !PackagesInFolder(call.folder, paths, titles)) {
        error = "the packages folder " + call.folder + " does not exist";
        return false;
    }
    return true;
}

int ListCommand(const Invocation& call, Console& console)
{
    std::vector<std::string> paths, titles;
    if (!PackagesInFolder(call.folder, paths, titles))
        return Failure(console, "the packages folder " + call.folder + " does not exist");
    int result = EXIT_OK;
    Json list = Json::array();
    std::string text;
    for (size_t i = 0; i < paths.size(); ++i) {
        HeldPackage package(paths[i], OPEN_TO_READ);
        if (!package.get()) {
            result = Failure(console, package.error());
            continue;
        }
        uint32_t count = package->loadedCount;
        list.push_back(Json{ { "name", ReportText(titles[i]) }, { "path", ReportText(paths[i]) },
                             { "profiles", count } });
        text += titles[i] + "  " + Plural(count, "profile") + "\n";
    }
    if (call.has("json"))
        console.json(JsonText(Json{ { "folder", ReportText(call.folder) }, { "packages", list } }, 2) + "\n");
    else
        console.out(text);
    return result;
}

int ShowPackageCommand(const Invocation& call, Console& console)
{
    std::string path = ResolvePackage(call.operands[0], call.folder);
    HeldPackage package(path, OPEN_TO_READ);
    if (!package.get())
        return Failure(console, package.error());
    std::vector<const ProfileBase*> order = package.launchOrder();
    if (call.has("json")) {
        std::string text, error;
        if (!ExportText(order, SystemCodePage, text, error))
            return Failure(console, path + ": " + MessageText(error));
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
    std::string text, error;
    {
        HeldPackage package(path, OPEN_TO_READ);
        if (!package.get())
            return Failure(console, package.error());
        if (!ExportText(package.fileOrder(), SystemCodePage, text, error))
            return Failure(console, path + ": " + MessageText(error));
    }
    if (call.operands.size() < 2) {
        console.json(text);
        return EXIT_OK;
    }
    // Checked as the file system will name the file: "P.mwpack." and a short name are packages too.
    std::string file = ResolveFile(call.operands[1]);
    if (!call.has("force") && HasPackageSuffix(file.c_str(), file.size()) &&
        GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES)
        return Failure(console, file + " is a package; the text form would replace its records (--force "
                                       "overwrites it)");
    if (!WriteWholeFile(file, text, true, error))
        return Failure(console, error + "; nothing was changed");
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
        Json report = Json{ { "package", ReportText(path) } };
        PackageBytes bytes;
        std::string error;
        if (!bytes.readPackage(path, error)) {
            result = Failure(console, error);
            report["error"] = ReportText(error);
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
                item["name"] = ReportText(problem.name);
                place += "profile " + std::to_string(problem.profile + 1) + " " + QuotedExcerpt(problem.name) + ": ";
            }
            item["message"] = ReportText(problem.message);
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
