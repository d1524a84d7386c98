// Handling the messages that wait while a long piece of work goes on
// between them, so that the windows paint and answer.
#pragma once

#include <windows.h>

// Dispatches every message that waits now; false when the program is to
// end (the quit message is posted again, for the loop that owns it).
bool DispatchWaitingMessages();
