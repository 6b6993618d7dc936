#include "platform/win32/Win32ShellLink.h"

#include <objbase.h>
#include <shlobj.h>
#include "platform/win32/WinApi.h"

#include <string>
#include <utility>
#include <vector>

namespace setup::platform::win32 {
namespace {

// The identifiers of the shell link object and its two interfaces.
constexpr CLSID kClsidShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The component-object library for the calling thread, single-threaded. Only an
// initialisation that succeeded (also "already initialised") is balanced: after
// a refused one, uninitialising would take the library away from its owner.
class ComLibrary {
  public:
    ComLibrary() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComLibrary() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComLibrary(const ComLibrary&) = delete;
    ComLibrary& operator=(const ComLibrary&) = delete;

  private:
    bool initialised_;
};

// One owned interface reference.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* Get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void** Out() { return reinterpret_cast<void**>(&object_); }

  private:
    Interface* object_ = nullptr;
};

class Win32ShellLink final : public ShellLinkObject {
  public:
    Win32ShellLink() {
        created_ = CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                    link_.Out());
        if (link_ && FAILED(link_->QueryInterface(kIidPersistFile, file_.Out()))) {
            lacksFileInterface_ = true;
        }
    }

    std::int32_t CreationResult() const override {
        return link_ ? static_cast<std::int32_t>(created_) : Failure();
    }
    bool LacksFileInterface() const override { return lacksFileInterface_; }

    std::int32_t SetPath(std::string_view path) override {
        return link_ ? link_->SetPath(std::string(path).c_str()) : Failure();
    }
    std::int32_t SetDescription(std::string_view description) override {
        return link_ ? link_->SetDescription(std::string(description).c_str()) : Failure();
    }
    std::int32_t SetWorkingDirectory(std::string_view folder) override {
        return link_ ? link_->SetWorkingDirectory(std::string(folder).c_str()) : Failure();
    }

    bool Save(std::string_view fileName) override {
        if (!file_) {
            return false;
        }
        // At most one UTF-16 unit per byte of the ANSI code page, and a terminator.
        const int length = static_cast<int>(fileName.size());
        std::vector<wchar_t> wide(fileName.size() + 2, L'\0');
        if (length > 0 &&
            MultiByteToWideChar(CP_ACP, 0, fileName.data(), length, wide.data(), length + 1) == 0) {
            return false;
        }
        return SUCCEEDED(file_->Save(wide.data(), TRUE));
    }

  private:
    // A creation that reported success without an object still has none.
    std::int32_t Failure() const {
        return FAILED(created_) ? static_cast<std::int32_t>(created_)
                                : static_cast<std::int32_t>(E_POINTER);
    }

    // Destroyed bottom-up: the file interface, the link, then the library.
    ComLibrary library_;
    ComRef<IShellLinkA> link_;
    ComRef<IPersistFile> file_;
    HRESULT created_ = E_FAIL;
    bool lacksFileInterface_ = false;
};

}  // namespace

std::unique_ptr<ShellLinkObject> CreateWin32ShellLink() {
    return std::make_unique<Win32ShellLink>();
}

}  // namespace setup::platform::win32
