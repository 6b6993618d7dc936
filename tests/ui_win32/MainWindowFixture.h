// The fixture of the main window's tests under the real window system: a medium
// folder with a script, the form and its window, the dialogs a test expects, and
// the places of the elements.
#pragma once

#ifdef _WIN32

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GuiTestSupport.h"
#include "app/MainForm.h"
#include "app/WidgetNames.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Win32UiHost.h"

namespace setup::testing {

namespace gui = setup::ui::win32;

struct Place {
    int left, top, width, height;
    bool operator==(const Place&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Place& p) {
    return out << "{" << p.left << ", " << p.top << ", " << p.width << ", " << p.height << "}";
}

// A window's place relative to its parent's client area.
inline Place PlaceOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline bool AtDesignDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi == 96;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { Stop(); }

    // Closes the window, so that a test may Start() another one.
    void Stop() {
        if (script_) {
            EXPECT_TRUE(script_->Unexpected().empty()) << script_->Unexpected().front().text;
        }
        window_.reset();
        form_.reset();
        scoped_.reset();
        // A quit request of an ended program must not reach the next test.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::string Medium() const { return env_->ScratchFolder() + "Medium\\"; }
    std::string Target() const { return env_->ScratchFolder() + "Ziel"; }

    std::string Script(const std::string& extra = "") const {
        return "[ProgInfos]\r\nFirma=Testfirma\r\nName=Testprogramm\r\nVersion=2.5\r\nZielVerz=" +
               Target() + "\r\n" + extra;
    }

    void Start(const std::string& script,
               const std::vector<std::pair<std::string, std::string>>& files = {},
               std::vector<std::string> arguments = {}) {
        CreateDirectoryA(Medium().c_str(), nullptr);
        // A script without files would stop at the copy page's warning; a file of a
        // module never chosen must be on the medium but is not installed.
        std::string text = script;
        if (text.find("[Dateien]") == std::string::npos &&
            text.find("[Diskette") == std::string::npos) {
            text += "[Dateien]\r\nNie#Leer.txt=\r\n";
            WriteBytes(Medium() + "Leer.txt", "");
        }
        WriteBytes(Medium() + "Setup.ini", text);
        for (const auto& [name, bytes] : files) {
            WriteBytes(Medium() + name, bytes);
        }
        os_ = std::make_unique<MediumOs>(env_->Os(), Medium() + "Setup.exe");
        scoped_ = std::make_unique<platform::ScopedOs>(*os_);
        form_ = std::make_unique<app::TMainForm>(host_, std::move(arguments));
        form_->Create();
        window_ = std::make_unique<gui::MainWindow>(*form_, host_);
        ASSERT_TRUE(window_->Create(SW_SHOWNORMAL));
        Expect({});
        // The window shows; its first paint runs the start checks.
        Pump(10000, [this] { return !form_->State().FirstPaintPending; });
        ASSERT_FALSE(form_->State().FirstPaintPending);
        Pump(100);
        EXPECT_TRUE(script_->Unexpected().empty()) << script_->Unexpected().front().text;
    }

    // The dialogs the test expects from here on, and how they are answered; any
    // other dialog is escaped and reported.
    DialogScript& Expect(std::vector<DialogStep> steps) {
        script_.reset();
        script_ = std::make_unique<DialogScript>(std::move(steps));
        return *script_;
    }

    bool Pump(int milliseconds, const std::function<bool()>& until = {}) {
        return PumpFor(
            milliseconds, [this](MSG& m) { return window_->PreTranslate(m); }, until);
    }
    HWND Control(std::string_view name) const { return window_->ControlOf(name); }
    // The place of an element in its parent: a window's, or an effect label's.
    Place PlaceIn(std::string_view name) const {
        if (const controls::TFxLabel* label = window_->LabelOf(name)) {
            return {label->Left(), label->Top(), label->Width(), label->Height()};
        }
        return PlaceOf(Control(name));
    }
    const app::WidgetModel& Model() const { return form_->Model(); }

    std::unique_ptr<TestEnvironment> env_ = MakeTestEnvironment();
    std::unique_ptr<MediumOs> os_;
    std::unique_ptr<platform::ScopedOs> scoped_;
    gui::Win32UiHost host_;
    std::unique_ptr<app::TMainForm> form_;
    std::unique_ptr<gui::MainWindow> window_;
    std::unique_ptr<DialogScript> script_;
};

}  // namespace setup::testing

#endif  // _WIN32
