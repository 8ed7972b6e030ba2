#pragma once

#include "window/MainWindowView.h"

#include <deque>
#include <vector>

namespace brimble::test {

// File dialogs and questions answered from a script, recording what each asked (every face's tests).
struct ScriptedAnswers {
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogAnswer> answers; // an empty queue cancels
    std::vector<MessageRequest> messages; // questions too
    std::deque<bool> yesAnswers;          // an empty queue answers No

    void Choose(std::vector<std::filesystem::path> files, int filterIndex = 0) {
        answers.push_back({std::move(files), filterIndex});
    }
    template <class T> static T Next(std::deque<T>& queue) {
        T next = queue.empty() ? T{} : std::move(queue.front());
        if (!queue.empty())
            queue.pop_front();
        return next;
    }
    FileDialogAnswer Answer(const FileDialogRequest& request) { return requests.push_back(request), Next(answers); }
    bool AnswerYesNo(const MessageRequest& request) { return messages.push_back(request), Next(yesAnswers); }
};

} // namespace brimble::test
