#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <string>

namespace setup::ui::win32 {
namespace {

using app::Change;
using app::Widget;
using app::WidgetKind;

constexpr char kMainClass[] = "SetupMainWindow";

bool IsContainer(const Widget& w) {
    return w.kind == WidgetKind::Form || w.kind == WidgetKind::Panel;
}

void ReportToUser(void* context, std::string_view message) {
    static_cast<app::TMainForm*>(context)->ShowErrorBox(message);
}

}  // namespace

MainWindow::MainWindow(app::TMainForm& form, Win32UiHost& host)
    : CustomWindow(true), form_(form), host_(host), model_(form.Model()), res_(form.Model()) {
    const auto& all = model_.All();
    parent_.assign(all.size(), 0);
    children_.resize(all.size());
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (const Widget* parent = model_.Find(all[i].parent)) {
            parent_[i] = IndexOf(*parent);
        }
        children_[parent_[i]].push_back(i);
    }
}

MainWindow::~MainWindow() {
    SetErrorReporter(nullptr, nullptr);
    form_.Model().SetListener({});
    keys_.reset();
    if (host_.Owner() == Hwnd()) {
        host_.SetOwner(nullptr);
    }
    // The window goes first, with all its children, while the objects they
    // report to are still whole.
    DestroyNow();
}

const Widget& MainWindow::WidgetAt(std::size_t index) const {
    return model_.All()[index];
}

std::size_t MainWindow::IndexOf(const Widget& widget) const {
    return static_cast<std::size_t>(&widget - model_.All().data());
}

HWND MainWindow::WindowOf(std::size_t index) const {
    if (index == 0) {
        return Hwnd();
    }
    return index < controls_.size() && controls_[index] ? controls_[index]->Hwnd() : nullptr;
}

std::optional<std::size_t> MainWindow::IndexOfWindow(HWND window) const {
    if (window == nullptr) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (WindowOf(i) == window) {
            return i;
        }
    }
    return std::nullopt;
}

HWND MainWindow::ControlOf(std::string_view name) const {
    const Widget* widget = model_.Find(name);
    return widget != nullptr ? WindowOf(IndexOf(*widget)) : nullptr;
}

controls::TFxLabel* MainWindow::LabelOf(std::string_view name) const {
    const Widget* widget = model_.Find(name);
    const std::size_t index = widget != nullptr ? IndexOf(*widget) : 0;
    return index != 0 && index < controls_.size() && controls_[index] ? controls_[index]->FxLabel()
                                                                      : nullptr;
}

// ---------------------------------------------------------------------------
// Creation.

bool MainWindow::Create(int showCommand) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The program's icon resource (shared icons: the system frees them).
    auto icon = [instance](int size) {
        HANDLE loaded =
            LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_SHARED);
        return loaded != nullptr ? static_cast<HICON>(loaded)
                                 : LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    };
    if (!RegisterCustomClass(kMainClass, CS_DBLCLKS, icon(GetSystemMetrics(SM_CXICON)),
                             icon(GetSystemMetrics(SM_CXSMICON)))) {
        return false;
    }
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);

    // The design's client size at this DPI, centred on the primary screen's work area.
    const Widget& form = model_.All().front();
    // Without WS_CLIPCHILDREN: the panels cover the whole client area, and the
    // window must still get its paints (the first one runs the start checks).
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT outer{0, 0, res_.Scale(form.bounds.width), res_.Scale(form.bounds.height)};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    const RECT place{left, top, left + width, top + height};
    if (!CreateCustom(kMainClass, 0, style, place, nullptr, nullptr, form.caption.c_str())) {
        return false;
    }

    controls_.resize(model_.All().size());
    windowless_.resize(model_.All().size());
    tooltip_ = Window(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                      instance, nullptr));
    for (std::size_t i = 1; i < controls_.size(); ++i) {
        if (!CreateControl(i)) {
            return false;
        }
        AddHint(i);
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (IsContainer(model_.All()[i])) {
            StackSiblings(i);
        }
    }
    built_ = true;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (IsContainer(model_.All()[i])) {
            LayOut(i);
        }
    }

    form_.Model().SetListener(
        [this](const Widget& widget, Change change) { OnModelChange(widget, change); });
    SetErrorReporter(ReportToUser, &form_);
    host_.SetOwner(Hwnd());
    keys_.emplace(Hwnd());
    busy_ = model_.BusyCursor();
    for (std::size_t i = 1; i < controls_.size(); ++i) {
        controls_[i]->Apply(Change::Picture);
    }

    savedFocus_ = ControlOf(model_.Focused());
    ShowWindow(Hwnd(), showCommand);
    if (HWND focus = UsableFocus(savedFocus_); focus != nullptr) {
        SetFocus(focus);
    }
    return true;
}

