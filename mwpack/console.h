// Where the commands write: standard output for results, standard error for messages.
// Plain text is in the system code page, as the packages are; JSON is already UTF-8.
#ifndef MARLOWIN_CONSOLE_H
#define MARLOWIN_CONSOLE_H

#include <string>

enum ExitCode {
    EXIT_OK = 0,
    EXIT_PROBLEMS = 1,    // problems found, or the operation failed
    EXIT_USAGE = 2,
};

class Console {
public:
    virtual void out(const std::string& text) = 0;
    virtual void json(const std::string& utf8) = 0;
    virtual void err(const std::string& text) = 0;
    // Once the command is done: the error number of the first write of results that did not
    // reach its end (a full disk, a closed pipe); 0 when every one did.
    virtual unsigned long finish() = 0;

protected:
    ~Console() = default;
};

// Every message of mwpack: "mwpack: message" on standard error.
void Note(Console& console, const std::string& message);
// The same, giving the exit code of a failed operation, or of a usage error.
int Failure(Console& console, const std::string& message);
int UsageFailure(Console& console, const std::string& message);

// The process's own standard handles. Files and pipes get UTF-8 with LF line ends, whatever the
// code page; a console gets its own output code page.
class StandardConsole : public Console {
public:
    void out(const std::string& text) override;
    void json(const std::string& utf8) override;
    void err(const std::string& text) override;
    unsigned long finish() override;

private:
    unsigned long fault_ = 0;
};

// Keeps everything written, as given, for callers that look at it afterwards. With refusal set,
// results are lost with that error number, as on a full disk or a closed pipe.
class BufferConsole : public Console {
public:
    void out(const std::string& text) override { keep(text); }
    void json(const std::string& utf8) override { keep(utf8); }
    void err(const std::string& text) override { errors += text; }
    unsigned long finish() override { return fault; }
    std::string output;
    std::string errors;
    unsigned long refusal = 0;
    unsigned long fault = 0;

private:
    void keep(const std::string& text)
    {
        if (refusal && !text.empty())
            fault = fault ? fault : refusal;
        else
            output += text;
    }
};

#endif
