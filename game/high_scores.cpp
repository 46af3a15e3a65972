#include "game/high_scores.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <unistd.h>
#include <utility>

#include "files/file_services.h"
#include "files/line_split.h"
#include "frame/error_log.h"
#include "values/numeric.h"

namespace splosh {

namespace {

constexpr std::size_t kScoreBytes = 4;

bool Writable(const std::string& file) { return ::access(file.c_str(), W_OK) == 0; }

// The table of a file, or nothing when it cannot be read or is broken (then
// it is kept aside, replacing an older broken one).
bool ReadTableFile(const std::string& file, GameGlobals& game) {
    const std::optional<std::vector<std::uint8_t>> bytes = vlm::ReadWholeFile(file);
    if (bytes && DecodeHighScores(*bytes, game)) return true;
    std::error_code error;
    std::filesystem::rename(file, file + ".bad", error);
    vlm::AppendLogLine("Broken high-score table " + file + " kept as " + file + ".bad");
    return false;
}

} // namespace

std::vector<std::uint8_t> EncodeHighScores(const GameGlobals& game) {
    std::vector<std::uint8_t> bytes;
    for (int slot = 1; slot <= kTableSize; ++slot) {
        const std::string_view name = game.HighScoreNames.At(slot).view();
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.insert(bytes.end(), {0x0D, 0x0A});
        const auto score = static_cast<std::uint32_t>(vlm::TruncateToInteger(game.HighScoreValues.At(slot)));
        for (std::size_t i = 0; i < kScoreBytes; ++i)
            bytes.push_back(static_cast<std::uint8_t>(score >> (8 * i)));
    }
    return bytes;
}

bool DecodeHighScores(std::span<const std::uint8_t> bytes, GameGlobals& game) {
    std::pair<vlm::DynString, double> records[kTableSize];
    for (auto& [name, score] : records) {
        const vlm::LineExtent line = vlm::FindLine(bytes);
        if (bytes.size() < line.consumed + kScoreBytes) return false;
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), line.length);
        name = text.substr(0, text.find('\0')); // as a line read into a text
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < kScoreBytes; ++i)
            value |= std::uint32_t{bytes[line.consumed + i]} << (8 * i);
        score = static_cast<std::int32_t>(value);
        bytes = bytes.subspan(line.consumed + kScoreBytes);
    }
    for (int slot = 1; slot <= kTableSize; ++slot) {
        game.HighScoreNames.At(slot) = std::move(records[slot - 1].first);
        game.HighScoreValues.At(slot) = records[slot - 1].second;
    }
    return true;
}

std::string UserTableFile() {
    // A relative XDG_DATA_HOME is to be ignored, as if it were unset.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/splosh/table.dat";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.local/share/splosh/table.dat";
    return {};
}

void StartHighScores(GameGlobals& game) {
    const std::string places[] = {kTableFile, UserTableFile()};
    for (const std::string& place : places) {
        if (!place.empty() && vlm::FileExists(vlm::DynString(place)) && Writable(place)) {
            game.HighScoreFile = place;
            LoadHighScores(game);
            return;
        }
    }
    // A table that cannot be written (a read-only install) is still read;
    // the first save moves it on.
    for (const std::string& place : places) {
        if (!place.empty() && vlm::FileExists(vlm::DynString(place))) {
            ReadTableFile(place, game);
            break;
        }
    }
    game.HighScoreFile = kTableFile;
    SaveHighScores(game);
}

void SaveHighScores(GameGlobals& game) {
    if (game.HighScoreFile.empty()) return; // kept in memory for this run
    const std::vector<std::uint8_t> bytes = EncodeHighScores(game);
    const std::string failed = game.HighScoreFile;
    for (std::string place = failed; !place.empty(); place = place == kTableFile ? UserTableFile() : "") {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(place).parent_path(), error);
        if (vlm::ReplaceFile(place, bytes)) {
            if (place != failed) vlm::AppendLogLine("Cannot write " + failed + "; high scores kept in " + place);
            game.HighScoreFile = place;
            return;
        }
    }
    vlm::AppendLogLine("Cannot write " + failed + "; high scores kept in memory for this run");
    game.HighScoreFile.clear();
}

void LoadHighScores(GameGlobals& game) {
    if (ReadTableFile(game.HighScoreFile, game)) return;
    FillDefaultHighScores(game);
    SaveHighScores(game);
}

void EnterHighScore(GameGlobals& game, const vlm::DynString& name) {
    constexpr int kNewSlot = kTableSize + 1;
    game.HighScoreNames.At(kNewSlot) = name;
    game.HighScoreValues.At(kNewSlot) = game.Score;
    // Only a strictly smaller score moves down, so a new score ranks below
    // an equal one. The passes stop at the new slot: the empty slots after
    // it must never rise into the table above a negative stored score.
    for (int pass = 0; pass < 30; ++pass) {
        for (int j = 1; j < kNewSlot; ++j) {
            if (game.HighScoreValues.At(j) < game.HighScoreValues.At(j + 1)) {
                std::swap(game.HighScoreValues.At(j), game.HighScoreValues.At(j + 1));
                swap(game.HighScoreNames.At(j), game.HighScoreNames.At(j + 1));
            }
        }
    }
}

} // namespace splosh
