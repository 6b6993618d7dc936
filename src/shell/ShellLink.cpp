#include "shell/ShellLink.h"

#include "system/Error.h"

namespace setup::shell {

TShellLink::TShellLink() : link_(platform::CurrentOs().ShellServices().CreateShellLink()) {
    lastResult_ = link_->CreationResult();
    creationResult_ = lastResult_;
    if (HasObject() && link_->LacksFileInterface()) {
        throw SetupError("Interface wird nicht unterst\xFCtzt");
    }
}

void TShellLink::SetPath(std::string_view path) {
    if (HasObject()) {
        lastResult_ = link_->SetPath(path);
    }
}

void TShellLink::SetDescription(std::string_view description) {
    if (HasObject()) {
        lastResult_ = link_->SetDescription(description);
    }
}

void TShellLink::SetWorkingDirectory(std::string_view folder) {
    if (HasObject()) {
        lastResult_ = link_->SetWorkingDirectory(folder);
    }
}

bool TShellLink::Save() {
    return HasObject() && link_->Save(fileName_);
}

bool TShellLink::SaveAs(std::string_view fileName) {
    fileName_ = fileName;
    return Save();
}

}  // namespace setup::shell
