#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/MessageBox.h"

// Answers message boxes from a script and records every box shown. Installed for
// the lifetime of the object; the previous handler comes back afterwards.
class ScriptedMessageBoxes {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned type;
    };

    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    // Queues answers, used in order. A box beyond the queue fails the test and is
    // answered with the least harmful button.
    void Answer(int answer) { m_answers.push_back(answer); }
    void AnswerAlways(int answer) { m_always = answer; }

    // Runs while each box is up, before it is answered: a real box runs a modal
    // event loop there, so timers and posted events may fire (e.g. processEvents).
    void WhileShown(std::function<void()> action) { m_whileShown = std::move(action); }

    const std::vector<Box>& Shown() const { return m_shown; }
    size_t Count() const { return m_shown.size(); }

private:
    int Handle(const std::string& text, const std::string& caption, unsigned type);

    std::deque<int> m_answers;
    int m_always = 0;
    std::function<void()> m_whileShown;
    std::vector<Box> m_shown;
    host::MessageBoxHandler m_previous;
};

// Installed for the whole test run: a box that no test expected fails.
class UnexpectedMessageBoxGuard : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};
