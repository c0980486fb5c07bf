#include "mwpack/package_programs.h"

#include <algorithm>

#include "mwpack/package_access.h"
#include "mwpack/process_list.h"
#include "mwpack/program_match.h"
#include "mwpack/quoted_text.h"
#include "mwpack/running_program.h"
#include "mwpack/text_conversion.h"

namespace {

// A process that may be a profile's program, as the matching rule reads it.
struct Candidate {
    DWORD id;
    std::string path;
    bool commandLineRead;
    std::string commandLine;
    std::string why;
};

// The profile's object where the launcher finds it: a name without a folder is looked for as
// process creation looks for a program (the launcher's folder, the current one, the system's, the
// PATH), any other path is made full; without an extension the file is the ".exe" of that name.
std::string ObjectPath(const ProfileBase& profile)
{
    std::string object = profile.object();
    object.erase(std::remove(object.begin(), object.end(), '"'), object.end());
    if (object.find_first_of("\\/:") == std::string::npos) {
        char found[MAX_PATH];
        DWORD length = SearchPathA(nullptr, object.c_str(), ".exe", sizeof found, found, nullptr);
        return length > 0 && length < sizeof found ? ResolveFile(found) : object;
    }
    if (FileOf(object).find('.') == std::string::npos)
        object += ".exe";
    return ResolveFile(object);
}

// Reads the processes that may run one of the files; a process whose path or command line the
// system code page cannot hold runs no profile's program, whose texts are all in that code page.
void ReadCandidates(const std::vector<ListedProcess>& processes, const std::vector<std::string>& files,
                    std::vector<Candidate>& candidates)
{
    for (const ListedProcess& listed : processes) {
        bool named = listed.file.find('~') != std::string::npos;
        for (size_t i = 0; i < files.size() && !named; ++i)
            named = lstrcmpiA(listed.file.c_str(), files[i].c_str()) == 0;
        if (!named || listed.id == GetCurrentProcessId())
            continue;
        RunningProgram program = ReadRunningProgram(listed.id);
        std::wstring path = program.path;
        if (path.find(L'~') != std::wstring::npos) {
            WCHAR longPath[MAX_PATH * 2];
            DWORD length = GetLongPathNameW(path.c_str(), longPath, ARRAYSIZE(longPath));
            if (length > 0 && length < ARRAYSIZE(longPath))
                path.assign(longPath, length);
        }
        Candidate candidate = { listed.id, "", program.commandLineRead, "", program.why };
        if (path.empty() || !ExactAnsi(path, candidate.path) ||
            (program.commandLineRead && !ExactAnsi(program.commandLine, candidate.commandLine)))
            continue;
        candidates.push_back(candidate);
    }
}

}  // namespace

bool FindRunningPrograms(const std::vector<const ProfileBase*>& profiles, std::vector<ProfilePrograms>& found,
                         std::string& error)
{
    found.clear();
    std::vector<std::string> objects, files;
    for (const ProfileBase* profile : profiles) {
        bool cannotTell = MatchProgram(*profile, "", "", nullptr) == MATCH_CANNOT_TELL;
        objects.push_back(cannotTell ? std::string() : ObjectPath(*profile));
        if (!cannotTell)
            files.push_back(FileOf(objects.back()));
    }
    std::vector<ListedProcess> processes;
    if (!ListProcesses(processes)) {
        error = "the system's list of processes cannot be read";
        return false;
    }
    std::vector<Candidate> candidates;
    ReadCandidates(processes, files, candidates);
    for (size_t i = 0; i < profiles.size(); ++i) {
        const ProfileBase& profile = *profiles[i];
        ProfilePrograms programs = { &profile, objects[i].empty(), {} };
        for (size_t c = 0; c < candidates.size() && !programs.cannotTell; ++c) {
            const Candidate& candidate = candidates[c];
            ProgramMatch match = MatchProgram(profile, objects[i].c_str(), candidate.path.c_str(),
                                              candidate.commandLineRead ? candidate.commandLine.c_str() : nullptr);
            if (match == MATCH_SAME || match == MATCH_SAME_FILE)
                programs.copies.push_back(ProgramCopy{ candidate.id, match == MATCH_SAME_FILE, candidate.why });
        }
        found.push_back(programs);
    }
    return true;
}

std::string CopyText(const ProgramCopy& copy, const std::vector<std::string>& titles)
{
    std::string text = "process " + std::to_string(copy.processId);
    for (const std::string& title : titles)
        text += " " + QuotedUtf8Excerpt(title);
    if (copy.byFileAlone)
        text += " (found by its file alone: " + copy.why + ")";
    return text;
}
