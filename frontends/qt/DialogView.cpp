#include "frontends/qt/DialogView.hpp"

#include <QGroupBox>
#include <QTextEdit>
#include <algorithm>

#include "frontends/qt/ControlSync.hpp"
#include "frontends/qt/ControlWidgets.hpp"
#include "frontends/qt/InputWiring.hpp"
#include "frontends/qt/TextFit.hpp"
#include "platform/ui/DialogObserver.hpp"

namespace quillon::gui {

namespace {
// A drop-down list's template height includes its open list; closed it is
// as high as an edit.
constexpr int CLOSED_COMBO_HEIGHT_DLU = 12;

bool GrowsToFit(const ui::ControlTemplate& info) {
    switch (info.kind) {
        case ui::ControlKind::Static:
            return (info.style & ui::STYLE_CENTER) == 0;
        case ui::ControlKind::CheckBox:
        case ui::ControlKind::RadioButton:
            return true;
        default:
            return false;
    }
}

}  // namespace

DialogView::DialogView(ui::Dialog& dialog, GuiDispatcher& dispatcher, const DialogUnits& units,
                       QWidget* parent, bool followDialogVisibility)
    : QWidget(parent),
      dialog_(dialog),
      dispatcher_(dispatcher),
      followDialogVisibility_(followDialogVisibility),
      self_(std::make_shared<DialogView*>(this)) {
    Build(units);
    dialog_.AddObserver(this);
    for (const auto& [id, control] : controls_) {
        Show(id);
    }
    if (followDialogVisibility_) {
        setVisible(dialog_.IsDialogVisible());
    }
}

DialogView::~DialogView() {
    dialog_.RemoveObserver(this);
}

void DialogView::Build(const DialogUnits& units) {
    const auto& info = dialog_.Template();
    templateSize_ = units.ToPixels(info.width, info.height);
    resize(templateSize_);
    for (const auto& control : info.controls) {
        AddControl(control, units);
    }
    // Frames stay behind the controls they group, whatever the template order.
    for (auto* frame : findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        frame->lower();
    }
    WidenClippedTexts(fitItems_, templateSize_.width());
    fitItems_.clear();
}

void DialogView::AddControl(const ui::ControlTemplate& info, const DialogUnits& units) {
    QWidget* widget = CreateControlWidget(info, this);
    widget->setGeometry(ControlRect(info, units));
    widget->setVisible(info.visible);
    widget->setEnabled(info.enabled);
    fitItems_.push_back({widget, GrowsToFit(info), info.kind == ui::ControlKind::GroupBox});
    if (info.id == ui::IDC_STATIC || controls_.count(info.id) != 0) {
        return;  // unnamed statics keep their template text
    }
    Control control{info.kind, widget, nullptr};
    if (info.kind == ui::ControlKind::RichEdit) {
        control.richText = std::make_unique<RichTextSync>(static_cast<QTextEdit&>(*widget));
    }
    const int id = info.id;
    ConnectInput(*widget, info.kind, dialog_, id, [this, id] { MarkChanged(id); });
    controls_.emplace(id, std::move(control));
}

QRect DialogView::ControlRect(const ui::ControlTemplate& info, const DialogUnits& units) const {
    QRect rect = units.ToPixels(info.rect);
    if (info.kind == ui::ControlKind::ComboBox) {
        rect.setHeight(std::min(rect.height(), units.Y(CLOSED_COMBO_HEIGHT_DLU)));
    }
    return rect;
}

QWidget* DialogView::Widget(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second.widget;
}

void DialogView::MoveControl(int id, const QRect& rect) {
    if (QWidget* widget = Widget(id)) {
        widget->setGeometry(rect);
    }
}

void DialogView::OnControlChanged(const ui::Dialog&, int controlId) {
    MarkChanged(controlId);
}

void DialogView::MarkChanged(int id) {
    {
        std::lock_guard lock(changedMutex_);
        changed_.insert(id);
        if (flushQueued_) {
            return;
        }
        flushQueued_ = true;
    }
    std::weak_ptr<DialogView*> self = self_;
    dispatcher_.Post([self] {
        if (auto view = self.lock()) {
            (*view)->Flush();
        }
    });
}

void DialogView::Flush() {
    std::set<int> changed;
    {
        std::lock_guard lock(changedMutex_);
        changed.swap(changed_);
        flushQueued_ = false;
    }
    for (int id : changed) {
        Show(id);
    }
}

void DialogView::Show(int id) {
    if (id == ui::DIALOG_ITSELF) {
        if (followDialogVisibility_) {
            setVisible(dialog_.IsDialogVisible());
        }
        return;
    }
    const auto found = controls_.find(id);
    if (found == controls_.end()) {
        return;
    }
    Control& control = found->second;
    const ui::ControlState state = dialog_.State(id);
    if (control.richText) {
        control.richText->Apply(state.runs);
        control.widget->setEnabled(state.enabled);
        control.widget->setVisible(state.visible);
        return;
    }
    ApplyControlState(*control.widget, control.kind, state);
}

}  // namespace quillon::gui
