// The widgets of one dialog, built from its template and bound both ways to
// its live state.
//
// Every control gets its widget at the template's rectangle in dialog units
// (scaled by the dialog font); unnamed statics and frames show their template
// text. User input goes into the model (InputWiring). Model changes are
// reported by the dialog's observer callback, possibly from another thread and
// with the model's lock held: the view only notes the control id there and
// schedules one flush on the GUI thread, which then shows the current state
// of every noted control. Bursts of changes thus cost one repaint.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "frontends/qt/DialogUnits.hpp"
#include "frontends/qt/GuiDispatcher.hpp"
#include "frontends/qt/RichTextSync.hpp"
#include "frontends/qt/TextFit.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::gui {

class DialogView : public QWidget, private ui::DialogObserver {
  public:
    /// `followDialogVisibility`: the view shows and hides with its dialog
    /// (pages); a window's top view leaves that to the window.
    DialogView(ui::Dialog& dialog, GuiDispatcher& dispatcher, const DialogUnits& units,
               QWidget* parent, bool followDialogVisibility);
    ~DialogView() override;

    ui::Dialog& Model() const { return dialog_; }
    /// The widget of control `id`, or null.
    QWidget* Widget(int id) const;
    /// The template's size in pixels.
    QSize TemplateSize() const { return templateSize_; }
    /// Places control `id` at `rect` (pixels) instead of its template rectangle.
    void MoveControl(int id, const QRect& rect);
    /// Shows every change noted so far now (GUI thread).
    void Flush();

  private:
    struct Control {
        ui::ControlKind kind;
        QWidget* widget;
        std::unique_ptr<RichTextSync> richText;
    };

    void Build(const DialogUnits& units);
    void AddControl(const ui::ControlTemplate& info, const DialogUnits& units);
    QRect ControlRect(const ui::ControlTemplate& info, const DialogUnits& units) const;
    void OnControlChanged(const ui::Dialog& dialog, int controlId) override;
    void MarkChanged(int id);
    void Show(int id);

    ui::Dialog& dialog_;
    GuiDispatcher& dispatcher_;
    bool followDialogVisibility_;
    QSize templateSize_;
    std::map<int, Control> controls_;
    std::vector<FitItem> fitItems_;      ///< while building
    std::shared_ptr<DialogView*> self_;  ///< lets a queued flush see the view is gone

    std::mutex changedMutex_;
    std::set<int> changed_;
    bool flushQueued_ = false;
};

}  // namespace quillon::gui
