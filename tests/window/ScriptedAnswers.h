#pragma once

#include "window/MainWindowView.h"

#include <deque>
#include <vector>

namespace brimble::test {

// File dialogs answered from a script, and a record of what each dialog and message asked.
// The fake view and the Qt window's scripted dialogs both answer this way.
struct ScriptedAnswers {
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogAnswer> answers; // an empty queue cancels
    std::vector<MessageRequest> messages; // questions too
    std::deque<bool> yesAnswers;          // true answers Yes; an empty queue answers No

    void Choose(std::vector<std::filesystem::path> files, int filterIndex = 0) {
        answers.push_back({std::move(files), filterIndex});
    }
    void Cancel() { answers.push_back({}); }
    FileDialogAnswer Answer(const FileDialogRequest& request) {
        requests.push_back(request);
        if (answers.empty())
            return {};
        FileDialogAnswer answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
    bool AnswerYesNo(const MessageRequest& request) {
        messages.push_back(request);
        const bool yes = !yesAnswers.empty() && yesAnswers.front();
        if (!yesAnswers.empty())
            yesAnswers.pop_front();
        return yes;
    }
};

} // namespace brimble::test
