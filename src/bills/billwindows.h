#pragma once
// Registers the bill entry windows with the window registry.
void registerBillWindows();
