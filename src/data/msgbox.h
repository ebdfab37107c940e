#pragma once
// The one way the program shows messages, asks questions and reads input.
// The window side installs a handler with real message boxes; tests install a
// scripted one; without either, messages go to standard error.

#include <QString>
#include <optional>

class MsgBox {
public:
    enum Icon { NoIcon, Information, Exclamation, Critical, Question };
    enum Buttons { Ok, YesNo, YesNoCancel };
    enum Answer { AnswerOk, Yes, No, Cancel };

    class Handler {
    public:
        virtual ~Handler() = default;
        virtual void show(const QString& text, Icon icon, const QString& caption) = 0;
        virtual Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& caption,
                           Answer defaultAnswer) = 0;
        virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                             const QString& defaultText) = 0;
    };

    // Installs a handler (nullptr restores the console handler); returns the previous one.
    static Handler* setHandler(Handler* handler);

    static void Show(const QString& text, Icon icon = Information, const QString& caption = "System");
    static Answer Ask(const QString& text, Buttons buttons, Icon icon, const QString& caption,
                      Answer defaultAnswer = No);
    static bool Confirm(const QString& text, const QString& caption) {
        return Ask(text, YesNo, Question, caption) == Yes;
    }
    static std::optional<QString> Input(const QString& prompt, const QString& title,
                                        const QString& defaultText = {});
};
