#include "records/ParameterItem.h"

const TextFieldList<ParameterItem>& ParameterItem::fields() {
    static const TextFieldList<ParameterItem> list{
        {"GROUPNAME", &ParameterItem::GROUPNAME},
        {"NAME", &ParameterItem::NAME},
        {"TYPE", &ParameterItem::TYPE},
        {"CAPTION", &ParameterItem::CAPTION},
        {"VALUE", &ParameterItem::VALUE},
        {"DISPLAYVALUE", &ParameterItem::DISPLAYVALUE},
        {"MIN", &ParameterItem::MIN},
        {"MAX", &ParameterItem::MAX},
        {"LOOKUPQUERY", &ParameterItem::LOOKUPQUERY},
        {"LOOKUPFIELD", &ParameterItem::LOOKUPFIELD},
        {"DISPLAYFIELD", &ParameterItem::DISPLAYFIELD},
    };
    return list;
}

std::string ParameterItem::description() const {
    return describeTextFields("ParameterItem", *this, fields());
}
