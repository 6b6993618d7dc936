#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/Win32Os.h"

namespace setup::ui::win32 {
namespace {

using app::Align;
using app::Change;
using app::Widget;
using app::WidgetKind;

constexpr char kMainClass[] = "SetupMainWindow";
constexpr UINT_PTR kMemoSubclassId = 1;

bool IsContainer(const Widget& w) {
    return w.kind == WidgetKind::Form || w.kind == WidgetKind::Panel;
}

bool Overlap(const app::Rect& a, const app::Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The edit control breaks lines only at CR LF; texts from files may have bare LF.
std::string WithCrLf(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            result += '\r';
        }
        result += text[i];
    }
    return result;
}

// The memo is read-only: Tab, Enter and Escape do what they do in the rest of the
// window (next element, default button, cancel button) instead of going to it.
LRESULT CALLBACK MemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                          DWORD_PTR /*data*/) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, MemoProc, id);
    } else if (message == WM_GETDLGCODE) {
        return DefSubclassProc(window, message, wParam, lParam) &
               ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ReportToUser(void* context, std::string_view message) {
    static_cast<app::TMainForm*>(context)->ShowErrorBox(message);
}

}  // namespace

MainWindow::MainWindow(app::TMainForm& form, Win32UiHost& host)
    : form_(form), host_(host), model_(form.Model()), res_(form.Model()) {
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
    platform::win32::ProcessOs().SetActiveDialog(nullptr);
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

std::optional<std::size_t> MainWindow::IndexOfWindow(HWND window) const {
    if (window == nullptr) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].hwnd == window) {
            return i;
        }
    }
    return std::nullopt;
}

