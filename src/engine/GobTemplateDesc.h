// What one template file says: the type name the template is filed under, its second name, the
// component type names in the order objects will hold them, and its archetypes (name and file).
// Read by position below the "File" root; the engine never writes template files.
#pragma once

#include <string>
#include <vector>

class TiXmlNode;

class GobTemplateDesc
{
public:
    struct Archetype
    {
        std::string name;
        std::string fileName;
    };

    // Opens and parses the file and reads the first child element of its "File" root. When the
    // file cannot be read or has no such element the record stays empty, `error` holds the one
    // line to report and false is returned.
    bool LoadFile(const std::string& fileName, std::string& error);
    // Reads the template element's children in order: type name, template name, the component
    // list, the archetype list (each entry: name, then file name). Missing parts stay empty.
    bool Load(const TiXmlNode* templateElement);

    std::string m_TypeName;
    std::string m_TemplateName;
    std::vector<std::string> m_ComponentTypes;
    std::vector<Archetype> m_Archetypes;
};
