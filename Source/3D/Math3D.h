// Math3D.h: the geometry records and operations every subsystem shares.
//
// Conventions: all values are single-precision; square roots and trigonometry run in double precision
// through the C library and are narrowed to float. y is up; a node with Y rotation 0 faces -Z, and its
// facing on the ground plane for rotation theta is (-sin theta, -cos theta) in (x, z). Matrices are
// column-major as OpenGL loads them and points are column vectors.
//
// Unless a contract says otherwise, an output pointer must not alias an input.
#pragma once

struct ObjNode;

// ---------------------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------------------

struct Point3D
{
    float x, y, z;
};

struct Vector3D
{
    float x, y, z;
};

// The ground plane: world x and z are passed as x and y.
struct Point2D
{
    float x, y;
};

struct Vector2D
{
    float x, y;
};

// Element (row r, column c) lives at value[c * 4 + r]; the translation is value[12..14].
struct Matrix4x4
{
    float value[16];
};

// 2D affine transform: x' = v0*x + v3*y + v6, y' = v1*x + v4*y + v7.
struct Matrix3x3
{
    float value[9];
};

// Six floats then a one-byte flag; other records embed it, so keep the layout.
struct BoundingBox
{
    float minX, minY, minZ;
    float maxX, maxY, maxZ;
    bool isEmpty; // set while the box holds no points
};

// Points p on the plane satisfy normal . p + constant = 0.
struct PlaneEquation
{
    Vector3D normal;
    float constant;
};

// ---------------------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------------------

constexpr float PI = 3.1415927f;
constexpr float PI2 = 6.2831855f;
constexpr float kSmallLength = 0.0001f;        // every normalisation treats a shorter vector as zero
constexpr float kNearlyEqualTolerance = 0.02f; // PointsNearlyEqual

// ---------------------------------------------------------------------------------------------------------
// Matrix construction (Matrices.cpp); each writes all 16 elements of its output.
// ---------------------------------------------------------------------------------------------------------

void MatrixIdentity(Matrix4x4* m);                                      // identity
void MatrixTranslate(Matrix4x4* m, float x, float y, float z);          // identity plus translation
void MatrixScale(Matrix4x4* m, float sx, float sy, float sz);           // diagonal sx, sy, sz, 1
void MatrixRotateX(Matrix4x4* m, float angle);                          // right-handed rotation about X
void MatrixRotateY(Matrix4x4* m, float angle);                          // right-handed rotation about Y
void MatrixRotateZ(Matrix4x4* m, float angle);                          // right-handed rotation about Z
void MatrixRotateXYZ(Matrix4x4* m, float rx, float ry, float rz);       // about X, then Y, then Z
void MatrixRotateAxis(Matrix4x4* m, const Vector3D* axis, float angle); // axis must be unit length
// Rotates as MatrixRotateXYZ about pivot instead of the origin.
void MatrixRotateAboutPoint(Matrix4x4* m, const Point3D* pivot, float rx, float ry, float rz);
// World-to-eye matrix of a camera at from looking at to.
void MatrixLookAtView(Matrix4x4* m, const Point3D* from, const Point3D* to, const Vector3D* up);
// Eye-to-clip projection; fovY in radians, near and far both positive.
void MatrixPerspective(Matrix4x4* m, float fovY, float aspect, float nearZ, float farZ);
// Normalised device coordinates to pixels of a pane of the given size; y grows downward.
void MatrixPaneViewport(Matrix4x4* m, int paneWidth, int paneHeight);
// Rotation whose local -Z points along direction (unit length expected); straight up or down takes +X as
// its side axis.
void MatrixOrientAlong(Matrix4x4* m, const Vector3D* direction);
// Local -Z faces to, translation = from.
void MatrixOrientToward(Matrix4x4* m, const Vector3D* up, const Point3D* from, const Point3D* to);
// Stands an object on a slope with the given normal while keeping its heading from p2 toward p1.
void MatrixAlignToNormal(Matrix4x4* m, const Vector3D* normal, const Point3D* p1, const Point3D* p2);
void Matrix2DRotate(Matrix3x3* m, float angle); // 2D rotation, no translation
// out applies first, then second (out = second * first); out may be the same record as either input.
void MatrixMultiply(const Matrix4x4* first, const Matrix4x4* second, Matrix4x4* out);
// General inverse; a singular matrix (zero pivot) gives the identity. out may equal in.
void MatrixInvert(const Matrix4x4* in, Matrix4x4* out);

// ---------------------------------------------------------------------------------------------------------
// Transforms (Transforms.cpp); every out may equal its input.
// ---------------------------------------------------------------------------------------------------------