bool MainWindow::CreateControl(std::size_t index) {
    const Widget& w = model_.All()[index];
    controls_[index] = MakeControl(w.kind, *this, index);
    if (!controls_[index]) {
        return false;  // the form is only the first element, the window itself
    }
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (w.visible ? WS_VISIBLE : 0) |
                        (w.enabled ? 0 : WS_DISABLED) | (w.focusable ? WS_TABSTOP : 0);
    if (!controls_[index]->Create(WindowOf(parent_[index]),
                                  kFirstControlId + static_cast<int>(index), style)) {
        return false;
    }
    if (controls_[index]->Hwnd() == nullptr) {
        windowless_[parent_[index]].push_back(controls_[index].get());
    }
    return true;
}

// The hint of an element, shown when the mouse rests on it.
void MainWindow::AddHint(std::size_t index) {
    const Widget& w = model_.All()[index];
    if (w.hint.empty() || !tooltip_ || WindowOf(index) == nullptr) {
        return;
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = WindowOf(parent_[index]);
    tool.uId = reinterpret_cast<UINT_PTR>(WindowOf(index));
    tool.lpszText = const_cast<char*>(w.hint.c_str());  // copied by the tooltip
    SendMessageA(tooltip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// ---------------------------------------------------------------------------
// The model's changes.

void MainWindow::ContainerResized(std::size_t index) {
    if (built_) {
        LayOut(index);
    }
}

void MainWindow::OnModelChange(const Widget& widget, Change change) {
    const std::size_t index = IndexOf(widget);
    if (index >= controls_.size()) {
        return;
    }
    Control* control = controls_[index].get();
    switch (change) {
        case Change::Visible:
            if (control != nullptr) {
                control->Show(widget.visible);
                KeepFocusUsable();
                RepaintButtons();
            }
            break;
        case Change::Enabled:
            if (control != nullptr) {
                control->Enable(widget.enabled);
            } else {
                EnableWindow(Hwnd(), widget.enabled ? TRUE : FALSE);
                InvalidateRect(Hwnd(), nullptr, FALSE);
            }
            KeepFocusUsable();
            RepaintButtons();
            break;
        case Change::Bounds:
            if (index != 0) {
                LayOut(parent_[index]);
            }
            break;
        case Change::Focus:
            if (HWND focus = UsableFocus(WindowOf(index)); focus != nullptr) {
                savedFocus_ = focus;
                if (GetActiveWindow() == Hwnd()) {
                    SetFocus(focus);
                }
            }
            break;
        case Change::BusyCursor:
            ShowBusyCursor();
            break;
        case Change::AppTitle:
            break;  // the window's caption is the task-bar text; dialogs take the title from the
                    // model
        default:    // caption, items, selection, picture: the control's own
            if (control == nullptr) {
                SetWindowTextA(Hwnd(), widget.caption.c_str());
            } else {
                control->Apply(change);
                if (change == Change::Caption && widget.autoSize) {
                    LayOut(parent_[index]);
                }
            }
            break;
    }
}

void MainWindow::ShowBusyCursor() {
    busy_ = model_.BusyCursor();
    POINT cursor;
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    if (under == Hwnd() || IsChild(Hwnd(), under)) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(busy_ ? 32514 : 32512)));
    }
}

