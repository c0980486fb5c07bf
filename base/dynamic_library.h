// A system library loaded at run time, when a feature first needs it, so that a resident copy that
// only waits in the tray never maps the file dialogs, the common controls or the COM machinery.
#ifndef MARLOWIN_DYNAMIC_LIBRARY_H
#define MARLOWIN_DYNAMIC_LIBRARY_H

#include <windows.h>

class DynamicLibrary {
public:
    explicit DynamicLibrary(const char* name) : module_(LoadLibraryA(name)), kept_(false) {}
    ~DynamicLibrary()
    {
        if (module_ && !kept_)
            FreeLibrary(module_);
    }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Keeps the library loaded until the process ends, for one that does not release everything it
    // took when it is unloaded: the handle is simply never freed (pinning it through the loader would
    // need GetModuleHandleEx, which the oldest systems lack).
    void keep() { kept_ = true; }

    // The named function, or null when the library or the function is missing.
    template <typename Function>
    Function function(const char* name) const
    {
        return module_ ? (Function)(void*)GetProcAddress(module_, name) : nullptr;
    }

private:
    HMODULE module_;
    bool kept_;
};

// COM for the calling thread for as long as the object lives; ole32 stays loaded until then, or
// until the process ends when kept (for a use that repeats: under Wine every unload of ole32 after
// an apartment leaves some memory behind).
class ComApartment {
public:
    explicit ComApartment(bool keepLoaded = false) : ole_("ole32.dll"), initialized_(false)
    {
        typedef HRESULT(WINAPI * InitializeProc)(LPVOID);
        InitializeProc initialize = ole_.function<InitializeProc>("CoInitialize");
        initialized_ = initialize && SUCCEEDED(initialize(nullptr));
        if (keepLoaded)
            ole_.keep();
    }
    ~ComApartment()
    {
        typedef void(WINAPI * UninitializeProc)();
        UninitializeProc uninitialize = ole_.function<UninitializeProc>("CoUninitialize");
        if (initialized_ && uninitialize)
            uninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    DynamicLibrary ole_;
    bool initialized_;
};

// Loads the common controls, once, for the first dialog that needs them. Dialog controls take their
// look from them (the manifest asks for version 6); the tray waits without them until then, as they
// cost more than the rest of it. Once loaded they stay: under Wine every unload of them after a
// dialog with icons leaves some of its memory behind, so loading them per dialog would grow without
// bound.
inline void UseCommonControls()
{
    typedef void(WINAPI * InitializeProc)();
    DynamicLibrary library("comctl32.dll");
    InitializeProc initialize = library.function<InitializeProc>("InitCommonControls");
    if (initialize)
        initialize();
    library.keep();
}

#endif
