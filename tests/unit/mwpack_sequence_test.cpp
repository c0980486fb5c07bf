// Random sequences of mwpack's commands over a few packages, against a small model of what each
// package should hold, with failures injected: a full disk, a package held as the editor holds
// it, a stale side file left by a package deleted outside Marlowin, results into a closed pipe.
// After every step each package reads as the model says, byte for byte, every file a failed
// command would have replaced is untouched, nothing half-made is left, and the exit code says
// exactly whether the command did what it was asked.
//   MARLOWIN_SEQUENCE_SEED   the first seed (default: taken from the clock, and printed)
//   MARLOWIN_SEQUENCE_STEPS  steps in all (default 15000), in sequences of 40
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/unit/mwpack_fixture.h"

using namespace testing_support;

namespace {

const char* const PACKAGES[] = { "A", "B", "C" };
const char* const NAMES[] = { "alpha", "bravo", "charlie", "delta" };   // lower case: byte order is name order
const char* const TEXTS[] = { "t1.json", "t2.json" };
const int SEQUENCE_LENGTH = 40;

typedef std::vector<RecordSpec> Records;

struct Model {
    std::map<std::string, Records> packages;   // those that exist, records in file order
    std::map<std::string, std::string> texts;  // text form files that exist, by their bytes
};

std::string Bytes(const Records& records)
{
    return EncodePackage(records);
}

// A profile as add and import make it.
RecordSpec Profile(std::mt19937& random)
{
    RecordSpec record;
    record.name = NAMES[random() % 4];
    record.object = "C:\\Tools\\" + std::to_string(random() % 3) + ".exe";
    record.arguments = random() % 2 ? "" : "-n " + std::to_string(random() % 5);
    record.type = random() % 2 ? "Executable" : "Auto";
    record.window = random() % 2 ? "Normal" : "Minimize";
    return record;
}

void Sort(Records& records)
{
    std::stable_sort(records.begin(), records.end(),
                     [](const RecordSpec& a, const RecordSpec& b) { return a.name < b.name; });
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

// The text form of the records, in their order, as import reads it.
std::string TextForm(const Records& records)
{
    std::string text = "{\"version\": 1, \"profiles\": [";
    for (size_t i = 0; i < records.size(); ++i) {
        const RecordSpec& r = records[i];
        text += std::string(i ? ", " : "") + "{\"name\": " + Quoted(r.name) + ", \"object\": " + Quoted(r.object) +
                ", \"arguments\": " + Quoted(r.arguments) + ", \"type\": " + Quoted(r.type) +
                ", \"window\": " + Quoted(r.window) + "}";
    }
    return text + "]}";
}

// One step: the command, what it should do to the model, and whether it prints on success.
struct Step {
    Arguments arguments;
    bool ok = false;       // it does what it is asked, disk faults aside
    bool writes = false;   // it must write bytes to do so
    bool prints = false;
    Model after;
    std::string touched;   // the package it reads or writes, for the held-package fault
    std::string exported;  // the text file an export writes, and what it imports as
    Records exportedRecords;
};

class MwpackSequences : public MwpackCommands {
protected:
    // The package as the next reader finds it, a pending recovery included; "" with exists false
    // when there is no such file.
    std::string Seen(const std::string& package, bool& exists)
    {
        std::string path = Path(package + ".mwpack");
        exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!exists)
            return std::string();
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        DWORD size = 0;
        unsigned char* image = LoadPackageImage(file, path.c_str(), &size);
        CloseHandle(file);
        std::string bytes = image ? std::string((const char*)image, size) : std::string("(unreadable)");
        free(image);
        return bytes;
    }

    // Every package and text file as the model has them, and no file that should not be there.
    std::string Differences(const Model& model)
    {
        std::string found;
        for (const char* package : PACKAGES) {
            bool exists = false;
            std::string bytes = Seen(package, exists);
            auto wanted = model.packages.find(package);
            if (exists != (wanted != model.packages.end()))
                found += std::string(package) + (exists ? " exists" : " is missing") + "; ";
            else if (exists && bytes != Bytes(wanted->second))
                found += std::string(package) + " holds " + std::to_string(bytes.size() / RECORD_SIZE) +
                         " records, not the " + std::to_string(wanted->second.size()) + " expected; ";
        }
        for (const char* text : TEXTS) {
            auto wanted = model.texts.find(text);
            bool exists = Exists(text);
            if (exists != (wanted != model.texts.end()) || (exists && ReadFileBytes(Path(text)) != wanted->second))
                found += std::string(text) + " is not as it was written; ";
        }
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA(Path("*").c_str(), &entry);
        do {
            std::string name = entry.cFileName;
            bool known = name == "." || name == ".." || name == "in.json" || model.texts.count(name) ||
                         (name.size() > 7 && (name.substr(name.size() - 7) == ".mwpack" ||
                                              name.substr(name.size() - 8) == ".mwpack~"));
            if (!known)
                found += "a stray file " + name + "; ";
        } while (FindNextFileA(search, &entry));
        FindClose(search);
        return found;
    }

    Step Choose(std::mt19937& random, const Model& model)
    {
        Step step;
        step.after = model;
        std::string p = PACKAGES[random() % 3], q = PACKAGES[random() % 3];
        bool hasP = model.packages.count(p) != 0, hasQ = model.packages.count(q) != 0;
        const Records* records = hasP ? &model.packages.at(p) : nullptr;
        step.touched = p;
        auto write = [&](const std::string& package, Records result, bool made) {
            std::string before = model.packages.count(package) ? Bytes(model.packages.at(package)) : "";
            step.ok = true;
            step.writes = Bytes(result) != before;
            step.prints = made;
            step.after.packages[package] = result;
        };
        switch (random() % 9) {
        case 0:
            step.arguments = { "new", p };
            step.ok = !hasP;
            step.prints = true;
            step.after.packages[p] = Records();
            break;
        case 1: {
            RecordSpec added = Profile(random);
            step.arguments = { "add", p, "--name", added.name, "--object", added.object, "--arguments", added.arguments,
                               "--type", added.type, "--window", added.window };
            Records result = hasP ? *records : Records();
            result.erase(std::remove_if(result.begin(), result.end(),
                                        [&](const RecordSpec& r) { return r.name == added.name; }),
                         result.end());
            result.push_back(added);
            Sort(result);
            write(p, result, !hasP);
            break;
        }
        case 2: {
            std::string name = NAMES[random() % 4], object = "C:\\Set\\" + std::to_string(random() % 3) + ".exe";
            step.arguments = { "set", p, name, "--object", object };
            auto found = hasP ? std::find_if(records->begin(), records->end(),
                                             [&](const RecordSpec& r) { return r.name == name; })
                              : Records::const_iterator();
            if (!hasP || found == records->end())
                break;
            Records result = *records;
            result[found - records->begin()].object = object;
            Sort(result);
            write(p, result, false);
            break;
        }
        case 3: {
            std::string name = NAMES[random() % 4];
            step.arguments = { "remove", p, name };
            Records result = hasP ? *records : Records();
            size_t before = result.size();
            result.erase(std::remove_if(result.begin(), result.end(), [&](const RecordSpec& r) { return r.name == name; }),
                         result.end());
            if (hasP && result.size() < before) {
                Sort(result);
                write(p, result, false);
            }
            break;
        }
        case 4:
            step.arguments = { "rename", p, q };
            step.ok = hasP && !hasQ;
            if (step.ok) {
                step.after.packages[q] = *records;
                step.after.packages.erase(p);
            }
            break;
        case 5:
            step.arguments = { "copy", p, q };
            step.ok = hasP && !hasQ;
            if (step.ok) {
                step.writes = !records->empty();
                step.after.packages[q] = *records;
            }
            break;
        case 6: {
            // A text exported earlier, or one written by hand in any order.
            std::string text = TEXTS[random() % 2];
            if (random() % 2 || !model.texts.count(text)) {
                Records hand;
                for (const char* name : NAMES)
                    if (random() % 2) {
                        RecordSpec record = Profile(random);
                        record.name = name;
                        hand.insert(hand.begin() + random() % (hand.size() + 1), record);
                    }
                text = "in.json";
                WriteFileBytes(Path(text), TextForm(hand));
                texts_[text] = hand;
            }
            step.arguments = { "import", Path(text), p };
            write(p, texts_[text], !hasP);
            break;
        }
        case 7: {
            std::string text = TEXTS[random() % 2];
            step.arguments = { "export", p, Path(text) };
            step.ok = hasP;
            step.writes = true;
            if (step.ok) {
                step.exported = text;
                step.exportedRecords = *records;
            }
            break;
        }
        default:
            step.arguments = { "delete", p };
            step.ok = hasP;
            step.after.packages.erase(p);
            break;
        }
        if (!step.ok)
            step.after = model;
        return step;
    }

    std::map<std::string, Records> texts_;   // what each text file imports as
};

TEST_F(MwpackSequences, EveryPackageMatchesTheModelAndNoExitCodeClaimsWhatDidNotHappen)
{
    const char* seedText = getenv("MARLOWIN_SEQUENCE_SEED");
    const char* stepsText = getenv("MARLOWIN_SEQUENCE_STEPS");
    unsigned firstSeed = seedText && *seedText ? (unsigned)strtoul(seedText, nullptr, 10) : (unsigned)GetTickCount();
    int steps = stepsText && *stepsText ? atoi(stepsText) : 15000;
    printf("mwpack sequences: seeds from %u, %d steps (MARLOWIN_SEQUENCE_SEED=%u to repeat)\n", firstSeed, steps,
           firstSeed);

    // A side file that an interrupted save of another package left behind.
    Run({ "add", "Old", "--name", "stale", "--type", "Auto", "--object", "C:\\stale.exe" });
    Run({ "add", "Old", "--name", "zulu", "--type", "Auto", "--object", "z" });
    {
        FullDisk disk(2);   // the side file is written whole, the package and its restore are not
        Run({ "remove", "Old", "stale" });
    }
    std::string staleSide = ReadFileBytes(Path("Old.mwpack~"));
    ASSERT_FALSE(staleSide.empty());
    DeleteFileA(Path("Old.mwpack").c_str());
    DeleteFileA(Path("Old.mwpack~").c_str());

    int sequences = (steps + SEQUENCE_LENGTH - 1) / SEQUENCE_LENGTH;
    int failuresInjected = 0, refusedAsExpected = 0;
    for (int sequence = 0; sequence < sequences && !HasFailure(); ++sequence) {
        unsigned seed = firstSeed + sequence;
        std::mt19937 random(seed);
        RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        texts_.clear();
        Model model;
        std::string history;
        bool pending = false;   // a failed save left its side file: the next step must put it right
        for (int number = 0; number < SEQUENCE_LENGTH && !HasFailure(); ++number) {
            int fault = random() % 10;   // 0: full disk, 1: a held package, 2: a stale side file, 3: a closed pipe
            if (fault == 0 && pending)
                fault = 10;
            bool diskFull = fault == 0;
            Step step = Choose(random, model);
            // A full disk from the first write on fails whatever must write; one that lets a few
            // writes through may or may not, and then the exit code decides which model holds.
            int allowed = diskFull ? (int)(random() % 3) : 0;
            bool certain = !(diskFull && allowed > 0 && step.ok && step.writes);
            if (diskFull && allowed == 0 && step.writes) {
                step.ok = false;
                step.after = model;
            }
            HANDLE held = INVALID_HANDLE_VALUE;
            if (fault == 1 && model.packages.count(step.touched)) {
                held = CreateFileA(Path(step.touched + ".mwpack").c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
                step.ok = false;
                step.after = model;
            }
            if (fault == 2)
                for (const char* package : PACKAGES)
                    if (!model.packages.count(package))
                        WriteFileBytes(Path(std::string(package) + ".mwpack~"), staleSide);
            Outcome outcome;
            {
                std::unique_ptr<FullDisk> disk(diskFull ? new FullDisk(allowed) : nullptr);
                outcome = Run(step.arguments, fault == 3 ? ERROR_NO_DATA : 0);
            }
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            failuresInjected += fault < 4;
            refusedAsExpected += !step.ok;

            std::string command;
            for (const std::string& argument : step.arguments)
                command += argument.substr(argument.find_last_of('\\') + 1) + " ";
            const char* faults[] = { "full disk", "held", "stale side file", "closed pipe" };
            history += "  " + std::to_string(number + 1) + ": " + command + (fault < 4 ? "[" : "") +
                       (fault < 4 ? faults[fault] : "") + (fault < 4 ? "] " : "") + "-> " +
                       std::to_string(outcome.code) + "\n";
            if (!certain && outcome.code != EXIT_OK) {
                step.ok = false;
                step.after = model;
            }
            int expected = step.ok && !(fault == 3 && step.prints) ? EXIT_OK : EXIT_PROBLEMS;
            if (step.ok && !step.exported.empty()) {
                // Its bytes are what import must turn back into the package.
                texts_[step.exported] = step.exportedRecords;
                step.after.texts[step.exported] = ReadFileBytes(Path(step.exported));
            }
            std::string differences = Differences(step.after);
            ASSERT_EQ(outcome.code, expected) << "seed " << seed << ", step " << number + 1 << ": " << outcome.errors
                                              << "\n" << history;
            ASSERT_TRUE(outcome.code == EXIT_OK || !outcome.errors.empty()) << "seed " << seed << "\n" << history;
            ASSERT_EQ(differences, "") << "seed " << seed << ", step " << number + 1 << "\n" << history;
            model = step.after;
            pending = false;
            for (const auto& package : model.packages)
                pending = pending || Exists(package.first + ".mwpack~");
        }
    }
    printf("mwpack sequences: %d steps, %d with a fault injected, %d refused as the model expected\n",
           sequences * SEQUENCE_LENGTH, failuresInjected, refusedAsExpected);
}

}  // namespace
