// The two frictions platforms and star objects carry in their widget data: kept, copied into the
// object's CollisionComp when it has one, and saved as two floats.
#pragma once

#include <string>

class Gob;
class TiXmlNode;

namespace QUORB
{
struct WidgetFrictions
{
    float staticFriction = 0.5f;
    float kineticFriction = 0.45f;

    // Store the value and copy it into the gob's CollisionComp when it has one.
    void SetStatic(Gob* gob, float friction);
    void SetKinetic(Gob* gob, float friction);
    // Both into the gob's CollisionComp when it has one.
    void ApplyTo(Gob* gob) const;

    // float StaticFriction, float KineticFriction.
    bool Write(TiXmlNode* element) const;
    // From `first` and the element after it; values that are not finite are refused with one line
    // naming the record's type, and the field keeps its value.
    void Read(const TiXmlNode* first, const std::string& typeName);
};
} // namespace QUORB
