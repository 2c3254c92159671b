#include "platform/headless.h"

namespace kt::headless {

namespace {
std::vector<MessageBoxRequest> shown;
std::deque<int> answers;
} // namespace

const std::vector<MessageBoxRequest>& messageboxes()
{
    return shown;
}

void scriptanswer(int answer)
{
    answers.push_back(answer);
}

void clearmessageboxes()
{
    shown.clear();
    answers.clear();
}

int answermessagebox(const MessageBoxRequest& request)
{
    shown.push_back(request);
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (request.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

} // namespace kt::headless
