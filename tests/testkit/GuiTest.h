#pragma once

// Helpers for driving Qt widgets the way a user does: keys to the focused widget, clicks,
// typing, and a helper that answers message boxes as they come up.

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testkit_test {

// Lets queued events (paint, posted input, timers due now) run.
void ProcessEvents();

// A key pressed and released on the widget with the focus in window (the window itself when
// none has it); unaccepted keys travel up to the window as they would on screen.
void PressKey(QWidget& window, int key, const QString& text = {});

// A left click in the middle of the widget, as mouse events (a widget's click() is no input).
void MouseClick(QWidget& widget);

// Types the text character by character into the widget, which gets the focus first.
void TypeInto(QWidget& widget, const QString& text);

// Runs the event loop until done() holds or timeoutMs passed; false on time-out.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    Qt::TextFormat format;
    int buttonCount;
    bool onlyOk;
};

// While it lives, every message box that comes up is recorded and answered with OK; a hook
// may look at the screen first.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<SeenBox>& Boxes() const { return m_boxes; }
    std::vector<std::string> Texts() const;
    void SetHook(std::function<void(QMessageBox&)> hook) { m_hook = std::move(hook); }

private:
    void Look();

    QTimer m_timer;
    std::vector<SeenBox> m_boxes;
    std::function<void(QMessageBox&)> m_hook;
};

// While it lives, each file dialog that comes up is recorded and answered with the next
// file name given (accepted), or cancelled when none is left.
class FileDialogAnswerer {
public:
    FileDialogAnswerer();
    FileDialogAnswerer(const FileDialogAnswerer&) = delete;
    FileDialogAnswerer& operator=(const FileDialogAnswerer&) = delete;

    void Answer(const std::string& fileName) { m_answers.push_back(fileName); }
    // Titles of the dialogs seen, in order, with whether each was for saving.
    const std::vector<std::pair<std::string, bool>>& Seen() const { return m_seen; }

private:
    void Look();

    QTimer m_timer;
    std::vector<std::string> m_answers;
    std::vector<std::pair<std::string, bool>> m_seen;
};

}  // namespace testkit_test
