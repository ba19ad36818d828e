// What every saved object of the engine and the game implements: it writes itself as one XML
// element appended to a parent and reads itself back from such an element. Readers take the
// children by position, so the order a class writes its fields in is its file format.
#pragma once

class TiXmlNode;

class Serializable
{
public:
    virtual ~Serializable();

    // Appends this object's element as the last child of `parent`. False, writing nothing, for a
    // null parent or one that is not an element.
    virtual bool Serialize(TiXmlNode* parent) = 0;
    // Reads this object's fields from `node` (its own element). False, changing nothing, for a
    // null node or one that is not an element; fields whose child is missing keep their value.
    virtual bool Deserialize(const TiXmlNode* node) = 0;
};
