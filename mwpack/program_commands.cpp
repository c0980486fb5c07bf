// The commands about the programs a package starts, once started: status and close. Both find
// them by the one matching rule (program_match.h).
#include <windows.h>

#include "mwpack/desktop_windows.h"
#include "mwpack/invocation.h"
#include "mwpack/json_text.h"
#include "mwpack/package_access.h"
#include "mwpack/package_programs.h"
#include "mwpack/process_list.h"
#include "mwpack/text_conversion.h"

namespace {

const unsigned long DEFAULT_CLOSE_SECONDS = 10;
const DWORD FORCED_END_MS = 5000;   // how long an ended process may take to be gone

std::string CannotTellWhy(const ProfileBase& profile)
{
    return profile.object()[0] ? "the shell chooses the program of a document or address" : "it has no object";
}

// The titles of the process's main windows that have one.
std::vector<std::string> TitlesOf(DWORD processId, const std::vector<ProgramWindow>& windows)
{
    std::vector<std::string> titles;
    for (const ProgramWindow& window : windows)
        if (window.processId == processId && !window.title.empty())
            titles.push_back(Utf8Text(window.title));
    return titles;
}

Json ProcessJson(const ProgramCopy& copy, const std::vector<std::string>& titles)
{
    Json process = Json{ { "id", copy.processId }, { "windows", titles }, { "commandLineRead", !copy.byFileAlone } };
    if (copy.byFileAlone)
        process["why"] = ReportText(copy.why);
    return process;
}

// One package's profiles, a line each (UTF-8) and as JSON.
void ReportPackage(const std::vector<ProfilePrograms>& found, const std::vector<ProgramWindow>& windows,
                   std::string& text, Json& profiles)
{
    for (size_t i = 0; i < found.size(); ++i) {
        const ProfilePrograms& programs = found[i];
        const ProfileBase& profile = *programs.profile;
        const char* state = programs.cannotTell ? "cannot tell" : programs.copies.empty() ? "not running" : "running";
        Json item = Json{ { "number", i + 1 }, { "name", ReportText(profile.name()) }, { "state", state } };
        text += "  " + std::to_string(i + 1) + " " + ReportText(profile.name()) + ": " + state;
        if (programs.cannotTell) {
            item["why"] = CannotTellWhy(profile);
            text += ": " + CannotTellWhy(profile);
        }
        Json processes = Json::array();
        for (size_t copy = 0; copy < programs.copies.size(); ++copy) {
            std::vector<std::string> titles = TitlesOf(programs.copies[copy].processId, windows);
            processes.push_back(ProcessJson(programs.copies[copy], titles));
            text += (copy ? ", " : ": ") + CopyText(programs.copies[copy], titles);
        }
        if (!programs.copies.empty())
            item["processes"] = processes;
        profiles.push_back(item);
        text += "\n";
    }
}

// One program that close asks to end, and the handle through which it waits for that.
struct Closing {
    std::string name;
    ProgramCopy copy;
    HANDLE process;
    bool asked;
};

// Opens the process to wait for it and, with force, to end it; false when it has already ended.
bool OpenToClose(Closing& closing, bool force)
{
    DWORD access = SYNCHRONIZE | (force ? PROCESS_TERMINATE : 0);
    closing.process = OpenProcess(access, FALSE, closing.copy.processId);
    if (!closing.process && force)
        closing.process = OpenProcess(SYNCHRONIZE, FALSE, closing.copy.processId);
    // An id that names no process any more: the program ended meanwhile.
    return closing.process || GetLastError() != ERROR_INVALID_PARAMETER;
}

}  // namespace

