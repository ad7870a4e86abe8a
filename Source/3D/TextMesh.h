// TextMesh.h: text as an object node (TEXTMESH_GENRE) drawn in the 2D overlay. The node's quad mesh
// (QuadMesh.h) is rebuilt whenever its text changes; it grows to fit a longer text and keeps its size for
// a shorter one. The font is gAtlases[node->ArtGroup].
#pragma once

struct ObjNode;
struct ObjectDefinition;

// The text's box in layout units (before the node's scale and position), kept in the node's general
// block behind the bytes the menus use.
struct TextMeshBox
{
    float textLeft, textRight, textTop, textBottom;
};

struct TextMeshExtents
{
    float top, bottom, left, right; // overlay units
};

// A text node of text laid out with flags (Atlas.h TEXT_...), font atlas def->artGroup.
ObjNode* TextMesh_New(const char* text, int flags, ObjectDefinition* def);
// An empty text node with room for `capacity` quads.
ObjNode* TextMesh_NewEmpty(int capacity, ObjectDefinition* def);
// Lays the node's mesh out again for a new text.
void TextMesh_Update(const char* text, int flags, ObjNode* node);

TextMeshBox* TextMesh_GetBox(ObjNode* node); // the node's stored layout box
// The text's box through the node's scale and position.
TextMeshExtents TextMesh_GetExtents(ObjNode* node);
// Debug display: that box as a line loop, top edge white and bottom edge blue.
void TextMesh_DrawExtents(ObjNode* node);
