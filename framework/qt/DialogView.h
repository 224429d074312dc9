#pragma once

// The widgets of one dialog (a wizard page, or the sheet's own buttons): made from its
// controls, kept equal to them by Mirror, and the way back for the user's input, which goes
// through the dialog's one door (TypeText, Click, SelectItem) and never straight into a
// control. After every input the widget is set to what the model holds again, so input that
// the model refused leaves no trace on screen. Input that arrives while the program is busy is
// not taken. A radio group is one Tab stop (its checked button, else its first usable one), and
// the arrow keys check the next or previous usable button of the group, as a click would.
//   DialogView view(page, activity, [&](const Control& c) { return units.ToPixels(c.Bounds()); },
//                   parent);
//   view.Mirror(control, framework::ControlChange::Text);

#include <QWidget>
#include <functional>
#include <vector>

#include "framework/Dialog.h"
#include "framework/qt/Activity.h"

namespace framework::qt {

class DialogView : public QWidget {
public:
    // Where a control's widget goes, in pixels of this view.
    using Placement = std::function<QRect(const Control&)>;
    // Runs after each input that went to the model (the window clears its busy text then).
    using AfterInput = std::function<void()>;

    // area: the view's size in pixels, the bound for texts that need more room than their
    // template gives them.
    DialogView(Dialog& dialog, Activity& activity, Placement place, QSize area, QWidget* parent);

    // Null once detached.
    Dialog* Model() const { return m_dialog; }
    // The model is going away: the view forgets it and ignores all input from now on.
    void Detach();
    void SetAfterInput(AfterInput after) { m_afterInput = std::move(after); }
    // Runs with the control's id when input is refused because the program is busy.
    void SetRefusedInput(std::function<void(int)> refused) { m_refusedInput = std::move(refused); }

    // The widget of the control with this id; null when none.
    QWidget* WidgetFor(int id) const;
    QWidget* WidgetFor(const Control& control) const;
    void Mirror(const Control& control, ControlChange what);

    // The first control in tab order that Tab can reach and is no push button; null when none.
    QWidget* FirstInputWidget() const;

protected:
    // The arrow keys on a radio button.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        const Control* control;
        ControlKind kind;
        QWidget* widget;
        QRect placed;  // where the template puts it
    };

    QWidget* Find(const Control* control) const;
    // A label, radio or push button whose text does not fit grows to the right, as far as the
    // group box around it and the next control allow: a font wider than the template's must
    // not cut texts short.
    void FitText(const Entry& entry);
    int RightLimit(const Entry& entry) const;
    void Connect(const Control& control, QWidget& widget);
    // Passes one user input to the model, then shows the control as the model has it.
    void Deliver(const Control* control, const std::function<void(Dialog&)>& input);
    // Only one radio button of each group takes the focus by Tab.
    void UpdateTabStops();
    // Checks the usable radio button step places after (or before) this one in its group,
    // going round, and gives it the focus.
    void MoveInGroup(const Control& radio, int step);

    Dialog* m_dialog;
    Activity& m_activity;
    AfterInput m_afterInput;
    std::function<void(int)> m_refusedInput;
    QSize m_area;
    std::vector<Entry> m_entries;  // tab order
};

}  // namespace framework::qt