int StatusCommand(const Invocation& call, Console& console)
{
    std::vector<std::string> paths;
    std::string error;
    if (!NamedPackages(call, paths, error))
        return Failure(console, error);
    std::vector<ProgramWindow> windows = MainWindows();
    int result = EXIT_OK;
    Json reports = Json::array();
    std::string text;
    for (const std::string& path : paths) {
        Json report = Json{ { "package", ReportText(path) } };
        HeldPackage package(path, OPEN_TO_READ);
        std::vector<ProfilePrograms> found;
        if (!package.get())
            error = package.error();
        if (!package.get() || !FindRunningPrograms(package.launchOrder(), found, error)) {
            result = Failure(console, error);
            report["error"] = ReportText(error);
            reports.push_back(report);
            continue;
        }
        Json profiles = Json::array();
        text += ReportText(path) + "\n";
        ReportPackage(found, windows, text, profiles);
        report["profiles"] = profiles;
        reports.push_back(report);
    }
    // Window titles may hold any character: the whole text goes out as UTF-8, as JSON does.
    console.json(call.has("json") ? JsonText(Json{ { "packages", reports } }, 2) + "\n" : text);
    return result;
}

int CloseCommand(const Invocation& call, Console& console)
{
    unsigned long seconds = 0;
    if (!call.number("timeout", DEFAULT_CLOSE_SECONDS, LONGEST_WAIT_SECONDS, seconds)) {
        return UsageFailure(console, "--timeout takes a whole number of seconds, at most " +
                                         std::to_string(LONGEST_WAIT_SECONDS));
    }
    bool force = call.has("force");
    std::string path = ResolvePackage(call.operands[0], call.folder);
    std::string error;
    HeldPackage package(path, OPEN_TO_READ);
    if (!package.get())
        return Failure(console, package.error());
    std::vector<ProfilePrograms> found;
    if (!FindRunningPrograms(package.launchOrder(), found, error))
        return Failure(console, error);

    // The console or script that runs this command may match a profile too (a plain cmd.exe): it is
    // never closed under the user's feet.
    DWORD parent = 0;
    std::vector<ListedProcess> processes;
    if (ListProcesses(processes))
        for (const ListedProcess& process : processes)
            parent = process.id == GetCurrentProcessId() ? process.parent : parent;

    // Asked in reverse launch order, each process once however many profiles it matches.
    std::vector<ProgramWindow> windows = MainWindows();
    std::vector<Closing> closing;
    for (size_t i = found.size(); i-- > 0;) {
        for (const ProgramCopy& copy : found[i].copies) {
            bool seen = false;
            for (const Closing& earlier : closing)
                seen = seen || earlier.copy.processId == copy.processId;
            Closing program = { found[i].profile->name(), copy, nullptr, false };
            if (copy.processId == parent && !seen) {
                console.out("left alone: " + program.name + ": " + CopyText(copy) + ", which runs this command\n");
                continue;
            }
            if (seen || !OpenToClose(program, force))
                continue;
            // As the close box does: the program may still ask its user or refuse.
            for (const ProgramWindow& window : windows)
                if (window.processId == copy.processId)
                    program.asked = PostMessageA(window.window, WM_CLOSE, 0, 0) || program.asked;
            console.out((program.asked ? "asked " : "shows no window to close: ") + program.name + ": " +
                        CopyText(copy) + "\n");
            closing.push_back(program);
        }
    }
    if (closing.empty())
        console.out("nothing of " + path + " runs\n");

    DWORD begin = GetTickCount();
    int result = EXIT_OK;
    for (Closing& program : closing) {
        DWORD waited = GetTickCount() - begin;
        DWORD left = program.asked && waited < seconds * 1000 ? seconds * 1000 - waited : 0;
        if (program.process && WaitForSingleObject(program.process, left) == WAIT_OBJECT_0)
            console.out("closed " + program.name + ": process " + std::to_string(program.copy.processId) + "\n");
        else if (force && program.process && TerminateProcess(program.process, 1) &&
                 WaitForSingleObject(program.process, FORCED_END_MS) == WAIT_OBJECT_0)
            console.out("ended " + program.name + ": process " + std::to_string(program.copy.processId) + "\n");
        else if (!program.process)
            result = Failure(console, "not waited for: " + program.name + ": process " +
                                          std::to_string(program.copy.processId) + " may not be opened by this user");
        else
            result = Failure(console, "still running: " + program.name + ": process " +
                                          std::to_string(program.copy.processId));
        if (program.process)
            CloseHandle(program.process);
    }
    return result;
}
