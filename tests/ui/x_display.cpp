// The test program's own connection to the X display, opened before the toolkit starts.
//
// Xvfb, as xvfb-run starts it, resets itself whenever its last client disconnects, and closes the
// connection of a client that arrives during the reset. Each window test is a process of its own,
// so a test that starts just as the previous one ends can be turned away: it tries again for up
// to a second, and then keeps the connection open until it ends, so that the server cannot reset
// under the toolkit's own connection.

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace varnel::test {

// Declared in tests/ui/gui_fixture.h, which is not included: Xlib's macros clash with the
// test framework's names.
bool holdDisplay(std::string& name) {
    name = XDisplayName(nullptr);
    for (int attempt = 1; attempt <= 100; ++attempt) {
        if (XOpenDisplay(nullptr)) {
            if (attempt > 1) std::fprintf(stderr, "display opened at attempt %d\n", attempt);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace varnel::test
