#pragma once

namespace gc {

struct Forms;

// The program from its start to its end: the keyboard an earlier run left switched is given
// back before any window, the connection loop runs, and the message loop shows the login
// window. However the run ends normally (the main window's exit, the login window's cancel,
// the desktop session ending, a termination signal) the keyboard is given back. Returns the
// message loop's code, or 0 when the connection loop gave up.
int runProgram(Forms& forms);

} // namespace gc
