// Waiting on the GUI thread without freezing it: timers and paints run, user input waits.
#pragma once
#include "ui/ui_names.h"

#include <functional>

namespace quill::ui {

// Runs the GUI thread's events except user input for ms milliseconds, so that the busy spinner
// turns and the window repaints while the caller waits; clicks and keys stay queued and arrive
// after the wait. Call on the GUI thread only.
void PumpBusyEvents(int ms);

// Runs the events already waiting, except user input, and returns at once.
void PumpPendingBusyEvents();

// The same until done() answers true (checked every pollMs) or timeoutMs passed (a negative
// timeout waits for done() alone). True when done() answered true.
bool PumpBusyEventsUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 10);

}  // namespace quill::ui
