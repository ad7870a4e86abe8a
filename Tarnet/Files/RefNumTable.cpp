#include "Tarnet/Files/RefNumTable.h"

#include <stdexcept>

namespace Tarnet::Files {

int16_t RefNumTable::Allocate()
{
    if (count >= kMaxAllocated)
        throw std::length_error("too many items allocated");
    count++;
    if (count > highWater)
        highWater = count;
    if (freeList.empty()) {
        slots.emplace_back();
        allocated.push_back(true);
        return int16_t(slots.size() - 1);
    }
    int16_t id = freeList.back();
    freeList.pop_back();
    allocated[size_t(id)] = true;
    return id;
}

void RefNumTable::Free(int16_t id)
{
    if (!IsAllocated(id))
        throw std::invalid_argument("id isn't allocated");
    count--;
    freeList.push_back(id);
    allocated[size_t(id)] = false;
    while (!freeList.empty() && size_t(freeList.back()) == slots.size() - 1) {
        freeList.pop_back();
        slots.pop_back();
        allocated.pop_back();
    }
}

std::unique_ptr<ForkHandle>& RefNumTable::Slot(int16_t id)
{
    if (id < 0 || size_t(id) >= slots.size())
        throw std::runtime_error("illegal refNum");
    if (!allocated[size_t(id)])
        throw std::invalid_argument("id isn't allocated");
    return slots[size_t(id)];
}

bool RefNumTable::IsAllocated(int16_t id) const
{
    return id >= 0 && size_t(id) < slots.size() && allocated[size_t(id)];
}

} // namespace Tarnet::Files
