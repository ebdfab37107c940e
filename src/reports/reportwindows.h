#pragma once
// Registers the report windows with the window registry.
void registerReportWindows();
