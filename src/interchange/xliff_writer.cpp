// Writing XLIFF 1.2 with pugixml: one <trans-unit> per unit, id the item's ID and resname its
// macro; placeholders as <ph> elements that hold the placeholder itself, so that tools keep
// them whole and the text comes back from the element's content alone.
#include "interchange/formats.h"
#include "interchange/placeholders.h"
#include "interchange/replaced_file.h"
#include "interchange/xliff_names.h"

#include <pugixml.hpp>

namespace ril::interchange {
namespace {

// pugixml writes carriage returns as they are, which XML readers take for line ends: values
// are escaped here (CR, and tab and LF in attributes, as character references) and written
// without pugixml's own escapes.
std::string Escaped(std::string_view text, bool attribute = false) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char const c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '\r':
            escaped += "&#13;";
            break;
        case '"':
            escaped += attribute ? "&quot;" : "\"";
            break;
        case '\n':
            escaped += attribute ? "&#10;" : "\n";
            break;
        case '\t':
            escaped += attribute ? "&#9;" : "\t";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

void SetAttribute(pugi::xml_node node, char const *name, std::string_view value) {
    node.append_attribute(name).set_value(Escaped(value, true).c_str());
}

// XML 1.0 holds no control character but tab, line feed and carriage return.
bool XmlCanHold(std::string_view text) {
    for (char const c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    return true;
}

void AppendText(pugi::xml_node element, std::string_view text, Unit const &unit,
                std::string const &path) {
    if (!XmlCanHold(text))
        throw Error({path}, "the text of " + unit.macro + " (ID " + std::to_string(unit.id) +
                                ") holds a control character that XML cannot hold");
    int number = 0;
    for (Piece const &piece : SplitPlaceholders(text)) {
        if (!piece.placeholder) {
            element.append_child(pugi::node_pcdata).set_value(Escaped(piece.text).c_str());
            continue;
        }
        pugi::xml_node ph = element.append_child(kPlaceholder);
        ph.append_attribute("id").set_value(std::to_string(++number).c_str());
        ph.append_attribute("ctype").set_value(kPlaceholderType);
        ph.text().set(Escaped(piece.text).c_str());
        // Character data, even empty, before and after every placeholder: the writer indents
        // an element that follows another element, and the indentation would join the text.
        element.append_child(pugi::node_pcdata);
    }
    if (element.first_child().type() == pugi::node_element)
        element.prepend_child(pugi::node_pcdata);
}

void AppendUnit(pugi::xml_node body, Unit const &unit, std::string const &path) {
    if (!XmlCanHold(unit.macro))
        throw Error({path}, "the macro of the item " + std::to_string(unit.id) +
                                " holds a control character that XML cannot hold");
    pugi::xml_node node = body.append_child(kUnit);
    node.append_attribute("id").set_value(std::to_string(unit.id).c_str());
    SetAttribute(node, "resname", unit.macro);
    node.append_attribute("xml:space").set_value("preserve");
    AppendText(node.append_child(kSource), unit.source, unit, path);
    pugi::xml_node target = node.append_child(kTarget);
    target.append_attribute("state").set_value(
        unit.translated ? (unit.fuzzy ? kNeedsReview : kTranslated) : kNew);
    AppendText(target, unit.target, unit, path);
}

} // namespace

void WriteXliff(Units const &units, FileFacts const &facts, std::string const &path) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node root = document.append_child("xliff");
    root.append_attribute("version").set_value("1.2");
    root.append_attribute("xmlns").set_value(kNamespace);
    pugi::xml_node file = root.append_child("file");
    SetAttribute(file, "original", facts.project);
    SetAttribute(file, "source-language",
                 facts.sourceLanguage.empty() ? "und" : facts.sourceLanguage);
    if (!facts.targetLanguage.empty())
        SetAttribute(file, "target-language", facts.targetLanguage);
    file.append_attribute("datatype").set_value("plaintext");
    file.append_attribute("tool-id").set_value("ril4410");
    pugi::xml_node header = file.append_child("header");
    pugi::xml_node tool = header.append_child("tool");
    tool.append_attribute("tool-id").set_value("ril4410");
    SetAttribute(tool, "tool-name", facts.generator);
    pugi::xml_node body = file.append_child("body");
    for (Unit const &unit : units)
        AppendUnit(body, unit, path);
    ReplacedFile output(path);
    // Indented, but never inside an element with text: those keep their bytes exactly.
    if (!document.save_file(output.TemporaryPath().c_str(), "  ",
                            pugi::format_indent | pugi::format_no_escapes, pugi::encoding_utf8))
        throw Error({path}, "cannot write the file");
    output.Commit();
}

} // namespace ril::interchange
