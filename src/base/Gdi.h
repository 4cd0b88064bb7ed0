// Owners for GDI objects and device contexts, and a scoped selection.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

template <typename H>
struct GdiObjectTraits {
    using Handle = H;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DeleteObject(handle); }
};

// Pens, brushes, bitmaps, fonts and regions.
template <typename H>
using GdiObject = UniqueHandle<GdiObjectTraits<H>>;

using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DeleteDC(handle); }
};

// A device context from CreateCompatibleDC.
using MemoryDc = UniqueHandle<MemoryDcTraits>;

// A device context got from a window (GetDC or GetWindowDC), given back to
// that window at scope end.
class WindowDc {
public:
    // Of the window's client area, or with whole, of the window with its frame.
    explicit WindowDc(HWND window, bool whole = false)
        : mWindow(window), mDc(whole ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDc() {
        if (mDc)
            ReleaseDC(mWindow, mDc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return mDc; }

private:
    HWND mWindow;
    HDC mDc;
};

// Selects an object into a device context and puts the previous one back at
// scope end, so the object can be deleted afterwards (a selected one cannot).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : mDc(dc), mPrevious(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (mPrevious && mPrevious != HGDI_ERROR)
            SelectObject(mDc, mPrevious);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    bool ok() const { return mPrevious && mPrevious != HGDI_ERROR; }

private:
    HDC mDc;
    HGDIOBJ mPrevious;
};

struct IconTraits {
    using Handle = HICON;
    static Handle none() { return nullptr; }
    static void close(Handle handle) { DestroyIcon(handle); }
};

// An icon made at run time (CreateIconIndirect); not for shared resource icons.
using Icon = UniqueHandle<IconTraits>;
