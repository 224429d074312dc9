#pragma once

// The window of a property sheet in wizard mode: the pages, one shown at a time, a line of busy
// text, a separator and the row of the sheet's buttons (Back, Next or Finish in one place,
// Cancel). The title is the sheet's caption, the icon the sheet's. Enter presses the push button
// that has the focus, any of them; with the focus elsewhere it presses Finish when it shows, else
// Next. Esc presses Cancel; the close box closes the sheet as Cancel would. While the program is
// busy with the instrument, Cancel, Esc and the close box only ask to stop: the work may stop
// between its steps, and otherwise the sheet is cancelled once the work is over.
//   WizardWindow window(sheet, activity);
//   window.AddPage(page);          // when the page's controls exist
//   window.Present();              // when the modal run starts

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "framework/PropertySheet.h"
#include "framework/qt/Activity.h"
#include "framework/qt/DialogUnits.h"
#include "framework/qt/DialogView.h"

namespace framework::qt {

class WizardWindow : public QWidget {
public:
    WizardWindow(PropertySheet& sheet, Activity& activity);
    // Hears no more focus changes: deleting the children moves the focus.
    ~WizardWindow() override;

    // Null once detached.
    PropertySheet* Sheet() const { return m_sheet; }
    // The sheet is going away: forget it and every page, and hide.
    void Detach();

    // A page's controls exist now; a page made again replaces its old view.
    void AddPage(PropertyPage& page);
    // The page's controls go: its view is detached and hidden, and stays (as a child of the
    // window) until the window goes, since its handlers may still be running.
    void RemovePage(const Dialog& page);
    // The view of the sheet or of one of its pages; null when none.
    DialogView* ViewOf(const Dialog& dialog) const;
    void OnDialogChanged(Dialog& dialog, DialogChange what);

    // From now on the window is shown whenever the sheet's window is visible.
    void Present();

    // Text above the buttons while the program waits, e.g. the port being tried; it goes when
    // the input that caused the wait has been handled. One line: a long port path is elided
    // in the middle, and the whole text is the line's tooltip.
    void ShowBusyText(const QString& text);
    // The whole text, as in the tooltip.
    QString BusyText() const;
    // A note on the outcome of the input being handled: it stays until the next input.
    void ShowNote(const QString& text);
    bool IsCancelButton(const QObject* object) const;

    // What the user sees: the widget of a control of the active page, else of the sheet.
    QWidget* WidgetFor(int id) const;
    DialogView* ActivePageView() const;
    DialogUnits Units() const { return DialogUnits(fontMetrics()); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct PageView {
        const Dialog* page;
        DialogView* view;
    };

    void Layout();
    int WidthUnits() const;
    QRect PlaceSheetControl(const Control& control) const;
    void FitPageArea(const DialogTemplate& t);
    // Presses a button of the sheet as a click on its widget would, if the user could.
    bool Press(int id);
    void FocusActivePage();
    // Draws the button that Enter would press (the focused push button, else Finish or
    // Next) as the default one.
    void ShowDefaultButton();
    void AfterInput();
    // Cancel, Esc or the close box while the program is busy.
    void RequestStop();

    PropertySheet* m_sheet;
    Activity& m_activity;
    bool m_presented = false;
    QSize m_pageArea;  // dialog units
    DialogView* m_sheetView = nullptr;
    std::vector<PageView> m_pages;
    QPointer<QPushButton> m_default;
    QFrame* m_line;
    QLabel* m_busy;
    QString m_busyText;
    QString m_note;
};

}  // namespace framework::qt
