#pragma once
#include <functional>

class QDialog;

// Every modal window runs through here; tests replace the runner so that nothing blocks.
int RunModal(QDialog* dialog);
void SetModalRunner(std::function<int(QDialog*)> runner);
