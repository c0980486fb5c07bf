// A system library loaded only while a feature needs it, so that the resident copy does not
// keep the file dialogs and the COM machinery mapped.
#ifndef MARLOWIN_DYNAMIC_LIBRARY_H
#define MARLOWIN_DYNAMIC_LIBRARY_H

#include <windows.h>

class DynamicLibrary {
public:
    explicit DynamicLibrary(const char* name) : module_(LoadLibraryA(name)) {}
    ~DynamicLibrary()
    {
        if (module_)
            FreeLibrary(module_);
    }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The named function, or null when the library or the function is missing.
    template <typename Function>
    Function function(const char* name) const
    {
        return module_ ? (Function)(void*)GetProcAddress(module_, name) : nullptr;
    }

private:
    HMODULE module_;
};

// COM for the calling thread for as long as the object lives; ole32 stays loaded until then.
class ComApartment {
public:
    ComApartment() : ole_("ole32.dll"), initialized_(false)
    {
        typedef HRESULT(WINAPI * InitializeProc)(LPVOID);
        InitializeProc initialize = ole_.function<InitializeProc>("CoInitialize");
        initialized_ = initialize && SUCCEEDED(initialize(nullptr));
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

#endif
