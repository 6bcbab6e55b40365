#pragma once

#include <QByteArray>
#include <QList>

/// A shared library opened at run time by one of the names the build gives for it
/// ("libSDL2-2.0.so.0", "SDL2.dll"), and the functions found in it. One header;
/// sharedlibrary_unix.cpp (dlopen) and sharedlibrary_win.cpp (LoadLibraryW) are its sides.
class SharedLibraries
{
public:
    /// Opens each library of @p names, separated by ':'; those missing are left out.
    explicit SharedLibraries(const char *names);
    /// Points @p function at the function @p name of the first library that has it; false when
    /// none has.
    template <typename F>
    bool find(F &function, const char *name) const
    {
        void *found = lookUp(name);
        function = reinterpret_cast<F>(found);
        return found != nullptr;
    }

private:
    void *lookUp(const char *name) const;
    QList<void *> m_handles;
};
