// The component that holds a widget's or star object's widget-data record (IWidgetData), which
// it owns. Templates give it the record ("Type" and the record's element); on initialisation the
// record pushes its values into the object.
#pragma once

#include "engine/ComponentBase.h"

#include <memory>

class Gob;

namespace QUORB
{
class IWidgetData;
class CGravitySwitchData;
class CPlatformData;
class CBarData;
class CMagnetData;
class CAcceleratorData;
class CQUORBData;

class WidgetDataComp : public ComponentBase<WidgetDataComp>
{
public:
    static const char* const kTypeName; // "WidgetDataComp"

    // No record.
    WidgetDataComp();
    // Deletes the record.
    ~WidgetDataComp() override;

    // <Component name="WidgetDataComp"> holding string "Type" (the record's type name) and the
    // record's element. Without a record only the empty element. False for a null or
    // non-element parent.
    bool Serialize(TiXmlNode* parent) override;
    // The first child names the kind ("GravitySwitch", "Platform", "Bar", "Accelerator",
    // "Magnet", "QUORB"): a new record of it (the old one deleted) reads the next element. Any
    // other name leaves the component without a record, with one line naming it. False only for
    // a null or non-element node.
    bool Deserialize(const TiXmlNode* node) override;
    // The base initialisation, then the record's ApplyToGob when there is one.
    bool Initialize(Gob* owner) override;

    // The record, or null.
    IWidgetData* GetData() const { return m_pData.get(); }
    // Installs the record (the old one deleted) with this component as its owner; does not
    // apply it to the object.
    void SetData(std::unique_ptr<IWidgetData> data);

    // The record's down-casts; null without a record or for another kind.
    CGravitySwitchData* AsGravitySwitchData() const;
    CPlatformData* AsPlatformData() const;
    CBarData* AsBarData() const;
    CMagnetData* AsMagnetData() const;
    CAcceleratorData* AsAcceleratorData() const;
    CQUORBData* AsQUORBData() const;

    // The object's widget-data component, or null.
    static WidgetDataComp* Of(Gob* gob);

private:
    std::unique_ptr<IWidgetData> m_pData;
};
} // namespace QUORB
