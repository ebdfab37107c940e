#pragma once

// Registers the windows of every feature with the window registry; the main
// window's commands and the forms open them by key.
void RegisterWindows();
