// One game object as the room environment and puzzle files describe it: the archetype it is
// made from, where it stands, and copies of the widget data and objective it carries. A value
// type: copies are deep. The "GobDescription" element it reads and writes holds, in order,
// string "Archetype", Vector "Position", Quat "Orientation", Vector "Scale", bool
// "HasWidgetData" [string "Type", the data's element], bool "HasObjective" [int "ObjectiveID",
// the objective's element], read back by position.
#pragma once

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "game/objectives/IObjective.h"
#include "game/widgets/CloningPtr.h"
#include "game/widgets/IWidgetData.h"

#include <tinyxml.h>

#include <cstdint>
#include <string>

class Gob;

namespace QUORB
{
struct GobDescription
{
    GobDescription() : scale(1.0f, 1.0f, 1.0f) { orientation.SetIdentity(); }

    // The widget-data "Type" names that make a record, and whether a flag is one of the six
    // objective flags.
    static bool IsWidgetDataType(const std::string& typeName);
    static bool IsObjectiveType(std::uint32_t flag);

    // Archetype, transform and copies of the gob's widget data and objective (a gob without
    // the component keeps what the description had). The copied widget data has no owner.
    static void FromGob(Gob* gob, GobDescription& description);
    // A gob of the archetype, placed as described, with the description's widget data and
    // objective installed; null, with one line, when nothing is built under the archetype.
    static Gob* CreateGob(const GobDescription& description);
    // Installs copies of the description's widget data and objective in an existing gob that has
    // the components (the old records deleted, the copy's owner set) and applies the widget data
    // to the gob; a description without them leaves the gob's own in place.
    static void ApplyToGob(Gob* gob, const GobDescription& description);

    // Reads a "GobDescription" element by position. False, with one line, for a null element
    // or one without children; fields past a missing child keep their values.
    static bool Read(const TiXmlNode* node, GobDescription& description);
    // Appends a "GobDescription" element whose "name" is the role ("EnvDescription",
    // "ObjectiveDescription", "QuorbDescription" or "WidgetDescription"). False, writing
    // nothing, for a null parent or one that is not an element.
    static bool Write(TiXmlNode* parent, const std::string& role, const GobDescription& description);

    std::string archetypeName;
    math::Vector3 position; // world units
    math::Quaternion orientation;
    math::Vector3 scale;
    CloningPtr<IWidgetData> widgetData; // owned; copies are clones
    CloningPtr<IObjective> objective;   // owned; copies are clones
};
} // namespace QUORB
