// Collision.cpp: box collision between a moving node and the world nodes, and the handler that pushes
// the mover out of what it struck.
//
// Struck sides are found from the boxes before and after this frame's move: a side of the mover is
// struck when, before the move, the mover lay wholly on the outside of a solid side of the other box and
// now reaches into it. So a mover that already overlapped a box is not pushed by it again.
#include <cmath>

#include "Objects/Collision.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

CollisionRecord gCollisionRecords[MAX_COLLISIONS];
int gNumCollisions = 0;
uint8_t gSidesHit = 0;
uint8_t gTriggerSides = 0;
bool gTriggerBounce = false;

constexpr float kNoPush = -10000.0f;
constexpr float kPushMargin = 0.01f;         // pushed just clear of the face
constexpr float kCeilingPushMargin = 1.0f;   // a ceiling pushes down a little further
constexpr float kLandingVelocityY = -150.0f; // keeps a lander pressed onto the top it stands on
constexpr float kTerrainRestSpeed = 30.0f;   // slower bounces off the ground stop
constexpr int kMaxPasses = 3;

// Overlap of two boxes; touching faces count as overlapping.
static bool BoxesOverlap(const CollisionBox* mine, const CollisionBox* theirs)
{
    return !(theirs->left > mine->right || mine->left > theirs->right || theirs->back > mine->front ||
             mine->back > theirs->front || mine->bottom > theirs->top || theirs->bottom > mine->top);
}

// The world nodes a query may consider: live, below the world slot limit, of a wanted type.
static bool IsCandidate(const ObjNode* node, uint32_t typeMask)
{
    return (node->CType & typeMask) && !(node->StatusFlags & NODEBIT_NO_COLLISION) && node->HitBoxCount > 0;
}

static bool IsEndOfWorldNodes(const ObjNode* node)
{
    return node->CType == INVALID_NODE_FLAG || node->Slot >= SLOT_OF_FIRST_NON_WORLD;
}

// The sides of the mover's box that crossed a solid side of theirs during the move. The Z tests assign
// rather than OR: a box cannot be entered through front and back at once.
static uint32_t StruckSides(const CollisionBox* me, const CollisionBox* them, uint32_t solid)
{
    uint32_t sides = 0;
    if ((solid & SIDE_BITS_BACK) && them->oldBack > me->oldFront && them->back <= me->front &&
        me->front <= them->front)
        sides = SIDE_BITS_FRONT;
    if ((solid & SIDE_BITS_FRONT) && me->oldBack > them->oldFront && them->back <= me->back &&
        me->back <= them->front)
        sides = SIDE_BITS_BACK;
    if ((solid & SIDE_BITS_LEFT) && them->oldLeft > me->oldRight && them->left <= me->right &&
        me->right <= them->right)
        sides |= SIDE_BITS_RIGHT;
    if ((solid & SIDE_BITS_RIGHT) && me->oldLeft > them->oldRight && them->left <= me->left &&
        me->left <= them->right)
        sides |= SIDE_BITS_LEFT;
    if ((solid & SIDE_BITS_BOTTOM) && them->oldBottom > me->oldTop && them->bottom <= me->top &&
        me->top <= them->top)
        sides |= SIDE_BITS_TOP;
    if ((solid & SIDE_BITS_TOP) && me->oldBottom > them->oldTop && them->bottom <= me->bottom &&
        me->bottom <= them->top)
        sides |= SIDE_BITS_BOTTOM;
    return sides;
}

static void AddCollisionRecord(int theirBox, uint32_t sides, ObjNode* node)
{
    if (gNumCollisions >= MAX_COLLISIONS)
        ShowFatalAlert("CollisionDetect: gNumCollisions > MAX_COLLISIONS");
    CollisionRecord* record = &gCollisionRecords[gNumCollisions++];
    record->myBox = 0;
    record->theirBox = uint8_t(theirBox);
    record->sides = uint16_t(sides);
    record->type = 0;
    record->node = node;
    gSidesHit |= uint8_t(sides);
}

