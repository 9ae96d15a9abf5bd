#pragma once
// The end of the session without the user closing the program: a logout, a
// SIGTERM or SIGHUP from the desktop or the system, the display connection
// breaking. The program then keeps what a regular close keeps, asking
// nothing.

#include <functional>

class QObject;

// ASichern runs on the thread of AOwner's event loop when a termination
// signal (SIGTERM, SIGHUP, SIGINT) arrives, after which the application quits;
// and once more, if it has not run, when the process ends through exit()
// (Qt ends so when the display connection breaks). Installed once, for
// the lifetime of AOwner.
void SitzungsEndeAbfangen(QObject* AOwner, std::function<void()> ASichern);
