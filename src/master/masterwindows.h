#pragma once

// Registers the windows of the master data with the window registry.
void registerMasterWindows();
