// Where the commands write: standard output for results, standard error for messages.
// Plain text is in the system code page, as the packages are; JSON is already UTF-8.
#ifndef MARLOWIN_CONSOLE_H
#define MARLOWIN_CONSOLE_H

#include <string>

class Console {
public:
    virtual void out(const std::string& text) = 0;
    virtual void json(const std::string& utf8) = 0;
    virtual void err(const std::string& text) = 0;

protected:
    ~Console() = default;
};

// The process's own standard handles. Files and pipes get UTF-8 with LF line ends, whatever the
// code page; a console gets its own output code page.
class StandardConsole : public Console {
public:
    void out(const std::string& text) override;
    void json(const std::string& utf8) override;
    void err(const std::string& text) override;
};

// Keeps everything written, as given, for callers that look at it afterwards.
class BufferConsole : public Console {
public:
    void out(const std::string& text) override { output += text; }
    void json(const std::string& utf8) override { output += utf8; }
    void err(const std::string& text) override { errors += text; }
    std::string output;
    std::string errors;
};

#endif
