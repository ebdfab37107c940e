#pragma once
// Printing from a window: what goes wrong on the way to the print tool is shown.

#include <QString>
#include <functional>

namespace PrintOut {

// Runs a print: a failure of the database, the template or the tool is shown
// with the caption, and gives false.
bool Guarded(const QString& caption, const std::function<bool()>& work);

} // namespace PrintOut
