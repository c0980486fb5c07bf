#include "tests/support/mwpack_run.h"

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
    ConsoleRun result;
    result.run = RunCommandLine("\"" + MwpackPath() + "\" " + arguments, 30000, nullptr, out, err);
    CloseHandle(out);
    CloseHandle(err);
    result.output = ReadFileBytes(outPath);
    result.errors = ReadFileBytes(errPath);
    return result;
}

}  // namespace testing_support
