// DisplayGroups.h: display-group nodes, the instances of loaded models. A display group's BaseGroup holds
// its transform and one shared model from the model-group tables; the node holds its own reference, so it
// may outlive the container the model came from.
#pragma once

struct ObjNode;
struct ObjectDefinition;

// A DISPLAY_GROUP_GENRE node showing model def->artIndex of model group def->artGroup, with the model's
// bounding box and its bounding radius scaled by the node's scale. A model the group lacks is fatal.
ObjNode* MakeNewDisplayGroupObject(ObjectDefinition* def);
// Rebuilds the node's BaseGroup after ArtGroup or ArtIndex changed; the picking cache starts over.
void ResetDisplayGroupObject(ObjNode* node);
// Fills the node's picking cache: the world-space points and triangle planes of every mesh under its
// BaseGroup, through its Transform; sets WorldPointsValid. Needs the draw context (the walk runs on
// the model-view matrix). A node without a BaseGroup keeps an empty cache.
void CalcObjectWorldPoints(ObjNode* node);
// One collision box from the bounding box of the node's model turned by its Rotation, scaled by Scale.x
// (and tweakXZ across, tweakY in height above the base).
void BoxFromRotatedModelBounds(ObjNode* node, float tweakXZ, float tweakY);
