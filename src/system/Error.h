// The error that ends a user action: it carries the German text the user sees in
// the general error box. Steps raise it for failures they do not handle
// themselves (an INI file that can't be written, registry data of the wrong type,
// a folder that can't be created); the window's action dispatcher catches it.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace setup {

class SetupError : public std::exception {
  public:
    explicit SetupError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

  private:
    std::string message_;
};

// Replaces the first "%s" of a message template by the argument.
std::string FormatMessage(std::string_view messageTemplate, std::string_view argument);

// The text of the general error box: a "." is appended when the last character
// sorts after "." (so "Fehler" becomes "Fehler." but "Fehler!" stays).
std::string ErrorBoxText(std::string_view message);

}  // namespace setup