HWND MainWindow::ControlOf(std::string_view name) const {
    const Widget* widget = model_.Find(name);
    if (widget == nullptr) {
        return nullptr;
    }
    const std::size_t index = IndexOf(*widget);
    return index < controls_.size() ? controls_[index].hwnd : nullptr;
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
    controls_[0].hwnd = Hwnd();
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
    platform::win32::ProcessOs().SetActiveDialog(Hwnd());
    busy_ = model_.BusyCursor();
    for (std::size_t i = 1; i < controls_.size(); ++i) {
        if (model_.All()[i].kind == WidgetKind::Picture) {
            LoadPicture(i);
        }
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
    Control& control = controls_[index];
    HWND parent = controls_[parent_[index]].hwnd;
    const int id = kFirstControlId + static_cast<int>(index);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (w.visible ? WS_VISIBLE : 0) |
                  (w.enabled ? 0 : WS_DISABLED) | (w.focusable ? WS_TABSTOP : 0);
    auto makeCustom = [&](std::unique_ptr<WidgetWindow> window, DWORD exStyle, DWORD extra) {
        const bool made = window->Create(exStyle, style | extra, parent, id);
        control.hwnd = window->Hwnd();
        control.custom = std::move(window);
        return made;
    };
    auto makeSystem = [&](const char* className, DWORD exStyle, DWORD extra,
                          const std::string& text) {
        control.system = Window(CreateWindowExA(
            exStyle, className, text.c_str(), style | extra, 0, 0, 0, 0, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr));
        control.hwnd = control.system.Get();
        SendMessageA(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(res_.FontOf(w)), FALSE);
        return control.hwnd != nullptr;
    };

    WidgetHost& self = *this;
    switch (w.kind) {
        case WidgetKind::Form:
            return false;  // only the first element, the window itself
        case WidgetKind::Panel:
            return makeCustom(std::make_unique<PanelWindow>(self, index), WS_EX_CONTROLPARENT,
                              WS_CLIPCHILDREN);
        case WidgetKind::Label:
        case WidgetKind::EffectLabel:
            return makeCustom(std::make_unique<LabelWindow>(self, index), 0, 0);
        case WidgetKind::Picture:
            return makeCustom(std::make_unique<PictureWindow>(self, index), 0, 0);
        case WidgetKind::SpeedButton:
            return makeCustom(std::make_unique<SpeedButtonWindow>(self, index), 0, 0);
        case WidgetKind::Button:
            return makeSystem("BUTTON", 0, BS_OWNERDRAW | BS_NOTIFY, w.caption);
        case WidgetKind::Edit:
            return makeSystem("EDIT", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, w.caption);
        case WidgetKind::Memo: {
            const bool made =
                makeSystem("EDIT", WS_EX_CLIENTEDGE,
                           ES_MULTILINE | ES_AUTOVSCROLL | (w.readOnly ? ES_READONLY : 0) |
                               (w.verticalScrollBar ? WS_VSCROLL : 0),
                           WithCrLf(w.caption));
            return made && SetWindowSubclass(control.hwnd, MemoProc, kMemoSubclassId, 0);
        }
        case WidgetKind::ListBox: {
            const bool made =
                makeSystem("LISTBOX", WS_EX_CLIENTEDGE,
                           LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, "");
            if (made) {
                SendMessageA(control.hwnd, LB_SETITEMHEIGHT, 0, res_.Scale(w.itemHeight));
                SyncItems(index);
            }
            return made;
        }
    }
    return false;
}

// The hint of an element, shown when the mouse rests on it.
void MainWindow::AddHint(std::size_t index) {
    const Widget& w = model_.All()[index];
    if (w.hint.empty() || !tooltip_) {
        return;
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = controls_[parent_[index]].hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(controls_[index].hwnd);
    tool.lpszText = const_cast<char*>(w.hint.c_str());  // copied by the tooltip
    SendMessageA(tooltip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// Puts a container's children in the window system's stacking order. Where two
// elements overlap, the later one of the model lies above (result labels under
// the pages, the info memo over the folder page); otherwise the model's order
// stands, which is also the order Tab walks. Overlapping elements that both take
// the focus are shown one at a time (the bottom row's buttons), so they keep the
// model's order for Tab.
void MainWindow::StackSiblings(std::size_t container) {
    const auto& kids = children_[container];
    const auto& all = model_.All();
    auto mustBeBelow = [&](std::size_t earlier, std::size_t later) {
        const Widget& a = all[kids[earlier]];
        const Widget& b = all[kids[later]];
        return !(a.focusable && b.focusable) && Overlap(a.bounds, b.bounds);
    };
    std::vector<bool> placed(kids.size(), false);
    HWND above = HWND_TOP;
    for (std::size_t round = 0; round < kids.size(); ++round) {
        for (std::size_t k = 0; k < kids.size(); ++k) {
            bool ready = !placed[k];
            for (std::size_t later = k + 1; ready && later < kids.size(); ++later) {
                ready = placed[later] || !mustBeBelow(k, later);
            }
            if (ready) {
                placed[k] = true;
                HWND window = controls_[kids[k]].hwnd;
                SetWindowPos(window, above, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
                above = window;
                break;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Layout.

void MainWindow::ContainerResized(std::size_t index) {
    if (built_) {
        LayOut(index);
    }
}

// Places a container's children: aligned ones along the edges of its client area
// (inside its border) in the order top, bottom, right, then the one that takes the
// rest; the others at their design place and size.
void MainWindow::LayOut(std::size_t container) {
    const auto& all = model_.All();
    RECT free;
    GetClientRect(controls_[container].hwnd, &free);
    if (container != 0) {
        const int inset = res_.Scale(PanelWindow::Inset(all[container]));
        InflateRect(&free, -inset, -inset);
    }
    auto place = [&](std::size_t index, int left, int top, int width, int height) {
        MoveWindow(controls_[index].hwnd, left, top, std::max(width, 0), std::max(height, 0), TRUE);
    };
    for (Align align : {Align::Top, Align::Bottom, Align::Right, Align::Client}) {
        for (std::size_t index : children_[container]) {
            const Widget& w = all[index];
            if (w.align != align) {
                continue;
            }
            const int width = res_.Scale(w.bounds.width);
            const int height = res_.Scale(w.bounds.height);
            switch (align) {
                case Align::Top:
                    place(index, free.left, free.top, free.right - free.left, height);
                    free.top += height;
                    break;
                case Align::Bottom:
                    place(index, free.left, free.bottom - height, free.right - free.left, height);
                    free.bottom -= height;
                    break;
                case Align::Right:
                    place(index, free.right - width, free.top, width, free.bottom - free.top);
                    free.right -= width;
                    break;
                default:
                    place(index, free.left, free.top, free.right - free.left,
                          free.bottom - free.top);
                    break;
            }
        }
    }
    for (std::size_t index : children_[container]) {
        const Widget& w = all[index];
        if (w.align != Align::None) {
            continue;
        }
        int width = res_.Scale(w.bounds.width);
        int height = res_.Scale(w.bounds.height);
        if (w.autoSize && (w.kind == WidgetKind::Label || w.kind == WidgetKind::EffectLabel)) {
            WindowDc dc(controls_[index].hwnd);
            const SIZE text = LabelWindow::TextSize(dc.Get(), w, res_.FontOf(w));
            width = text.cx;
            height = text.cy;
        }
        place(index, res_.Scale(w.bounds.left), res_.Scale(w.bounds.top), width, height);
    }
}

// ---------------------------------------------------------------------------
// The model's changes.

void MainWindow::OnModelChange(const Widget& widget, Change change) {
    const std::size_t index = IndexOf(widget);
    if (index >= controls_.size()) {
        return;
    }
    HWND window = controls_[index].hwnd;
    switch (change) {
        case Change::Caption:
            ShowCaption(index);
            break;
        case Change::Visible:
            if (index != 0) {
                ShowWindow(window, widget.visible ? SW_SHOWNA : SW_HIDE);
                KeepFocusUsable();
                RepaintButtons();
            }
            break;
        case Change::Enabled:
            EnableWindow(window, widget.enabled ? TRUE : FALSE);
            InvalidateRect(window, nullptr, FALSE);
            KeepFocusUsable();
            RepaintButtons();
            break;
        case Change::Bounds:
            if (index != 0) {
                LayOut(parent_[index]);
            }
            break;
        case Change::Items:
            SyncItems(index);
            break;
        case Change::Selection:
            if (!syncing_) {  // not the echo of the user's own selection
                SyncSelection(index);
            }
            break;
        case Change::Picture:
            LoadPicture(index);
            break;
        case Change::Focus:
            if (HWND focus = UsableFocus(window); focus != nullptr) {
                savedFocus_ = focus;
                if (GetActiveWindow() == Hwnd()) {
                    SetFocus(focus);
                }
            }
            break;
        case Change::BusyCursor: {
            busy_ = model_.BusyCursor();
            POINT cursor;
            GetCursorPos(&cursor);
            HWND under = WindowFromPoint(cursor);
            if (under == Hwnd() || IsChild(Hwnd(), under)) {
                SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(busy_ ? 32514 : 32512)));
            }
            break;
        }
        case Change::AppTitle:
            break;  // the window's caption is the task-bar text; dialogs take the title from the
                    // model
    }
}

void MainWindow::ShowCaption(std::size_t index) {
    const Widget& w = model_.All()[index];
    HWND window = controls_[index].hwnd;
    if (w.kind == WidgetKind::Edit) {
        // The model's echo of what the user typed is already in the field.
        if (WindowText(window) != w.caption) {
            syncing_ = true;
            SetWindowTextA(window, w.caption.c_str());
            syncing_ = false;
        }
        return;
    }
    SetWindowTextA(window, (w.kind == WidgetKind::Memo ? WithCrLf(w.caption) : w.caption).c_str());
    InvalidateRect(window, nullptr, FALSE);
    if (w.autoSize && index != 0) {
        LayOut(parent_[index]);
    }
}

void MainWindow::SyncItems(std::size_t index) {
    HWND list = controls_[index].hwnd;
    const Widget& w = model_.All()[index];
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // The model keeps the items sorted; the list shows them in its order, so that
    // the indexes of both agree.
    for (const auto& item : w.items) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
    }
    SyncSelection(index);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::SyncSelection(std::size_t index) {
    HWND list = controls_[index].hwnd;
    const auto& items = model_.All()[index].items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool shown = SendMessageA(list, LB_GETSEL, i, 0) > 0;
        if (shown != items[i].selected) {
            SendMessageA(list, LB_SETSEL, items[i].selected ? TRUE : FALSE, static_cast<LPARAM>(i));
        }
    }
}

void MainWindow::CopySelection(std::size_t index) {
    HWND list = controls_[index].hwnd;
    const std::string name = model_.All()[index].name;
    syncing_ = true;
    for (std::size_t i = 0; i < model_.All()[index].items.size(); ++i) {
        const bool shown = SendMessageA(list, LB_GETSEL, i, 0) > 0;
        if (shown != model_.All()[index].items[i].selected) {
            form_.UserSelected(name, i, shown);
        }
    }
    syncing_ = false;
}

// Loads the picture file the model names and reports its size; only the logo has
// a file (the page pictures are glyphs).
void MainWindow::LoadPicture(std::size_t index) {
    auto* window = static_cast<PictureWindow*>(controls_[index].custom.get());
    if (window == nullptr || model_.All()[index].kind != WidgetKind::Picture) {
        return;
    }
    const Picture& picture = window->Reload();
    if (!picture.Empty()) {
        form_.LogoPictureLoaded(picture.Size().cx, picture.Size().cy);
    }
}

// ---------------------------------------------------------------------------
// Input.

LRESULT MainWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(Hwnd(), &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r,
                     res_.BrushOf(res_.BackgroundOf(model_.All().front())));
            return 1;
        }
        case WM_PAINT: {
            {
                PaintDc dc(Hwnd());
            }
            // After the paint is done: the first one runs the start checks, which
            // may show dialogs.
            form_.Paint();
            return 0;
        }
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
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            LRESULT result = 0;
            if (FromChild(message, wParam, lParam, result)) {
                return result;
            }
            break;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

bool MainWindow::FromChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            result = 0;
            return true;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlType != ODT_BUTTON) {
                return false;
            }
            DrawButton(item);
            result = TRUE;
            return true;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            const auto index = IndexOfWindow(reinterpret_cast<HWND>(lParam));
            if (!index || model_.All()[*index].background.source == app::Color::Source::Inherit) {
                return false;
            }
            const Widget& w = model_.All()[*index];
            const COLORREF background = res_.BackgroundOf(w);
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, background);
            SetTextColor(dc, res_.TextColorOf(w));
            result = reinterpret_cast<LRESULT>(res_.BrushOf(background));
            return true;
        }
        default:
            return false;
    }
}

