// What the wizard needs from a window system besides the widget model: modal
// dialogs, the shell's folder dialog and the end of the program. The Win32
// renderer and the headless backend implement it; waiting for messages while a
// step runs goes through the operating-system seam (MessageThread::PumpMessages).
//
// A renderer drives TMainForm: it calls FormCreate once, then Paint on every
// paint, Click for button clicks, RequestClose for the close box or system menu,
// and reports a loaded logo with LogoPictureLoaded. When the form decides that
// the program ends it calls EndProgram once, after its last handler returned.
#pragma once

#include <string>
#include <string_view>

#include "app/MessageDialog.h"

namespace setup::app {

class UiHost {
  public:
    virtual ~UiHost() = default;

    // Shows a modal dialog and returns the answer number of the button pressed
    // (the dialog's escapeAnswer when it was closed or Escape was pressed).
    virtual int ShowDialog(const MessageDialog& dialog) = 0;

    // A dialog that was not shown because the user has confirmed closing while a
    // step was still running; it answered "Abbrechen" at once. For transcripts.
    virtual void DialogClosedAtOnce(const MessageDialog& /*dialog*/) {}

    // The shell's folder dialog showing only what lies under the special folder
    // `rootCsidl`, opening on `initialFolder` when that folder exists. Returns the
    // chosen file-system folder without trailing backslash; empty when the user
    // cancelled or the dialog could not be opened.
    virtual std::string BrowseForFolder(int rootCsidl, std::string_view title,
                                        std::string_view initialFolder) = 0;

    // The copy phase handled one file: its source, its target (empty when none was
    // decided: the source or the archive's entry was missing) and its FileResult.
    // For transcripts.
    virtual void FileHandled(std::string_view /*source*/, std::string_view /*target*/,
                             int /*result*/) {}

    // The window has closed: leave the message loop and exit the process.
    virtual void EndProgram() = 0;
};

}  // namespace setup::app
