// Where the commands write: standard output for results, standard error for messages.
#ifndef MARLOWIN_CONSOLE_H
#define MARLOWIN_CONSOLE_H

#include <string>

class Console {
public:
    virtual void out(const std::string& text) = 0;
    virtual void err(const std::string& text) = 0;

protected:
    ~Console() = default;
};

// The process's own standard handles.
class StandardConsole : public Console {
public:
    void out(const std::string& text) override;
    void err(const std::string& text) override;
};

// Keeps everything written, for callers that look at it afterwards.
class BufferConsole : public Console {
public:
    void out(const std::string& text) override { output += text; }
    void err(const std::string& text) override { errors += text; }
    std::string output;
    std::string errors;
};

#endif
