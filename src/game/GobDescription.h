// One game object as the room environment and puzzle files describe it: the archetype it is
// made from, where it stands, and copies of the widget data and objective it carries. A value
// type: copies are deep. The "GobDescription" element it reads and writes holds, in order,
// string "Archetype", Vector "Position", Quat "Orientation", Vector "Scale", bool
// "HasWidgetData" [string "Type", the data's element], bool "HasObjective" [int "ObjectiveID",
// the objective's element], read back by position.
#pragma once

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "game/ClonedPtr.h"
#include "game/IObjective.h"

#include <tinyxml.h>

#include <cstdint>
#include <optional>
#include <string>

class Gob;

namespace QUORB
{
// A widget-data record as a description carries it: its kind and its element as the files hold
// it.
//
// Seam for the game components: until WidgetDataComp holds records of their own classes, a
// description keeps the record as its saved element and hands it to the gob through the
// component's own serialisation (see GobDescription.cpp). When the record classes exist this
// becomes the owned record itself (a clone made by Clone), read by the class the kind names and
// written by its Serialize.
struct SavedRecord
{
    std::string typeName;           // widget data: "GravitySwitch", "Platform", "Bar", ...
    std::uint32_t typeFlag = 0;     // unused
    TiXmlElement element{"Record"}; // the record's own element
};

struct GobDescription
{
    GobDescription() : scale(1.0f, 1.0f, 1.0f) { orientation.SetIdentity(); }

    // The widget-data "Type" names that make a record, and whether a flag is one of the six
    // objective flags.
    static bool IsWidgetDataType(const std::string& typeName);
    static bool IsObjectiveType(std::uint32_t flag);

    // Archetype, transform and copies of the gob's widget data and objective (a gob without
    // the component keeps what the description had).
    static void FromGob(Gob* gob, GobDescription& description);
    // A gob of the archetype, placed as described, with the description's widget data and
    // objective installed; null, with one line, when nothing is built under the archetype.
    static Gob* CreateGob(const GobDescription& description);
    // Installs the description's widget data and objective in an existing gob that has the
    // components; a description without them leaves the gob's own in place.
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
    std::optional<SavedRecord> widgetData;
    ClonedPtr<IObjective> objective; // owned; copies of the description clone it
};
} // namespace QUORB
