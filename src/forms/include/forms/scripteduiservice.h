#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

#include "forms/msgbox.h"
#include "forms/uiservice.h"

namespace forms {

// Message boxes answered from a queue, without any window; every box is recorded. A box
// with no queued answer takes its first button and is flagged unanswered; a queued answer
// that is not one of the box's buttons is consumed, the first button taken and the record's
// problem says so. Modal forms are shown as real (offscreen) windows in a nested event loop
// that ends when the form is unloaded, for instance by a click on its close box.
class ScriptedUiService : public UiService {
public:
    int MsgBox(const QString& text, int style = 0, const QString& title = {}) override;

    void QueueAnswer(int answer);
    std::size_t PendingAnswers() const { return answers_.size(); }
    void ClearAnswers() { answers_.clear(); }

    const std::vector<MessageRecord>& Messages() const { return messages_; }
    // The records since the previous call.
    std::vector<MessageRecord> TakeMessages();

    // Runs after each box is recorded (from inside MsgBox).
    std::function<void(const MessageRecord&)> MessageShown;

private:
    std::deque<int> answers_;
    std::vector<MessageRecord> messages_;
};

}  // namespace forms
