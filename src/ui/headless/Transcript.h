// The lines of a session's transcript that describe the window (the dialogs'
// lines are written by HeadlessHost). Each kind of line has one writer here;
// the format is the one docs/simulator.md documents.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainForm.h"

namespace setup::ui::headless {

// "start: D:\Setup.exe /TEST"
std::string StartLine(std::string_view programPath, const std::vector<std::string>& arguments);
// "window: "CAPTION", program "NAME", "VERSION""
std::string WindowLine(const app::WidgetModel& model);
// The page as the user sees it, in one line.
std::string ScreenLine(const app::TMainForm& form);
// "> ACTION": an action of the script as it is carried out.
std::string ActionLine(std::string_view action);
// "at pump N: ACTION": a scheduled action as it happens.
std::string AtPumpLine(int pump, std::string_view action);
// The closing lines: the page, whether the program ended, the result texts
// on screen, InstallOk.
void WriteEnd(std::vector<std::string>& out, const app::TMainForm& form, bool programEnded);

// "drawn: SOURCE -> TARGET": the texts the copy page's two path labels draw for a
// file's source and target, when the label shortens either of them to its width
// (measured with the recording canvas's fixed metrics); nothing when both fit.
std::optional<std::string> DrawnPathsLine(const app::WidgetModel& model, std::string_view source,
                                          std::string_view target);

// A list's items, selected ones marked with "*" ("A, B*").
std::string ItemList(const app::Widget& list);

}  // namespace setup::ui::headless
