#pragma once
// GUI tests: a real database, the scripted message box, modal windows
// recorded instead of run, and the end of the program recorded.

#include "fixture.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class GuiTest : public DbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Logs in through the data layer as a user of the database.
    void loginAs(const QString& user, const QString& password = "888");
    // Saves a picture of a widget under build/screenshots/.
    void screenshot(QWidget* w, const QString& name);
    // Runs an action whose first question is answered Yes.
    template <class Action> void yesTo(Action&& act) {
        m_msg.answers = {MsgBox::Yes};
        act();
    }

    std::vector<int> m_ended;               // exit codes passed to EndProgram
    std::vector<QString> m_modalShown;      // objectNames of the modal windows run
    std::function<int(QDialog*)> m_onModal; // what a modal window does; default: nothing
    std::vector<QString> m_urls;
};

class GuiDemoTest : public GuiTest {
protected:
    bool withDemo() const override { return true; }
};
