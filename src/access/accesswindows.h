#pragma once

// Registers the windows of logins and users with the window registry.
void registerAccessWindows();
