#include "tests/e2e/mwpack_run.h"

#include <vector>

namespace testing_support {

std::string MwpackPath()
{
    return BinFolder() + "\\mwpack.exe";
}

ConsoleRun RunMwpackExe(const std::string& arguments, const std::string& folder)
{
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, nullptr, TRUE };
    std::string outPath = folder + "\\stdout.txt", errPath = folder + "\\stderr.txt";
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::string commandLine = "\"" + MwpackPath() + "\" " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    PROCESS_INFORMATION process;
    ConsoleRun result;
    if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        result.run.started = true;
        result.run.finished = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
        if (result.run.finished)
            GetExitCodeProcess(process.hProcess, &result.run.exitCode);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.output = ReadFileBytes(outPath);
    result.errors = ReadFileBytes(errPath);
    return result;
}

}  // namespace testing_support
