#include "board/key_delivery.h"

#include "board/idle_pass.h"
#include "board/key_actions.h"

namespace {

bool IsPending(const Board& board, const KeyStroke& key) { return IsKeyPending(board, key.gridRow, key.gridColumn); }

// Only matrix keys and the USER KEY are taken by a scan; press:KEY does not wait.
bool WaitsForScan(const KeyStroke& key) {
    return key.waitForScan && (key.kind == KeyKind::Matrix || key.kind == KeyKind::User);
}

}  // namespace

bool DeliverKeyAt(PassRunner& runner, Board& board, const KeyStroke& key, int phase, std::uint32_t scanLimit,
                  std::string& error) {
    runner.RunInstructions(static_cast<std::uint64_t>(phase));
    PressKey(board, key.gridRow, key.gridColumn);
    std::uint32_t pass = 0;
    if (phase > 0) {
        runner.RunInstructions(static_cast<std::uint64_t>(kInstructionsPerPass - phase));
        ++pass;
    }
    if (!WaitsForScan(key)) return true;
    for (; pass < scanLimit && IsPending(board, key); ++pass) runner.RunPasses(1);
    if (!IsPending(board, key)) return true;
    error = "key '" + key.name + "' was not scanned within " + std::to_string(scanLimit) + " passes";
    return false;
}

std::size_t DeliverKeys(PassRunner& runner, Board& board, const std::vector<KeyStroke>& keys, const KeyTiming& timing,
                        std::string& error, const std::function<void(std::size_t)>& beforeKey) {
    if (!keys.empty()) runner.RunPasses(timing.settlePasses);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (beforeKey) beforeKey(i);
        if (keys[i].waitPasses != 0) {
            runner.RunPasses(keys[i].waitPasses);
            continue;
        }
        if (!DeliverKeyAt(runner, board, keys[i], timing.phase, timing.scanLimit, error)) return i;
        runner.RunPasses(timing.settlePasses);
    }
    return keys.size();
}
