// Small owners of platform resources, shared by the programs: each closes
// what it holds when it goes out of scope, so that a handle is closed on
// every path by construction. Header only.
#pragma once

#include <windows.h>

// Owns one handle of a kind that `Traits` describes: its type, the value
// that holds nothing, and how it is closed.
template <typename Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return handle_; }
    bool valid() const { return Traits::Holds(handle_); }

    // Closes what it holds, and takes `handle` in its place.
    void Reset(Handle handle = Traits::Empty())
    {
        if (Traits::Holds(handle_))
            Traits::Close(handle_);
        handle_ = handle;
    }

    // The place for a call that hands out a new handle (RegOpenKeyExA's
    // last argument); what was held is closed first.
    Handle* Receive()
    {
        Reset();
        return &handle_;
    }

    // Lets go of the handle without closing it.
    Handle Release()
    {
        const Handle handle = handle_;
        handle_ = Traits::Empty();
        return handle;
    }

private:
    Handle handle_ = Traits::Empty();
};

// A kernel object: a file, a process, a thread, a mutex, an event. Both
// null and INVALID_HANDLE_VALUE hold nothing.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Holds(Handle handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using KernelHandle = Owned<KernelHandleTraits>;

// A directory search of FindFirstFileA.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static bool Holds(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};
using FindHandle = Owned<FindHandleTraits>;

// The traits of a handle that holds nothing when it is null; each owner
// below adds only how its handle is closed.
template <typename H>
struct NullMeansEmpty {
    using Handle = H;
    static Handle Empty() { return nullptr; }
    static bool Holds(Handle handle) { return handle != nullptr; }
};

struct RegistryKeyTraits : NullMeansEmpty<HKEY> {
    static void Close(Handle handle) { RegCloseKey(handle); }
};
using RegistryKey = Owned<RegistryKeyTraits>;

// A handle of the service control manager: the manager or a service.
struct ServiceHandleTraits : NullMeansEmpty<SC_HANDLE> {
    static void Close(Handle handle) { CloseServiceHandle(handle); }
};
using ServiceHandle = Owned<ServiceHandleTraits>;

// A GDI object that its maker deletes: a bitmap, a brush, a pen, a font,
// a palette.
struct GdiObjectTraits : NullMeansEmpty<HGDIOBJ> {
    static void Close(Handle handle) { DeleteObject(handle); }
};
using GdiObject = Owned<GdiObjectTraits>;

// A memory device context of CreateCompatibleDC.
struct MemoryDcTraits : NullMeansEmpty<HDC> {
    static void Close(Handle handle) { DeleteDC(handle); }
};
using MemoryDc = Owned<MemoryDcTraits>;

// A window's device context of GetDC, released to its window.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context, selected out again.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