void MainWindow::Command(int id, int code) {
    if (id == IDCANCEL) {
        // Escape (from the dialog keyboard handling).
        if (auto index = CancelButton()) {
            Click(*index);
        }
        return;
    }
    const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
    if (id < kFirstControlId || index >= controls_.size()) {
        return;
    }
    const Widget& w = model_.All()[index];
    switch (w.kind) {
        case WidgetKind::Button:
            // The second click of a quick double click arrives as BN_DOUBLECLICKED.
            if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
                Click(index);
            } else if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
                RepaintButtons();  // the default button's frame follows the focus
            }
            break;
        case WidgetKind::SpeedButton:
            if (code == BN_CLICKED) {
                Click(index);
            }
            break;
        case WidgetKind::Edit:
            if (code == EN_CHANGE && !syncing_) {
                form_.UserEditedText(w.name, WindowText(controls_[index].hwnd));
            }
            break;
        case WidgetKind::ListBox:
            if (code == LBN_SELCHANGE) {
                CopySelection(index);
            }
            break;
        default:
            break;
    }
}

void MainWindow::Click(std::size_t index) {
    // A copy: the handler may run long and change the model meanwhile.
    const std::string name = model_.All()[index].name;
    form_.Click(name);
}

std::optional<std::size_t> MainWindow::DefaultButton() const {
    // A focused push button is the one Enter presses; otherwise the first showing,
    // enabled button of the default kind.
    const auto focused = IndexOfWindow(GetFocus());
    if (focused && model_.All()[*focused].kind == WidgetKind::Button) {
        return focused;
    }
    const auto& all = model_.All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == WidgetKind::Button && all[i].role == app::ButtonRole::Default &&
            all[i].enabled && model_.IsShowing(all[i].name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> MainWindow::CancelButton() const {
    const auto& all = model_.All();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind == WidgetKind::Button && all[i].role == app::ButtonRole::Cancel &&
            all[i].enabled && model_.IsShowing(all[i].name)) {
            return i;
        }
    }
    return std::nullopt;
}

