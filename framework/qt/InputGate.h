#pragma once

// Keeps the user's clicks and keys from piling up while the program waits on the serial line:
// while the gate is closed, they are dropped as they arrive instead of being queued until the
// wait is over. Esc, clicks on a Cancel button and the keys that press a Cancel button with the
// focus (Space, Enter) still pass, so that the window can note that the user asked to stop.
//   framework::qt::InputGate gate([](QObject* target) { return IsCancelButton(target); });
//   { framework::qt::InputGate::Closed closed(gate); QCoreApplication::processEvents(); }

#include <QObject>
#include <functional>

namespace framework::qt {

class InputGate : public QObject {
public:
    // isCancel: whether a widget is a Cancel button whose presses pass.
    explicit InputGate(std::function<bool(QObject*)> isCancel);
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    // The gate is closed for the lifetime of this object; closings nest.
    class Closed {
    public:
        explicit Closed(InputGate& gate) : m_gate(gate) { ++m_gate.m_closed; }
        ~Closed() { --m_gate.m_closed; }
        Closed(const Closed&) = delete;
        Closed& operator=(const Closed&) = delete;

    private:
        InputGate& m_gate;
    };

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    bool IsCancel(QObject* object) const;

    std::function<bool(QObject*)> m_isCancel;
    int m_closed = 0;
};

}  // namespace framework::qt
