#include "board/key_queue.h"

#include "board/key_actions.h"

namespace {

int RowOf(int key) { return key / kGridColumns; }
int ColumnOf(int key) { return key % kGridColumns; }

std::uint64_t Least(std::uint64_t a, std::uint64_t b) { return a < b ? a : b; }

// A key the queue may hold: on the grid, and not a tape key.
bool Queueable(int gridRow, int gridColumn) {
    const KeyCell* key = KeyAtGrid(gridRow, gridColumn);
    return key != nullptr && key->kind != KeyKind::TapeRead && key->kind != KeyKind::TapeWrite;
}

}  // namespace

bool KeyQueue::Add(int gridRow, int gridColumn) {
    if (!Queueable(gridRow, gridColumn)) return false;
    if (count_ == kKeyQueueCapacity) return false;
    keys_[(first_ + count_) % kKeyQueueCapacity] = static_cast<std::uint8_t>(gridRow * kGridColumns + gridColumn);
    ++count_;
    return true;
}

int KeyQueue::Waiting() const { return count_ + (pressed_ >= 0 ? 1 : 0); }

int KeyQueue::Drop(Board& board, std::uint64_t now) {
    int dropped = count_;
    if (pressed_ >= 0 && IsKeyPending(board, RowOf(pressed_), ColumnOf(pressed_))) {
        const KeyCell* key = KeyAtGrid(RowOf(pressed_), ColumnOf(pressed_));
        if (key->kind == KeyKind::User) {
            board.keys.userKeyPending = 0;
        } else {
            board.keys.pressed[key->matrixRow][key->matrixColumn] = 0;
        }
        ++dropped;
    }
    count_ = 0;
    pressed_ = -1;
    nextAt_ = now + kKeyQueueGapPasses;
    return dropped;
}

std::uint64_t KeyQueue::Serve(Board& board, std::uint64_t now, std::uint64_t most) {
    if (pressed_ >= 0) {
        if (IsKeyPending(board, RowOf(pressed_), ColumnOf(pressed_))) return Least(most, 1);
        pressed_ = -1;
        nextAt_ = now + kKeyQueueGapPasses;
    }
    if (count_ == 0) return most;
    if (now < nextAt_) return Least(most, nextAt_ - now);
    const int key = keys_[first_];
    first_ = (first_ + 1) % kKeyQueueCapacity;
    --count_;
    PressKey(board, RowOf(key), ColumnOf(key));
    if (IsKeyPending(board, RowOf(key), ColumnOf(key))) {
        pressed_ = key;
        return Least(most, 1);
    }
    nextAt_ = now + kKeyQueueGapPasses;  // it acted at once
    return count_ == 0 ? most : Least(most, kKeyQueueGapPasses);
}

KeyQueueContents KeyQueue::Contents() const {
    KeyQueueContents contents;
    for (int i = 0; i < count_; ++i) contents.waiting.push_back(keys_[(first_ + i) % kKeyQueueCapacity]);
    contents.pressed = pressed_;
    contents.nextAt = nextAt_;
    return contents;
}

bool KeyQueue::Restore(const KeyQueueContents& contents) {
    KeyQueue restored;
    for (const std::uint8_t key : contents.waiting) {
        if (!restored.Add(RowOf(key), ColumnOf(key))) return false;
    }
    if (contents.pressed != -1) {
        if (contents.pressed < 0 || !Queueable(RowOf(contents.pressed), ColumnOf(contents.pressed))) return false;
    }
    restored.pressed_ = contents.pressed;
    restored.nextAt_ = contents.nextAt;
    *this = restored;
    return true;
}
