// The tunable parameters of a widget or star object (friction, density, magnetism, speed,
// strength): what the property menu changes, what puzzle files save for each widget and what the
// widgets' collision callbacks read. A record belongs to one WidgetDataComp (its owner, not owned
// by the record) and pushes its values into the owner's object: collision frictions, physics
// density, the model's texture and texture scroll, and the look of the field object linked to it
// through its GobIDComp. Six classes derive from it, one per kind of widget data (the two with
// frictions through FrictionWidgetData).
#pragma once

#include "common/ICloneable.h"

#include <memory>
#include <string>

class Gob;
class TiXmlNode;

namespace dorvo
{
namespace gfx
{
class GfxModelComp;
}
} // namespace dorvo

namespace QUORB
{
class WidgetDataComp;
class CGravitySwitchData;
class CPlatformData;
class CBarData;
class CMagnetData;
class CAcceleratorData;
class CQUORBData;

class IWidgetData : public common::ICloneable
{
public:
    // Magnetism values.
    static constexpr int kMagnetismNone = 0;
    static constexpr int kMagnetismNegative = 1;
    static constexpr int kMagnetismPositive = 2;
    // Densities the property menu offers; each gives the model its texture.
    static constexpr float kWoodDensity = 0.5f;
    static constexpr float kMetalDensity = 1.2f;
    static constexpr const char* kWoodTexture = "common/wood_diffuse.png";
    static constexpr const char* kMetalTexture = "common/metal1_diffuse.png";
    static constexpr const char* kPositiveFieldTexture = "widgets/magnet/positive_magnetic_field_diffuse.png";
    static constexpr const char* kNegativeFieldTexture = "widgets/magnet/negative_magnetic_field_diffuse.png";

    // Modifiable, no magnetism, collides with the star object, density 1.0.
    explicit IWidgetData(WidgetDataComp* owner);
    ~IWidgetData() override;

    // A new record of the same class with every field copied, the owner included: whoever
    // installs it elsewhere sets its owner and then calls ApplyToGob.
    IWidgetData* Clone() const override = 0;
    // Pushes the record's values into its owner's object (called when the record is attached
    // and whenever a description re-creates the object).
    virtual void ApplyToGob() = 0;

    virtual bool IsModifiable() const;
    virtual void SetModifiable(bool modifiable);
    virtual int GetMagnetism() const;
    // Stores the value and updates the linked field's look.
    virtual void SetMagnetism(int magnetism);

    // The record in its own class, null in every other.
    virtual const CGravitySwitchData* AsGravitySwitchData() const;
    virtual CGravitySwitchData* AsGravitySwitchData();
    virtual const CPlatformData* AsPlatformData() const;
    virtual CPlatformData* AsPlatformData();
    virtual const CBarData* AsBarData() const;
    virtual CBarData* AsBarData();
    virtual const CMagnetData* AsMagnetData() const;
    virtual CMagnetData* AsMagnetData();
    virtual const CAcceleratorData* AsAcceleratorData() const;
    virtual CAcceleratorData* AsAcceleratorData();
    virtual const CQUORBData* AsQUORBData() const;
    virtual CQUORBData* AsQUORBData();

    // Appends <TypeName> holding <WidgetDataBase> (bool IsModifiable, enum Magnetism, bool
    // CollideWithQUORB, float Density) and then the class's own fields. In create-puzzle mode
    // IsModifiable is written false. False for a null or non-element parent.
    virtual bool Serialize(TiXmlNode* parent) const;
    // Reads that element by position (names are not looked at); fields whose element is missing
    // keep their values. In create-puzzle mode IsModifiable is forced true after reading. False
    // for a null or non-element node.
    virtual bool Deserialize(const TiXmlNode* node);
    // "GravitySwitch", "Platform", "Bar", "Magnet", "Accelerator" or "QUORB".
    virtual std::string GetTypeName() const = 0;

    // A new record of the class a type name names, owned by the caller, with the given owner;
    // null for any other name.
    static std::unique_ptr<IWidgetData> CreateByTypeName(const std::string& typeName, WidgetDataComp* owner);
    static bool IsTypeName(const std::string& typeName);

    // The linked field object's model by Magnetism: hidden (0), shown with the negative (1) or
    // positive (2) field texture; any other value changes nothing. Nothing without a linked
    // object or without its model.
    void UpdateMagneticFieldLook();
    // UpdateMagneticFieldLook, and for a magnet its field's scale.
    void RefreshMagnetism();
    // Stores the density, hands it to the object's PhysicsComp (mass = hull volume * density)
    // and gives the model the wood (0.5) or metal (1.2) texture; another density keeps the
    // texture. kilograms per cubic world unit.
    void SetDensity(float density);
    float GetDensity() const { return m_density; }
    bool GetCollideWithQUORB() const { return m_collideWithQUORB; }
    // The budget units the player paid when the widget was placed, given back when it is deleted:
    // 0 for what an author placed in create-puzzle mode and for whatever a file loaded (a loaded
    // puzzle starts with its whole budget, so nobody paid for its widgets). Copies keep it, so a
    // widget rebuilt from a snapshot still refunds what was paid; it is not saved.
    int GetCost() const { return m_cost; }
    void SetCost(int units) { m_cost = units; }
    void SetCollideWithQUORB(bool collide) { m_collideWithQUORB = collide; }

    WidgetDataComp* GetOwner() const { return m_pOwner; }
    void SetOwner(WidgetDataComp* owner) { m_pOwner = owner; }
    // The owner component's object, or null (no owner, or not yet initialised).
    Gob* GetOwnerGob() const;
    // The object linked to the owner's object through its GobIDComp, or null.
    Gob* GetLinkedGob() const;

protected:
    IWidgetData(const IWidgetData&) = default;
    IWidgetData& operator=(const IWidgetData&) = default;

    // The class's own fields after the base block, in their saved order.
    virtual bool WriteOwnFields(TiXmlNode* element) const;
    // From the first own field's element on (null when there is none).
    virtual void ReadOwnFields(const TiXmlNode* first);

    // The model of an object, or null.
    static dorvo::gfx::GfxModelComp* ModelOf(Gob* gob);
    // Loads the texture into stage 0 of the object's model unit; nothing without a model or unit.
    // A file that cannot be loaded leaves the texture the unit had (the texture cache says why).
    static void LoadModelTexture(Gob* gob, const std::string& file);

    bool m_isModifiable = true;
    int m_magnetism = kMagnetismNone;
    bool m_collideWithQUORB = true;
    float m_density = 1.0f;
    int m_cost = 0;                     // budget units
    WidgetDataComp* m_pOwner = nullptr; // not owned
};
} // namespace QUORB
