#include "framework/RecordingHost.h"

#include "framework/Ids.h"
#include "framework/PropertySheet.h"

namespace framework {

void RecordingHost::RunModal(PropertySheet& sheet) {
    ++m_modalRuns;
    if (m_script) m_script(sheet);
}

int RecordingHost::ShowMessageBox(const std::string& text, const std::string& caption,
                                  MessageIcon icon) {
    m_boxes.push_back({text, caption, icon, IsCursorBusy()});
    // A copy: the hook may show boxes of its own, which grow the list.
    const RecordedBox shown = m_boxes.back();
    if (m_boxHook) m_boxHook(shown);
    return IDOK;
}

void RecordingHost::BeginWaitCursor() {
    ++m_cursorBegins;
    ++m_cursorDepth;
}

void RecordingHost::EndWaitCursor() {
    ++m_cursorEnds;
    if (m_cursorDepth > 0) --m_cursorDepth;
}

std::string RecordingHost::AskFileName(const FileDialogRequest& request) {
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty()) return {};
    std::string answer = std::move(m_fileAnswers.front());
    m_fileAnswers.pop_front();
    return answer;
}

std::vector<std::string> RecordingHost::BoxTexts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : m_boxes)
        texts.push_back(box.text);
    return texts;
}

}  // namespace framework
