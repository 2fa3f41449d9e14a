// Input for the folder menu's tests as a person's arrives (through the input queue, from any
// thread: nothing here handles messages), and the program's icon where Wine shows it: with no
// desktop to host a notification area, Wine puts the icons into a small tray window of its own.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace menutest {

// The keys pressed in order and let go in the reverse order (a chord such as Win+Alt+F).
void Press(std::initializer_list<WORD> keys);
// A left click at a point of the screen.
void ClickScreen(int x, int y);

// The icon windows of Wine's notification area, and the one that came since `before` was taken
// (nullptr when none did).
std::vector<HWND> TrayIcons();
HWND NewTrayIcon(const std::vector<HWND>& before);
// A click on the icon with the right button or the left.
void ClickIcon(HWND icon, bool right);

}  // namespace menutest
