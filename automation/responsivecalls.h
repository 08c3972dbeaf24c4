#pragma once
// Office calls made on the GUI thread run on a worker thread while the GUI thread keeps turning its
// events, so no window freezes during a long call: windows paint, timers fire, and a modal dialog
// (the progress dialog with its 取消) takes clicks. Without a modal dialog, user input waits for
// the call, so no other window can start a second one. Calls stay one at a time, in order; a
// call made while another waits queues behind it. Other threads, and programs without a GUI,
// call directly.

#include <functional>

namespace ResponsiveCalls {

void run(const std::function<void()>& call);

// How long a call may take before the GUI thread starts turning its events meanwhile.
constexpr int kQuietMilliseconds = 20;

} // namespace ResponsiveCalls
