// The report-definition parser of the shared object: reads a definition file
// of the resources with expat and builds DataItem / Report / Section objects
// in the parser state fields of Trekora.

#include "core/StringValue.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/FileManager.h"
#include "platform/Places.h"
#include "platform/Url.h"
#include "report/DataItem.h"

#include <expat.h>

namespace {

void print(const std::string& line) { platform::Console::print(line); }

bool isSectionName(const std::string& name) {
    return name == "ReportHeader" || name == "PageHeader" || name == "PageBody" || name == "PageFooter" ||
           name == "ReportFooter";
}

// Integer attributes: trimmed of white space and line breaks, then read by
// their leading number.
std::int64_t integerAttribute(const std::string& value) {
    const char* blanks = " \t\n\r\v\f";
    auto first = value.find_first_not_of(blanks);
    if (first == std::string::npos) return 0;
    auto last = value.find_last_not_of(blanks);
    return integerValue(value.substr(first, last - first + 1));
}

// A format that can't be used prints its value as text; say so once, here.
// `kind` is the one kind the item allows (unusable: any usable kind).
void checkFormat(const std::string& format, const ReportFormat& checked, ReportFormat::Kind kind) {
    if (format.empty()) return;
    if (!checked.usable() || (kind != ReportFormat::Kind::unusable && checked.kind() != kind))
        print("format \"" + format + "\" is not usable, the value prints as text");
}

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** atts) {
    std::map<std::string, std::string> attributes;
    for (int i = 0; atts[i] && atts[i + 1]; i += 2) attributes[atts[i]] = atts[i + 1];
    static_cast<Trekora*>(userData)->parserDidStartElement(name, attributes);
}

void XMLCALL onEnd(void* userData, const XML_Char* name) {
    static_cast<Trekora*>(userData)->parserDidEndElement(name);
}

void XMLCALL onCharacters(void* userData, const XML_Char* s, int len) {
    static_cast<Trekora*>(userData)->parserFoundCharacters(std::string(s, static_cast<std::size_t>(len)));
}

} // namespace

void Trekora::readDataItems(const std::string& fileName) {
    print("readDataItems ...." + fileName);
    auto path = platform::Places::resourcePath(fileName);
    if (!path) {
        // The definitions are missing from the resources: start goes on with
        // an empty list for this file.
        print("resource not found: " + fileName);
        return;
    }
    print(platform::Url::fileUrl(*path).absoluteString());
    auto contents = platform::FileManager::contents(*path);
    if (!contents) {
        print("can't read " + *path);
        return;
    }
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser) return;
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    const bool ok =
        XML_Parse(parser, contents->data(), static_cast<int>(contents->size()), XML_TRUE) == XML_STATUS_OK;
    if (!ok) {
        print(std::string("parse error: ") + XML_ErrorString(XML_GetErrorCode(parser)) + " at line " +
              std::to_string(XML_GetCurrentLineNumber(parser)));
    }
    XML_ParserFree(parser);
    if (ok) parserDidEndDocument();
    print("start parsing ..." + fileName);
}

void Trekora::parserDidStartElement(const std::string& elementName,
                                    const std::map<std::string, std::string>& attributes) {
    auto attr = [&](const char* key) -> const std::string* {
        auto it = attributes.find(key);
        return it == attributes.end() ? nullptr : &it->second;
    };
    if (elementName == "DataItem") {
        currentElement = "DataItem";
        helpDataItem = std::make_shared<DataItem>();
        if (auto v = attr("Name")) helpDataItem->name = *v;
        if (auto v = attr("ParentName")) helpDataItem->parentName = *v;
        if (auto v = attr("Caption")) helpDataItem->caption = *v;
    } else if (elementName == "Report") {
        currentElement = "Report";
        helpReport = std::make_shared<Report>();
        if (auto v = attr("Id")) helpReport->ido = integerAttribute(*v);
        if (auto v = attr("PageWidth")) helpReport->pageWidth = integerAttribute(*v);
        if (auto v = attr("PageHeight")) helpReport->pageHeight = integerAttribute(*v);
        if (auto v = attr("Top")) helpReport->top = integerAttribute(*v);
    } else if (isSectionName(elementName)) {
        currentElement = elementName;
        helpSection = std::make_shared<Section>();
    } else if (elementName == "Text") {
        auto text = std::make_shared<Text>();
        if (auto v = attr("X")) text->x = integerAttribute(*v);
        if (auto v = attr("Y")) text->y = integerAttribute(*v);
        if (auto v = attr("Value")) text->value = *v;
        if (auto v = attr("Format")) text->format = *v;
        checkFormat(text->format, text->checkedFormat(), ReportFormat::Kind::text);
        helpSection->texts.push_back(text);
    } else if (elementName == "Field") {
        auto field = std::make_shared<Field>();
        if (auto v = attr("X")) field->x = integerAttribute(*v);
        if (auto v = attr("Y")) field->y = integerAttribute(*v);
        if (auto v = attr("Name")) field->name = *v;
        if (auto v = attr("Format")) field->format = *v;
        checkFormat(field->format, field->checkedFormat(), ReportFormat::Kind::unusable);
        helpSection->fields.push_back(field);
    } else if (elementName == "Function") {
        auto function = std::make_shared<Function>();
        if (auto v = attr("X")) function->x = integerAttribute(*v);
        if (auto v = attr("Y")) function->y = integerAttribute(*v);
        if (auto v = attr("Name")) function->name = *v;
        if (auto v = attr("Format")) function->format = *v;
        helpSection->functions.push_back(function);
    }
}

void Trekora::parserFoundCharacters(const std::string& characters) { foundCharacters += characters; }

void Trekora::parserDidEndElement(const std::string& elementName) {
    if (elementName == "Actions") helpDataItem->actions = foundCharacters;
    if (elementName == "Sql") {
        if (currentElement == "DataItem")
            helpDataItem->selectQuery = foundCharacters;
        else if (currentElement == "Report")
            helpReport->selectQuery = foundCharacters;
        else if (currentElement == "PageBody")
            helpSection->selectQuery = foundCharacters;
    }
    if (elementName == "Description" && currentElement == "Report") helpReport->description = foundCharacters;
    if (elementName == "DataItem") {
        helpDataItems.push_back(helpDataItem);
        currentElement = "";
    }
    if (elementName == "Report") {
        helpDataItem->reports.push_back(helpReport);
        currentElement = "DataItem";
    }
    if (isSectionName(elementName)) {
        if (elementName == "ReportHeader") helpReport->reportHeader = helpSection;
        if (elementName == "PageHeader") helpReport->pageHeader = helpSection;
        if (elementName == "PageBody") helpReport->pageBody = helpSection;
        if (elementName == "PageFooter") helpReport->pageFooter = helpSection;
        if (elementName == "ReportFooter") helpReport->reportFooter = helpSection;
        currentElement = "Report";
    }
    foundCharacters = "";
}

void Trekora::parserDidEndDocument() {
    print("end parsing...");
    for (const auto& item : helpDataItems) {
        print(item->name + "\n " + item->parentName);
        for (const auto& report : item->reports) print(report->name);
    }
    print("");
}
