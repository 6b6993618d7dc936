#include "RunnerSteps.h"

#include <map>

#include "Outcome.h"

namespace e2e {
namespace {

void Holds(const std::wstring& problem) {
    if (!problem.empty()) {
        throw Failure(problem);
    }
}

}  // namespace

const StepKind* FindStep(const std::wstring& verb) {
    static const std::map<std::wstring, StepKind> steps = {
        {L"start", {1, 9, [](Runner& r, const Args& a) { r.Start(a); }}},
        {L"wait window", {1, 1, [](Runner& r, const Args& a) { r.WaitWindow(a[0], 0); }}},
        {L"close window",
         {1, 1,
          [](Runner& r, const Args& a) {
              const HWND window = r.WaitWindow(a[0], 0);
              PostMessageW(window, WM_CLOSE, 0, 0);
              r.WaitGone(window, L"the window");
          }}},
        {L"click", {1, 1, [](Runner& r, const Args& a) { r.Click(r.UsableControl(a[0])); }}},
        // A click that does not wait for the program: the next one follows at once,
        // as from a user who clicks twice in quick succession.
        {L"queue click",
         {1, 1,
          [](Runner& r, const Args& a) { PostMessageW(r.UsableControl(a[0]), BM_CLICK, 0, 0); }}},
        {L"start-from-registry",
         {2, 2,
          [](Runner& r, const Args& a) {
              const std::wstring command = RegistryString(a[0], a[1]);
              if (command.empty()) {
                  throw Failure(L"the registry holds no command there");
              }
              r.Launch(nullptr, command, L"");
          }}},
        {L"snapshot", {1, 1, [](Runner& r, const Args& a) { r.Snapshot(a[0]); }}},
        {L"expect unchanged", {1, 1, [](Runner& r, const Args& a) { r.ExpectUnchanged(a[0]); }}},
        {L"make shortcut",
         {4, 4,
          [](Runner&, const Args& a) {
              if (!MakeShortcut(a[0], a[1], a[2], a[3])) {
                  throw Failure(L"the shortcut could not be written");
              }
          }}},
        {L"copy",
         {2, 2,
          [](Runner&, const Args& a) {
              if (!CopyFileCreatingFolders(a[0], a[1])) {
                  throw Failure(L"the file could not be copied");
              }
          }}},
        {L"type",
         {2, 2,
          [](Runner& r, const Args& a) {
              r.Send(r.UsableControl(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()));
              r.Settle();
          }}},
        {L"select", {2, 20, [](Runner& r, const Args& a) { r.Select(a); }}},
        {L"answer", {2, 2, [](Runner& r, const Args& a) { r.Answer(a); }}},
        {L"press", {1, 1, [](Runner& r, const Args& a) { r.Press(a); }}},
        {L"screenshot", {1, 1, [](Runner& r, const Args& a) { r.Screenshot(a[0]); }}},
        {L"sleep",
         {1, 1, [](Runner&, const Args& a) { Sleep(static_cast<DWORD>(_wtoi(a[0].c_str()))); }}},
        {L"swap medium",
         {2, 2,
          [](Runner&, const Args& a) {
              if (!SwapMedium(a[0], a[1])) {
                  throw Failure(L"the medium could not be changed");
              }
          }}},
        {L"remove", {1, 1, [](Runner&, const Args& a) { RemovePath(a[0]); }}},
        {L"remove reg", {1, 1, [](Runner&, const Args& a) { RemoveRegistryKey(a[0]); }}},
        {L"set reg",
         {3, 3,
          [](Runner&, const Args& a) {
              if (!SetRegistryString(a[0], a[1], a[2])) {
                  throw Failure(L"the registry value could not be written");
              }
          }}},
        {L"expect window", {1, 1, [](Runner& r, const Args& a) { r.WaitWindow(a[0], 0); }}},
        {L"expect text", {1, 1, [](Runner& r, const Args& a) { r.ExpectText(a[0]); }}},
        {L"expect exited", {0, 1, [](Runner& r, const Args& a) { r.ExpectExited(a); }}},
        {L"expect items", {1, 40, [](Runner& r, const Args& a) { r.ExpectItems(a); }}},
        {L"expect file",
         {1, 2, [](Runner&, const Args& a) { Holds(CheckFile(a[0], a.size() > 1 ? a[1] : L"")); }}},
        {L"expect missing", {1, 1, [](Runner&, const Args& a) { Holds(CheckMissing(a[0])); }}},
        {L"expect ini",
         {4, 4, [](Runner&, const Args& a) { Holds(CheckIni(a[0], a[1], a[2], a[3], false)); }}},
        {L"expect noini",
         {3, 3, [](Runner&, const Args& a) { Holds(CheckIni(a[0], a[1], a[2], L"", true)); }}},
        {L"expect reg",
         {3, 3, [](Runner&, const Args& a) { Holds(CheckRegistry(a[0], a[1], a[2], false)); }}},
        {L"expect noreg",
         {1, 2,
          [](Runner&, const Args& a) {
              Holds(CheckRegistry(a[0], a.size() > 1 ? a[1] : L"", L"", true));
          }}},
        {L"expect shortcut",
         {2, 4,
          [](Runner&, const Args& a) {
              Holds(CheckShortcut(a[0], a[1], a.size() > 2 ? &a[2] : nullptr,
                                  a.size() > 3 ? &a[3] : nullptr));
          }}},
    };
    const auto step = steps.find(verb);
    return step == steps.end() ? nullptr : &step->second;
}

}  // namespace e2e
