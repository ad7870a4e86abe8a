#include "ObjectTestSupport.h"
#include "Support/AlertCapture.h"
#include "System/Memory.h"

#include <string>

static std::vector<ObjNode*> gMoved; // every node whose move routine ran, in order
static ObjNode* gVictim = nullptr;   // what DeleteVictim deletes
static int gSpawnSlot = 0;           // slot of the node SpawnOnce makes
static ObjNode* gSpawned = nullptr;
static int gDestroyCount = 0;

static void RecordMove(ObjNode* node)
{
    gMoved.push_back(node);
}

static void SpawnOnce(ObjNode* node)
{
    RecordMove(node);
    if (!gSpawned)
        gSpawned = MakeNode(gSpawnSlot, RecordMove);
}

static void DeleteVictim(ObjNode* node)
{
    RecordMove(node);
    DisposeObject(gVictim);
}

static void CountDestroy(ObjNode*)
{
    gDestroyCount++;
}

class ObjectList : public ObjectTest
{
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        gMoved.clear();
        gVictim = nullptr;
        gSpawned = nullptr;
        gDestroyCount = 0;
    }
};

// ---------------------------------------------------------------------------------------------------------
// Creation and storage
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectList, SlotOrderKeepsCreationOrderWithinEqualSlots)
{
    ObjNode* a5 = MakeNode(5);
    ObjNode* b3 = MakeNode(3);
    ObjNode* c5 = MakeNode(5);
    ObjNode* d1 = MakeNode(1);
    ObjNode* e3 = MakeNode(3);
    EXPECT_EQ(ListedNodes(), (std::vector<ObjNode*>{d1, b3, e3, a5, c5}));
    EXPECT_EQ(gObjectListHead->PrevInList, nullptr);
    EXPECT_EQ(c5->PrevInList, a5);
    EXPECT_EQ(gLastCreatedNode, e3);
    EXPECT_EQ(gLiveNodeCount, 5);
}

TEST_F(ObjectList, NewNodeStartsFromTheTemplateAndTheDefinition)
{
    ObjectDefinition def = {};
    def.position = {-1500.0f, 2047.0f, 5000.0f};
    def.statusFlags = NODEBIT_UNLINKED | NODEBIT_SPLINE_DRIVEN | NODEBIT_FROZEN;
    def.slot = 10;
    def.moveProc = RecordMove;
    def.scale = 0.0f;
    ObjNode* node = MakeNewObject(&def);

    // A zero scale would make the transform singular.
    EXPECT_EQ(node->Scale.x, 0.0001f);
    EXPECT_EQ(node->Scale.y, 0.0001f);
    EXPECT_EQ(node->Scale.z, 0.0001f);
    // Linked whatever the definition claimed.
    EXPECT_EQ(node->StatusFlags, NODEBIT_SPLINE_DRIVEN | NODEBIT_FROZEN);
    EXPECT_EQ(node->SplineMoveProc, RecordMove);
    EXPECT_EQ(node->GridCell[0], -1); // truncated toward zero, not floored
    EXPECT_EQ(node->GridCell[1], 1);
    EXPECT_EQ(node->GridCell[2], 4);

    // Template defaults that are not zero.
    EXPECT_EQ(node->BoundingRadius, 100.0f);
    EXPECT_TRUE(node->ModelBounds.isEmpty);
    EXPECT_EQ(node->LoopChannel, -1);
    EXPECT_EQ(node->SparkleSlots[19], -1);
    EXPECT_EQ(node->VertexArrayPool, 3);
}

TEST_F(ObjectList, FullPoolFallsBackToTheHeapAndThePurgeFreesIt)
{
    for (int i = 0; i < OBJ_POOL_SIZE; i++)
        MakeNode(1);
    int32_t blocks = gLiveBlockCount;
    ObjNode* heapNode = MakeNode(1);
    EXPECT_EQ(heapNode->PoolIndex, -1);
    EXPECT_EQ(gLiveBlockCount, blocks + 1);
    EXPECT_EQ(gPeakNodeCount >= OBJ_POOL_SIZE + 1, true);

    // Deleted but held until the end of the move pass.
    DisposeObject(heapNode);
    EXPECT_EQ(gLiveBlockCount, blocks + 1);
    EXPECT_EQ(gLiveNodeCount, OBJ_POOL_SIZE + 1);
    MoveObjects();
    EXPECT_EQ(gLiveBlockCount, blocks);
    EXPECT_EQ(gLiveNodeCount, OBJ_POOL_SIZE);
}

