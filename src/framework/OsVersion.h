// The one test of the system's version the program makes.
#pragma once

namespace fw {

// Windows XP (5.1) or later: the structures and starts that came with it.
bool IsWindowsXpOrLater();

}  // namespace fw
