// wintool: a console program, run under the same Wine prefix as the program under test, that reads
// windows across processes for the end-to-end tests in tests/wine/. Built with MinGW-w64 by the suite.
//
//   wintool list                  every top-level window: HWND visible class window-rect "title"
//   wintool find TITLE            the HWND of the visible top-level window titled exactly TITLE (exit 1: none)
//   wintool rect HWND             window rectangle and client rectangle, both in screen coordinates
//   wintool children HWND         every descendant window: HWND id class visible window-rect client-rect "text"
//   wintool text HWND             the window's text (WM_GETTEXT, with a time-out)
//   wintool close HWND            post WM_CLOSE
//   wintool closebox HWND         the screen point of the caption's close box (WM_NCHITTEST), exit 1 if none
//
// Rectangles are printed as "x y width height". HWNDs are printed and read in hexadecimal.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <windows.h>

namespace {

const UINT kTimeoutMs = 5000;

HWND ParseHwnd(const char* text) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoull(text, nullptr, 16))); }

std::string WindowText(HWND hwnd) {
    char buffer[1024] = {0};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kTimeoutMs, &copied)) {
        return "";
    }
    buffer[sizeof buffer - 1] = 0;
    // One line per window: line breaks and tabs inside a text are shown escaped.
    std::string out;
    for (const char* p = buffer; *p; ++p) {
        if (*p == '\n')
            out += "\\n";
        else if (*p == '\r')
            out += "\\r";
        else if (*p == '\t')
            out += "\\t";
        else
            out += *p;
    }
    return out;
}

std::string ClassName(HWND hwnd) {
    char name[256] = {0};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

void PrintRect(const RECT& r) { std::printf("%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top); }

RECT ClientOnScreen(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

BOOL CALLBACK ListTopLevel(HWND hwnd, LPARAM) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("%llx %d %s ", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)),
                IsWindowVisible(hwnd) ? 1 : 0, ClassName(hwnd).c_str());
    PrintRect(r);
    std::printf(" \"%s\"\n", WindowText(hwnd).c_str());
    return TRUE;
}

struct FindTitle {
    const char* title;
    HWND found;
};

BOOL CALLBACK FindByTitle(HWND hwnd, LPARAM data) {
    auto* find = reinterpret_cast<FindTitle*>(data);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (WindowText(hwnd) == find->title) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ListChild(HWND hwnd, LPARAM) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("%llx %d %s %d ", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), GetDlgCtrlID(hwnd),
                ClassName(hwnd).c_str(), IsWindowVisible(hwnd) ? 1 : 0);
    PrintRect(r);
    std::printf(" ");
    PrintRect(ClientOnScreen(hwnd));
    std::printf(" \"%s\"\n", WindowText(hwnd).c_str());
    return TRUE;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: wintool list | find TITLE | rect HWND | children HWND | text HWND | close HWND | "
                 "closebox HWND\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "list" && argc == 2) {
        EnumWindows(ListTopLevel, 0);
        return 0;
    }
    if (argc != 3) return Usage();
    if (command == "find") {
        FindTitle find{argv[2], nullptr};
        EnumWindows(FindByTitle, reinterpret_cast<LPARAM>(&find));
        if (!find.found) return 1;
        std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(find.found)));
        return 0;
    }
    const HWND hwnd = ParseHwnd(argv[2]);
    if (!IsWindow(hwnd)) {
        std::fprintf(stderr, "wintool: %s is not a window\n", argv[2]);
        return 1;
    }
    if (command == "rect") {
        RECT r{};
        GetWindowRect(hwnd, &r);
        std::printf("window ");
        PrintRect(r);
        std::printf("\nclient ");
        PrintRect(ClientOnScreen(hwnd));
        std::printf("\n");
        return 0;
    }
    if (command == "children") {
        EnumChildWindows(hwnd, ListChild, 0);
        return 0;
    }
    if (command == "text") {
        std::printf("%s\n", WindowText(hwnd).c_str());
        return 0;
    }
    if (command == "close") return PostMessageA(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == "closebox") {
        // Ask the window, point by point over the right end of its top band, where the close box is;
        // print the middle of the box.
        RECT r{};
        GetWindowRect(hwnd, &r);
        LONG left = r.right, right = r.left - 1, top = r.bottom, bottom = r.top - 1;
        for (LONG y = r.top; y < r.top + 48 && y < r.bottom; ++y) {
            for (LONG x = r.right - 1; x >= r.right - 80 && x >= r.left; --x) {
                DWORD_PTR hit = 0;
                if (SendMessageTimeoutA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kTimeoutMs, &hit) &&
                    hit == HTCLOSE) {
                    if (x < left) left = x;
                    if (x > right) right = x;
                    if (y < top) top = y;
                    if (y > bottom) bottom = y;
                }
            }
        }
        if (right < left) return 1;
        std::printf("%ld %ld\n", (left + right) / 2, (top + bottom) / 2);
        return 0;
    }
    return Usage();
}
