#include "quillstart_window.h"

#include "module.h"
#include "quillstart_ctrl.h"
#include "quillstart_ids.h"

namespace quillstart {

namespace {

constexpr const wchar_t* kWindowClass = L"QuillstartCtrlWindow";

QuillstartCtrl* ControlOf(HWND window) {
    return reinterpret_cast<QuillstartCtrl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            break;
        }
        case WM_CREATE: {
            const LRESULT base = DefWindowProcW(window, message, wParam, lParam);
            if (base == 0)
                if (QuillstartCtrl* control = ControlOf(window)) control->OnCreate(window);
            return base;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            FillRect(dc, &paint.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
            EndPaint(window, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            if (QuillstartCtrl* control = ControlOf(window)) control->OnWindowGone();
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            if (message == kCloseMessage) {
                if (QuillstartCtrl* control = ControlOf(window)) control->OnCloseMessage();
                return 0;
            }
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterControlWindowClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(ModuleInstance(), kWindowClass, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &ControlWindowProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

HWND CreateControlWindow(QuillstartCtrl* control, HWND parent, const RECT& position) {
    if (!RegisterControlWindowClass()) return nullptr;
    return CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                           position.left, position.top, position.right - position.left,
                           position.bottom - position.top, parent, nullptr, ModuleInstance(),
                           control);
}

void DetachControlWindow(HWND window) { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

void UnregisterControlWindowClass() { UnregisterClassW(kWindowClass, ModuleInstance()); }

}  // namespace quillstart
