#pragma once
// Helpers the primitives' sources share (internal to unit GLObjects).

#include "view3d/scene/GLWorld.h"

namespace orv {

// Stores a changed value and marks the object's geometry changed.
template <class T> void StoreGeometry(TGLBaseSceneObject &Object, T &Field, const T &Value)
{
    if (StoreChanged(Field, Value))
        Object.GeometryChanged();
}

// Half extents (X, Y, Z) times the object's scale.
inline TVector4f ScaledBy(TGLBaseSceneObject &Object, float X, float Y, float Z)
{
    const TVector4f &s = Object.Scale().AsVector();
    return {s.X * X, s.Y * Y, s.Z * Z, 0};
}

} // namespace orv