void CollisionDetect(ObjNode* node, uint32_t typeMask, int startIndex)
{
    gNumCollisions = startIndex;
    if (node->HitBoxCount == 0)
        return;
    const CollisionBox* me = &node->HitBoxes[0];

    int count;
    ObjNode* const* world = WorldNodesInListOrder(&count);
    for (int i = 0; i < count && !IsEndOfWorldNodes(world[i]); i++) {
        FetchWorldNodeAhead(world, count, i);
        ObjNode* other = world[i];
        if (other == node || other == node->ChainNext || !IsCandidate(other, typeMask))
            continue;
        uint32_t solid = other->SolidSides;
        for (int b = 0; b < other->HitBoxCount; b++) {
            const CollisionBox* them = &other->HitBoxes[b];
            if (!BoxesOverlap(me, them))
                continue;
            if (!(solid & ALL_SOLID_SIDES)) {
                AddCollisionRecord(b, 0, other);
                continue;
            }
            uint32_t sides = StruckSides(me, them, solid);
            if (sides == 0 && (solid & SIDE_BITS_ESTIMATE)) {
                sides = other->Position.x > gWorkPos.x ? SIDE_BITS_RIGHT : SIDE_BITS_LEFT;
                sides |= other->Position.z > gWorkPos.z ? SIDE_BITS_FRONT : SIDE_BITS_BACK;
            } else if (sides == 0 && !(solid & SIDE_BITS_REPORT_TOUCH)) {
                continue;
            }
            AddCollisionRecord(b, sides, other);
        }
    }
}

// The push of one pass along one axis: the largest overlap struck on that axis wins.
struct AxisPush
{
    float amount;
    float direction; // -1, 0 or +1
};

static void OfferPush(AxisPush* push, float amount, float direction)
{
    if (amount > push->amount) {
        push->amount = amount;
        push->direction = direction;
    }
}

// The push a trigger leaves: whatever its routine did to the mover since the pass began.
static void TakeDisplacement(AxisPush* push, float delta)
{
    push->amount = std::fabs(delta);
    push->direction = delta > 0 ? 1.0f : (delta < 0 ? -1.0f : 0.0f);
}

// Mutable state of one ResolveCollisions call.
struct ResolveState
{
    uint32_t typeMask;
    float bounce;
    uint32_t totalSides;
    ObjNode* lastTrigger;
    bool stop;      // an estimating collision decided the push alone
    bool triggered; // a trigger ran: the handling ends after this pass
};

// Runs one record's trigger routine; the routine may move the mover and add records.
static void RunTrigger(ObjNode* mover, CollisionRecord* record, const Point3D* start, AxisPush push[3],
                       ResolveState* state)
{
    ObjNode* trigger = record->node;
    gTriggerBounce = false;
    if (trigger->TriggerProc) {
        gTriggerSides = uint8_t(record->sides);
        if (!trigger->TriggerProc(trigger, mover))
            record->sides = 0; // the trigger does not block
        state->lastTrigger = trigger;
    }
    TakeDisplacement(&push[0], gWorkPos.x - start->x);
    TakeDisplacement(&push[2], gWorkPos.z - start->z);
    state->triggered = true;
    if (gTriggerBounce)
        state->bounce = 1.0f;
}

// Pushes and bounces for one record that struck solid sides of the other node's box.
static void PushOutOfBox(const CollisionBox* m, const CollisionBox* t, uint32_t sides, AxisPush push[3],
                         float bounce)
{
    if (sides & SIDE_BITS_BACK) {
        OfferPush(&push[2], t->front - m->back + kPushMargin, 1);
        gWorkVel.z *= bounce;
    } else if (sides & SIDE_BITS_FRONT) {
        OfferPush(&push[2], m->front - t->back + kPushMargin, -1);
        gWorkVel.z *= bounce;
    }
    if (sides & SIDE_BITS_LEFT) {
        OfferPush(&push[0], t->right - m->left + kPushMargin, 1);
        gWorkVel.x *= bounce;
    } else if (sides & SIDE_BITS_RIGHT) {
        OfferPush(&push[0], m->right - t->left + kPushMargin, -1);
        gWorkVel.x *= bounce;
    }
    if (sides & SIDE_BITS_BOTTOM) {
        OfferPush(&push[1], t->top - m->bottom + kPushMargin, 1);
        gWorkVel.y = kLandingVelocityY;
    } else if (sides & SIDE_BITS_TOP) {
        OfferPush(&push[1], m->top - t->bottom + kCeilingPushMargin, -1);
        gWorkVel.y = 0;
    }
}

static void ResetPushes(AxisPush push[3])
{
    for (int axis = 0; axis < 3; axis++)
        push[axis] = {kNoPush, 0};
}

