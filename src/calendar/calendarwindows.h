#pragma once
void registerCalendarWindows();
