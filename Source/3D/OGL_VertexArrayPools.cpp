// OGL_VertexArrayPools.cpp: ten fixed blocks that hold vertex arrays, so that level geometry causes no
// heap traffic per mesh. Each pool keeps its allocations in a list ordered by address and places a new
// one in the first gap that fits.
#include "3D/OGL_Local.h"
#include "System/Alerts.h"
#include "System/Memory.h"

struct VertexArrayNode
{
    VertexArrayNode* prev;
    VertexArrayNode* next;
    uint8_t* address;
    int32_t size;
};

struct VertexArrayPool
{
    uint8_t* block;
    int32_t blockSize;
    VertexArrayNode* first;
    VertexArrayNode* last;
};

// Sized for the worst level of each user: particles and contrails per frame parity, terrain, models,
// the two copies of every skinned mesh, the zap ribbons.
static const int32_t kPoolSizes[MAX_VERTEX_ARRAY_POOLS] = {
    6000000, 6000000, 8000000, 6000000, 5000000, 5000000, 1000000, 1000000, 300000, 300000,
};

static VertexArrayPool gPools[MAX_VERTEX_ARRAY_POOLS];
static bool gPoolsReady = false;

int32_t gVertexArrayBytesForgotten = 0;

void OGL_InitVertexArrayMemory()
{
    if (gPoolsReady)
        ShowFatalAlert("OGL_InitVertexArrayMemory: memory already allocated.");

    for (int type = 0; type < MAX_VERTEX_ARRAY_POOLS; type++) {
        gPools[type].first = nullptr;
        gPools[type].last = nullptr;
        gPools[type].blockSize = kPoolSizes[type];
        gPools[type].block = (uint8_t*)AllocPtr(kPoolSizes[type]);
    }
    gPoolsReady = true;
}

void OGL_DisposeVertexArrayMemory()
{
    if (!gPoolsReady)
        ShowFatalAlert("OGL_DisableVertexArrayRanges: VAR already off.");
    gVertexArrayBytesForgotten = 0;
    for (int type = 0; type < MAX_VERTEX_ARRAY_POOLS; type++) {
        // Allocations a screen forgot to give back go with the block rather than leak their nodes.
        VertexArrayNode* n = gPools[type].first;
        while (n) {
            VertexArrayNode* next = n->next;
            gVertexArrayBytesForgotten += n->size;
            SafeDisposePtr(n);
            n = next;
        }
        gPools[type].first = nullptr;
        gPools[type].last = nullptr;
        SafeDisposePtr(gPools[type].block);
        gPools[type].block = nullptr;
    }
    gPoolsReady = false;
}

bool OGL_AreVertexArrayPoolsReady()
{
    return gPoolsReady;
}

// Links node in front of before (or at the end when before is null).
static void InsertNodeBefore(VertexArrayPool* pool, VertexArrayNode* node, VertexArrayNode* before)
{
    node->next = before;
    node->prev = before ? before->prev : pool->last;
    if (node->prev)
        node->prev->next = node;
    else
        pool->first = node;
    if (before)
        before->prev = node;
    else
        pool->last = node;
}

void* OGL_AllocVertexArrayMemory(int32_t size, int type)
{
    if (type < 0 || type >= MAX_VERTEX_ARRAY_POOLS)
        ShowFatalAlert("OGL_AllocVertexArrayMemory: illegal type");
    if (!gPoolsReady)
        ShowFatalAlert("OGL_AllocVertexArrayMemory: not initialized");

    VertexArrayPool* pool = &gPools[type];
    size = (size + 15) & ~15;

    VertexArrayNode* node = (VertexArrayNode*)AllocPtr(sizeof(VertexArrayNode));
    node->size = size;

    // First fit: the gap in front of each allocation, in address order.
    uint8_t* gapStart = pool->block;
    for (VertexArrayNode* n = pool->first; n; n = n->next) {
        if (n->address - gapStart >= size) {
            node->address = gapStart;
            InsertNodeBefore(pool, node, n);
            return node->address;
        }
        gapStart = n->address + n->size;
    }

    // No gap fits: after the last allocation, if the block has room.
    if (gapStart + size > pool->block + pool->blockSize) {
        SafeDisposePtr(node);
        ShowFatalAlert("OGL_AllocVertexArrayMemory:  Master Block is full! Type %d", type);
    }
    node->address = gapStart;
    InsertNodeBefore(pool, node, nullptr);
    return node->address;
}

void OGL_FreeVertexArrayMemory(void* address, int type)
{
    if (type < 0 || type >= MAX_VERTEX_ARRAY_POOLS)
        ShowFatalAlert("OGL_FreeVertexArrayMemory: illegal type");
    if (!gPoolsReady)
        ShowFatalAlert("OGL_FreeVertexArrayMemory: not initialized");

    VertexArrayPool* pool = &gPools[type];
    for (VertexArrayNode* n = pool->first; n; n = n->next) {
        if (n->address != address)
            continue;
        if (n->prev)
            n->prev->next = n->next;
        else
            pool->first = n->next;
        if (n->next)
            n->next->prev = n->prev;
        else
            pool->last = n->prev;
        SafeDisposePtr(n);
        return;
    }
    ShowFatalAlert("OGL_FreeVertexArrayMemory: no matching pointer found!");
}
