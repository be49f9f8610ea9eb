#include "forms/scripteduiservice.h"

#include <QStringList>

#include <algorithm>

namespace forms {

int ScriptedUiService::MsgBox(const QString& text, int style, const QString& title) {
    MessageRecord record;
    record.text = text;
    record.title = title;
    record.style = style;
    record.icon = IconOf(style);
    record.buttons = ButtonsOf(style);
    record.answer = record.buttons.front();
    if (answers_.empty()) {
        record.unanswered = true;
    } else {
        const int queued = answers_.front();
        answers_.pop_front();
        if (std::find(record.buttons.begin(), record.buttons.end(), queued) !=
            record.buttons.end()) {
            record.answer = queued;
        } else {
            QStringList offered;
            for (int answer : record.buttons) offered << AnswerWord(answer);
            record.problem = QStringLiteral("queued answer %1 is not a button of this box (%2)")
                                 .arg(AnswerWord(queued), offered.join(QStringLiteral(", ")));
        }
    }
    messages_.push_back(record);
    if (MessageShown) MessageShown(messages_.back());
    return record.answer;
}

void ScriptedUiService::QueueAnswer(int answer) {
    (void)AnswerWord(answer);  // rejects an unknown answer now rather than at the box
    answers_.push_back(answer);
}

std::vector<MessageRecord> ScriptedUiService::TakeMessages() {
    std::vector<MessageRecord> taken;
    taken.swap(messages_);
    return taken;
}

}  // namespace forms