void MainWindow::PaintWindowlessAbove(std::size_t index, HDC dc) {
    HWND own = WindowOf(index);
    POINT origin{0, 0};
    MapWindowPoints(own, WindowOf(parent_[index]), &origin, 1);
    POINT saved;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &saved);
    for (std::size_t sibling : children_[parent_[index]]) {
        if (sibling > index && controls_[sibling] && controls_[sibling]->Hwnd() == nullptr) {
            controls_[sibling]->PaintOnSurface(dc);
        }
    }
    SetViewportOrgEx(dc, saved.x, saved.y, nullptr);
}

void MainWindow::RepaintButtons() {
    for (const auto& control : controls_) {
        if (control) {
            control->FocusMoved();
        }
    }
}

// ---------------------------------------------------------------------------
// Input.

void MainWindow::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, res_.BrushOf(res_.BackgroundOf(model_.All().front())));
}

LRESULT MainWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result = 0; Reflect(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_PAINT:
            Default(message, wParam, lParam);
            // After the paint is done: the first one runs the start checks, which
            // may show dialogs.
            form_.Paint();
            return 0;
        case WM_SIZE:
            ContainerResized(0);
            return 0;
        case WM_CLOSE:
            form_.RequestClose();
            return 0;
        case WM_SETCURSOR:
            if (busy_) {
                SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(Hwnd(), focus)) {
                    savedFocus_ = focus;
                }
            } else if (HWND focus = UsableFocus(savedFocus_); focus != nullptr) {
                SetFocus(focus);
                return 0;
            }
            break;
        case DM_GETDEFID:
            if (auto index = DefaultButton()) {
                return MAKELRESULT(kFirstControlId + static_cast<int>(*index), DC_HASDEFID);
            }
            return 0;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

// Reflects what a child window sent its parent to the child's control.
bool MainWindow::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_COMMAND && message != WM_DRAWITEM && message != WM_CTLCOLOREDIT &&
        message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORLISTBOX) {
        return false;
    }
    if (message == WM_COMMAND) {
        Command(LOWORD(wParam), HIWORD(wParam));
        result = 0;
        return true;
    }
    HWND child = message == WM_DRAWITEM ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem
                                        : reinterpret_cast<HWND>(lParam);
    const auto index = IndexOfWindow(child);
    if (!index || *index == 0) {
        return false;
    }
    if (message == WM_DRAWITEM) {
        result = TRUE;
        return controls_[*index]->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
    return controls_[*index]->Colors(reinterpret_cast<HDC>(wParam), result);
}

void MainWindow::Command(int id, int code) {
    if (id == IDCANCEL) {
        // Escape (from the dialog keyboard handling).
        if (auto index = CancelButton()) {
            const std::string name = model_.All()[*index].name;
            form_.Click(name);
        }
        return;
    }
    const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
    if (id >= kFirstControlId && index < controls_.size() && controls_[index]) {
        controls_[index]->Command(code);
    }
}

bool MainWindow::PreTranslate(MSG& message) {
    return Hwnd() != nullptr && IsDialogMessageA(Hwnd(), &message);
}

int MainWindow::RunMessageLoop() {
    int exitCode = 0;
    const auto end = platform::win32::RunThreadMessages(nullptr, nullptr, exitCode);
    return end == platform::win32::LoopEnd::Quit ? exitCode : 1;
}

// ---------------------------------------------------------------------------

int RunWizard(app::TMainForm& form, Win32UiHost& host, int showCommand) {
    form.Create();
    if (form.Ended() || host.ProgramEnded()) {
        return 0;
    }
    MainWindow window(form, host);
    if (!window.Create(showCommand)) {
        return 1;
    }
    return window.RunMessageLoop();
}

}  // namespace setup::ui::win32