TEST_F(ObjectList, PurgedPoolEntryIsReusedBeforeLaterOnes)
{
    MakeNode(1);
    ObjNode* middle = MakeNode(1);
    MakeNode(1);
    DisposeObject(middle);
    // Not reused before the purge: its memory must stay readable as deleted.
    EXPECT_EQ(MakeNode(1)->PoolIndex, 3);
    MoveObjects();
    EXPECT_EQ(MakeNode(1)->PoolIndex, 1);
    EXPECT_EQ(MakeNode(1)->PoolIndex, 4);
}

TEST_F(ObjectList, FreshPoolForgetsDeletionsHeldFromBefore)
{
    DisposeObject(MakeNode(1)); // held for a purge that never comes before the reset
    InitObjectPool();

    // The new node takes the same entry; the old deletion must not free it at the next purge.
    ObjNode* live = MakeNode(1);
    ASSERT_EQ(live->PoolIndex, 0);
    MoveObjects();
    EXPECT_EQ(live->PoolInUse, 1);
    EXPECT_EQ(gLiveNodeCount, 1);
    EXPECT_NE(MakeNode(1), live) << "a live node's entry was handed out again";
}

// ---------------------------------------------------------------------------------------------------------
// The move pass
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectList, NodeCreatedAfterTheMovingOneIsMovedInTheSamePass)
{
    for (int slot : {150, 100, 200}) { // between the mover and the next node, equal to the mover, at the end
        DisposeAllObjects();
        gMoved.clear();
        gSpawned = nullptr;
        gSpawnSlot = slot;
        ObjNode* mover = MakeNode(100, SpawnOnce);
        ObjNode* next = MakeNode(200, RecordMove);
        MoveObjects();
        ASSERT_NE(gSpawned, nullptr);
        if (slot == 200)
            EXPECT_EQ(gMoved, (std::vector<ObjNode*>{mover, next, gSpawned})) << slot;
        else
            EXPECT_EQ(gMoved, (std::vector<ObjNode*>{mover, gSpawned, next})) << slot;
    }
}

TEST_F(ObjectList, NodeCreatedBeforeTheMovingOneWaitsForTheNextFrame)
{
    MakeNode(50, RecordMove);
    ObjNode* mover = MakeNode(100, SpawnOnce);
    gSpawnSlot = 60;
    MoveObjects();
    EXPECT_EQ(gMoved.size(), 2u);
    gMoved.clear();
    MoveObjects();
    EXPECT_EQ(gMoved[1], gSpawned);
    EXPECT_EQ(gMoved[2], mover);
}

TEST_F(ObjectList, DeletingTheNextNodeContinuesWithTheOneAfter)
{
    ObjNode* mover = MakeNode(1, DeleteVictim);
    gVictim = MakeNode(2, RecordMove);
    ObjNode* last = MakeNode(3, RecordMove);
    MoveObjects();
    EXPECT_EQ(gMoved, (std::vector<ObjNode*>{mover, last}));
    EXPECT_EQ(ListedNodes(), (std::vector<ObjNode*>{mover, last}));
}

TEST_F(ObjectList, PausedGameMovesOnlyNodesThatRunWhenPaused)
{
    MakeNode(1, RecordMove);
    ObjNode* menu = MakeNode(2, RecordMove, NODEBIT_RUNS_WHEN_PAUSED);
    gPaused = true;
    MoveObjects();
    EXPECT_EQ(gMoved, (std::vector<ObjNode*>{menu}));
}

TEST_F(ObjectList, FrozenAndSplineDrivenNodesAreNotMoved)
{
    MakeNode(1, RecordMove, NODEBIT_FROZEN);
    MakeNode(2, RecordMove, NODEBIT_SPLINE_DRIVEN);
    ObjNode* free = MakeNode(3, RecordMove);
    MoveObjects();
    EXPECT_EQ(gMoved, (std::vector<ObjNode*>{free}));
}

TEST_F(ObjectList, OldBoxesAreStoredBeforeTheMoveRoutineRuns)
{
    ObjNode* node = MakeNode(1, [](ObjNode* n) {
        n->Position.x += 10.0f;
        RefreshBoxFromPosition(n);
    });
    SetSingleCollisionBox(node, 5, -5, -5, 5, 5, -5);
    MoveObjects();
    MoveObjects();
    EXPECT_EQ(node->OldPosition.x, 10.0f);
    EXPECT_EQ(node->HitBoxes[0].oldLeft, 5.0f);
    EXPECT_EQ(node->HitBoxes[0].left, 15.0f);
}

