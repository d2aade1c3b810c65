/* Not a benchmark: the bare Win32 program that bench/measure_windows_startup.sh holds the Windows
 * game's start-up time and memory against. It opens one window with a 523 x 390 client area,
 * paints it once, and writes the same ready line as the game when that paint is done. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static FILE* ready;

static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        FillRect(dc, &paint.rcPaint, (HBRUSH)GetStockObject(BLACK_BRUSH));
        EndPaint(hwnd, &paint);
        if (ready != NULL) {
            LARGE_INTEGER counter, frequency;
            QueryPerformanceCounter(&counter);
            QueryPerformanceFrequency(&frequency);
            fprintf(ready, "%.3f\n", (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart);
            fclose(ready);
            ready = NULL;
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command, int show) {
    (void)previous;
    (void)command;
    const wchar_t* path = _wgetenv(L"KELVORA_READY_FILE");
    ready = path != NULL && *path != L'\0' ? _wfopen(path, L"w") : NULL;
    WNDCLASSW windowClass = {0};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.lpszClassName = L"MinimalWindow";
    RegisterClassW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer = {0, 0, 523, 390};
    AdjustWindowRect(&outer, style, FALSE);
    HWND hwnd = CreateWindowW(L"MinimalWindow", L"Minimal", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              outer.right - outer.left, outer.bottom - outer.top, NULL, NULL, instance, NULL);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
