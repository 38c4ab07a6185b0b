// The report-definition parser of the shared object: reads a definition file
// of the resources with expat and builds DataItem / Report / Section objects
// in the parser state fields of Trekora.

#include "core/StringValue.h"
#include "core/Trekora.h"
#include "platform/Console.h"
#include "platform/Places.h"
#include "platform/Url.h"
#include "records/ReflectedDescription.h"
#include "report/DataItem.h"

#include <expat.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

namespace {

void print(const std::string& line) { platform::Console::print(line); }

bool same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// The elements the definitions are made of; any other name is Other.
enum class Tag {
    DataItem, Report, ReportHeader, PageHeader, PageBody, PageFooter, ReportFooter,
    Text, Field, Function, Sql, Actions, Description, Other
};

// The first letter narrows a name to the few elements it can be.
Tag tagOf(const char* name) {
    switch (name[0]) {
    case 'A': return same(name, "Actions") ? Tag::Actions : Tag::Other;
    case 'D':
        if (same(name, "DataItem")) return Tag::DataItem;
        return same(name, "Description") ? Tag::Description : Tag::Other;
    case 'F':
        if (same(name, "Field")) return Tag::Field;
        return same(name, "Function") ? Tag::Function : Tag::Other;
    case 'P':
        if (same(name, "PageBody")) return Tag::PageBody;
        if (same(name, "PageHeader")) return Tag::PageHeader;
        return same(name, "PageFooter") ? Tag::PageFooter : Tag::Other;
    case 'R':
        if (same(name, "Report")) return Tag::Report;
        if (same(name, "ReportHeader")) return Tag::ReportHeader;
        return same(name, "ReportFooter") ? Tag::ReportFooter : Tag::Other;
    case 'S': return same(name, "Sql") ? Tag::Sql : Tag::Other;
    case 'T': return same(name, "Text") ? Tag::Text : Tag::Other;
    default: return Tag::Other;
    }
}

bool isSection(Tag tag) { return tag >= Tag::ReportHeader && tag <= Tag::ReportFooter; }

// The value of the attribute `key` among the parser's name/value pairs, or
// null when the element lacks it.
const char* attribute(const char* const* attributes, const char* key) {
    for (int i = 0; attributes[i] && attributes[i + 1]; i += 2)
        if (same(attributes[i], key)) return attributes[i + 1];
    return nullptr;
}

// Integer attributes: trimmed of white space and line breaks, then read by
// their leading number.
std::int64_t integerAttribute(const char* value) {
    while (*value == ' ' || (*value >= '\t' && *value <= '\r')) ++value;
    return integerValue(value);
}

// A format that can't be used prints its value as text; say so once, here.
// `kind` is the one kind the item allows (unusable: any usable kind).
void checkFormat(const std::string& format, const ReportFormat& checked, ReportFormat::Kind kind) {
    if (format.empty()) return;
    if (!checked.usable() || (kind != ReportFormat::Kind::unusable && checked.kind() != kind))
        print("format \"" + format + "\" is not usable, the value prints as text");
}

void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** atts) {
    static_cast<Trekora*>(userData)->parserDidStartElement(name, atts);
}

void XMLCALL onEnd(void* userData, const XML_Char* name) {
    static_cast<Trekora*>(userData)->parserDidEndElement(name);
}

void XMLCALL onCharacters(void* userData, const XML_Char* s, int len) {
    static_cast<Trekora*>(userData)->parserFoundCharacters(s, static_cast<std::size_t>(len));
}

// Reads the file at `path` into the parser's buffer; answers its length, or
// nothing when it cannot be read.
std::optional<int> readInto(XML_Parser parser, const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 0 || st.st_size > std::numeric_limits<int>::max() - 1) {
        ::close(fd);
        return std::nullopt;
    }
    const int size = static_cast<int>(st.st_size);
    char* buffer = static_cast<char*>(XML_GetBuffer(parser, size + 1));
    int length = 0;
    while (buffer && length < size) {
        const ssize_t n = ::read(fd, buffer + length, static_cast<std::size_t>(size - length));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) buffer = nullptr;
        if (n <= 0) break;
        length += static_cast<int>(n);
    }
    ::close(fd);
    if (!buffer) return std::nullopt;
    return length;
}

} // namespace

