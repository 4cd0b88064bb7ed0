// Pictures of windows for people to look at: what a shown window looks
// like, frame and caption included, written as a 24-bit .bmp.
#pragma once

#include <windows.h>

#include <string>

// Serves this thread's messages for a while; bounded in time and in count.
void pumpMessages(DWORD ms);

// Copies the whole window into a 24-bit picture and writes it to path.
// False when nothing could be captured or written.
bool captureWindow(HWND window, const std::string& path);

// Shows the window at the top left of the screen, drawn as the window the
// user works in (with an active caption), and lets it paint.
void showForPicture(HWND window);
