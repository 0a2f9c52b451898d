// The saved game (.rsd): the signature, the province map and every table, count and setting of
// the running game, written in the newest layout and read back in every layout from version 100
// on (110 excepted). The byte form of the tables also gives the state hash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

class ArchiveWriter;
struct GameState;

// The newest layout, the one the writer writes.
constexpr int kSavedGameVersion = 116;
// The oldest layout the reader takes; 110 is never taken.
constexpr int kOldestSavedGameVersion = 100;
// The signature field: this text, then zero bytes up to 32 bytes.
constexpr char kSavedGameSignature[] = "RYUUMONDEN LV 1.16";
constexpr std::size_t kSavedGameSignatureSize = 32;

// The largest saved game read: a map at its own limit (256 MB) and every table full.
inline constexpr std::uint64_t kSavedGameFileMaxBytes = std::uint64_t{512} << 20;

// The messages of saving and loading.
constexpr char kMsgCannotOpenFile[] = "ファイルが開けません";
constexpr char kMsgSaveVersionRefused[] = "このバージョンのセーブデータは読み込めません";
constexpr char kMsgSaveDataBroken[] = "セーブデータが異常です";
constexpr char kMsgNoViewOnlyAfterSpectatorStart[] =
    "観戦モードで開始した場合は、閲覧専用形式でセーブできません";

// Every block after the signature and the province map, in the file's order.
void WriteSavedGameTables(const GameState& gs, ArchiveWriter& out);

// A 64-bit hash (16 hexadecimal digits) of the saved-game tables: the same game gives the same
// hash, any difference in a stored value gives another.
std::string StateHash(const GameState& gs);

// The whole file of the game: signature, map, tables. A save changes nothing in the game.
std::vector<std::uint8_t> WriteSavedGame(const GameState& gs, const MbKorMap::CCtrlKorMap& map);

// Writes the game to path through a temporary file renamed over it, so an old save there stays
// whole when the write fails. False, with kMsgCannotOpenFile in *message, when it cannot be written.
bool SaveGameFile(const std::string& path, const GameState& gs, const MbKorMap::CCtrlKorMap& map,
                  std::string* message = nullptr);

// The view-only save: the game written with the view-only flag set, so that a load of it can be
// looked at but not played on; the game's own flag is as before afterwards. Refused (false, with
// kMsgNoViewOnlyAfterSpectatorStart in *message) when the game was started as a spectator game.
// The player's confirmation comes first, from the game screen.
bool SaveViewOnlyGameFile(const std::string& path, GameState& gs, const MbKorMap::CCtrlKorMap& map,
                          std::string* message = nullptr);

struct SavedGameLoad {
    bool loaded = false;
    int version = 0;      // the file's version (0 when the signature was not read)
    std::string message;  // the player's message when refused
    std::string detail;   // what was wrong, for tools and logs (English)
    // The folder of a loaded file, where the game screen then looks for the scenario's music;
    // empty unless the file was loaded.
    std::string folder;
};

// Reads a whole saved game into a fresh state and, only when every block was read, every stored
// value lies in the range the game can hold (those a scenario may give the same fields) and the
// state holds together, replaces gs and the content of map by it and rebuilds what depends on the
// tables: port count, castle exclusion bits, waterway flags and link kinds cleared (as a new
// game leaves them), run flags cleared, castle-icon transparency, the map's textures and flat
// land. The random source is seeded with seed, as a new game seeds it. A refused file leaves gs
// and map exactly as they were.
SavedGameLoad LoadSavedGame(const std::vector<std::uint8_t>& bytes, GameState& gs, MbKorMap::CCtrlKorMap& map,
                            std::uint32_t seed);
// LoadSavedGame on the file at path; a file that cannot be read (missing, not a regular file,
// larger than kSavedGameFileMaxBytes) is refused with kMsgCannotOpenFile.
SavedGameLoad LoadSavedGameFile(const std::string& path, GameState& gs, MbKorMap::CCtrlKorMap& map,
                                std::uint32_t seed);

// The version written in a signature field, or -1 when the field does not begin with
// "RYUUMONDEN LV " and a number.
int SavedGameVersion(const std::uint8_t* field, std::size_t size);
// True for the versions the reader takes.
bool IsReadableSavedGameVersion(int version);

}  // namespace rymd
