#include "zip/OutputTarget.h"

#include <utility>

#include "platform/TemporaryBeside.h"
#include "zip/ZipTypes.h"

namespace setup::zip {

std::int32_t OutputTarget::Open(std::string targetPath, platform::File* created) {
    target_ = std::move(targetPath);
    if (created != nullptr) {
        file_ = created;
        opened_ = true;
        callerOwned_ = true;
        return ZipOk;
    }
    // A new target is written in place: there is nothing to keep, and a failure
    // deletes it. Creating it only if the name is free means that nothing which
    // appeared since the caller looked is overwritten before the CRC check.
    own_ = files_.Open(target_, platform::OpenMode::CreateNew);
    if (own_ == nullptr && files_.GetAttributes(target_) == platform::attr::kInvalid) {
        ZipCreateFolders(target_);
        own_ = files_.Open(target_, platform::OpenMode::CreateNew);
    }
    if (own_ == nullptr) {
        own_ = platform::CreateTemporaryBeside(files_, target_, "~zip", temporary_);
    }
    if (own_ == nullptr) {
        return Fail(ZipErrWrite);
    }
    file_ = own_.get();
    opened_ = true;
    return ZipOk;
}

bool OutputTarget::Close(std::uint32_t dosTime) {
    file_->SetLastWriteDos(dosTime);
    const bool closed = file_->Close();
    file_ = nullptr;
    own_.reset();
    return closed;
}

std::int32_t OutputTarget::Commit() {
    if (!temporary_.empty() && !files_.MoveFile(temporary_, target_, true)) {
        return Fail(ZipErrWrite);
    }
    kept_ = true;
    return ZipOk;
}

void OutputTarget::Discard() {
    if (kept_ || !opened_) {
        return;
    }
    if (own_ != nullptr) {
        own_->Close();
        own_.reset();
    }
    if (!callerOwned_) {
        files_.DeleteFile(temporary_.empty() ? target_ : temporary_);
    }
}

namespace {

bool IsDrive(std::string_view part) {
    return part.size() == 2 && part[1] == ':';
}

}  // namespace

void ZipCreateFolders(std::string_view path) {
    platform::FileSystem& files = platform::CurrentOs().Files();
    const std::size_t nameStart = path.rfind('\\');
    if (nameStart == std::string_view::npos) {
        return;  // a bare file name: nothing to create
    }
    // A network path's server and share are never created.
    const std::size_t skipParts = path.substr(0, 2) == "\\\\" ? 4 : 0;
    std::string prefix;
    std::size_t start = 0;
    for (std::size_t part = 0; start <= nameStart; ++part) {
        const std::size_t end = path.find('\\', start);
        const std::string_view name = path.substr(start, end - start);
        if (part > 0) {
            prefix += '\\';
        }
        prefix += name;
        start = end + 1;
        if (name.empty() || (part == 0 && IsDrive(name)) || part < skipParts) {
            continue;
        }
        if (platform::IsFolder(files, prefix)) {
            continue;
        }
        if (!files.CreateFolder(prefix)) {
            return;
        }
    }
}

}  // namespace setup::zip
