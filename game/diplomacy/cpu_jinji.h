// The computer's personnel step of a house: captives that can be employed join the house
// ("%sは%sの家臣になりました", not shown while the game advances by itself), then hostages who
// come of age become guest generals.
#pragma once

namespace rymd {

class CMainGame;

class CCpuJinji {
public:
    explicit CCpuJinji(CMainGame& game) : game_(game) {}

    // The personnel phase of a computer house.
    void Run(int daimyou);

private:
    CMainGame& game_;
};

}  // namespace rymd
