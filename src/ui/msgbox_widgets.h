#pragma once
#include "data/msgbox.h"

// Message boxes, questions and input boxes as real dialogs.
class WidgetMsgBox : public MsgBox::Handler {
public:
    void show(const QString& text, MsgBox::Icon icon, const QString& caption) override;
    MsgBox::Answer ask(const QString& text, MsgBox::Buttons buttons, MsgBox::Icon icon,
                       const QString& caption, MsgBox::Answer defaultAnswer) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
};