TEST_F(ObjectList, DeletedNodeFoundInTheListIsFatal)
{
    ObjNode* node = MakeNode(1);
    node->CType = INVALID_NODE_FLAG;
    EXPECT_EQ(FatalAlertMessageOf([] { MoveObjects(); }), "MoveObjects: CType == INVALID_NODE_FLAG");
    node->CType = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Deletion
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectList, SecondDeleteBeforeThePurgeDoesNothing)
{
    ObjNode* node = MakeNode(1);
    node->DestroyProc = CountDestroy;
    MakeNode(2);
    DisposeObject(node);
    DisposeObject(node);
    EXPECT_EQ(gDestroyCount, 1);
    MoveObjects();
    EXPECT_EQ(gLiveNodeCount, 1);
}

TEST_F(ObjectList, DeleteTakesTheChainAndTheShadowAfterTheDestroyRoutine)
{
    static ObjNode* part;
    ObjNode* body = MakeNode(1);
    part = MakeNode(2);
    ObjNode* shadow = MakeNode(SHADOW_SLOT);
    AppendNodeToChain(body, part);
    body->Shadow = shadow;
    // The destroy routine may still use its attachments.
    body->DestroyProc = [](ObjNode*) { EXPECT_NE(part->CType, INVALID_NODE_FLAG); };

    DisposeObject(body);
    EXPECT_EQ(part->CType, INVALID_NODE_FLAG);
    EXPECT_EQ(shadow->CType, INVALID_NODE_FLAG);
    EXPECT_EQ(gObjectListHead, nullptr);
    EXPECT_TRUE(body->StatusFlags & NODEBIT_UNLINKED);
}

TEST_F(ObjectList, PurgeHappensAtOnceWhenFifteenHundredDeletionsAreHeld)
{
    std::vector<ObjNode*> nodes;
    for (int i = 0; i < MAX_PENDING_PURGES; i++)
        nodes.push_back(MakeNode(1));
    for (int i = 0; i < MAX_PENDING_PURGES - 1; i++)
        DisposeObject(nodes[i]);
    EXPECT_EQ(gLiveNodeCount, MAX_PENDING_PURGES);
    EXPECT_EQ(nodes[0]->PoolInUse, 1);
    DisposeObject(nodes.back());
    EXPECT_EQ(gLiveNodeCount, 0);
    EXPECT_EQ(nodes[0]->PoolInUse, 0);
}

TEST_F(ObjectList, PurgeForcedDuringTheMovePassKeepsTheMovingNode)
{
    static std::vector<ObjNode*> others;
    others.clear();
    ObjNode* mover = MakeNode(1, [](ObjNode* node) {
        DisposeObject(node);
        for (ObjNode* other : others)
            DisposeObject(other); // the 1500th deletion forces a purge
        EXPECT_EQ(node->PoolInUse, 1);
        EXPECT_EQ(node->CType, INVALID_NODE_FLAG);
    });
    for (int i = 0; i < MAX_PENDING_PURGES; i++)
        others.push_back(MakeNode(2));
    MoveObjects();
    EXPECT_EQ(mover->PoolInUse, 0);
    EXPECT_EQ(gLiveNodeCount, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Unlinking
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectList, UnlinkedNodeIsNotMovedAndRelinksAtItsSlot)
{
    ObjNode* a = MakeNode(5, RecordMove);
    ObjNode* b = MakeNode(5, RecordMove);
    UnlinkObject(a, false);
    MoveObjects();
    EXPECT_EQ(gMoved, (std::vector<ObjNode*>{b}));

    RelinkObject(a, false);
    EXPECT_FALSE(a->StatusFlags & NODEBIT_UNLINKED);
    EXPECT_EQ(ListedNodes(), (std::vector<ObjNode*>{b, a})); // after the equal slot, like a new node
}

TEST_F(ObjectList, RecursiveUnlinkTakesChainAndShadows)
{
    ObjNode* body = MakeNode(1);
    ObjNode* part = MakeNode(2);
    ObjNode* partShadow = MakeNode(SHADOW_SLOT);
    ObjNode* keep = MakeNode(3);
    AppendNodeToChain(body, part);
    part->Shadow = partShadow;

    UnlinkObject(body, true);
    EXPECT_EQ(ListedNodes(), (std::vector<ObjNode*>{keep}));
    RelinkObject(body, true);
    EXPECT_EQ(ListedNodes(), (std::vector<ObjNode*>{body, part, keep, partShadow}));
}

TEST_F(ObjectList, DeletedNodeIsNeverRelinked)
{
    ObjNode* node = MakeNode(1);
    DisposeObject(node);
    RelinkObject(node, false);
    EXPECT_EQ(gObjectListHead, nullptr);
}
