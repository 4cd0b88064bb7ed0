// What the user sees at one screen scale: tests/res/scale.sh runs this in a
// prefix of its own at 96, 144 and 192 dpi (Wine's LogPixels, set before the
// process starts) and names the scale in TOLVARAN_TEST_DPI.
//
// - The program and this test carry the same manifest: common controls 6
//   and per-monitor awareness, so Windows scales nothing behind their back.
// - Every dialog, in both languages, comes out in the system's dialog font
//   at the scale, and every text fits its control: nothing is cut.
// - The tray face is painted at the size the system gives notification
//   icons at that scale.
#include "ResourceReader.h"
#include "WindowHelpers.h"
#include "base/Dpi.h"
#include "driver/AppProcess.h"
#include "tray/MenuGlyphs.h"
#include "tray/TrayIcon.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

UINT testDpi() {
    const char* set = std::getenv("TOLVARAN_TEST_DPI");
    return set && *set ? static_cast<UINT>(std::atoi(set)) : 96;
}

int scaled(int pixels) {
    return MulDiv(pixels, static_cast<int>(testDpi()), 96);
}

template <typename F>
F user32(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// Whether a DPI awareness context is a per-monitor one. (Wine tells the
// first per-monitor kind from the second only by what it does.)
::testing::AssertionResult perMonitor(DPI_AWARENESS_CONTEXT context) {
    using Awareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const auto awareness = user32<Awareness>("GetAwarenessFromDpiAwarenessContext");
    if (!awareness)
        return ::testing::AssertionFailure() << "the system has no DPI awareness contexts";
    if (awareness(context) != DPI_AWARENESS_PER_MONITOR_AWARE)
        return ::testing::AssertionFailure() << "awareness " << awareness(context) << ", not per monitor";
    return ::testing::AssertionSuccess();
}

// Whether a module path is the side-by-side common controls 6, which the
// loader takes only for a program whose manifest asks for them.
::testing::AssertionResult commonControls6(const std::wstring& path) {
    std::wstring lower = path;
    CharLowerW(lower.data());
    if (lower.find(L"\\winsxs\\") == std::wstring::npos ||
        lower.find(L"common-controls_6595b64144ccf1df_6.") == std::wstring::npos)
        return ::testing::AssertionFailure() << toUtf8(path) << " is not common controls 6";
    return ::testing::AssertionSuccess();
}

// The common controls a process has loaded; empty when it has none.
std::wstring commonControlsOf(HANDLE process) {
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes))
        return L"";
    for (DWORD i = 0; i < bytes / sizeof modules[0] && i < 512; ++i) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameExW(process, modules[i], path, MAX_PATH);
        const wchar_t* name = wcsrchr(path, L'\\');
        if (name && lstrcmpiW(name + 1, L"comctl32.dll") == 0)
            return path;
    }
    return L"";
}

TEST(Scale, TheSystemRunsAtTheScaleTheTestSet) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), static_cast<int>(testDpi()));
    ReleaseDC(nullptr, screen);
}

TEST(Manifest, GivesCommonControls6AndPerMonitorAwareness) {
    ASSERT_TRUE(initCommonControls());
    EXPECT_TRUE(commonControls6(commonControlsOf(GetCurrentProcess())));
    using ThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    const auto threadContext = user32<ThreadContext>("GetThreadDpiAwarenessContext");
    ASSERT_NE(threadContext, nullptr);
    EXPECT_TRUE(perMonitor(threadContext()));
}

TEST(Program, RunsWithCommonControls6PerMonitorAwareAtTheScale) {
    AppProcess app;
    ASSERT_TRUE(app.start());
    HWND window = app.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    using WindowContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using WindowDpi = UINT(WINAPI*)(HWND);
    const auto windowContext = user32<WindowContext>("GetWindowDpiAwarenessContext");
    const auto windowDpi = user32<WindowDpi>("GetDpiForWindow");
    ASSERT_TRUE(windowContext && windowDpi);
    EXPECT_TRUE(perMonitor(windowContext(window)));
    EXPECT_EQ(windowDpi(window), testDpi());
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.id());
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(commonControls6(commonControlsOf(process)));
    CloseHandle(process);
    app.stop();
}

