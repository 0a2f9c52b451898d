// The four corps commands of the armament phase.
#pragma once

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class MainWindowFace;

// The four corps commands of the armament phase: formation, orders, territory, assets. Each
// refreshes the phase caption after its dialog, whatever it ended with.
void RegisterGundanCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map);

}  // namespace rymd::shell
