// UserSettings: reading, setting aside a corrupt file, and atomic rewrites.
#include "app/UserSettings.hpp"

#include "support/AtomicWrite.hpp"
#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"
#include "support/JsonObjectReader.hpp"
#include "support/PathText.hpp"
#include "support/UserFolders.hpp"

#include <iostream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>

namespace pelagrin {

namespace {

// The settings are a handful of values; anything near this bound is not a file this app wrote.
constexpr std::size_t maxSettingsBytes = mebibyte;

} // namespace

UserSettings& UserSettings::shared() {
    static UserSettings instance(userConfigFolder() / "settings.json");
    return instance;
}

UserSettings::UserSettings(std::filesystem::path path) : path_(std::move(path)) {
    read();
    autoOpenWrites_ = autoOpenLastProject.subscribe([this](bool) { write(); });
    lastOpenedWrites_ = lastOpenedProjectURL.subscribe([this](const auto&) { write(); });
    onboardingWrites_ = hasSeenOnboarding.subscribe([this](bool) { write(); });
    mapAreaWrites_ = lastMapArea.subscribe([this](const auto&) { write(); });
    pagePortWrites_ = pagePort.subscribe([this](const auto&) { write(); });
}

void UserSettings::read() {
    std::string text;
    try {
        text = readWholeFile(path_, maxSettingsBytes);
    } catch (const FileReadError&) {
        return; // first launch, most likely; a file that exists but cannot be read is left where it is
    }
    const nlohmann::json stored = nlohmann::json::parse(text, nullptr, false);
    if (!stored.is_object()) {
        std::filesystem::path aside = path_;
        aside += ".bad";
        std::error_code error;
        std::filesystem::rename(path_, aside, error);
        std::cerr << "Settings file " << path_.string() << " is not readable; using the defaults"
                  << (error ? "" : " and keeping the old file as " + aside.string()) << '\n';
        return;
    }
    // A setting that is missing, of the wrong type or spoilt by hand keeps its default; the others still
    // count.
    const JsonObjectReader settings(stored, "");
    const auto readSetting = [](const auto& assign) {
        try {
            assign();
        } catch (const JsonDecodeError&) {
        } catch (const std::invalid_argument&) {
        }
    };
    readSetting([&] { autoOpenLastProject = settings.boolean("autoOpenLastProject"); });
    readSetting(
        [&] { lastOpenedProjectURL = PathText::decode(settings.string("lastOpenedProjectURL")).native(); });
    readSetting([&] { hasSeenOnboarding = settings.boolean("hasSeenOnboarding"); });
    readSetting([&] {
        if (const std::optional<JsonObjectReader> area = settings.optionalObject("lastMapArea")) {
            lastMapArea = MapArea::fromJson(*area);
        }
    });
    readSetting(
        [&] { pagePort = static_cast<std::uint16_t>(settings.wholeNumberWithin("pagePort", 1, 65535)); });
}

void UserSettings::write() const {
    nlohmann::json stored = {{"autoOpenLastProject", autoOpenLastProject.get()},
                             {"hasSeenOnboarding", hasSeenOnboarding.get()}};
    if (lastOpenedProjectURL.get()) {
        stored["lastOpenedProjectURL"] = PathText::encode(*lastOpenedProjectURL.get());
    }
    if (lastMapArea.get()) {
        stored["lastMapArea"] = lastMapArea->value().toJson();
    }
    if (pagePort.get()) {
        stored["pagePort"] = *pagePort.get();
    }
    // A failed write keeps the running app's values; the message says why they will not last.
    try {
        std::filesystem::create_directories(path_.parent_path());
        writeFileAtomically(path_, stored.dump(2) + "\n");
    } catch (const std::exception& error) {
        std::cerr << "Settings not saved: " << error.what() << '\n';
    }
}

} // namespace pelagrin