TEST(TrayFace, IsPaintedAtTheSizeTheSystemGivesNotificationIcons) {
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    const auto forDpi = user32<MetricsForDpi>("GetSystemMetricsForDpi");
    ASSERT_NE(forDpi, nullptr);
    const int asked = forDpi(SM_CXSMICON, testDpi());
    EXPECT_EQ(asked, scaled(16));
    EXPECT_EQ(trayIconSize(), asked);

    HICON icon = paintTrayIcon({RGB(0, 0, 255), RGB(255, 255, 0), 1, true, false}, trayIconSize());
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObject(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, asked);
    EXPECT_EQ(colour.bmHeight, asked);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(MenuGlyphs, FillTheirCheckMarkAtTheScale) {
    const LONG mark = GetMenuCheckMarkDimensions();
    const int width = LOWORD(mark), height = HIWORD(mark);
    ASSERT_GT(width, 0);
    MenuGlyphs glyphs;
    HDC screen = GetDC(nullptr);
    for (int k = 0; k < MenuGlyphs::count; ++k) {
        SCOPED_TRACE("glyph " + std::to_string(k));
        ASSERT_NE(glyphs.at(k), nullptr);
        BITMAPINFO request{};
        request.bmiHeader = {sizeof request.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<DWORD> pixels(static_cast<size_t>(width * height));
        ASSERT_EQ(GetDIBits(screen, glyphs.at(k), 0, height, pixels.data(), &request, DIB_RGB_COLORS), height);
        // The glyph is what differs from the menu's colour around it.
        int top = height, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[static_cast<size_t>(y * width + x)] != pixels[0]) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_GE(2 * (bottom - top + 1), height) << "a glyph of " << bottom - top + 1 << " rows in a mark of " << height;
    }
    ReleaseDC(nullptr, screen);
}

// The header of the image the system picks from an icon group for a side.
BITMAPINFOHEADER pickedImage(WORD group, int side) {
    BITMAPINFOHEADER header{};
    std::vector<BYTE> directory, image;
    if (!resourceBytes(kTypeGroupIcon, group, kEnglish, directory))
        return header;
    const int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, side, side, LR_DEFAULTCOLOR);
    if (id > 0 && resourceBytes(kTypeIcon, static_cast<WORD>(id), kEnglish, image) && image.size() >= sizeof header)
        memcpy(&header, image.data(), sizeof header);
    return header;
}

TEST(ProgramIcon, HasAnImageInFullColourAtTheScale) {
    const struct {
        WORD group;
        int metric;
    } uses[] = {{102, SM_CXICON}, {102, SM_CXSMICON}, {103, SM_CXSMICON}};
    for (const auto& use : uses) {
        const int side = metricForDpi(use.metric, testDpi());
        SCOPED_TRACE("group " + std::to_string(use.group) + ", side " + std::to_string(side));
        const BITMAPINFOHEADER picked = pickedImage(use.group, side);
        EXPECT_EQ(picked.biWidth, side);
        EXPECT_EQ(picked.biHeight, 2 * side) << "colour and mask";
        EXPECT_EQ(picked.biBitCount, 32);
    }
}

// ---------------------------------------------------------------- texts

// How much room a control's own drawing leaves its text, at the scale.
struct Room {
    int width;
    int height;
    bool wraps;  // the text may take several lines
};

Room roomFor(HWND control, const RECT& client) {
    const std::wstring name = windowClassName(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    Room room{client.right - client.left, client.bottom - client.top, false};
    if (CompareStringOrdinal(name.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            // The raised edge and the focus rectangle on each side.
            room.width -= 2 * scaled(4);
        } else {
            // The box, the gap after it, and the focus rectangle round the text.
            room.width -= metricForDpi(SM_CXMENUCHECK, testDpi()) + scaled(4) + 2;
        }
        room.wraps = (style & BS_MULTILINE) != 0;
    } else {
        room.wraps = (style & SS_TYPEMASK) <= SS_RIGHT;
    }
    return room;
}

bool carriesText(HWND control) {
    const std::wstring name = windowClassName(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (CompareStringOrdinal(name.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL)
        return (style & BS_TYPEMASK) != BS_OWNERDRAW;
    if (CompareStringOrdinal(name.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL) {
        const LONG type = style & SS_TYPEMASK;
        return type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
    }
    return false;
}

// What is wrong with how the control shows its text; empty when it all shows.
std::string misfit(HWND control) {
    const std::wstring text = windowText(control);
    if (text.empty() || !carriesText(control))
        return "";
    RECT client{};
    GetClientRect(control, &client);
    const Room room = roomFor(control, client);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, room.width, 0};
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_EXPANDTABS | (room.wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    if (needed.right <= room.width && needed.bottom <= room.height)
        return "";
    std::ostringstream out;
    out << "\"" << toUtf8(text) << "\" needs " << needed.right << " x " << needed.bottom << ", has " << room.width
        << " x " << room.height;
    return out.str();
}

// A control reaching past its dialog's client area is cut by the dialog.
bool insideDialog(HWND dialog, HWND control) {
    RECT client{}, own{};
    GetClientRect(dialog, &client);
    GetWindowRect(control, &own);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&own), 2);
    return own.left >= 0 && own.top >= 0 && own.right <= client.right && own.bottom <= client.bottom;
}

void checkFont(HWND dialog) {
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Shell Dlg");
    // 8 points at the scale.
    EXPECT_EQ(font.lfHeight, -MulDiv(8, static_cast<int>(testDpi()), 72));
}

TEST(DialogTexts, FitTheirControlsInBothLanguages) {
    ASSERT_TRUE(initCommonControls());
    for (LANGID language : {kEnglish, kRussian}) {
        const std::vector<WORD> ids = resourceIds(kTypeDialog, language);
        ASSERT_FALSE(ids.empty());
        for (WORD id : ids) {
            SCOPED_TRACE(std::string(language == kRussian ? "Russian" : "English") + " dialog " + std::to_string(id));
            HWND dialog = createDialogIn(id, language);
            ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
            checkFont(dialog);
            for (HWND control : childWindows(dialog, 100)) {
                const int controlId = static_cast<short>(GetDlgCtrlID(control));
                EXPECT_EQ(misfit(control), "") << "control " << controlId;
                EXPECT_TRUE(insideDialog(dialog, control)) << "control " << controlId << " reaches past the dialog";
            }
            DestroyWindow(dialog);
        }
    }
}

}  // namespace
