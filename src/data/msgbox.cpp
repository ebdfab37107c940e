#include "msgbox.h"

#include <cstdio>

namespace {

class ConsoleHandler : public MsgBox::Handler {
public:
    void show(const QString& text, MsgBox::Icon, const QString& caption) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(caption), qPrintable(text));
    }
    MsgBox::Answer ask(const QString& text, MsgBox::Buttons, MsgBox::Icon, const QString& caption,
                       MsgBox::Answer defaultAnswer) override {
        show(text, MsgBox::Question, caption);
        return defaultAnswer;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

ConsoleHandler g_console;
MsgBox::Handler* g_handler = &g_console;

} // namespace

MsgBox::Handler* MsgBox::setHandler(Handler* handler) {
    Handler* previous = g_handler == &g_console ? nullptr : g_handler;
    g_handler = handler ? handler : &g_console;
    return previous;
}

void MsgBox::Show(const QString& text, Icon icon, const QString& caption) {
    g_handler->show(text, icon, caption);
}

MsgBox::Answer MsgBox::Ask(const QString& text, Buttons buttons, Icon icon, const QString& caption,
                           Answer defaultAnswer) {
    return g_handler->ask(text, buttons, icon, caption, defaultAnswer);
}

std::optional<QString> MsgBox::Input(const QString& prompt, const QString& title,
                                     const QString& defaultText) {
    return g_handler->input(prompt, title, defaultText);
}
