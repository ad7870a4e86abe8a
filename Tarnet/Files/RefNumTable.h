// The pool of refNums for open forks. Freed numbers are reused most-recently-freed first, and
// free numbers at the end of the table are given back so the table shrinks again.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Tarnet/Files/Volume.h"

namespace Tarnet::Files {

class RefNumTable
{
public:
    static constexpr int16_t kMaxAllocated = 32767;

    int16_t Allocate();    // throws std::length_error("too many items allocated") when full
    void Free(int16_t id); // throws std::invalid_argument("id isn't allocated")
    std::unique_ptr<ForkHandle>& Slot(int16_t id); // throws like GetForkForRefNum
    bool IsAllocated(int16_t id) const;            // false also for ids outside the table
    int16_t Count() const { return count; }
    int16_t HighWaterMark() const { return highWater; }
    size_t SlotCount() const { return slots.size(); }

private:
    std::vector<std::unique_ptr<ForkHandle>> slots;
    std::vector<bool> allocated;
    std::vector<int16_t> freeList;
    int16_t count = 0;
    int16_t highWater = 0;
};

} // namespace Tarnet::Files