void MainWindow::DrawButton(const DRAWITEMSTRUCT& item) {
    const auto index = IndexOfWindow(item.hwndItem);
    if (!index) {
        return;
    }
    ButtonLook look;
    look.pressed = (item.itemState & ODS_SELECTED) != 0;
    look.focused = (item.itemState & ODS_FOCUS) != 0;
    look.showAccelerators = (item.itemState & ODS_NOACCEL) == 0;
    look.isDefault = DefaultButton() == index;
    DrawPushButton(item.hDC, item.rcItem, model_.All()[*index], res_, look);
}

void MainWindow::RepaintButtons() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (model_.All()[i].kind == WidgetKind::Button && controls_[i].hwnd != nullptr) {
            InvalidateRect(controls_[i].hwnd, nullptr, FALSE);
        }
    }
}

// The candidate when it can take the focus, else the first element that can.
HWND MainWindow::UsableFocus(HWND candidate) const {
    if (candidate != nullptr && IsWindow(candidate) && IsWindowVisible(candidate) &&
        IsWindowEnabled(candidate)) {
        return candidate;
    }
    HWND first = GetNextDlgTabItem(Hwnd(), nullptr, FALSE);
    return first != nullptr && IsWindowVisible(first) ? first : nullptr;
}

// After an element was hidden or disabled: the focus moves on when it stood there.
void MainWindow::KeepFocusUsable() {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(Hwnd(), focus) &&
        (!IsWindowVisible(focus) || !IsWindowEnabled(focus))) {
        HWND next = UsableFocus(GetNextDlgTabItem(Hwnd(), focus, FALSE));
        SetFocus(next != nullptr ? next : Hwnd());
    }
    if (savedFocus_ != nullptr && !IsWindowVisible(savedFocus_)) {
        savedFocus_ = nullptr;
    }
}

bool MainWindow::PreTranslate(MSG& message) {
    return Hwnd() != nullptr && IsDialogMessageA(Hwnd(), &message);
}

int MainWindow::RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got < 0) {
            return 1;
        }
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
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
