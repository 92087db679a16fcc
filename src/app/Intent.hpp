// Intent: one action of the user, as a browser window sends it, and the error that refuses it.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelagrin {

/// Refuses an intent with a message for the user; whoever throws it has changed nothing.
class IntentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A JSON intent `{"intent": name, ...arguments}` with typed access to its arguments, read by the rules of
/// `JsonObjectReader`; each throws IntentError naming the intent and the argument.
class Intent {
public:
    /// Throws IntentError unless `message` is an object with a string "intent".
    explicit Intent(nlohmann::json message);

    const std::string& name() const { return name_; }

    std::string string(const char* key) const;
    double number(const char* key) const; ///< finite
    bool boolean(const char* key) const;
    /// An array of at most `maxCount` strings, each of at most `maxLength` characters.
    std::vector<std::string> strings(const char* key, std::size_t maxCount, std::size_t maxLength) const;
    /// An optional boolean: false when absent.
    bool flag(const char* key) const;
    /// A path as the page carries it: its text as `PathText` encodes it.
    std::filesystem::path path(const char* key) const;

    /// An IntentError "NAME: MESSAGE".
    IntentError error(const std::string& message) const;

private:
    nlohmann::json message_;
    std::string name_;
};

} // namespace pelagrin
