// Report definitions found by name, and the rows of a definition.
#include "core/Trekora.h"
#include "platform/Console.h"
#include "report/DataItem.h"

std::shared_ptr<DataItem> Trekora::findDataItem(const std::string& name) {
    for (const auto& item : dataItems)
        if (item && item->name == name) return item;
    return nullptr;
}

std::shared_ptr<DataItem> Trekora::findDataItem2(const std::string& name) {
    for (const auto& item : dataItems2)
        if (item && item->name == name) return item;
    return nullptr;
}

std::vector<RowDictionary> Trekora::getData(const std::string& item) {
    platform::Console::print("start getData(item:) ...");
    if (auto definition = findDataItem(item)) return definition->getData();
    return {};
}