// One pass over every record so far; returns whether anything acted. boxBottom gets the mover's box
// bottom before the pass's push.
static bool RunCollisionPass(ObjNode* node, ResolveState* state, float* boxBottom)
{
    Point3D start = gWorkPos;
    RefreshBoxFromWorkPos(node);
    CollisionDetect(node, state->typeMask, gNumCollisions); // earlier records stay and are handled again

    *boxBottom = node->HitBoxes[0].bottom;
    AxisPush push[3];
    ResetPushes(push);
    bool acted = false;

    for (int i = 0; i < gNumCollisions; i++) {
        CollisionRecord* record = &gCollisionRecords[i];
        ObjNode* other = record->node;
        if (other->CType == INVALID_NODE_FLAG)
            continue; // deleted by a trigger this frame

        if (other->CType & state->typeMask & (CT_TRIGGER | CT_TRIGGER_B)) {
            RunTrigger(node, record, &start, push, state);
            acted = true;
        }
        if (record->sides & ALL_SOLID_SIDES) {
            acted = true;
            if (other->SolidSides & SIDE_BITS_ESTIMATE) {
                state->stop = true;
                ResetPushes(push);
            }
            PushOutOfBox(&node->HitBoxes[0], &other->HitBoxes[record->theirBox], record->sides, push,
                         state->bounce);
        }
        state->totalSides |= record->sides;
        if (state->stop)
            break;
    }
    if (!acted)
        return false;

    float* position[3] = {&gWorkPos.x, &gWorkPos.y, &gWorkPos.z};
    const float startAxis[3] = {start.x, start.y, start.z};
    for (int axis = 0; axis < 3; axis++) {
        if (push[axis].direction != 0)
            *position[axis] = startAxis[axis] + push[axis].direction * push[axis].amount;
    }
    if (state->totalSides & SIDE_BITS_BOTTOM)
        node->StatusFlags |= NODEBIT_ON_GROUND;
    return true;
}

uint8_t ResolveCollisions(ObjNode* node, uint32_t typeMask, float bounceFactor)
{
    ResolveState state = {typeMask, -std::fabs(bounceFactor), 0, nullptr, false, false};
    node->StatusFlags &= ~NODEBIT_ON_GROUND;
    gNumCollisions = 0;
    int passes = 0;
    float boxBottom = 0;

    // 1. Objects, up to three passes; then fences, which may ask for the objects once more.
    for (;;) {
        for (;;) {
            if (node->HitBoxCount == 0)
                return 0; // nothing to collide with: not even the ground corrects it
            if (!RunCollisionPass(node, &state, &boxBottom))
                break;
            passes++;
            if (passes >= kMaxPasses || state.stop || state.triggered)
                break;
        }
        node->LastTrigger = state.lastTrigger;

        if ((typeMask & CT_FENCE) && CollideWithFences(node)) {
            state.totalSides |= ALL_SOLID_SIDES;
            passes++;
            if (passes < kMaxPasses)
                continue;
        }
        break;
    }

    // 2. The ground: a box bottom at or below it is lifted onto it.
    if (typeMask & CT_TERRAIN) {
        float ground = TerrainHeightAt(gWorkPos.x, gWorkPos.z);
        if (ground >= boxBottom) {
            gWorkPos.y += ground - boxBottom;
            if (gWorkVel.y < 0) {
                gWorkVel.y *= state.bounce;
                if (std::fabs(gWorkVel.y) < kTerrainRestSpeed)
                    gWorkVel.y = 0;
            }
            node->StatusFlags |= NODEBIT_ON_GROUND;
            state.totalSides |= SIDE_BITS_BOTTOM;
        }
    }

    // 3. Water surfaces.
    if (typeMask & CT_WATER)
        state.totalSides |= CollideWithWater(node);

    gSidesHit = uint8_t(state.totalSides);
    return gSidesHit;
}

bool BoxTouchesAnything(float top, float bottom, float left, float right, float front, float back,
                        uint32_t typeMask)
{
    CollisionBox mine = {left, right, front, back, top, bottom, 0, 0, 0, 0, 0, 0};
    int count;
    ObjNode* const* world = WorldNodesInListOrder(&count);
    for (int i = 0; i < count && !IsEndOfWorldNodes(world[i]); i++) {
        FetchWorldNodeAhead(world, count, i);
        ObjNode* other = world[i];
        if (!IsCandidate(other, typeMask))
            continue;
        for (int b = 0; b < other->HitBoxCount; b++) {
            if (BoxesOverlap(&mine, &other->HitBoxes[b])) {
                gCollisionRecords[0] = {0, uint8_t(b), 0, 0, other};
                gNumCollisions = 1;
                return true;
            }
        }
    }
    gNumCollisions = 0;
    return false;
}

bool BoxTouchesNode(float top, float bottom, float left, float right, float front, float back,
                    const ObjNode* node)
{
    CollisionBox mine = {left, right, front, back, top, bottom, 0, 0, 0, 0, 0, 0};
    for (int b = 0; b < node->HitBoxCount; b++) {
        if (BoxesOverlap(&mine, &node->HitBoxes[b]))
            return true;
    }
    return false;
}
