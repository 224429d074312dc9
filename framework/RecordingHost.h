#pragma once

// A host for tests: answers every box with OK and keeps its text, caption and icon, counts the
// wait cursor and the repaints, and runs a sheet's modal loop as a script that drives it.
//   framework::RecordingHost host;
//   framework::ScopedHost use(host);
//   host.SetModalScript([](framework::PropertySheet& s) {
//       framework::WizardDriver w(s);
//       w.Next(); w.Finish();
//   });
//   int result = sheet.DoModal();
//   EXPECT_THAT(host.BoxTexts(), testing::IsEmpty());

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/Host.h"

namespace framework {

struct RecordedBox {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    bool cursorBusy = false;  // the wait cursor was showing when the box came up
};

class RecordingHost : public Host {
public:
    using ModalScript = std::function<void(PropertySheet&)>;

    // Runs during RunModal with the open sheet; without a script the run returns at once.
    void SetModalScript(ModalScript script) { m_script = std::move(script); }
    // Runs on every box, after it has been recorded (e.g. to look at the screen then).
    void SetBoxHook(std::function<void(const RecordedBox&)> hook) { m_boxHook = std::move(hook); }

    void RunModal(PropertySheet& sheet) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       MessageIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RepaintWhileWaiting() override { ++m_repaints; }
    void Quit() override { m_quitRequested = true; }
    void ShowNote(const std::string& text) override { m_notes.push_back(text); }
    // The next answer queued by AnswerFileDialog ("" when none), the request kept.
    std::string AskFileName(const FileDialogRequest& request) override;

    // The file name the next file dialog answers with; "" answers as Cancel.
    void AnswerFileDialog(std::string fileName) { m_fileAnswers.push_back(std::move(fileName)); }
    const std::vector<FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }

    const std::vector<RecordedBox>& Boxes() const { return m_boxes; }
    std::vector<std::string> BoxTexts() const;
    void ClearBoxes() { m_boxes.clear(); }
    int WaitCursorBegins() const { return m_cursorBegins; }
    int WaitCursorEnds() const { return m_cursorEnds; }
    bool IsCursorBusy() const { return m_cursorDepth > 0; }
    int Repaints() const { return m_repaints; }
    int ModalRuns() const { return m_modalRuns; }
    bool QuitRequested() const { return m_quitRequested; }
    const std::vector<std::string>& Notes() const { return m_notes; }

private:
    ModalScript m_script;
    std::function<void(const RecordedBox&)> m_boxHook;
    std::vector<RecordedBox> m_boxes;
    int m_cursorBegins = 0;
    int m_cursorEnds = 0;
    int m_cursorDepth = 0;
    int m_repaints = 0;
    int m_modalRuns = 0;
    bool m_quitRequested = false;
    std::vector<std::string> m_notes;
    std::deque<std::string> m_fileAnswers;
    std::vector<FileDialogRequest> m_fileDialogs;
};

}  // namespace framework
