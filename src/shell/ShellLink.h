// TShellLink: one shortcut file written through the shell's link object. Set the
// target, description and working directory, then save under a file name. The
// component-object details stay behind the seam (platform::ShellLinkObject).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Os.h"

namespace setup::shell {

class TShellLink {
  public:
    // Creates the shell's link object. An object without the file interface raises
    // the SetupError "Interface wird nicht unterstützt". When no object can be
    // created, LastResult holds the creation's result, the setters do nothing and
    // Save returns false.
    TShellLink();
    TShellLink(const TShellLink&) = delete;
    TShellLink& operator=(const TShellLink&) = delete;

    // Each stores the call's result code in LastResult.
    void SetPath(std::string_view path);
    void SetDescription(std::string_view description);
    void SetWorkingDirectory(std::string_view folder);

    // Saves under FileName; true when the shell reports success. LastResult stays.
    bool Save();
    bool SaveAs(std::string_view fileName);

    // Result code (HRESULT) of the creation and of the last setter.
    std::int32_t LastResult() const { return lastResult_; }
    const std::string& FileName() const { return fileName_; }

  private:
    bool HasObject() const { return creationResult_ >= 0; }

    std::int32_t lastResult_ = 0;
    std::string fileName_;
    std::unique_ptr<platform::ShellLinkObject> link_;
    std::int32_t creationResult_ = 0;
};

}  // namespace setup::shell
