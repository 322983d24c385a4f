#include "tests/support/ScriptedMessageBoxes.h"

#include "platform/CloseRequest.h"

namespace {

int LeastHarmful(unsigned type)
{
    switch (type & host::MB_BUTTONS_MASK) {
    case host::MB_ABORTRETRYIGNORE: return host::IDIGNORE;
    case host::MB_YESNO: return host::IDNO;
    default: return host::IDOK;
    }
}

}  // namespace

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    m_previous = host::SetMessageBoxHandler(
        [this](const std::string& text, const std::string& caption, unsigned type) {
            return Handle(text, caption, type);
        });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    host::SetMessageBoxHandler(m_previous);
    // A scripted Abort asked the program to close; the next test starts with
    // one that is not closing.
    host::ClearCloseRequest();
}

int ScriptedMessageBoxes::Handle(const std::string& text, const std::string& caption, unsigned type)
{
    m_shown.push_back({text, caption, type});
    if (m_whileShown)
        m_whileShown();
    if (!m_answers.empty()) {
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    if (m_always)
        return m_always;
    ADD_FAILURE() << "message box without a scripted answer: " << text;
    return LeastHarmful(type);
}

void UnexpectedMessageBoxGuard::SetUp()
{
    host::SetMessageBoxHandler([](const std::string& text, const std::string&, unsigned type) {
        ADD_FAILURE() << "unexpected message box: " << text;
        return LeastHarmful(type);
    });
}

void UnexpectedMessageBoxGuard::TearDown()
{
    host::SetMessageBoxHandler({});
}
