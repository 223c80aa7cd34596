// The control's child window: its class, its creation and the messages it hands to the control.
#pragma once

#include <windows.h>

namespace quillstart {

class QuillstartCtrl;

// Creates the window as a child of parent; its creation runs QuillstartCtrl::OnCreate.
HWND CreateControlWindow(QuillstartCtrl* control, HWND parent, const RECT& position);
// Cuts the window from its control, so that no later message reaches a control that is gone.
void DetachControlWindow(HWND window);
// Called when the library unloads: a class left registered would point into freed code.
void UnregisterControlWindowClass();

}  // namespace quillstart