void Trekora::readReportDefinitions() {
    helpDataItem = std::make_shared<DataItem>();
    helpReport = std::make_shared<Report>();
    helpSection = std::make_shared<Section>();

    helpDataItems.clear();
    readDataItems(xmlFileName);
    dataItems = helpDataItems;
    helpDataItems.clear();
    readDataItems(xmlFileName2);
    dataItems2 = helpDataItems;
    helpDataItems.clear();

    print("-----------dataItems------------");
    print(ReflectedDescription::list(dataItems));
    print("-----------dataItems2------------");
    print(ReflectedDescription::list(dataItems2));
    print("-----------helpDataItems------------");
    print(ReflectedDescription::list(helpDataItems));
}

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
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser) return;
    // The file is read straight into the parser's buffer, not through a
    // copy of its own.
    const auto length = readInto(parser, *path);
    if (!length) {
        XML_ParserFree(parser);
        print("can't read " + *path);
        return;
    }
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    const bool ok = XML_ParseBuffer(parser, *length, XML_TRUE) == XML_STATUS_OK;
    if (!ok) {
        print(std::string("parse error: ") + XML_ErrorString(XML_GetErrorCode(parser)) + " at line " +
              std::to_string(XML_GetCurrentLineNumber(parser)));
    }
    XML_ParserFree(parser);
    if (ok) parserDidEndDocument();
    print("start parsing ..." + fileName);
}

void Trekora::parserDidStartElement(const char* elementName, const char* const* attributes) {
    auto attr = [attributes](const char* key) { return attribute(attributes, key); };
    const Tag tag = tagOf(elementName);
    if (tag == Tag::Field) {
        auto field = std::make_shared<Field>();
        if (auto v = attr("X")) field->x = integerAttribute(v);
        if (auto v = attr("Y")) field->y = integerAttribute(v);
        if (auto v = attr("Name")) field->name = v;
        if (auto v = attr("Format")) field->format = v;
        checkFormat(field->format, field->checkedFormat(), ReportFormat::Kind::unusable);
        helpSection->fields.push_back(field);
    } else if (tag == Tag::Text) {
        auto text = std::make_shared<Text>();
        if (auto v = attr("X")) text->x = integerAttribute(v);
        if (auto v = attr("Y")) text->y = integerAttribute(v);
        if (auto v = attr("Value")) text->value = v;
        if (auto v = attr("Format")) text->format = v;
        checkFormat(text->format, text->checkedFormat(), ReportFormat::Kind::text);
        helpSection->texts.push_back(text);
    } else if (tag == Tag::Function) {
        auto function = std::make_shared<Function>();
        if (auto v = attr("X")) function->x = integerAttribute(v);
        if (auto v = attr("Y")) function->y = integerAttribute(v);
        if (auto v = attr("Name")) function->name = v;
        if (auto v = attr("Format")) function->format = v;
        helpSection->functions.push_back(function);
    } else if (tag == Tag::DataItem) {
        currentElement = "DataItem";
        helpDataItem = std::make_shared<DataItem>();
        if (auto v = attr("Name")) helpDataItem->name = v;
        if (auto v = attr("ParentName")) helpDataItem->parentName = v;
        if (auto v = attr("Caption")) helpDataItem->caption = v;
    } else if (tag == Tag::Report) {
        currentElement = "Report";
        helpReport = std::make_shared<Report>();
        if (auto v = attr("Id")) helpReport->ido = integerAttribute(v);
        if (auto v = attr("PageWidth")) helpReport->pageWidth = integerAttribute(v);
        if (auto v = attr("PageHeight")) helpReport->pageHeight = integerAttribute(v);
        if (auto v = attr("Top")) helpReport->top = integerAttribute(v);
    } else if (isSection(tag)) {
        currentElement = elementName;
        helpSection = std::make_shared<Section>();
    }
}

void Trekora::parserFoundCharacters(const char* characters, std::size_t length) {
    foundCharacters.append(characters, length);
}

void Trekora::parserDidEndElement(const char* elementName) {
    switch (tagOf(elementName)) {
    case Tag::Actions: helpDataItem->actions = foundCharacters; break;
    case Tag::Sql:
        if (currentElement == "DataItem")
            helpDataItem->selectQuery = foundCharacters;
        else if (currentElement == "Report")
            helpReport->selectQuery = foundCharacters;
        else if (currentElement == "PageBody")
            helpSection->selectQuery = foundCharacters;
        break;
    case Tag::Description:
        if (currentElement == "Report") helpReport->description = foundCharacters;
        break;
    case Tag::DataItem:
        helpDataItems.push_back(helpDataItem);
        currentElement = "";
        break;
    case Tag::Report:
        helpDataItem->reports.push_back(helpReport);
        currentElement = "DataItem";
        break;
    case Tag::ReportHeader: helpReport->reportHeader = helpSection; currentElement = "Report"; break;
    case Tag::PageHeader: helpReport->pageHeader = helpSection; currentElement = "Report"; break;
    case Tag::PageBody: helpReport->pageBody = helpSection; currentElement = "Report"; break;
    case Tag::PageFooter: helpReport->pageFooter = helpSection; currentElement = "Report"; break;
    case Tag::ReportFooter: helpReport->reportFooter = helpSection; currentElement = "Report"; break;
    default: break;
    }
    foundCharacters.clear();
}

void Trekora::parserDidEndDocument() {
    print("end parsing...");
    for (const auto& item : helpDataItems) {
        print(item->name + "\n " + item->parentName);
        for (const auto& report : item->reports) print(report->name);
    }
    print("");
}