void TransformPoint(const Point3D* p, const Matrix4x4* m, Point3D* out);           // affine, no division
void TransformPointProjective(const Point3D* p, const Matrix4x4* m, Point3D* out); // full 4x4, divides by w
void TransformPoints(const Point3D* in, const Matrix4x4* m, Point3D* out, int count);
void TransformVector(const Vector3D* v, const Matrix4x4* m, Vector3D* out); // upper 3x3, then normalised
void TransformPoints2D(const Point2D* in, const Matrix3x3* m, Point2D* out, int count);
// Screen point (pixels x, y; depth 0..1 in z) back through the inverse of (first then second).
void Unproject(const Point3D* screen, const Matrix4x4* first, const Matrix4x4* second,
               const Point2D* viewportOrigin, const Vector2D* viewportSize, Point3D* out);

// ---------------------------------------------------------------------------------------------------------
// Vectors and points (Vectors.cpp); every out may equal an input.
// ---------------------------------------------------------------------------------------------------------

float VectorLength(const Vector3D* v);
void Normalize3(const Vector3D* v, Vector3D* out);            // zero when length <= kSmallLength
void Normalize3XYZ(float x, float y, float z, Vector3D* out); // zero when every |component| <= kSmallLength
void Normalize2(const Vector2D* v, Vector2D* out);            // zero when length <= kSmallLength
void CrossNormalized(const Vector3D* a, const Vector3D* b, Vector3D* out); // normalize(a x b)
float DotClamped(const Vector3D* a, const Vector3D* b);  // a . b clamped to [-1, 1] for acos
float Dot2Clamped(const Vector2D* a, const Vector2D* b); // a . b clamped to [-1, 1]
float Cross2(const Vector2D* a, const Vector2D* b);      // a.x*b.y - a.y*b.x
// normalize((1-t)a + t b); t is clamped to at most 1 only.
void LerpNormalized(const Vector3D* a, const Vector3D* b, float t, Vector3D* out);
float Distance2D(const Point2D* a, const Point2D* b);
float Distance3D(const Point3D* a, const Point3D* b);
bool PointsEqual(const Point3D* a, const Point3D* b);       // every component within kSmallLength
bool PointsNearlyEqual(const Point3D* a, const Point3D* b); // every component within kNearlyEqualTolerance
// v bounced off a surface with unit normal n, keeping v's length.
void Reflect2D(const Vector2D* v, const Vector2D* n, Vector2D* out);
// Plane through triangle[0..2]; a degenerate triangle leaves out untouched.
void PlaneFromTriangle(const Point3D triangle[3], PlaneEquation* out);

// ---------------------------------------------------------------------------------------------------------
// Motion helpers (MotionHelpers.cpp, TurnHelpers.cpp); scaled by gFrameSeconds.
// ---------------------------------------------------------------------------------------------------------

// Shortens v by friction * frame time, never reversing it. Returns the scale applied, 0 when v was tiny,
// or the (negative) new length when v was clamped to zero.
float DampVector3(Vector3D* v, float friction);
float DampVectorXZ(Vector3D* v, float friction); // as DampVector3 on x and z; y untouched
// Moves value toward 0 by amount without crossing it (amount is not scaled by the frame time).
float DecayTowardZero(float value, float amount);
// Y rotation (0..2pi) that faces from -> to on the ground plane; oldAngle when the points coincide.
float HeadingFromTo(float oldAngle, float fromX, float fromZ, float toX, float toZ);
// Turns node->Rotation.y toward the target without overshooting. from may be null (node's position);
// addTargetOffset adds the node's HomingOffset x, z to the target; outCross (may be null) receives the
// 2D cross of facing and direction, positive when the target is clockwise seen from above. Returns the
// angle still to turn (0 when the target is on the turning point).
float TurnTowardOnY(ObjNode* node, const Point3D* from, float targetX, float targetZ, float turnSpeed,
                    bool addTargetOffset, float* outCross);
// Pitches node->Rotation.x toward target without overshooting. from may be null (node's position).
// Returns the angle still to turn.
float TurnTowardOnX(ObjNode* node, const Point3D* from, const Point3D* target, float turnSpeed);

// ---------------------------------------------------------------------------------------------------------
// Visibility and intersection tests (VisibilityTests.cpp)
// ---------------------------------------------------------------------------------------------------------

// World-to-clip matrix of the pane being drawn; the OpenGL view sets it before drawing each pane.
extern Matrix4x4 gWorldToClipMatrix;

// Frustum culling against gWorldToClipMatrix; localMatrix (may be null) takes the box to world space first.
// An empty box has no extent to cull by and counts as visible.
bool IsBoxVisible(const BoundingBox* box, const Matrix4x4* localMatrix);
// Do segments a1-a2 and b1-b2 cross? On true writes the crossing (a1 for parallel overlaps) to outX, outY,
// rounded half a unit away from zero. The side tests truncate toward zero, so near-touches count.
bool SegmentsIntersect2D(const Point2D* a1, const Point2D* a2, const Point2D* b1, const Point2D* b2,
                         float* outX, float* outY);
